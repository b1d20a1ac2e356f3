// base/one_run.h -- work that runs at most once at a time, where a request made during a
// run is remembered and makes the running caller go exactly once more.
#pragma once

#include <functional>
#include <mutex>

class OneRunAtATime {
 public:
  // Runs body, then again as long as requests arrived while it ran. When a run is already
  // under way (on any thread, or further up this one) it only remembers the request and
  // returns at once: nobody waits for anybody.
  void Run(const std::function<void()>& body);

  bool InProgress() const;

 private:
  bool Begin();
  bool EndOrTakeRequest();

  // Held only to read and flip the two flags, never around the body.
  mutable std::mutex mutex_;
  bool running_ = false;
  bool requested_ = false;
};

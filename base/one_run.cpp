// base/one_run.cpp -- the flags behind OneRunAtATime.
#include "base/one_run.h"

void OneRunAtATime::Run(const std::function<void()>& body) {
  if (!Begin()) return;
  do {
    body();
  } while (EndOrTakeRequest());
}

bool OneRunAtATime::InProgress() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return running_;
}

// True when the caller now owns the run; otherwise its request has been remembered.
bool OneRunAtATime::Begin() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (running_) {
    requested_ = true;
    return false;
  }
  running_ = true;
  return true;
}

// True when a request arrived during the run: the caller keeps the run and goes again.
bool OneRunAtATime::EndOrTakeRequest() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (requested_) {
    requested_ = false;
    return true;
  }
  running_ = false;
  return false;
}

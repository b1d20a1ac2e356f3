// base/seam.h -- a replaceable value (usually a function) that tests set while other
// threads read it.
#pragma once

#include <mutex>
#include <utility>

// Readers take a copy under the lock and use it after the lock is gone, so a seam may
// run for as long as it likes, call back into its owner, or be replaced meanwhile.
template <typename T>
class Seam {
 public:
  void Set(T value) {
    std::lock_guard<std::mutex> lock(mutex_);
    value_ = std::move(value);
  }
  T Get() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return value_;
  }

 private:
  mutable std::mutex mutex_;
  T value_{};
};

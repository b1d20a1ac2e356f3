// app/shared_state.cpp -- the program-wide state and its snapshot hand-over.
#include "app/shared_state.h"

#include <mutex>
#include <utility>

std::atomic<bool> dataReady{false};
std::atomic<int> currentPlanKind{0};
int plateObjectId = 0;
std::array<int, 5> digitObjectIds{};

namespace {

// Held only while a snapshot pointer is copied or swapped, never around other work.
std::mutex snapshotMutex;
std::shared_ptr<const DrawHistory> drawHistory = std::make_shared<const DrawHistory>();
std::shared_ptr<const DigitImages> digitImages = std::make_shared<const DigitImages>();
std::atomic<bool> released{false};

}  // namespace

std::shared_ptr<const DrawHistory> LoadDrawHistory() {
  std::lock_guard<std::mutex> lock(snapshotMutex);
  return drawHistory;
}

void StoreDrawHistory(DrawHistory history) {
  auto next = std::make_shared<const DrawHistory>(std::move(history));
  std::shared_ptr<const DrawHistory> previous;
  {
    std::lock_guard<std::mutex> lock(snapshotMutex);
    previous = std::move(drawHistory);
    drawHistory = std::move(next);
  }
  // previous is released here, outside the lock, unless a reader still holds it.
}

std::shared_ptr<const DigitImages> LoadDigitImages() {
  std::lock_guard<std::mutex> lock(snapshotMutex);
  return digitImages;
}

void StoreDigitImages(DigitImages images) {
  auto next = std::make_shared<const DigitImages>(std::move(images));
  std::lock_guard<std::mutex> lock(snapshotMutex);
  digitImages = std::move(next);
}

void InitSharedState() {
  {
    std::lock_guard<std::mutex> lock(snapshotMutex);
    drawHistory = std::make_shared<const DrawHistory>();
    digitImages = std::make_shared<const DigitImages>();
  }
  dataReady = false;
  currentPlanKind = 0;
  plateObjectId = 0;
  digitObjectIds = {};
  released = false;
}

void ReleaseSharedState() {
  if (released.exchange(true)) return;
  std::shared_ptr<const DrawHistory> history;
  std::shared_ptr<const DigitImages> images;
  {
    std::lock_guard<std::mutex> lock(snapshotMutex);
    history = std::exchange(drawHistory, std::make_shared<const DrawHistory>());
    images = std::exchange(digitImages, std::make_shared<const DigitImages>());
  }
}

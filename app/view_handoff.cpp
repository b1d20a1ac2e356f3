// app/view_handoff.cpp -- handing view operations to the window's thread.
#include "app/view_handoff.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include <utility>
#include <vector>

#include "app/qt_text.h"

namespace {

const QEvent::Type kRunQueueEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

// Receives the "run the queue" events on the window's thread.
class QueueRunner final : public QObject {
 public:
  explicit QueueRunner(std::function<void()> onEvent) : onEvent_(std::move(onEvent)) {}
  bool event(QEvent* event) override {
    if (event->type() != kRunQueueEvent) return QObject::event(event);
    onEvent_();
    return true;
  }

 private:
  std::function<void()> onEvent_;
};

int ListIndex(Control control) {
  switch (control) {
    case Control::超级列表框1:
      return 0;
    case Control::超级列表框2:
      return 1;
    case Control::超级列表框3:
      return 2;
    case Control::超级列表框4:
      return 3;
    default:
      return -1;
  }
}

// Views stay allocated until the process ends: a worker may still hold one.
std::vector<std::unique_ptr<HandOffView>>& KeptViews() {
  static auto* views = new std::vector<std::unique_ptr<HandOffView>>;
  return *views;
}
std::mutex keptViewsMutex;

}  // namespace

HandOffView& HandOffView::Open(WindowSide& side) {
  std::unique_ptr<HandOffView> view(new HandOffView(side));
  std::lock_guard<std::mutex> lock(keptViewsMutex);
  return *KeptViews().emplace_back(std::move(view));
}

HandOffView::HandOffView(WindowSide& side)
    : side_(side), windowThread_(std::this_thread::get_id()) {
  receiver_ = new QueueRunner([this] {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      posted_ = false;
    }
    RunHandedOver();
  });
}

HandOffView::~HandOffView() = default;

void HandOffView::PostLocked() {
  if (posted_) return;
  posted_ = true;
  QCoreApplication::postEvent(receiver_, new QEvent(kRunQueueEvent));
}

void HandOffView::Enqueue(std::unique_lock<std::mutex>& lock, std::function<void()> run) {
  queue_.push_back(Pending{std::move(run), nullptr});
  if (OnWindowThread()) {
    lock.unlock();
    RunHandedOver();
  } else {
    PostLocked();
  }
}

template <typename Result, typename Operation>
Result HandOffView::Call(Result neutral, Operation operation) {
  if (OnWindowThread()) {
    if (IsClosed()) return neutral;
    RunHandedOver();  // what other threads queued earlier comes first
    return operation();
  }
  auto result = std::make_shared<Result>(neutral);
  auto done = std::make_shared<bool>(false);
  std::unique_lock<std::mutex> lock(mutex_);
  if (closed_) return neutral;
  // The operation owns copies of its arguments and shares the result: when the view closes
  // while it is on its way, the caller may already have returned.
  queue_.push_back(Pending{[result, operation]() mutable { *result = operation(); }, done});
  PostLocked();
  wakeup_.wait(lock, [&] { return *done || closed_; });
  return *done ? *result : neutral;
}

template <typename Operation>
void HandOffView::Run(Operation operation) {
  Call(false, [operation]() mutable {
    operation();
    return true;
  });
}

void HandOffView::RunHandedOver() {
  for (;;) {
    Pending next;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (closed_ || queue_.empty()) return;
      // One at a time: an operation may lead to another call on this thread, which must
      // still find the rest of the queue in order.
      next = std::move(queue_.front());
      queue_.pop_front();
    }
    next.run();
    if (next.done) {
      std::lock_guard<std::mutex> lock(mutex_);
      *next.done = true;
      wakeup_.notify_all();
    }
  }
}

void HandOffView::Close() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (closed_) return;
    closed_ = true;
    queue_.clear();
    wakeup_.notify_all();
  }
  // Nobody posts once closed_ is set; pending events for the runner go with it.
  delete receiver_;
  receiver_ = nullptr;
}

bool HandOffView::IsClosed() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return closed_;
}

std::size_t HandOffView::QueuedCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return queue_.size();
}

void HandOffView::ShowMainWindow() {
  Run([&side = side_] { side.ShowMainWindow(); });
}

void HandOffView::SetButtonEnabled(Control button, bool enabled) {
  Run([&side = side_, button, enabled] { side.SetButtonEnabled(button, enabled); });
}

void HandOffView::SetLabelText(Control label, const std::string& text) {
  Run([&side = side_, label, value = QStringFromGbk(text)] { side.SetLabelText(label, value); });
}

void HandOffView::SetLabelVisible(Control label, bool visible) {
  Run([&side = side_, label, visible] { side.SetLabelVisible(label, visible); });
}

ControlSize HandOffView::GetControlSize(Control control) {
  return Call(ControlSize{}, [&side = side_, control] { return side.GetControlSize(control); });
}

void HandOffView::SetControlSize(Control control, std::optional<int> width,
                                 std::optional<int> height) {
  Run([&side = side_, control, width, height] { side.SetControlSize(control, width, height); });
}

void HandOffView::ListClear(Control list) {
  int index = ListIndex(list);
  if (index < 0) return;
  std::unique_lock<std::mutex> lock(mutex_);
  if (closed_) return;
  rowCounts_[static_cast<std::size_t>(index)] = 0;
  Enqueue(lock, [&side = side_, list] { side.ListClear(list); });
}

int HandOffView::ListInsertRow(Control list, int position, const std::string& caption) {
  int index = ListIndex(list);
  if (index < 0) return -1;
  QString value = QStringFromGbk(caption);
  std::unique_lock<std::mutex> lock(mutex_);
  if (closed_) return 0;
  int& count = rowCounts_[static_cast<std::size_t>(index)];
  int at = (position < 0 || position >= count) ? count : position;
  ++count;
  Enqueue(lock, [&side = side_, list, at, value] { side.ListInsertRow(list, at, value); });
  return at;
}

void HandOffView::ListSetCell(Control list, int row, int column, const std::string& text) {
  int index = ListIndex(list);
  if (index < 0 || row < 0 || column < 0) return;
  QString value = QStringFromGbk(text);
  std::unique_lock<std::mutex> lock(mutex_);
  if (closed_ || row >= rowCounts_[static_cast<std::size_t>(index)]) return;
  Enqueue(lock, [&side = side_, list, row, column, value] {
    side.ListSetCell(list, row, column, value);
  });
}

int HandOffView::ListRowCount(Control list) {
  int index = ListIndex(list);
  std::lock_guard<std::mutex> lock(mutex_);
  if (closed_ || index < 0) return 0;
  return rowCounts_[static_cast<std::size_t>(index)];
}

void HandOffView::SetTemplatePicture(const Bytes& png) {
  if (IsClosed()) return;
  Run([&side = side_, picture = QImageFromPng(png)] { side.SetTemplatePicture(picture); });
}

int HandOffView::CreateBoxObject(int left, int top, bool visible) {
  return Call(
      0, [&side = side_, left, top, visible] { return side.CreateBoxObject(left, top, visible); });
}

void HandOffView::DestroyBoxObject(int id) {
  Run([&side = side_, id] { side.DestroyBoxObject(id); });
}

void HandOffView::SetBoxObjectVisible(int id, bool visible) {
  Run([&side = side_, id, visible] { side.SetBoxObjectVisible(id, visible); });
}

void HandOffView::ShowMessage(const std::string& text, int style, const std::string& caption) {
  QString body = QStringFromGbk(text);
  QString title = QStringFromGbk(caption);
  if (OnWindowThread()) {
    if (IsClosed()) return;
    RunHandedOver();
    side_.ShowModalMessage(body, style, title);
    return;
  }
  // The box opens on the window's thread without blocking it; this thread waits for the
  // box to be closed, or for the view to close.
  auto closedByUser = std::make_shared<bool>(false);
  auto onClosed = [this, closedByUser] {
    std::lock_guard<std::mutex> lock(mutex_);
    *closedByUser = true;
    wakeup_.notify_all();
  };
  std::unique_lock<std::mutex> lock(mutex_);
  if (closed_) return;
  queue_.push_back(Pending{[&side = side_, body, style, title, onClosed] {
                             side.OpenMessage(body, style, title, onClosed);
                           },
                           nullptr});
  PostLocked();
  wakeup_.wait(lock, [&] { return *closedByUser || closed_; });
}

// app/view_handoff.h -- the window's MainView: Qt values, and calls handed to its thread.
#pragma once

#include <QImage>
#include <QString>

#include <array>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "app/main_view.h"

class QObject;

// What the window does on its own thread, in Qt terms. Only HandOffView calls these, and
// only on the window's thread.
class WindowSide {
 public:
  virtual ~WindowSide() = default;
  virtual void ShowMainWindow() = 0;
  virtual void SetButtonEnabled(Control button, bool enabled) = 0;
  virtual void SetLabelText(Control label, const QString& text) = 0;
  virtual void SetLabelVisible(Control label, bool visible) = 0;
  virtual ControlSize GetControlSize(Control control) = 0;
  virtual void SetControlSize(Control control, std::optional<int> width,
                              std::optional<int> height) = 0;
  virtual void ListClear(Control list) = 0;
  // position is already resolved: from 0 to the list's number of rows.
  virtual void ListInsertRow(Control list, int position, const QString& caption) = 0;
  virtual void ListSetCell(Control list, int row, int column, const QString& text) = 0;
  virtual void SetTemplatePicture(const QImage& picture) = 0;
  virtual int CreateBoxObject(int left, int top, bool visible) = 0;
  virtual void DestroyBoxObject(int id) = 0;
  virtual void SetBoxObjectVisible(int id, bool visible) = 0;
  // A modal message box without owner; returns when the user has closed it.
  virtual void ShowModalMessage(const QString& text, int style, const QString& caption) = 0;
  // A message box without owner that blocks nothing and returns at once; closed runs once,
  // when the box goes away.
  virtual void OpenMessage(const QString& text, int style, const QString& caption,
                           std::function<void()> closed) = 0;
};

// Converts texts and pictures to Qt values on the calling thread, then runs the operation
// on the window's thread. Called there, an operation runs directly; called from another
// thread, it is queued for the window's thread and the caller waits until it has run.
//
// The list operations are the exception that keeps a refresh cheap (thousands of cells
// from a worker): their results (the new row's index, the number of rows) come from row
// counts kept here, so the caller queues them and goes on without a round trip. The
// single queue keeps every caller's operations in order, and an operation called on the
// window's thread first runs everything queued before it.
//
// After Close the view is inert: queued operations are dropped, waiting callers return
// neutral values, and later calls do nothing. A thread may hold the view longer than the
// window lives, so views are never destroyed (Open keeps them).
class HandOffView final : public MainView {
 public:
  using MainView::CreateBoxObject;
  using MainView::ShowMessage;

  // Makes a view for side; the calling thread is the window's thread.
  static HandOffView& Open(WindowSide& side);
  ~HandOffView() override;

  void ShowMainWindow() override;
  void SetButtonEnabled(Control button, bool enabled) override;
  void SetLabelText(Control label, const std::string& text) override;
  void SetLabelVisible(Control label, bool visible) override;
  ControlSize GetControlSize(Control control) override;
  void SetControlSize(Control control, std::optional<int> width,
                      std::optional<int> height) override;
  void ListClear(Control list) override;
  int ListInsertRow(Control list, int position, const std::string& caption) override;
  void ListSetCell(Control list, int row, int column, const std::string& text) override;
  int ListRowCount(Control list) override;
  void SetTemplatePicture(const Bytes& png) override;
  int CreateBoxObject(int left, int top, bool visible) override;
  void DestroyBoxObject(int id) override;
  void SetBoxObjectVisible(int id, bool visible) override;
  // On the window's thread a modal box; from another thread a box that does not block the
  // window, while the caller waits until the user has closed it.
  void ShowMessage(const std::string& text, int style, const std::string& caption) override;

  // Window's thread only, before the side is destroyed.
  void Close();
  bool IsClosed() const;

  // Runs what other threads have queued so far (window's thread).
  void RunHandedOver();
  // How many operations wait in the queue.
  std::size_t QueuedCount() const;

 private:
  struct Pending {
    std::function<void()> run;
    std::shared_ptr<bool> done;  // set once run has finished; null when nobody waits
  };

  explicit HandOffView(WindowSide& side);
  bool OnWindowThread() const { return std::this_thread::get_id() == windowThread_; }
  void PostLocked();
  // Queues an operation that nobody waits for (or runs the queue, on the window's thread).
  void Enqueue(std::unique_lock<std::mutex>& lock, std::function<void()> run);
  template <typename Result, typename Operation>
  Result Call(Result neutral, Operation operation);
  template <typename Operation>
  void Run(Operation operation);

  WindowSide& side_;
  const std::thread::id windowThread_;
  QObject* receiver_;  // lives on the window's thread; receives "run the queue" events

  mutable std::mutex mutex_;
  std::condition_variable wakeup_;
  std::deque<Pending> queue_;
  bool posted_ = false;
  bool closed_ = false;
  std::array<int, 4> rowCounts_{};  // rows of 超级列表框1-4 once the queue has run
};

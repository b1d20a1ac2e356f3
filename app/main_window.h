// app/main_window.h -- the main window: its controls and the Qt side of MainView.
#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <array>
#include <functional>
#include <vector>

#include "app/controls.h"
#include "app/view_handoff.h"

class AnimationBox;
class QLabel;
class QMessageBox;
class QTabWidget;
class ReportList;

// The routines the window's events run. The program's own are the default; tests give
// their own so that a window can be built without the network and the plan store.
struct WindowHandlers {
  std::function<void()> created;    // creation: OnWindowCreated
  std::function<void()> resized;    // size change: OnWindowResized
  std::function<void()> timerTick;  // 时钟1: OnTimerTick
  // Milliseconds until the next tick of 时钟1 (MillisecondsToNextTick), asked at every tick
  // so that ticks stay just past whole seconds; empty: a plain 1000 ms interval.
  std::function<int()> nextTickDelay;
  std::function<void(int)> planButton;  // the ten plan buttons, by plan kind 1-10
  std::function<void()> clearPlans;     // 按钮3

  static WindowHandlers Program();
};

class MainWindow final : public QWidget, private WindowSide {
 public:
  // Outer size of the window, frame included.
  static constexpr int kOuterWidth = 638;
  static constexpr int kOuterHeight = 665;

  // Builds the hidden window with all its controls and starts 时钟1.
  explicit MainWindow(WindowHandlers handlers = WindowHandlers::Program());
  ~MainWindow() override;

  // Installs the window's view, runs the creation handler and then the resize handler.
  void Create();

  // The window's view; inert once the window has closed.
  HandOffView& WindowView() { return view_; }
  bool IsClosed() const { return closed_; }
  // Runs once when the window closes, after its view has turned inert.
  void SetOnClosed(std::function<void()> onClosed) { onClosed_ = std::move(onClosed); }

  // The controls, for tests and tools.
  QWidget* ControlWidget(Control control) const;
  ReportList* List(Control list) const;
  AnimationBox* Box() const { return box_; }
  QTabWidget* Tabs() const { return tabs_; }
  QTimer* Timer() { return &timer_; }
  // Message boxes opened for other threads and not yet closed.
  std::vector<QMessageBox*> OpenMessages() const;

 protected:
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void BuildControls();
  void BuildTabPages();
  void BuildPlanButtons(QWidget* groupBox);
  void ShowPageControls(int page);
  void FitFrame();
  void MoveToScreenCentre();
  void Shut();

  // WindowSide: the operations, on this thread.
  void ShowMainWindow() override;
  void SetButtonEnabled(Control button, bool enabled) override;
  void SetLabelText(Control label, const QString& text) override;
  void SetLabelVisible(Control label, bool visible) override;
  ControlSize GetControlSize(Control control) override;
  void SetControlSize(Control control, std::optional<int> width,
                      std::optional<int> height) override;
  void ListClear(Control list) override;
  void ListInsertRow(Control list, int position, const QString& caption) override;
  void ListSetCell(Control list, int row, int column, const QString& text) override;
  void SetTemplatePicture(const QImage& picture) override;
  int CreateBoxObject(int left, int top, bool visible) override;
  void DestroyBoxObject(int id) override;
  void SetBoxObjectVisible(int id, bool visible) override;
  void ShowModalMessage(const QString& text, int style, const QString& caption) override;
  void OpenMessage(const QString& text, int style, const QString& caption,
                   std::function<void()> closed) override;

  static constexpr std::size_t kControlCount = static_cast<std::size_t>(Control::按钮3) + 1;

  WindowHandlers handlers_;
  HandOffView& view_;
  std::array<QWidget*, kControlCount> controls_{};
  AnimationBox* box_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  std::vector<std::pair<QWidget*, int>> pageControls_;  // control, page it belongs to
  bool busyLabelWanted_ = false;  // 透明标签2 shown when its page is selected
  QTimer timer_;                  // 时钟1
  QTimer frameTimer_;             // waits for the window manager's frame
  int frameChecks_ = 0;
  bool frameFitted_ = false;
  bool resizeRuleActive_ = false;
  bool closed_ = false;
  std::function<void()> onClosed_;
  std::vector<QPointer<QMessageBox>> messages_;
};

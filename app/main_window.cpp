// app/main_window.cpp -- the main window's controls, frame and events, and its side of MainView.
#include "app/main_window.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QTabWidget>
#include <QWindow>

#include <iterator>
#include <utility>

#include "app/animation_box.h"
#include "app/qt_text.h"
#include "app/report_list.h"
#include "app/window_events.h"
#include "assets/assets.h"
#include "build_config.h"
#include "plans/plan_buttons.h"
#include "plans/plan_kinds.h"
#include "plans/plan_store.h"
#include "schedule/timer.h"

#ifdef TALLYRUNE_HAVE_WEBENGINE
#include <QWebEngineView>
#else
#include <QTextBrowser>
#endif

namespace {

// The window manager frames a shown window a moment later; look for the frame this often,
// this many times.
constexpr int kFrameCheckMilliseconds = 50;
constexpr int kFrameCheckLimit = 60;

// Tops of the ten plan buttons in the group box, in plan-kind order (all sit at left 16
// and are 144 x 24); their controls, captions and kinds come from the plan-kind table.
constexpr int kPlanButtonTops[] = {23, 47, 84, 108, 145, 169, 208, 232, 272, 296};
static_assert(std::size(kPlanButtonTops) == kPlanKinds.size());

// A face that holds the simplified Chinese characters: the system's own when it does,
// otherwise the first installed one that does.
QString ChineseFaceFamily() {
  QString general = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
  QStringList chinese = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
  if (chinese.isEmpty() || chinese.contains(general)) return general;
  return chinese.front();
}

QFont ChineseFont(int pixelHeight, bool bold) {
  QFont font(ChineseFaceFamily());
  font.setPixelSize(pixelHeight);
  font.setBold(bold);
  return font;
}

// A label drawn over whatever lies beneath it: bold black text, centred on one line.
QLabel* MakeTransparentLabel(QWidget* parent, const QRect& place, const char* text,
                             int pixelHeight) {
  auto* label = new QLabel(UiText(text), parent);
  label->setGeometry(place);
  label->setFont(ChineseFont(pixelHeight, true));
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignCenter);
  label->setWordWrap(false);
  label->setAutoFillBackground(false);
  label->setAttribute(Qt::WA_TransparentForMouseEvents);
  QPalette colours = label->palette();
  colours.setColor(QPalette::WindowText, Qt::black);
  label->setPalette(colours);
  return label;
}

ReportColumn Column(const char* caption, int width, Qt::Alignment alignment) {
  return ReportColumn{UiText(caption), width, alignment};
}

std::vector<ReportColumn> DigitColumns(const char* last) {
  return {Column("期号", 90, Qt::AlignLeft),    Column("万位", 50, Qt::AlignHCenter),
          Column("千位", 50, Qt::AlignHCenter), Column("百位", 50, Qt::AlignHCenter),
          Column("十位", 50, Qt::AlignHCenter), Column("个位", 50, Qt::AlignHCenter),
          Column(last, 60, Qt::AlignHCenter)};
}

QWidget* MakeInfoView(QWidget* parent) {
  QString page = QString::fromUtf8(LoadAsset("info.html"));
  QUrl address(QString::fromUtf8(build_config::kInfoPageUrl));
#ifdef TALLYRUNE_HAVE_WEBENGINE
  auto* web = new QWebEngineView(parent);
  if (address.isEmpty()) {
    web->setHtml(page, QUrl(QStringLiteral("qrc:/assets/")));
  } else {
    web->load(address);
  }
  return web;
#else
  auto* browser = new QTextBrowser(parent);
  browser->setOpenExternalLinks(true);
  // A text browser reads only local pages; a remote address falls back to the bundled one.
  if (!address.isEmpty() && (address.isLocalFile() || address.scheme() == QLatin1String("qrc"))) {
    browser->setSource(address);
  } else {
    browser->setHtml(page);
  }
  return browser;
#endif
}

QMessageBox::Icon IconOfStyle(int style) {
  switch (style & 0xF0) {
    case 0x10:
      return QMessageBox::Critical;
    case 0x20:
      return QMessageBox::Question;
    case 0x30:
      return QMessageBox::Warning;
    case 0x40:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

// A box without owner window and with one OK button; its texts are shown as they are.
QMessageBox* MakeMessageBox(const QString& text, int style, const QString& caption) {
  auto* box = new QMessageBox(IconOfStyle(style), caption, text, QMessageBox::Ok);
  box->setTextFormat(Qt::PlainText);
  return box;
}

}  // namespace

WindowHandlers WindowHandlers::Program() {
  return WindowHandlers{OnWindowCreated,        OnWindowResized,   OnTimerTick,
                        MillisecondsToNextTick, OnPlanButtonClick, OnClearPlansClick};
}

MainWindow::MainWindow(WindowHandlers handlers)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint),
      handlers_(std::move(handlers)),
      view_(HandOffView::Open(*this)) {
  setWindowTitle(QStringLiteral("Tallyrune"));
  setFont(ChineseFont(12, false));
  // Until a window manager frames the window, the client area takes the whole outer size.
  setFixedSize(kOuterWidth, kOuterHeight);
  MoveToScreenCentre();
  BuildControls();

  frameTimer_.setInterval(kFrameCheckMilliseconds);
  QObject::connect(&frameTimer_, &QTimer::timeout, this, [this] { FitFrame(); });

  timer_.setTimerType(Qt::PreciseTimer);
  timer_.setInterval(1000);
  QObject::connect(&timer_, &QTimer::timeout, this, [this] {
    // Restarted before the handler runs: a tick that lets events run (a refresh, a plan
    // generation) still sees the next ticks arrive, as a periodic timer's would.
    if (handlers_.nextTickDelay) timer_.start(handlers_.nextTickDelay());
    if (handlers_.timerTick) handlers_.timerTick();
  });
  timer_.start();
}

MainWindow::~MainWindow() {
  Shut();
}

void MainWindow::Create() {
  SetMainView(&view_);
  if (handlers_.created) handlers_.created();
  resizeRuleActive_ = true;
  if (handlers_.resized && !closed_) handlers_.resized();
}

void MainWindow::BuildControls() {
  box_ = new AnimationBox(this);
  box_->setGeometry(0, 0, 312, 96);
  controls_[static_cast<std::size_t>(Control::动画框1)] = box_;
  // The template 动画物体1 is never drawn itself; it starts with the plate's picture.
  box_->SetTemplatePicture(QImageFromPng(LoadAsset("plate.png")));

  tabs_ = new QTabWidget(this);
  tabs_->setGeometry(-1, 111, 650, 527);
  controls_[static_cast<std::size_t>(Control::选择夹1)] = tabs_;
  BuildTabPages();

  // Over the tab control: its row of tabs leaves the right part free beneath the view.
  QWidget* info = MakeInfoView(this);
  info->setGeometry(312, 0, 320, 136);
  controls_[static_cast<std::size_t>(Control::超文本浏览框1)] = info;

  controls_[static_cast<std::size_t>(Control::透明标签3)] =
      MakeTransparentLabel(this, QRect(139, 92, 178, 24), "请稍后，获取开奖数据中", 14);
  controls_[static_cast<std::size_t>(Control::透明标签1)] =
      MakeTransparentLabel(this, QRect(-2, 93, 154, 21), "倒计时", 14);

  // 透明标签2 belongs to the fourth page but stands in the row of tabs, where a page cannot
  // draw, and over the browser view: a child of the window, shown with its page.
  QLabel* busy = MakeTransparentLabel(this, QRect(tabs_->pos() + QPoint(277, 0), QSize(184, 32)),
                                      "正则匹配中，请稍后", 16);
  controls_[static_cast<std::size_t>(Control::透明标签2)] = busy;
  pageControls_.emplace_back(busy, 3);

  QObject::connect(tabs_, &QTabWidget::currentChanged, this,
                   [this](int page) { ShowPageControls(page); });
  ShowPageControls(tabs_->currentIndex());
}

// The page widgets start below the row of tabs, but page positions count from the tab
// control's own corner: the page controls are children of the tab control itself, shown
// while their page is selected.
void MainWindow::BuildTabPages() {
  for (const char* caption : {"统计区域", "大小统计", "单双统计", "必赢计划"}) {
    tabs_->addTab(new QWidget, UiText(caption));
  }

  auto addList = [this](Control control, int page, const QRect& place,
                        std::vector<ReportColumn> columns, bool headerClickable) {
    auto* list = new ReportList(std::move(columns), headerClickable, tabs_);
    list->setGeometry(place);
    controls_[static_cast<std::size_t>(control)] = list;
    pageControls_.emplace_back(list, page);
  };
  addList(Control::超级列表框1, 0, QRect(1, 25, 642, 494),
          {Column("期号", 85, Qt::AlignLeft), Column("开奖号", 90, Qt::AlignLeft),
           Column("万位", 50, Qt::AlignHCenter), Column("千位", 50, Qt::AlignHCenter),
           Column("百位", 50, Qt::AlignHCenter), Column("十位", 50, Qt::AlignHCenter),
           Column("个位", 50, Qt::AlignHCenter), Column("总和大小", 60, Qt::AlignHCenter),
           Column("总和单双", 60, Qt::AlignHCenter), Column("龙虎和", 60, Qt::AlignHCenter)},
          false);
  addList(Control::超级列表框2, 1, QRect(1, 25, 625, 494), DigitColumns("总和大小"), false);
  addList(Control::超级列表框3, 2, QRect(1, 25, 625, 494), DigitColumns("总和单双"), false);

  auto* group = new QGroupBox(tabs_);
  group->setGeometry(7, 27, 176, 492);
  controls_[static_cast<std::size_t>(Control::分组框1)] = group;
  pageControls_.emplace_back(group, 3);
  BuildPlanButtons(group);

  // Its header reacts to clicks like a pressed button, and nothing more.
  addList(Control::超级列表框4, 3, QRect(188, 33, 436, 487),
          {Column("Num", 35, Qt::AlignLeft), Column("预测统计", 350, Qt::AlignLeft)}, true);
  tabs_->setCurrentIndex(0);
}

void MainWindow::BuildPlanButtons(QWidget* groupBox) {
  for (const PlanKind& plan : kPlanKinds) {
    auto* button = new QPushButton(UiText(plan.caption), groupBox);
    button->setGeometry(16, kPlanButtonTops[plan.kind - 1], 144, 24);
    controls_[static_cast<std::size_t>(plan.button)] = button;
    QObject::connect(button, &QPushButton::clicked, this, [this, kind = plan.kind] {
      if (handlers_.planButton) handlers_.planButton(kind);
    });
  }
  auto* clear = new QPushButton(UiText("清理计划重新匹配"), groupBox);
  clear->setGeometry(31, 338, 112, 32);
  controls_[static_cast<std::size_t>(Control::按钮3)] = clear;
  QObject::connect(clear, &QPushButton::clicked, this, [this] {
    if (handlers_.clearPlans) handlers_.clearPlans();
  });
}

void MainWindow::ShowPageControls(int page) {
  QWidget* busy = controls_[static_cast<std::size_t>(Control::透明标签2)];
  for (auto [widget, ownPage] : pageControls_) {
    bool wanted = widget == busy ? busyLabelWanted_ : true;
    widget->setVisible(wanted && ownPage == page);
  }
}

QWidget* MainWindow::ControlWidget(Control control) const {
  if (control == Control::主窗口) return const_cast<MainWindow*>(this);
  return controls_[static_cast<std::size_t>(control)];
}

ReportList* MainWindow::List(Control list) const {
  switch (list) {
    case Control::超级列表框1:
    case Control::超级列表框2:
    case Control::超级列表框3:
    case Control::超级列表框4:
      return static_cast<ReportList*>(controls_[static_cast<std::size_t>(list)]);
    default:
      return nullptr;
  }
}

std::vector<QMessageBox*> MainWindow::OpenMessages() const {
  std::vector<QMessageBox*> open;
  for (const QPointer<QMessageBox>& box : messages_) {
    if (box) open.push_back(box.data());
  }
  return open;
}

// The frame's size is known once a window manager has framed the window: then the client
// area shrinks so that the outer size is the window's own, and the frame is centred.
void MainWindow::FitFrame() {
  if (frameFitted_) return;
  QWindow* handle = windowHandle();
  QMargins margins = handle ? handle->frameMargins() : QMargins();
  if (margins.isNull()) {
    if (++frameChecks_ >= kFrameCheckLimit) frameTimer_.stop();
    return;
  }
  frameTimer_.stop();
  frameFitted_ = true;
  setFixedSize(kOuterWidth - margins.left() - margins.right(),
               kOuterHeight - margins.top() - margins.bottom());
  MoveToScreenCentre();
}

void MainWindow::MoveToScreenCentre() {
  QScreen* display = screen() ? screen() : QGuiApplication::primaryScreen();
  if (!display) return;
  QRect area = display->geometry();
  // move() places the frame's corner, so the outer size is what gets centred.
  move(area.x() + (area.width() - kOuterWidth) / 2, area.y() + (area.height() - kOuterHeight) / 2);
}

void MainWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (frameFitted_) return;
  FitFrame();
  if (!frameFitted_ && !frameTimer_.isActive()) frameTimer_.start();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // A minimised window's size says nothing of the window the user will restore.
  if (!resizeRuleActive_ || closed_ || isMinimized()) return;
  if (handlers_.resized) handlers_.resized();
}

// Sizes that changed while the window was minimised are caught up when it comes back.
void MainWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange) return;
  auto* change = static_cast<QWindowStateChangeEvent*>(event);
  bool restored = (change->oldState() & Qt::WindowMinimized) && !isMinimized();
  if (restored && resizeRuleActive_ && !closed_ && handlers_.resized) handlers_.resized();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  if (event->isAccepted()) Shut();
}

// The view turns inert first, so that a thread still calling it never reaches a control
// that is about to go; then the window's own boxes and timers stop.
void MainWindow::Shut() {
  if (closed_) return;
  closed_ = true;
  view_.Close();
  if (&::View() == &view_) SetMainView(nullptr);
  timer_.stop();
  frameTimer_.stop();
  for (QPointer<QMessageBox>& box : messages_) delete box.data();
  messages_.clear();
  if (onClosed_) onClosed_();
}

void MainWindow::ShowMainWindow() {
  show();
}

void MainWindow::SetButtonEnabled(Control button, bool enabled) {
  if (auto* widget = qobject_cast<QPushButton*>(ControlWidget(button))) widget->setEnabled(enabled);
}

void MainWindow::SetLabelText(Control label, const QString& text) {
  auto* widget = qobject_cast<QLabel*>(ControlWidget(label));
  if (!widget) return;
  widget->setText(text);
  if (widget->isVisible()) widget->repaint();
}

void MainWindow::SetLabelVisible(Control label, bool visible) {
  auto* widget = qobject_cast<QLabel*>(ControlWidget(label));
  if (!widget) return;
  if (label == Control::透明标签2) {
    busyLabelWanted_ = visible;
    ShowPageControls(tabs_->currentIndex());
  } else {
    widget->setVisible(visible);
  }
}

ControlSize MainWindow::GetControlSize(Control control) {
  if (control == Control::主窗口) {
    QSize outer = frameGeometry().size();
    return {outer.width(), outer.height()};
  }
  QWidget* widget = ControlWidget(control);
  return widget ? ControlSize{widget->width(), widget->height()} : ControlSize{};
}

void MainWindow::SetControlSize(Control control, std::optional<int> width,
                                std::optional<int> height) {
  if (control == Control::主窗口) {
    // Sizes of the window are outer sizes; the frame keeps its own.
    QSize frame = frameGeometry().size() - size();
    QSize outer = frameGeometry().size();
    setFixedSize(width.value_or(outer.width()) - frame.width(),
                 height.value_or(outer.height()) - frame.height());
    return;
  }
  QWidget* widget = ControlWidget(control);
  if (!widget) return;
  widget->resize(width.value_or(widget->width()), height.value_or(widget->height()));
}

void MainWindow::ListClear(Control list) {
  if (ReportList* widget = List(list)) widget->Rows().Clear();
}

void MainWindow::ListInsertRow(Control list, int position, const QString& caption) {
  if (ReportList* widget = List(list)) widget->Rows().InsertRow(position, caption);
}

void MainWindow::ListSetCell(Control list, int row, int column, const QString& text) {
  if (ReportList* widget = List(list)) widget->Rows().SetCell(row, column, text);
}

void MainWindow::SetTemplatePicture(const QImage& picture) {
  box_->SetTemplatePicture(picture);
}

int MainWindow::CreateBoxObject(int left, int top, bool visible) {
  return box_->CreateObject(left, top, visible);
}

void MainWindow::DestroyBoxObject(int id) {
  box_->DestroyObject(id);
}

void MainWindow::SetBoxObjectVisible(int id, bool visible) {
  box_->SetObjectVisible(id, visible);
}

void MainWindow::ShowModalMessage(const QString& text, int style, const QString& caption) {
  std::unique_ptr<QMessageBox> box(MakeMessageBox(text, style, caption));
  box->exec();
}

void MainWindow::OpenMessage(const QString& text, int style, const QString& caption,
                             std::function<void()> closed) {
  QMessageBox* box = MakeMessageBox(text, style, caption);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::NonModal);
  auto pending = std::make_shared<std::function<void()>>(std::move(closed));
  auto finish = [pending] {
    if (*pending) std::exchange(*pending, nullptr)();
  };
  QObject::connect(box, &QDialog::finished, box, finish);
  QObject::connect(box, &QObject::destroyed, box, finish);
  messages_.emplace_back(box);
  box->show();
}

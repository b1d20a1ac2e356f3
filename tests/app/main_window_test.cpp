// tests/app/main_window_test.cpp -- the window's controls, their places and styles, the resize
// rule.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>

#include "app/main_window.h"
#include "app/report_list.h"
#include "platform/codepage.h"
#include "tests/app/window_test_support.h"

namespace {

QString Utf8(const char* text) {
  return QString::fromUtf8(text);
}

class MainWindowTest : public ::testing::Test {
 protected:
  HandlerCalls calls;
  std::unique_ptr<MainWindow> window = MakeTestWindow(calls);

  QRect PlaceInWindow(Control control) const {
    QWidget* widget = window->ControlWidget(control);
    return QRect(widget->mapTo(window.get(), QPoint(0, 0)), widget->size());
  }
};

TEST_F(MainWindowTest, ControlsSitAtTheirPlacesInTheWindow) {
  // Page controls count from the tab control's own corner (-1, 111), group box buttons from
  // the group box's corner (6, 138).
  struct Case {
    Control control;
    QRect place;
  } cases[] = {
      {Control::动画框1, {0, 0, 312, 96}},          {Control::透明标签3, {139, 92, 178, 24}},
      {Control::透明标签1, {-2, 93, 154, 21}},      {Control::超文本浏览框1, {312, 0, 320, 136}},
      {Control::选择夹1, {-1, 111, 650, 527}},      {Control::超级列表框1, {0, 136, 642, 494}},
      {Control::超级列表框2, {0, 136, 625, 494}},   {Control::超级列表框3, {0, 136, 625, 494}},
      {Control::透明标签2, {276, 111, 184, 32}},    {Control::分组框1, {6, 138, 176, 492}},
      {Control::超级列表框4, {187, 144, 436, 487}}, {Control::按钮_个位大小, {22, 161, 144, 24}},
      {Control::按钮_个位单双, {22, 185, 144, 24}}, {Control::按钮_十位大小, {22, 222, 144, 24}},
      {Control::按钮_十位单双, {22, 246, 144, 24}}, {Control::按钮_百位大小, {22, 283, 144, 24}},
      {Control::按钮_百位单双, {22, 307, 144, 24}}, {Control::按钮_千位大小, {22, 346, 144, 24}},
      {Control::按钮_千位单双, {22, 370, 144, 24}}, {Control::按钮_万位大小, {22, 410, 144, 24}},
      {Control::按钮_万位单双, {22, 434, 144, 24}}, {Control::按钮3, {37, 476, 112, 32}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PlaceInWindow(c.control), c.place) << ControlName(c.control);
  }
}

TEST_F(MainWindowTest, FrameIsFixedWithCaptionAndNoMaximiseButton) {
  EXPECT_EQ(window->windowTitle(), Utf8("Tallyrune"));
  EXPECT_FALSE(window->isVisible());  // created hidden
  EXPECT_EQ(window->minimumSize(), window->maximumSize());
  Qt::WindowFlags flags = window->windowFlags();
  EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
}

TEST_F(MainWindowTest, TransparentLabelsAreBoldCentredBlackAndChineseCapable) {
  struct Case {
    Control control;
    const char* text;
    int pixelHeight;
    bool visibleOnItsPage;
  } cases[] = {
      {Control::透明标签1, "倒计时", 14, true},
      {Control::透明标签3, "请稍后，获取开奖数据中", 14, true},
      {Control::透明标签2, "正则匹配中，请稍后", 16, false},  // hidden at start
  };
  window->show();
  window->Tabs()->setCurrentIndex(3);
  for (const Case& c : cases) {
    auto* label = qobject_cast<QLabel*>(window->ControlWidget(c.control));
    ASSERT_NE(label, nullptr) << ControlName(c.control);
    EXPECT_EQ(label->text(), Utf8(c.text));
    EXPECT_EQ(label->font().pixelSize(), c.pixelHeight);
    EXPECT_TRUE(label->font().bold());
    EXPECT_EQ(label->alignment(), Qt::AlignCenter);
    EXPECT_FALSE(label->wordWrap());
    EXPECT_FALSE(label->autoFillBackground());
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(Qt::black));
    EXPECT_TRUE(QFontMetrics(label->font()).inFont(QChar(0x4E2D)));  // 中
    EXPECT_EQ(label->isVisible(), c.visibleOnItsPage) << ControlName(c.control);
  }
}

TEST_F(MainWindowTest, ListsHaveTheirColumnsAndHeaderBehaviour) {
  struct Column {
    const char* caption;
    int width;
    Qt::Alignment alignment;
  };
  const auto L = Qt::AlignLeft;
  const auto C = Qt::AlignHCenter;
  struct Case {
    Control list;
    std::vector<Column> columns;
    bool headerClickable;
  } cases[] = {
      {Control::超级列表框1,
       {{"期号", 85, L},
        {"开奖号", 90, L},
        {"万位", 50, C},
        {"千位", 50, C},
        {"百位", 50, C},
        {"十位", 50, C},
        {"个位", 50, C},
        {"总和大小", 60, C},
        {"总和单双", 60, C},
        {"龙虎和", 60, C}},
       false},
      {Control::超级列表框2,
       {{"期号", 90, L},
        {"万位", 50, C},
        {"千位", 50, C},
        {"百位", 50, C},
        {"十位", 50, C},
        {"个位", 50, C},
        {"总和大小", 60, C}},
       false},
      {Control::超级列表框3,
       {{"期号", 90, L},
        {"万位", 50, C},
        {"千位", 50, C},
        {"百位", 50, C},
        {"十位", 50, C},
        {"个位", 50, C},
        {"总和单双", 60, C}},
       false},
      {Control::超级列表框4, {{"Num", 35, L}, {"预测统计", 350, L}}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ControlName(c.list));
    ReportList* list = window->List(c.list);
    ASSERT_NE(list, nullptr);
    const ReportListModel& rows = list->Rows();
    ASSERT_EQ(rows.columnCount(), static_cast<int>(c.columns.size()));
    for (int i = 0; i < rows.columnCount(); ++i) {
      const Column& column = c.columns[static_cast<std::size_t>(i)];
      EXPECT_EQ(rows.headerData(i, Qt::Horizontal, Qt::DisplayRole).toString(),
                Utf8(column.caption));
      EXPECT_EQ(list->horizontalHeader()->sectionSize(i), column.width) << i;
      auto alignment =
          rows.headerData(i, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>() &
          Qt::AlignHorizontal_Mask;
      EXPECT_EQ(alignment, column.alignment) << i;
    }
    EXPECT_EQ(list->horizontalHeader()->sectionsClickable(), c.headerClickable);
    EXPECT_FALSE(list->horizontalHeader()->sectionsMovable());
    EXPECT_FALSE(list->isSortingEnabled());
    EXPECT_TRUE(list->showGrid());
    EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(list->editTriggers(), QAbstractItemView::NoEditTriggers);
  }
}

TEST_F(MainWindowTest, ClickingThePlanTableHeaderChangesNothing) {
  window->Create();
  window->Tabs()->setCurrentIndex(3);
  MainView& view = View();
  for (const char* caption : {"3", "1", "2"}) view.ListInsertRow(Control::超级列表框4, -1, caption);
  ReportList* list = window->List(Control::超级列表框4);
  list->selectRow(1);

  QHeaderView* header = list->horizontalHeader();
  QPoint point(header->sectionViewportPosition(0) + 5, header->height() / 2);
  for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    QMouseEvent click(type, point, header->viewport()->mapToGlobal(point), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(header->viewport(), &click);
  }

  EXPECT_EQ(list->Rows().Text(0, 0), Utf8("3"));
  EXPECT_EQ(list->Rows().Text(1, 0), Utf8("1"));
  EXPECT_EQ(list->Rows().Text(2, 0), Utf8("2"));
  ASSERT_EQ(list->selectionModel()->selectedRows().size(), 1);
  EXPECT_EQ(list->selectionModel()->selectedRows().front().row(), 1);
}

TEST_F(MainWindowTest, PageControlsShowOnlyWithTheirPage) {
  window->Create();
  QTabWidget* tabs = window->Tabs();
  ASSERT_EQ(tabs->count(), 4);
  const char* captions[] = {"统计区域", "大小统计", "单双统计", "必赢计划"};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(tabs->tabText(i), Utf8(captions[i]));
  EXPECT_EQ(tabs->currentIndex(), 0);

  auto shown = [&](Control control) { return window->ControlWidget(control)->isVisible(); };
  EXPECT_TRUE(shown(Control::超级列表框1));
  EXPECT_FALSE(shown(Control::超级列表框2));
  EXPECT_FALSE(shown(Control::分组框1));

  // The busy label asked for while another page is selected appears with its page only.
  View().SetLabelVisible(Control::透明标签2, true);
  EXPECT_FALSE(shown(Control::透明标签2));
  tabs->setCurrentIndex(3);
  EXPECT_TRUE(shown(Control::透明标签2));
  EXPECT_TRUE(shown(Control::分组框1));
  EXPECT_TRUE(shown(Control::超级列表框4));
  EXPECT_FALSE(shown(Control::超级列表框1));
  View().SetLabelVisible(Control::透明标签2, false);
  EXPECT_FALSE(shown(Control::透明标签2));
  tabs->setCurrentIndex(1);
  EXPECT_TRUE(shown(Control::超级列表框2));
  EXPECT_FALSE(shown(Control::超级列表框4));
}

TEST_F(MainWindowTest, ResizeRuleSizesTheTabControlAndTheDrawList) {
  window->Create();
  MainView& view = View();
  EXPECT_EQ(view.GetControlSize(Control::主窗口), (ControlSize{638, 665}));
  EXPECT_EQ(view.GetControlSize(Control::选择夹1), (ControlSize{628, 615}));
  EXPECT_EQ(view.GetControlSize(Control::超级列表框1), (ControlSize{618, 565}));
  // Nothing else is sized.
  EXPECT_EQ(view.GetControlSize(Control::超级列表框2), (ControlSize{625, 494}));
  EXPECT_EQ(view.GetControlSize(Control::分组框1), (ControlSize{176, 492}));
  EXPECT_EQ(PlaceInWindow(Control::超级列表框1).topLeft(), QPoint(0, 136));

  view.SetControlSize(Control::主窗口, 700, std::nullopt);
  EXPECT_EQ(view.GetControlSize(Control::主窗口), (ControlSize{700, 665}));
  EXPECT_EQ(view.GetControlSize(Control::选择夹1), (ControlSize{690, 615}));
  EXPECT_EQ(view.GetControlSize(Control::超级列表框1), (ControlSize{680, 565}));
}

TEST_F(MainWindowTest, ResizeRuleWaitsWhileMinimisedAndCatchesUpOnRestore) {
  window->Create();
  MainView& view = View();
  window->showMinimized();
  ASSERT_TRUE(window->isMinimized());
  view.SetControlSize(Control::主窗口, 660, 700);
  EXPECT_EQ(view.GetControlSize(Control::选择夹1), (ControlSize{628, 615}));
  window->showNormal();
  EXPECT_EQ(view.GetControlSize(Control::选择夹1), (ControlSize{650, 650}));
  EXPECT_EQ(view.GetControlSize(Control::超级列表框1), (ControlSize{640, 600}));
}

TEST_F(MainWindowTest, ButtonsRunTheirHandlersWithTheirPlanKinds) {
  const Control planButtons[] = {Control::按钮_个位大小, Control::按钮_个位单双,
                                 Control::按钮_十位大小, Control::按钮_十位单双,
                                 Control::按钮_百位大小, Control::按钮_百位单双,
                                 Control::按钮_千位大小, Control::按钮_千位单双,
                                 Control::按钮_万位大小, Control::按钮_万位单双};
  for (Control button : planButtons) {
    qobject_cast<QPushButton*>(window->ControlWidget(button))->click();
  }
  EXPECT_EQ(calls.planKinds, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  qobject_cast<QPushButton*>(window->ControlWidget(Control::按钮3))->click();
  EXPECT_EQ(calls.clearPlans, 1);

  EXPECT_EQ(qobject_cast<QPushButton*>(window->ControlWidget(Control::按钮_十位单双))->text(),
            Utf8("十位单双正则计划"));
  EXPECT_EQ(qobject_cast<QPushButton*>(window->ControlWidget(Control::按钮3))->text(),
            Utf8("清理计划重新匹配"));
}

TEST_F(MainWindowTest, TimerTicksEverySecondFromCreation) {
  QTimer* timer = window->Timer();
  EXPECT_TRUE(timer->isActive());
  EXPECT_EQ(timer->interval(), 1000);
  timer->setInterval(1);  // only to see a tick reach its handler quickly
  EXPECT_TRUE(PumpUntil([&] { return calls.ticks > 0; }));
}

TEST(MainWindowTimerTest, TickAsksForTheWaitUntilTheNextTick) {
  int ticks = 0;
  std::vector<int> delays = {1, 2, 60000};
  std::size_t asked = 0;
  WindowHandlers handlers;
  handlers.timerTick = [&] { ++ticks; };
  handlers.nextTickDelay = [&] { return asked < delays.size() ? delays[asked++] : 60000; };
  MainWindow window(std::move(handlers));
  window.Timer()->setInterval(1);
  ASSERT_TRUE(PumpUntil([&] { return asked == 3; }));
  EXPECT_EQ(ticks, 3);
  EXPECT_TRUE(window.Timer()->isActive());
  EXPECT_EQ(window.Timer()->interval(), 60000);
}

TEST_F(MainWindowTest, ViewOperationsReachTheControls) {
  window->Create();
  MainView& view = View();
  view.SetLabelText(Control::透明标签1, Gbk("距开奖剩余：12 秒"));
  EXPECT_EQ(qobject_cast<QLabel*>(window->ControlWidget(Control::透明标签1))->text(),
            Utf8("距开奖剩余：12 秒"));
  view.SetLabelVisible(Control::透明标签3, false);
  EXPECT_FALSE(window->ControlWidget(Control::透明标签3)->isVisible());
  view.SetButtonEnabled(Control::按钮_万位单双, false);
  EXPECT_FALSE(window->ControlWidget(Control::按钮_万位单双)->isEnabled());
  view.SetButtonEnabled(Control::按钮_万位单双, true);
  EXPECT_TRUE(window->ControlWidget(Control::按钮_万位单双)->isEnabled());
  view.SetControlSize(Control::超级列表框4, std::nullopt, 300);
  EXPECT_EQ(view.GetControlSize(Control::超级列表框4), (ControlSize{436, 300}));
}

TEST_F(MainWindowTest, ListInsertAppendsAtOrPastTheEndAndBeforeTheStart) {
  window->Create();
  MainView& view = View();
  const Control list = Control::超级列表框2;
  view.ListInsertRow(list, 0, "a");
  view.ListInsertRow(list, 1, "b");  // rows: a b
  struct Case {
    int position;
    int expectedIndex;
  } cases[] = {{2, 2}, {9, 3}, {-1, 4}, {0, 0}, {3, 3}};
  std::vector<QString> expected = {"a", "b"};
  for (const Case& c : cases) {
    QString caption = QString::number(c.position);
    EXPECT_EQ(view.ListInsertRow(list, c.position, caption.toStdString()), c.expectedIndex)
        << c.position;
    expected.insert(expected.begin() + c.expectedIndex, caption);
  }
  const ReportListModel& rows = window->List(list)->Rows();
  ASSERT_EQ(view.ListRowCount(list), static_cast<int>(expected.size()));
  ASSERT_EQ(rows.rowCount(), static_cast<int>(expected.size()));
  for (int i = 0; i < rows.rowCount(); ++i) {
    EXPECT_EQ(rows.Text(i, 0), expected[static_cast<std::size_t>(i)]) << i;
  }

  view.ListSetCell(list, 1, 6, Gbk("大"));
  view.ListSetCell(list, 1, 7, "past the last column");
  view.ListSetCell(list, 99, 1, "no such row");
  EXPECT_EQ(rows.Text(1, 6), Utf8("大"));
  EXPECT_EQ(rows.Text(1, 0), expected[1]);
  view.ListClear(list);
  EXPECT_EQ(view.ListRowCount(list), 0);
  EXPECT_EQ(rows.rowCount(), 0);
  EXPECT_EQ(view.ListInsertRow(Control::按钮3, 0, "not a list"), -1);
}

}  // namespace

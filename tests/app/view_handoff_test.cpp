// tests/app/view_handoff_test.cpp -- view operations from other threads, message boxes, closing.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <thread>

#include "app/main_window.h"
#include "app/report_list.h"
#include "platform/codepage.h"
#include "tests/app/window_test_support.h"

namespace {

using namespace std::chrono_literals;

class ViewHandOffTest : public ::testing::Test {
 protected:
  HandlerCalls calls;
  std::unique_ptr<MainWindow> window = MakeTestWindow(calls);
  HandOffView& view = (window->Create(), window->WindowView());

  const ReportListModel& Rows(Control list) { return window->List(list)->Rows(); }
  QWidget* Widget(Control control) { return window->ControlWidget(control); }

  // Waits until count operations are queued, without running any of them.
  bool QueuedWithoutRunning(std::size_t count) {
    for (int i = 0; i < 500 && view.QueuedCount() < count; ++i) std::this_thread::sleep_for(2ms);
    return view.QueuedCount() >= count;
  }
};

// The first message box opened for another thread and still open, or null.
QMessageBox* OpenMessageBox(MainWindow& window) {
  auto open = window.OpenMessages();
  return open.empty() ? nullptr : open.front();
}

TEST_F(ViewHandOffTest, WorkerOperationCompletesOnTheWindowThreadBeforeReturning) {
  std::atomic<bool> returned{false};
  std::thread worker([&] {
    view.SetButtonEnabled(Control::按钮3, false);
    returned = true;
  });
  // Without events running on the window's thread, the operation cannot complete.
  ASSERT_TRUE(QueuedWithoutRunning(1));
  EXPECT_FALSE(returned);
  EXPECT_TRUE(Widget(Control::按钮3)->isEnabled());
  ASSERT_TRUE(PumpUntil([&] { return returned.load(); }));
  EXPECT_FALSE(Widget(Control::按钮3)->isEnabled());
  worker.join();
}

TEST_F(ViewHandOffTest, WorkerOperationsArriveInTheOrderTheyWereCalled) {
  std::atomic<int> stage{0};
  ControlSize size;
  std::thread worker([&] {
    for (int row = 0; row < 10; ++row) {
      int at = view.ListInsertRow(Control::超级列表框1, -1, "id" + std::to_string(row));
      view.ListSetCell(Control::超级列表框1, at, 1, "n" + std::to_string(row));
    }
    view.SetLabelText(Control::透明标签3, Gbk("请稍后，获取开奖数据中"));
    size = view.GetControlSize(Control::超级列表框1);
    stage = 1;
    while (stage != 2) std::this_thread::sleep_for(1ms);
    view.ListClear(Control::超级列表框1);
    view.ListInsertRow(Control::超级列表框1, 0, "after");
    view.SetLabelText(Control::透明标签3, "");
    stage = 3;
  });

  ASSERT_TRUE(PumpUntil([&] { return stage == 1; }));
  // The round trips ran after the list operations queued before them.
  const ReportListModel& rows = Rows(Control::超级列表框1);
  ASSERT_EQ(rows.rowCount(), 10);
  for (int row = 0; row < 10; ++row) {
    EXPECT_EQ(rows.Text(row, 0), QString("id%1").arg(row));
    EXPECT_EQ(rows.Text(row, 1), QString("n%1").arg(row));
  }
  EXPECT_EQ(size, (ControlSize{618, 565}));

  stage = 2;
  ASSERT_TRUE(PumpUntil([&] { return stage == 3; }));
  ASSERT_EQ(rows.rowCount(), 1);
  EXPECT_EQ(rows.Text(0, 0), QString("after"));
  EXPECT_EQ(qobject_cast<QLabel*>(Widget(Control::透明标签3))->text(), QString());
  worker.join();
}

TEST_F(ViewHandOffTest, ListResultsAreKnownBeforeTheWindowThreadRunsTheQueue) {
  std::vector<int> indexes;
  int count = -1;
  std::thread worker([&] {
    for (const char* caption : {"b", "c", "a"}) {
      indexes.push_back(view.ListInsertRow(Control::超级列表框4, *caption == 'a' ? 0 : 7, caption));
    }
    count = view.ListRowCount(Control::超级列表框4);
  });
  worker.join();  // returns without the window's thread having run anything
  EXPECT_EQ(indexes, (std::vector<int>{0, 1, 0}));
  EXPECT_EQ(count, 3);
  EXPECT_EQ(Rows(Control::超级列表框4).rowCount(), 0);

  // An operation on the window's thread first runs what was queued before it.
  EXPECT_EQ(view.ListInsertRow(Control::超级列表框4, 1, "window"), 1);
  const ReportListModel& rows = Rows(Control::超级列表框4);
  ASSERT_EQ(rows.rowCount(), 4);
  EXPECT_EQ(rows.Text(0, 0), QString("a"));
  EXPECT_EQ(rows.Text(1, 0), QString("window"));
  EXPECT_EQ(rows.Text(2, 0), QString("b"));
  EXPECT_EQ(rows.Text(3, 0), QString("c"));
}

TEST_F(ViewHandOffTest, MessageFromWorkerLeavesTheWindowResponsive) {
  std::atomic<bool> returned{false};
  std::thread worker([&] {
    view.ShowMessage(Gbk("开奖数据未成功获取，请确保能联网"), kMessageStyleError);
    returned = true;
  });
  ASSERT_TRUE(PumpUntil([&] { return OpenMessageBox(*window) != nullptr; }));
  QMessageBox* box = OpenMessageBox(*window);
  EXPECT_EQ(box->parentWidget(), nullptr);
  EXPECT_EQ(box->windowModality(), Qt::NonModal);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_EQ(box->windowTitle(), QString::fromUtf8("信息："));
  EXPECT_EQ(box->text(), QString::fromUtf8("开奖数据未成功获取，请确保能联网"));
  EXPECT_EQ(box->icon(), QMessageBox::Critical);
  EXPECT_EQ(box->buttons().size(), 1);

  // While the box is open, other threads' operations still reach the window.
  ControlSize size;
  std::thread other([&] { size = view.GetControlSize(Control::选择夹1); });
  ASSERT_TRUE(PumpUntil([&] { return size.width != 0; }));
  other.join();
  EXPECT_FALSE(returned);

  box->button(QMessageBox::Ok)->click();
  ASSERT_TRUE(PumpUntil([&] { return returned.load(); }));
  worker.join();
}

TEST_F(ViewHandOffTest, MessageOnTheWindowThreadIsModalUntilClosed) {
  struct Case {
    int style;
    QMessageBox::Icon icon;
  } cases[] = {{kMessageStylePlain, QMessageBox::NoIcon},
               {kMessageStyleError, QMessageBox::Critical}};
  for (const Case& c : cases) {
    QMessageBox::Icon seenIcon = QMessageBox::Question;
    int seenButtons = 0;
    QString seenCaption;
    QTimer closer;
    closer.setInterval(5);
    QObject::connect(&closer, &QTimer::timeout, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      seenIcon = box->icon();
      seenButtons = static_cast<int>(box->buttons().size());
      seenCaption = box->windowTitle();
      box->button(QMessageBox::Ok)->click();
    });
    closer.start();
    View().ShowMessage(Gbk("时间同步失败"), c.style, "Caption");
    EXPECT_EQ(seenIcon, c.icon) << c.style;
    EXPECT_EQ(seenButtons, 1);
    EXPECT_EQ(seenCaption, QString("Caption"));
  }
}

TEST_F(ViewHandOffTest, ClosingReleasesWaitingWorkersAndTurnsTheViewInert) {
  ControlSize size{1, 1};
  std::atomic<bool> messageReturned{false};
  std::thread waiting([&] { size = view.GetControlSize(Control::主窗口); });
  std::thread messaging([&] {
    view.ShowMessage("still open", kMessageStylePlain);
    messageReturned = true;
  });
  ASSERT_TRUE(QueuedWithoutRunning(2));
  window->close();
  waiting.join();
  messaging.join();
  EXPECT_EQ(size, ControlSize{});
  EXPECT_TRUE(messageReturned);
  EXPECT_NE(&View(), static_cast<MainView*>(&view));

  // Later calls from any thread do nothing and return neutral values.
  std::thread late([&] {
    EXPECT_EQ(view.CreateBoxObject(0, 0), 0);
    EXPECT_EQ(view.ListInsertRow(Control::超级列表框1, 0, "x"), 0);
    view.ShowMessage("after close", kMessageStylePlain);
  });
  late.join();
  EXPECT_EQ(view.GetControlSize(Control::选择夹1), ControlSize{});
  EXPECT_EQ(view.ListRowCount(Control::超级列表框1), 0);
  window.reset();
  EXPECT_EQ(view.GetControlSize(Control::选择夹1), ControlSize{});
}

TEST_F(ViewHandOffTest, ClosingWhileWorkersCallTheViewEndsCleanly) {
  std::atomic<bool> stop{false};
  std::atomic<int> rounds{0};
  auto work = [&](int seed) {
    while (!stop) {
      MainView& current = view;  // a worker keeps the view it took, like a display thread
      int at = current.ListInsertRow(Control::超级列表框1, -1, std::to_string(seed));
      current.ListSetCell(Control::超级列表框1, at, 2, "7");
      current.SetLabelText(Control::透明标签3, "x");
      current.SetTemplatePicture(PngOf(Filled(3, 3, Qt::red)));
      current.DestroyBoxObject(current.CreateBoxObject(seed, 0));
      current.GetControlSize(Control::选择夹1);
      if (seed == 0 && at % 50 == 0) current.ListClear(Control::超级列表框1);
      ++rounds;
    }
  };
  std::thread messaging([&] { view.ShowMessage("left open", kMessageStylePlain); });
  std::vector<std::thread> workers;
  for (int seed = 0; seed < 3; ++seed) workers.emplace_back(work, seed);

  ASSERT_TRUE(PumpUntil([&] { return rounds > 200 && !window->OpenMessages().empty(); }));
  window->close();
  window.reset();  // controls gone while the workers are still calling
  int afterClose = rounds;
  while (rounds < afterClose + 100) std::this_thread::sleep_for(1ms);
  stop = true;
  for (std::thread& worker : workers) worker.join();
  messaging.join();
}

}  // namespace

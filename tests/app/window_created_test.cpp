// tests/app/window_created_test.cpp -- the window-created sequence, against the recording view.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/shared_state.h"
#include "app/window_events.h"
#include "platform/codepage.h"
#include "platform/event_wait.h"
#include "platform/png.h"
#include "platform/time_request.h"
#include "tests/support/recording_view.h"

namespace {

class WindowCreatedTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitSharedState();
    dataReady = true;  // the sequence must clear it
    SetMainView(&view_);
    // Every step that leaves the view is recorded in the view's own log, so the order of
    // the whole sequence can be read from one list.
    SetDateRequestForTest([this](const std::string&) {
      view_.SetLabelText(Control::透明标签3, "<date request>");
      return std::string();  // no Date: the clock is left alone
    });
    SetEventWaitHooksForTest({[] {},
                              [this](int ms) {
                                view_.SetLabelText(Control::透明标签3,
                                                   "<wait " + std::to_string(ms) + ">");
                              }});
    SetStartupRefreshForTest([this] {
      dataReadyAtRefresh_ = dataReady.load();
      view_.SetLabelText(Control::透明标签3, "<refresh started>");
    });
  }
  void TearDown() override {
    SetStartupRefreshForTest({});
    SetEventWaitHooksForTest({});
    SetDateRequestForTest({});
    SetMainView(nullptr);
  }

  RecordingView view_;
  bool dataReadyAtRefresh_ = true;
};

TEST_F(WindowCreatedTest, RunsItsStepsInOrder) {
  OnWindowCreated();

  const std::vector<std::string> expected = {
      "ShowMainWindow",
      "SetButtonEnabled 按钮_个位大小 0",
      "SetButtonEnabled 按钮_十位大小 0",
      "SetButtonEnabled 按钮_个位单双 0",
      "SetButtonEnabled 按钮_十位单双 0",
      "SetButtonEnabled 按钮_百位大小 0",
      "SetButtonEnabled 按钮_百位单双 0",
      "SetButtonEnabled 按钮_千位大小 0",
      "SetButtonEnabled 按钮_千位单双 0",
      "SetButtonEnabled 按钮_万位大小 0",
      "SetButtonEnabled 按钮_万位单双 0",
      "CreateBoxObject 0 0 1 -> 1",
      "SetBoxObjectVisible 1 1",
      "SetLabelText 透明标签3 <date request>",
      "SetLabelText 透明标签3 <wait 1000>",
      "SetLabelText 透明标签3 <refresh started>",
  };
  EXPECT_EQ(view_.Log(), expected);
  EXPECT_EQ(plateObjectId, 1);
  EXPECT_FALSE(dataReadyAtRefresh_);
}

TEST_F(WindowCreatedTest, LoadsTheTenTilePictures) {
  OnWindowCreated();
  auto images = LoadDigitImages();
  for (int d = 0; d <= 9; ++d) {
    PngDecodeResult tile = DecodePng((*images)[static_cast<std::size_t>(d)]);
    ASSERT_TRUE(tile.ok) << "digit " << d << ": " << tile.error;
    EXPECT_EQ(tile.image.width, 59);
    EXPECT_EQ(tile.image.height, 83);
    EXPECT_EQ(tile.image.pixels[3], 0) << "corner of digit " << d << " is not transparent";
  }
  EXPECT_NE((*images)[0], (*images)[1]);
}

}  // namespace

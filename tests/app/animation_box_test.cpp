// tests/app/animation_box_test.cpp -- objects of the animation box: pictures, order, removal.
#include <gtest/gtest.h>

#include "app/animation_box.h"
#include "app/main_window.h"
#include "tests/app/window_test_support.h"

namespace {

class AnimationBoxTest : public ::testing::Test {
 protected:
  HandlerCalls calls;
  std::unique_ptr<MainWindow> window = MakeTestWindow(calls);
  MainView& view = (window->Create(), View());
  AnimationBox& box = *window->Box();

  QImage Drawn() {
    QImage image(box.size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    box.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
  }
};

TEST_F(AnimationBoxTest, LaterObjectsDrawOverEarlierOnesThroughTheirTransparency) {
  // A red plate, then a blue tile whose left half is fully transparent.
  view.SetTemplatePicture(PngOf(Filled(20, 10, Qt::red)));
  int plate = view.CreateBoxObject(0, 0);
  QImage tile = Filled(10, 10, Qt::blue);
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 5; ++x) tile.setPixelColor(x, y, Qt::transparent);
  }
  view.SetTemplatePicture(PngOf(tile));
  int digit = view.CreateBoxObject(5, 0, true);
  EXPECT_GT(plate, 0);
  EXPECT_GT(digit, plate);

  QImage drawn = Drawn();
  EXPECT_EQ(drawn.pixelColor(2, 5), QColor(Qt::red));     // plate alone
  EXPECT_EQ(drawn.pixelColor(7, 5), QColor(Qt::red));     // through the tile's clear half
  EXPECT_EQ(drawn.pixelColor(12, 5), QColor(Qt::blue));   // the tile over the plate
  EXPECT_EQ(drawn.pixelColor(30, 5), QColor(Qt::white));  // nothing there

  view.SetBoxObjectVisible(digit, false);
  EXPECT_EQ(Drawn().pixelColor(12, 5), QColor(Qt::red));
  view.SetBoxObjectVisible(digit, true);
  view.DestroyBoxObject(plate);
  EXPECT_EQ(Drawn().pixelColor(2, 5), QColor(Qt::white));
  EXPECT_EQ(Drawn().pixelColor(12, 5), QColor(Qt::blue));
}

TEST_F(AnimationBoxTest, ObjectsKeepThePictureTheyWereCreatedWith) {
  view.SetTemplatePicture(PngOf(Filled(4, 4, Qt::green)));
  int first = view.CreateBoxObject(0, 0, false);
  view.SetTemplatePicture(PngOf(Filled(6, 6, Qt::yellow)));
  int second = view.CreateBoxObject(10, 20);

  const auto& objects = box.Objects();
  ASSERT_EQ(objects.size(), 2u);
  EXPECT_EQ(objects.at(first).picture.size(), QSize(4, 4));
  EXPECT_EQ(objects.at(first).picture.pixelColor(0, 0), QColor(Qt::green));
  EXPECT_FALSE(objects.at(first).visible);
  EXPECT_EQ(objects.at(second).picture.pixelColor(0, 0), QColor(Qt::yellow));
  EXPECT_EQ(QPoint(objects.at(second).left, objects.at(second).top), QPoint(10, 20));
  EXPECT_TRUE(objects.at(second).visible);
}

TEST_F(AnimationBoxTest, DestroyingNoObjectChangesNothing) {
  view.SetTemplatePicture(PngOf(Filled(4, 4, Qt::green)));
  int kept = view.CreateBoxObject(0, 0);
  int removed = view.CreateBoxObject(8, 0);
  view.DestroyBoxObject(removed);
  ASSERT_EQ(box.Objects().size(), 1u);

  for (int id : {0, removed, -3, removed + 100}) view.DestroyBoxObject(id);
  view.SetBoxObjectVisible(removed, false);
  ASSERT_EQ(box.Objects().size(), 1u);
  EXPECT_TRUE(box.Objects().count(kept));
  EXPECT_TRUE(box.Objects().at(kept).visible);
  // Identifiers are never reused, so a stale one can never hit a newer object.
  EXPECT_GT(view.CreateBoxObject(0, 0), removed);
}

TEST_F(AnimationBoxTest, PictureThatIsNoPngGivesObjectsWithoutPicture) {
  view.SetTemplatePicture("not a png");
  int id = view.CreateBoxObject(0, 0);
  EXPECT_GT(id, 0);
  EXPECT_TRUE(box.Objects().at(id).picture.isNull());
  EXPECT_EQ(Drawn().pixelColor(1, 1), QColor(Qt::white));
}

}  // namespace

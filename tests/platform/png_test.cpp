// tests/platform/png_test.cpp -- decoding PNG bytes, and refusing what is not one.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

#include "platform/png.h"

namespace {

std::string EncodeWithQt(const QImage& image) {
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return std::string(data.constData(), static_cast<std::size_t>(data.size()));
}

TEST(Png, DecodesToRgba) {
  QImage image(3, 2, QImage::Format_ARGB32);
  image.fill(QColor(10, 20, 30, 40));
  image.setPixelColor(2, 1, QColor(255, 0, 0, 255));
  PngDecodeResult result = DecodePng(EncodeWithQt(image));
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(result.image.width, 3);
  EXPECT_EQ(result.image.height, 2);
  ASSERT_EQ(result.image.pixels.size(), 24u);
  EXPECT_EQ(result.image.pixels[0], 10);
  EXPECT_EQ(result.image.pixels[3], 40);
  EXPECT_EQ(result.image.pixels[20], 255);
  EXPECT_EQ(result.image.pixels[23], 255);
}

TEST(Png, DecodesOpaqueGreyAsRgbaWithFullAlpha) {
  QImage image(2, 2, QImage::Format_Grayscale8);
  image.fill(128);
  PngDecodeResult result = DecodePng(EncodeWithQt(image));
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(result.image.pixels[0], 128);
  EXPECT_EQ(result.image.pixels[3], 255);
}

TEST(Png, InvalidBytesGiveAFailureValue) {
  QImage image(4, 4, QImage::Format_ARGB32);
  image.fill(Qt::blue);
  std::string good = EncodeWithQt(image);
  std::string corrupted = good;
  corrupted[good.find("IDAT") + 6] ^= 0x5A;  // inside the picture data: its CRC fails
  const std::string inputs[] = {"", "not a png", good.substr(0, 8), good.substr(0, 40),
                                corrupted};
  for (const auto& bytes : inputs) {
    PngDecodeResult result = DecodePng(bytes);
    EXPECT_FALSE(result.ok) << bytes.size();
    EXPECT_FALSE(result.error.empty());
  }
}

}  // namespace

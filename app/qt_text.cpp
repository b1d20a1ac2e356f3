// app/qt_text.cpp -- GBK text and PNG pictures turned into Qt values.
#include "app/qt_text.h"

#include <algorithm>

#include "platform/codepage.h"
#include "platform/png.h"

QString QStringFromGbk(const std::string& gbk) {
  bool ascii = std::all_of(gbk.begin(), gbk.end(),
                           [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (ascii) return QString::fromLatin1(gbk.data(), static_cast<qsizetype>(gbk.size()));
  std::u16string units = GbkToUtf16Units(gbk);
  return QString::fromUtf16(units.data(), static_cast<qsizetype>(units.size()));
}

QString UiText(const char* utf8Literal) {
  return QStringFromGbk(Gbk(utf8Literal));
}

QImage QImageFromPng(const Bytes& png) {
  PngDecodeResult decoded = DecodePng(png);
  if (!decoded.ok) return {};
  const RgbaImage& rgba = decoded.image;
  QImage view(rgba.pixels.data(), rgba.width, rgba.height, rgba.width * 4, QImage::Format_RGBA8888);
  // The conversion copies the pixels out of the decoder's buffer.
  return view.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

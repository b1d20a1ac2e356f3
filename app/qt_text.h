// app/qt_text.h -- GBK text and PNG pictures turned into Qt values at the window's edge.
#pragma once

#include <QImage>
#include <QString>

#include <string>

#include "base/text.h"

// GBK text as a QString; pure ASCII takes a shortcut that skips the code page converter.
QString QStringFromGbk(const std::string& gbk);

// The UI text of a UTF-8 source literal, passed through the program's GBK form so that the
// window shows exactly what the code page can hold.
QString UiText(const char* utf8Literal);

// PNG bytes as a premultiplied ARGB picture; a null image when the bytes are no valid PNG.
QImage QImageFromPng(const Bytes& png);

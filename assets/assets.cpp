// assets/assets.cpp -- reading the compiled-in resources.
#include "assets/assets.h"

#include <QFile>

std::string LoadAsset(const char* name) {
  QFile file(QStringLiteral(":/assets/") + QString::fromUtf8(name));
  if (!file.open(QIODevice::ReadOnly)) return {};
  QByteArray data = file.readAll();
  return std::string(data.constData(), static_cast<std::size_t>(data.size()));
}

// assets/tool/make_assets.cpp -- draws the digit tiles and the plate, and synthesises the chime.
//
// Usage: make_assets OUTPUT_FOLDER. The output is the same, byte for byte, on every run with
// the same fonts and libraries: nothing random, no timestamps, no text chunks.
#include <QColor>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kTileWidth = 59;
constexpr int kTileHeight = 83;
constexpr int kPlateWidth = 303;
constexpr int kPlateHeight = 92;
constexpr char kSerifFont[] = "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf";

bool SavePng(const QImage& image, const QString& path) {
  // ARGB32 saves as 8-bit RGBA, not interlaced.
  return image.convertToFormat(QImage::Format_ARGB32).save(path, "PNG");
}

QPainterPath RoundedRect(QRectF rect, qreal radius) {
  QPainterPath path;
  path.addRoundedRect(rect, radius, radius);
  return path;
}

QImage DrawTile(int digit, const QString& family) {
  QImage image(kTileWidth, kTileHeight, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setRenderHint(QPainter::TextAntialiasing, true);

  const QRectF body(0.5, 0.5, kTileWidth - 1.0, kTileHeight - 1.0);
  const qreal mid = kTileHeight / 2.0;
  // Upper leaf a shade lighter than the lower one, as on a flip clock.
  QLinearGradient shade(0, 0, 0, kTileHeight);
  shade.setColorAt(0.0, QColor(74, 74, 78));
  shade.setColorAt(0.49, QColor(58, 58, 62));
  shade.setColorAt(0.51, QColor(46, 46, 50));
  shade.setColorAt(1.0, QColor(36, 36, 40));
  p.setPen(QPen(QColor(20, 20, 22), 1.0));
  p.setBrush(shade);
  p.drawPath(RoundedRect(body, 6));

  QFont font(family);
  font.setPixelSize(60);
  font.setBold(true);
  font.setHintingPreference(QFont::PreferNoHinting);
  p.setFont(font);
  p.setPen(QColor(250, 250, 250));
  p.drawText(QRectF(0, 0, kTileWidth, kTileHeight + 2), Qt::AlignCenter, QString::number(digit));

  // The split between the leaves: a dark gap with a thin light line in it.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(18, 18, 20));
  p.drawRect(QRectF(0, mid - 1.5, kTileWidth, 3));
  p.setBrush(QColor(210, 210, 215, 200));
  p.drawRect(QRectF(0, mid - 0.5, kTileWidth, 1));
  // Hinge marks at the left and right edges.
  p.setBrush(QColor(150, 150, 156));
  p.drawRoundedRect(QRectF(0, mid - 5, 3, 10), 1, 1);
  p.drawRoundedRect(QRectF(kTileWidth - 3, mid - 5, 3, 10), 1, 1);
  p.end();

  // Cut the corners out exactly: everything outside the rounded body is fully transparent.
  QImage mask(kTileWidth, kTileHeight, QImage::Format_ARGB32);
  mask.fill(Qt::transparent);
  QPainter m(&mask);
  m.setRenderHint(QPainter::Antialiasing, true);
  m.setPen(Qt::NoPen);
  m.setBrush(Qt::black);
  m.drawPath(RoundedRect(QRectF(0, 0, kTileWidth, kTileHeight), 6));
  m.end();
  QPainter c(&image);
  c.setCompositionMode(QPainter::CompositionMode_DestinationIn);
  c.drawImage(0, 0, mask);
  return image;
}

QImage DrawPlate() {
  QImage image(kPlateWidth, kPlateHeight, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(Qt::NoPen);
  QLinearGradient shade(0, 0, 0, kPlateHeight);
  shade.setColorAt(0.0, QColor(22, 22, 24));
  shade.setColorAt(1.0, QColor(10, 10, 12));
  p.setBrush(shade);
  p.drawPath(RoundedRect(QRectF(0, 0, kPlateWidth, kPlateHeight), 8));
  // A thin light line at mid-height and a faint light bottom edge.
  p.setBrush(QColor(255, 255, 255, 70));
  p.drawRect(QRectF(4, kPlateHeight / 2.0 - 0.5, kPlateWidth - 8, 1));
  p.setBrush(QColor(255, 255, 255, 40));
  p.drawRect(QRectF(8, kPlateHeight - 2, kPlateWidth - 16, 1));
  return image;
}

// The desktop icon: one flip-clock tile, scaled up onto a square canvas.
QImage DrawIcon(const QString& family) {
  QImage icon(128, 128, QImage::Format_ARGB32);
  icon.fill(Qt::transparent);
  QPainter p(&icon);
  p.setRenderHint(QPainter::SmoothPixmapTransform, true);
  const QImage tile = DrawTile(7, family);
  p.drawImage(QRectF(19, 2, 90, 124), tile);
  return icon;
}

void PutU32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}
void PutU16(std::string& out, std::uint16_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>(v >> 8);
}

// A short chime: a bright attack of high partials, then a 1.1 kHz tone that decays to
// near silence within about a second. Peak at 40 % of full scale.
std::string MakeChime() {
  constexpr int kRate = 44100;
  constexpr int kFrames = 48582;
  constexpr double kPi = 3.14159265358979323846;
  std::vector<double> samples(kFrames);
  double peak = 0;
  for (int i = 0; i < kFrames; ++i) {
    double t = static_cast<double>(i) / kRate;
    double attack = std::min(1.0, t / 0.002);  // 2 ms rise avoids a click
    double tone = std::sin(2 * kPi * 1100 * t) * std::exp(-t / 0.16);
    double bright = (0.55 * std::sin(2 * kPi * 3300 * t) + 0.35 * std::sin(2 * kPi * 5500 * t)) *
                    std::exp(-t / 0.018);
    double shimmer = 0.2 * std::sin(2 * kPi * 2210 * t) * std::exp(-t / 0.06);
    samples[i] = attack * (tone + bright + shimmer);
    peak = std::max(peak, std::fabs(samples[i]));
  }
  const double scale = 0.40 * 32767 / peak;

  std::string data;
  data.reserve(kFrames * 2);
  for (double s : samples) {
    long v = std::lround(s * scale);
    PutU16(data, static_cast<std::uint16_t>(static_cast<std::int16_t>(v)));
  }

  std::string info = "INFO";
  const std::pair<const char*, std::string> tags[] = {{"INAM", std::string("Tallyrune chime")},
                                                      {"ISFT", std::string("make_assets")}};
  for (const auto& [id, value] : tags) {
    std::string text = value + '\0';
    if (text.size() % 2) text += '\0';
    info += id;
    PutU32(info, static_cast<std::uint32_t>(text.size()));
    info += text;
  }

  std::string fmt;
  PutU16(fmt, 1);          // PCM
  PutU16(fmt, 1);          // mono
  PutU32(fmt, kRate);
  PutU32(fmt, kRate * 2);  // bytes per second
  PutU16(fmt, 2);          // block align
  PutU16(fmt, 16);         // bits per sample

  std::string body = "WAVE";
  body += "fmt ";
  PutU32(body, static_cast<std::uint32_t>(fmt.size()));
  body += fmt;
  body += "data";
  PutU32(body, static_cast<std::uint32_t>(data.size()));
  body += data;
  body += "LIST";
  PutU32(body, static_cast<std::uint32_t>(info.size()));
  body += info;

  std::string file = "RIFF";
  PutU32(file, static_cast<std::uint32_t>(body.size()));
  file += body;
  return file;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_assets OUTPUT_FOLDER\n");
    return 2;
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  const QString out = QString::fromLocal8Bit(argv[1]) + "/";

  int fontId = QFontDatabase::addApplicationFont(kSerifFont);
  if (fontId < 0) {
    std::fprintf(stderr, "make_assets: cannot load %s\n", kSerifFont);
    return 1;
  }
  const QString family = QFontDatabase::applicationFontFamilies(fontId).value(0);

  for (int d = 0; d <= 9; ++d) {
    if (!SavePng(DrawTile(d, family), out + QString("digit%1.png").arg(d))) return 1;
  }
  if (!SavePng(DrawPlate(), out + "plate.png")) return 1;
  if (!SavePng(DrawIcon(family), out + "desktop/tallyrune.png")) return 1;

  QFile chime(out + "chime.wav");
  std::string wav = MakeChime();
  if (!chime.open(QIODevice::WriteOnly) ||
      chime.write(wav.data(), static_cast<qint64>(wav.size())) != static_cast<qint64>(wav.size())) {
    return 1;
  }
  return 0;
}

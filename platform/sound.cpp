// platform/sound.cpp -- WAVE playback on Qt Multimedia: one audio sink per play, all on one
// playback thread, so a play never waits for the window's thread.
#include "platform/sound.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QCoreApplication>
#include <QMediaDevices>
#include <QThread>
#include <QTimer>
#include <QtGlobal>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>

#include "base/seam.h"

namespace {

Seam<std::function<void(const std::string&)>> playerSeam;

// A sink reports Idle once its source is exhausted, while the audio server may still be
// playing what it has buffered; the sink is closed only after that tail has had time.
constexpr int kTailMilliseconds = 1000;
// A sink that never reaches Idle (a stalled server) is closed after the sound's length
// plus this margin.
constexpr int kStallMarginMilliseconds = 5000;

std::uint32_t ReadLittleEndian(const std::string& bytes, std::size_t at, int width) {
  std::uint32_t value = 0;
  for (int i = width - 1; i >= 0; --i) {
    value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
  }
  return value;
}

struct WaveChunks {
  std::optional<std::string> format;
  std::optional<std::string> data;
};

// Walks the chunks after the 12-byte RIFF header; chunks are padded to an even length.
WaveChunks FindWaveChunks(const std::string& bytes) {
  WaveChunks chunks;
  std::size_t at = 12;
  while (at + 8 <= bytes.size()) {
    std::string id = bytes.substr(at, 4);
    std::size_t size = ReadLittleEndian(bytes, at + 4, 4);
    std::size_t start = at + 8;
    std::size_t available = std::min(size, bytes.size() - start);
    if (id == "fmt " && !chunks.format) chunks.format = bytes.substr(start, available);
    if (id == "data" && !chunks.data) chunks.data = bytes.substr(start, available);
    if (available < size) break;  // the file ends inside this chunk
    at = start + size + (size & 1);
  }
  return chunks;
}

std::optional<QAudioFormat::SampleFormat> SampleFormatOf(int bitsPerSample) {
  switch (bitsPerSample) {
    case 8:
      return QAudioFormat::UInt8;
    case 16:
      return QAudioFormat::Int16;
    case 32:
      return QAudioFormat::Int32;
    default:
      return std::nullopt;
  }
}

// Without a sound server the audio stack warns once it is first used; the program is to
// stay silent then, so its messages are dropped and every other message passes on.
QtMessageHandler previousMessageHandler = nullptr;

void DropAudioStackMessages(QtMsgType type, const QMessageLogContext& context,
                            const QString& text) {
  const bool fromAudioStack =
      (context.category && std::strncmp(context.category, "qt.multimedia", 13) == 0) ||
      text.startsWith(QLatin1String("PulseAudioService"));
  if (fromAudioStack && type != QtFatalMsg) return;
  if (previousMessageHandler) previousMessageHandler(type, context, text);
}

// The playback thread and an object living on it that owns every sink. Created on the
// first play; stopped when the application object goes away.
std::mutex playbackMutex;
QThread* playbackThread = nullptr;
QObject* playbackOwner = nullptr;
bool playbackStopped = false;

void StopPlaybackThread() {
  QThread* thread = nullptr;
  {
    std::lock_guard<std::mutex> lock(playbackMutex);
    thread = playbackThread;
    playbackThread = nullptr;
    playbackOwner = nullptr;
    playbackStopped = true;
  }
  if (!thread) return;
  thread->quit();
  thread->wait();
  delete thread;
}

QAudioFormat AudioFormatOf(const WaveSound& sound) {
  QAudioFormat format;
  format.setSampleRate(sound.sampleRate);
  format.setChannelCount(sound.channels);
  format.setSampleFormat(*SampleFormatOf(sound.bitsPerSample));
  return format;
}

// Runs on the playback thread.
void StartPlay(QObject* owner, const WaveSound& sound) {
  QAudioDevice device = QMediaDevices::defaultAudioOutput();
  if (device.isNull()) return;  // no device or no sound server: stay silent
  QAudioFormat format = AudioFormatOf(sound);
  if (!device.isFormatSupported(format)) return;

  auto* buffer = new QBuffer(owner);
  buffer->setData(QByteArray(sound.samples.data(), static_cast<qsizetype>(sound.samples.size())));
  buffer->open(QIODevice::ReadOnly);
  auto* sink = new QAudioSink(device, format, owner);

  auto finished = std::make_shared<bool>(false);
  auto close = [sink, buffer, finished] {
    if (*finished) return;
    *finished = true;
    sink->stop();
    sink->deleteLater();
    buffer->deleteLater();
  };
  QObject::connect(sink, &QAudioSink::stateChanged, sink, [close](QAudio::State state) {
    if (state == QAudio::IdleState) QTimer::singleShot(kTailMilliseconds, close);
    if (state == QAudio::StoppedState) close();
  });
  qint64 lengthMs = format.durationForBytes(static_cast<qint32>(sound.samples.size())) / 1000;
  QTimer::singleShot(static_cast<int>(lengthMs) + kStallMarginMilliseconds, sink, close);
  sink->start(buffer);
}

// Hands a sound to the playback thread, starting the thread on first use. Posting happens
// under the lock so that the thread cannot be stopped in between.
void PostToPlaybackThread(WaveSound sound) {
  std::lock_guard<std::mutex> lock(playbackMutex);
  if (playbackStopped || !QCoreApplication::instance()) return;
  if (!playbackOwner) {
    auto* thread = new QThread;
    auto* owner = new QObject;
    owner->moveToThread(thread);
    // The owner and its sinks are destroyed on the playback thread as it ends.
    QObject::connect(
        thread, &QThread::finished, owner, [owner] { delete owner; }, Qt::DirectConnection);
    previousMessageHandler = qInstallMessageHandler(DropAudioStackMessages);
    thread->start();
    qAddPostRoutine(StopPlaybackThread);
    playbackThread = thread;
    playbackOwner = owner;
  }
  QObject* owner = playbackOwner;
  QMetaObject::invokeMethod(
      owner, [owner, sound = std::move(sound)] { StartPlay(owner, sound); }, Qt::QueuedConnection);
}

}  // namespace

std::optional<WaveSound> ReadWave(const std::string& bytes) {
  if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) {
    return std::nullopt;
  }
  WaveChunks chunks = FindWaveChunks(bytes);
  if (!chunks.format || !chunks.data || chunks.format->size() < 16) return std::nullopt;
  const std::string& fmt = *chunks.format;
  constexpr std::uint32_t kPcm = 1;
  WaveSound sound;
  sound.channels = static_cast<int>(ReadLittleEndian(fmt, 2, 2));
  sound.sampleRate = static_cast<int>(ReadLittleEndian(fmt, 4, 4));
  sound.bitsPerSample = static_cast<int>(ReadLittleEndian(fmt, 14, 2));
  if (ReadLittleEndian(fmt, 0, 2) != kPcm || sound.channels < 1 || sound.sampleRate < 1 ||
      sound.sampleRate > 1000000 || !SampleFormatOf(sound.bitsPerSample)) {
    return std::nullopt;
  }
  std::size_t frameBytes = static_cast<std::size_t>(sound.channels * sound.bitsPerSample / 8);
  std::size_t wholeFrames = chunks.data->size() / frameBytes;
  if (wholeFrames == 0) return std::nullopt;
  sound.samples = chunks.data->substr(0, wholeFrames * frameBytes);
  return sound;
}

void PlayWaveAsync(const std::string& wave) {
  if (auto seam = playerSeam.Get()) {
    seam(wave);
    return;
  }
  std::optional<WaveSound> sound = ReadWave(wave);
  if (!sound) return;
  PostToPlaybackThread(std::move(*sound));
}

void SetSoundPlayerForTest(std::function<void(const std::string& wave)> player) {
  playerSeam.Set(std::move(player));
}

// tests/platform/sound_test.cpp -- reading WAVE files and playing without a sound device.
#include "platform/sound.h"

#include <gtest/gtest.h>

#include <QString>
#include <QtGlobal>

#include <chrono>
#include <cstdint>
#include <thread>

namespace {

std::string LittleEndian(std::uint32_t value, int width) {
  std::string bytes;
  for (int i = 0; i < width; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
  return bytes;
}

std::string Chunk(const std::string& id, const std::string& body, bool pad = true) {
  std::string chunk = id + LittleEndian(static_cast<std::uint32_t>(body.size()), 4) + body;
  if (pad && body.size() % 2 == 1) chunk += '\0';
  return chunk;
}

std::string Format(int formatTag, int channels, int rate, int bits) {
  const int blockAlign = channels * bits / 8;
  return LittleEndian(formatTag, 2) + LittleEndian(channels, 2) + LittleEndian(rate, 4) +
         LittleEndian(rate * blockAlign, 4) + LittleEndian(blockAlign, 2) + LittleEndian(bits, 2);
}

std::string Riff(const std::string& chunks) {
  return "RIFF" + LittleEndian(static_cast<std::uint32_t>(chunks.size() + 4), 4) + "WAVE" + chunks;
}

const std::string kSamples = std::string("\x01\x02\x03\x04\x05\x06", 6);  // three 16-bit frames
const std::string kMono16 = Format(1, 1, 44100, 16);

TEST(ReadWaveTest, FindsFormatAndSamplesAmongOtherChunks) {
  struct Row {
    const char* name;
    std::string file;
    std::string samples;
  };
  const Row rows[] = {
      {"plain", Riff(Chunk("fmt ", kMono16) + Chunk("data", kSamples)), kSamples},
      {"metadata and an odd chunk first",
       Riff(Chunk("fmt ", kMono16) + Chunk("LIST", "INFOabc") + Chunk("data", kSamples)), kSamples},
      {"data before format", Riff(Chunk("data", kSamples) + Chunk("fmt ", kMono16)), kSamples},
      {"data cut short keeps whole frames",
       Riff(Chunk("fmt ", kMono16) + "data" + LittleEndian(100, 4) + kSamples + "\x07"), kSamples},
  };
  for (const Row& row : rows) {
    std::optional<WaveSound> sound = ReadWave(row.file);
    ASSERT_TRUE(sound) << row.name;
    EXPECT_EQ(sound->channels, 1) << row.name;
    EXPECT_EQ(sound->sampleRate, 44100) << row.name;
    EXPECT_EQ(sound->bitsPerSample, 16) << row.name;
    EXPECT_EQ(sound->samples, row.samples) << row.name;
  }
}

TEST(ReadWaveTest, RejectsWhatIsNoIntegerPcmWave) {
  struct Row {
    const char* name;
    std::string file;
  };
  const Row rows[] = {
      {"empty", ""},
      {"not RIFF", "RIFX" + Riff(Chunk("fmt ", kMono16) + Chunk("data", kSamples)).substr(4)},
      {"no format", Riff(Chunk("data", kSamples))},
      {"no data", Riff(Chunk("fmt ", kMono16))},
      {"no whole frame", Riff(Chunk("fmt ", kMono16) + Chunk("data", "\x01"))},
      {"float samples", Riff(Chunk("fmt ", Format(3, 1, 44100, 32)) + Chunk("data", kSamples))},
      {"24-bit samples", Riff(Chunk("fmt ", Format(1, 1, 44100, 24)) + Chunk("data", kSamples))},
      {"no channels", Riff(Chunk("fmt ", Format(1, 0, 44100, 16)) + Chunk("data", kSamples))},
      {"short format", Riff(Chunk("fmt ", kMono16.substr(0, 14)) + Chunk("data", kSamples))},
  };
  for (const Row& row : rows) EXPECT_FALSE(ReadWave(row.file)) << row.name;
}

TEST(PlayWaveTest, TestPlayerReceivesEveryPlay) {
  std::vector<std::string> played;
  SetSoundPlayerForTest([&](const std::string& wave) { played.push_back(wave); });
  PlayWaveAsync("first");
  PlayWaveAsync("second");
  SetSoundPlayerForTest(nullptr);
  EXPECT_EQ(played, (std::vector<std::string>{"first", "second"}));
}

// The machines that run the tests have no sound server, as a desktop may have none: plays
// must return at once and the program must stay quiet, whatever the audio stack thinks.
TEST(PlayWaveTest, WithoutSoundServerPlaysReturnAtOnceAndSayNothing) {
  static std::vector<std::string> messages;
  messages.clear();
  QtMessageHandler previous =
      qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
        messages.push_back(text.toStdString());
      });
  std::string samples(44100 * 2 / 5, '\0');  // 0.2 s of silence
  const std::string wave = Riff(Chunk("fmt ", kMono16) + Chunk("data", samples));

  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 3; ++i) PlayWaveAsync(wave);
  const auto waited = std::chrono::steady_clock::now() - start;
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));  // the plays run their course
  qInstallMessageHandler(previous);

  EXPECT_LT(waited, std::chrono::milliseconds(50));
  EXPECT_EQ(messages, std::vector<std::string>{});
}

}  // namespace

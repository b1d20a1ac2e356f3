// platform/sound.h -- asynchronous playback of WAVE sounds held in memory.
#pragma once

#include <functional>
#include <optional>
#include <string>

// The samples of a RIFF WAVE file in integer PCM.
struct WaveSound {
  int channels = 0;
  int sampleRate = 0;     // frames per second
  int bitsPerSample = 0;  // 8, 16 or 32
  std::string samples;    // whole frames only, interleaved, little-endian

  friend bool operator==(const WaveSound&, const WaveSound&) = default;
};

// Reads a WAVE file: the "fmt " and "data" chunks in any order, other chunks skipped.
// A data chunk that claims more bytes than the file holds keeps the whole frames that are
// there. Nothing when the bytes are not an integer PCM WAVE with samples.
std::optional<WaveSound> ReadWave(const std::string& bytes);

// Starts playing the WAVE bytes from the beginning and returns at once; playback runs on a
// thread of its own. A play that is still running goes on, so two plays overlap. Without
// an audio device or sound server, or with bytes that are no playable WAVE, nothing is
// heard and nothing is reported.
void PlayWaveAsync(const std::string& wave);

// Test seam: receives every play instead of the audio output (an empty function restores
// the real player).
void SetSoundPlayerForTest(std::function<void(const std::string& wave)> player);

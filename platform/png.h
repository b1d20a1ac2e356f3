// platform/png.h -- decoding PNG bytes into 8-bit RGBA pixels, on libpng.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // width * height * 4 bytes, rows top to bottom, R G B A
};

struct PngDecodeResult {
  bool ok = false;
  std::string error;  // why decoding failed; empty on success
  RgbaImage image;
};

// Decodes any PNG (palette, grey, 16-bit, interlaced) to 8-bit RGBA. Bytes that are not a
// valid PNG give ok false and a reason, never a crash.
PngDecodeResult DecodePng(const std::string& bytes);

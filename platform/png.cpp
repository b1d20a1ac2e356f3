// platform/png.cpp -- libpng decoding with errors turned into values.
#include "platform/png.h"

#include <png.h>

#include <csetjmp>
#include <cstring>

namespace {

struct Reader {
  const std::string* bytes;
  std::size_t offset;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t length) {
  auto* reader = static_cast<Reader*>(png_get_io_ptr(png));
  if (reader->offset + length > reader->bytes->size()) {
    png_error(png, "unexpected end of data");
  }
  std::memcpy(out, reader->bytes->data() + reader->offset, length);
  reader->offset += length;
}

void OnPngError(png_structp png, png_const_charp message) {
  auto* error = static_cast<std::string*>(png_get_error_ptr(png));
  *error = message ? message : "invalid PNG";
  png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

constexpr int kMaxSide = 16384;  // refuse absurd sizes before allocating

}  // namespace

PngDecodeResult DecodePng(const std::string& bytes) {
  PngDecodeResult result;
  if (bytes.size() < 8 || png_sig_cmp(reinterpret_cast<png_const_bytep>(bytes.data()), 0, 8) != 0) {
    result.error = "not a PNG signature";
    return result;
  }
  std::string error;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &error, OnPngError, OnPngWarning);
  if (!png) {
    result.error = "libpng could not start";
    return result;
  }
  png_infop info = png_create_info_struct(png);
  Reader reader{&bytes, 0};
  // Locals touched after setjmp must not live in registers.
  RgbaImage* volatile image = &result.image;
  std::vector<png_bytep>* volatile rows = new std::vector<png_bytep>();
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    delete rows;
    result.image = RgbaImage{};
    result.error = error.empty() ? "invalid PNG" : error;
    return result;
  }
  png_set_read_fn(png, &reader, ReadFromMemory);
  png_read_info(png, info);
  png_uint_32 width = png_get_image_width(png, info);
  png_uint_32 height = png_get_image_height(png, info);
  if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide) {
    png_error(png, "unsupported picture size");
  }
  int colorType = png_get_color_type(png, info);
  int bitDepth = png_get_bit_depth(png, info);
  if (bitDepth == 16) png_set_strip_16(png);
  if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
  if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) {
    png_set_gray_to_rgb(png);
  }
  if (!(colorType & PNG_COLOR_MASK_ALPHA) && !png_get_valid(png, info, PNG_INFO_tRNS)) {
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  }
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  image->width = static_cast<int>(width);
  image->height = static_cast<int>(height);
  image->pixels.assign(static_cast<std::size_t>(width) * height * 4, 0);
  rows->resize(height);
  for (png_uint_32 y = 0; y < height; ++y) {
    (*rows)[y] = image->pixels.data() + static_cast<std::size_t>(y) * width * 4;
  }
  png_read_image(png, rows->data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  delete rows;
  result.ok = true;
  return result;
}

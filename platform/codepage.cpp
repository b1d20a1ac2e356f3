// platform/codepage.cpp -- ICU converters for code page 936 and UTF-8.
#include "platform/codepage.h"

#include <unicode/ucnv.h>
#include <unicode/ustring.h>

#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace {

// "windows-936-2000" is the table of the Windows code page (euro sign at 0x80).
constexpr const char kGbkConverterName[] = "windows-936-2000";

struct ConverterCloser {
  void operator()(UConverter* c) const { ucnv_close(c); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

// A fresh converter per call: ICU converters keep state and are not thread-safe, and
// opening one from the cached table is cheap.
ConverterPtr OpenGbk(bool forEncoding) {
  UErrorCode status = U_ZERO_ERROR;
  ConverterPtr c(ucnv_open(kGbkConverterName, &status));
  if (U_FAILURE(status)) return nullptr;
  if (forEncoding) {
    // Best-fit mappings, as the platform's own conversion uses them.
    ucnv_setFallback(c.get(), true);
    status = U_ZERO_ERROR;
    ucnv_setSubstChars(c.get(), "?", 1, &status);
  }
  return c;
}

}  // namespace

std::u16string Utf8ToUtf16Units(const std::string& utf8) {
  if (utf8.empty()) return {};
  std::u16string out(utf8.size() + 1, u'\0');
  int32_t length = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strFromUTF8WithSub(out.data(), static_cast<int32_t>(out.size()), &length, utf8.data(),
                       static_cast<int32_t>(utf8.size()), 0xFFFD, nullptr, &status);
  if (U_FAILURE(status)) return {};
  out.resize(static_cast<std::size_t>(length));
  return out;
}

std::string Utf16ToGbkBytes(const std::u16string& utf16) {
  if (utf16.empty()) return {};
  ConverterPtr c = OpenGbk(true);
  if (!c) return {};
  std::string out(utf16.size() * 2 + 16, '\0');
  UErrorCode status = U_ZERO_ERROR;
  int32_t length = ucnv_fromUChars(c.get(), out.data(), static_cast<int32_t>(out.size()),
                                   utf16.data(), static_cast<int32_t>(utf16.size()), &status);
  if (status == U_BUFFER_OVERFLOW_ERROR) {
    out.assign(static_cast<std::size_t>(length) + 1, '\0');
    status = U_ZERO_ERROR;
    ucnv_resetFromUnicode(c.get());
    length = ucnv_fromUChars(c.get(), out.data(), static_cast<int32_t>(out.size()),
                             utf16.data(), static_cast<int32_t>(utf16.size()), &status);
  }
  if (U_FAILURE(status)) return {};
  out.resize(static_cast<std::size_t>(length));
  return out;
}

std::u16string GbkToUtf16Units(const std::string& gbk) {
  if (gbk.empty()) return {};
  ConverterPtr c = OpenGbk(false);
  if (!c) return {};
  std::u16string out(gbk.size() + 1, u'\0');
  UErrorCode status = U_ZERO_ERROR;
  int32_t length = ucnv_toUChars(c.get(), out.data(), static_cast<int32_t>(out.size()),
                                 gbk.data(), static_cast<int32_t>(gbk.size()), &status);
  if (U_FAILURE(status) && status != U_STRING_NOT_TERMINATED_WARNING) return {};
  out.resize(static_cast<std::size_t>(length));
  return out;
}

bool GbkHasCharacter(char32_t codePoint) {
  ConverterPtr c = OpenGbk(false);
  if (!c) return false;
  // Without fallbacks and with a stop callback, an unmapped character is an error.
  UErrorCode status = U_ZERO_ERROR;
  ucnv_setFromUCallBack(c.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
  char16_t units[2];
  int32_t count = 0;
  if (codePoint > 0xFFFF) {
    units[0] = static_cast<char16_t>(0xD7C0 + (codePoint >> 10));
    units[1] = static_cast<char16_t>(0xDC00 | (codePoint & 0x3FF));
    count = 2;
  } else {
    units[0] = static_cast<char16_t>(codePoint);
    count = 1;
  }
  char out[8];
  status = U_ZERO_ERROR;
  ucnv_fromUChars(c.get(), out, sizeof out, units, count, &status);
  return U_SUCCESS(status);
}

const std::string& Gbk(const char* utf8Literal) {
  static std::mutex mutex;
  static std::unordered_map<const char*, std::string> converted;
  std::lock_guard<std::mutex> lock(mutex);
  auto it = converted.find(utf8Literal);
  if (it == converted.end()) {
    it = converted.emplace(utf8Literal, Utf8ToGbkText(utf8Literal)).first;
  }
  return it->second;  // node-based map: the reference stays valid
}

std::string GbkToUtf8(const std::string& gbk) {
  std::u16string units = GbkToUtf16Units(gbk);
  if (units.empty()) return {};
  std::string out(units.size() * 3 + 1, '\0');
  int32_t length = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strToUTF8WithSub(out.data(), static_cast<int32_t>(out.size()), &length, units.data(),
                     static_cast<int32_t>(units.size()), 0xFFFD, nullptr, &status);
  if (U_FAILURE(status)) return {};
  out.resize(static_cast<std::size_t>(length));
  return out;
}

std::string Utf8ToGbkText(const std::string& utf8) {
  return Utf16ToGbkBytes(Utf8ToUtf16Units(utf8));
}

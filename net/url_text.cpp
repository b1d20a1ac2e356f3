// net/url_text.cpp -- marker search, header values, address parts, cookie lists, UTF-8 to GBK.
#include "net/url_text.h"

#include <unicode/uchar.h>
#include <unicode/unorm2.h>
#include <unicode/utf16.h>

#include <string_view>
#include <vector>

#include "platform/codepage.h"

namespace {

std::string ExpandQuoteMarker(const std::string& marker) {
  return ReplaceText(marker, Gbk("#引号"), "\"");
}

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

// 0-based index just past the scheme marker of an address already in lower case, as
// UrlHost reads it: "https://" at the start, else the first "http://"; 0 when neither.
std::size_t AfterSchemeMarker(const std::string& lowerUrl) {
  if (StartsWith(lowerUrl, "https://")) return 8;
  std::size_t at = FindText(lowerUrl, "http://");
  return at == 0 ? 0 : at - 1 + 7;
}

bool IsCombiningMark(UChar32 c) {
  return (U_GET_GC_MASK(c) & U_GC_M_MASK) != 0;
}

// Joins each base character with the combining marks after it where Unicode composes them
// into one character that code page 936 has; other characters pass through unchanged.
std::u16string ComposeForGbk(const std::u16string& units) {
  UErrorCode status = U_ZERO_ERROR;
  const UNormalizer2* nfc = unorm2_getNFCInstance(&status);
  if (U_FAILURE(status)) return units;
  std::u16string out;
  out.reserve(units.size());
  const auto length = static_cast<int32_t>(units.size());
  int32_t i = 0;
  while (i < length) {
    UChar32 current;
    U16_NEXT(units.data(), i, length, current);
    while (i < length) {
      int32_t next = i;
      UChar32 mark;
      U16_NEXT(units.data(), next, length, mark);
      if (!IsCombiningMark(mark)) break;
      UChar32 composed = unorm2_composePair(nfc, current, mark);
      if (composed < 0 || !GbkHasCharacter(static_cast<char32_t>(composed))) break;
      current = composed;
      i = next;
    }
    if (U_IS_BMP(current)) {
      out += static_cast<char16_t>(current);
    } else {
      out += static_cast<char16_t>(U16_LEAD(current));
      out += static_cast<char16_t>(U16_TRAIL(current));
    }
  }
  return out;
}

}  // namespace

std::string TextBetween(const std::string& source, const std::string& beginMarker,
                        const std::string& endMarker, long long start, bool caseSensitive) {
  const std::string begin = ExpandQuoteMarker(beginMarker);
  const std::string end = ExpandQuoteMarker(endMarker);
  const bool ignoreCase = !caseSensitive;
  std::size_t beginAt = FindText(source, begin, start, ignoreCase);
  if (beginAt == 0) return {};
  std::size_t contentAt = beginAt + begin.size();
  // The match of the begin marker starts a character, so the walk for the end marker can
  // start there instead of at the first byte.
  std::size_t endAt =
      FindText(source, end, static_cast<long long>(contentAt), ignoreCase, beginAt - 1);
  if (endAt == 0) return {};
  return source.substr(contentAt - 1, endAt - contentAt);
}

std::string ValueAfterColon(const std::string& line) {
  std::size_t colon = FindText(line, ":");
  if (colon == 0) return {};
  return TrimSpaces(MidText(line, static_cast<long long>(colon) + 1));
}

std::string UrlHost(const std::string& url, bool keepPort) {
  std::string address = ToLowerAscii(url);
  if (address.empty() || address.back() != '/') address += '/';
  std::string schemeMarker = "https://";
  if (!StartsWith(address, schemeMarker)) {
    schemeMarker = "http://";
    if (!ContainsText(address, schemeMarker)) address = schemeMarker + address;
  }
  std::string host = TextBetween(address, schemeMarker, "/");
  std::size_t colon = FindText(host, ":");
  if (keepPort || colon == 0) return host;
  return host.substr(0, colon - 1);
}

int UrlPort(const std::string& url) {
  std::string host = UrlHost(url, true);
  std::size_t colon = FindLastText(host, ":");
  if (colon == 0) return StartsWith(ToLowerAscii(url.substr(0, 5)), "https") ? 443 : 80;
  long long port = TextToInt(MidText(host, static_cast<long long>(colon) + 1));
  // Out-of-range values become -1, which no connection accepts, instead of wrapping.
  return (port < 0 || port > 65535) ? -1 : static_cast<int>(port);
}

std::string UrlPath(const std::string& url) {
  std::string host = UrlHost(url);
  // The host is looked for after the scheme marker, so that a host whose name also occurs
  // inside the scheme ("h" or "tp" in "http://h/x") is not found there.
  const auto searchFrom = static_cast<long long>(AfterSchemeMarker(ToLowerAscii(url))) + 1;
  std::size_t hostAt = FindText(url, host, searchFrom, true);
  if (hostAt == 0) hostAt = static_cast<std::size_t>(searchFrom);
  std::size_t slash = FindText(url, "/", static_cast<long long>(hostAt));
  if (slash == 0) return "/";
  return MidText(url, static_cast<long long>(slash));
}

std::string CookieName(const std::string& item) {
  std::size_t equals = FindText(item, "=");
  return TrimSpaces(equals == 0 ? item : item.substr(0, equals - 1));
}

std::string MergeCookies(std::string& kept, std::string& received) {
  kept = RemoveSpaces(kept);
  received = RemoveSpaces(received);
  std::vector<std::string> merged = SplitText(received, ";");
  for (const std::string& old : SplitText(kept, ";")) {
    const std::string name = CookieName(old);
    bool receivedAgain = false;
    for (const std::string& item : merged) {
      if (CookieName(item) == name) {
        receivedAgain = true;
        break;
      }
    }
    if (!receivedAgain) merged.push_back(old);
  }
  constexpr std::string_view kDeleted = "=deleted";
  kept.clear();
  for (const std::string& item : merged) {
    bool deleted = std::string_view(item).ends_with(kDeleted);
    if (!deleted) kept += item + "; ";
  }
  if (!kept.empty()) kept.resize(kept.size() - 2);
  kept = RemoveDuplicateItems(kept, "; ");
  return kept;
}

std::string RemoveDuplicateItems(const std::string& text, const std::string& separator) {
  std::vector<std::string> keptItems;
  std::string out;
  for (const std::string& item : SplitText(text, separator)) {
    bool seen = false;
    for (const std::string& k : keptItems) {
      if (k == item) {
        seen = true;
        break;
      }
    }
    if (seen) continue;
    keptItems.push_back(item);
    out += item + separator;
  }
  out.resize(out.size() >= separator.size() ? out.size() - separator.size() : 0);
  return out;
}

Bytes Utf8ToUtf16(const Bytes& utf8) {
  std::u16string units = Utf8ToUtf16Units(utf8);
  Bytes out;
  out.reserve(units.size() * 2);
  for (char16_t unit : units) {
    out += static_cast<char>(unit & 0xFF);
    out += static_cast<char>(unit >> 8);
  }
  return out;
}

Bytes Utf8ToGbk(const Bytes& utf8) {
  if (utf8.empty()) return {};
  return Utf16ToGbkBytes(ComposeForGbk(Utf8ToUtf16Units(utf8)));
}

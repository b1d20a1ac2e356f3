// base/text.cpp -- GBK text rules: character-aware search, spaces, split, half-width form.
#include "base/text.h"

#include <climits>

namespace {

unsigned char Byte(const std::string& text, std::size_t i) {
  return static_cast<unsigned char>(text[i]);
}

char FoldAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// at must start a character of text. Folding applies to one-byte characters only: the
// second byte of a two-byte character may fall in the ASCII letter range but is no letter.
bool MatchesAt(const std::string& text, std::size_t at, const std::string& needle,
               bool ignoreCase) {
  if (at + needle.size() > text.size()) return false;
  if (!ignoreCase) return text.compare(at, needle.size(), needle) == 0;
  for (std::size_t k = 0; k < needle.size(); ++k) {
    char a = text[at + k];
    char b = needle[k];
    if (Byte(text, at + k) >= 0x80 && k + 1 < needle.size()) {
      if (a != b || text[at + k + 1] != needle[k + 1]) return false;
      ++k;
      continue;
    }
    if (FoldAscii(a) != FoldAscii(b)) return false;
  }
  return true;
}

bool IsFullWidthSpaceAt(const std::string& text, std::size_t i) {
  return i + 1 < text.size() && Byte(text, i) == 0xA1 && Byte(text, i + 1) == 0xA1;
}

// Length of the space that starts at byte index i, or 0 when none starts there.
std::size_t SpaceLengthAt(const std::string& text, std::size_t i) {
  if (text[i] == ' ') return 1;
  if (IsFullWidthSpaceAt(text, i)) return 2;
  return 0;
}

}  // namespace

std::size_t CharLengthAt(const std::string& text, std::size_t i) {
  return (Byte(text, i) >= 0x80 && i + 1 < text.size()) ? 2 : 1;
}

std::size_t FindText(const std::string& text, const std::string& needle, long long start,
                     bool ignoreCase, std::size_t walkFrom) {
  if (needle.empty()) return 0;
  std::size_t from = start < 1 ? 0 : static_cast<std::size_t>(start - 1);
  if (walkFrom > from) walkFrom = 0;
  // Walk character starts, so that a start position inside a two-byte character does not
  // make its second byte look like a character of its own.
  for (std::size_t i = walkFrom; i < text.size(); i += CharLengthAt(text, i)) {
    if (i + needle.size() > text.size()) break;
    if (i >= from && MatchesAt(text, i, needle, ignoreCase)) return i + 1;
  }
  return 0;
}

std::size_t FindLastText(const std::string& text, const std::string& needle, bool ignoreCase) {
  if (needle.empty()) return 0;
  std::size_t found = 0;
  for (std::size_t i = 0; i < text.size(); i += CharLengthAt(text, i)) {
    if (i + needle.size() > text.size()) break;
    if (MatchesAt(text, i, needle, ignoreCase)) found = i + 1;
  }
  return found;
}

bool ContainsText(const std::string& text, const std::string& needle) {
  return FindText(text, needle) != 0;
}

std::string MidText(const std::string& text, long long start, std::size_t length) {
  std::size_t from = start < 1 ? 0 : static_cast<std::size_t>(start - 1);
  if (from >= text.size()) return {};
  return text.substr(from, length);
}

std::string ToLowerAscii(const std::string& text) {
  std::string out = text;
  for (std::size_t i = 0; i < out.size(); i += CharLengthAt(out, i)) out[i] = FoldAscii(out[i]);
  return out;
}

bool EqualsIgnoreCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && (a.empty() || MatchesAt(a, 0, b, true));
}

std::string TrimLeftSpaces(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t n = SpaceLengthAt(text, i);
    if (n == 0) break;
    i += n;
  }
  return text.substr(i);
}

std::string TrimRightSpaces(const std::string& text) {
  // Find the end of the last character that is not a space, walking characters from the
  // front so that a trail byte 0xA1 is never mistaken for half a full-width space.
  std::size_t end = 0;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t n = SpaceLengthAt(text, i);
    if (n == 0) {
      n = CharLengthAt(text, i);
      end = i + n;
    }
    i += n;
  }
  return text.substr(0, end);
}

std::string TrimSpaces(const std::string& text) { return TrimRightSpaces(TrimLeftSpaces(text)); }

std::string RemoveSpaces(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    std::size_t n = SpaceLengthAt(text, i);
    if (n == 0) {
      n = CharLengthAt(text, i);
      out.append(text, i, n);
    }
    i += n;
  }
  return out;
}

std::string ReplaceText(const std::string& text, const std::string& from, const std::string& to) {
  if (from.empty()) return text;
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    if (MatchesAt(text, i, from, false)) {
      out += to;
      i += from.size();
    } else {
      std::size_t n = CharLengthAt(text, i);
      out.append(text, i, n);
      i += n;
    }
  }
  return out;
}

std::vector<std::string> SplitText(const std::string& text, const std::string& separator) {
  std::vector<std::string> pieces;
  if (text.empty()) return pieces;
  if (separator.empty()) {
    pieces.push_back(text);
    return pieces;
  }
  std::size_t pieceStart = 0;
  for (std::size_t i = 0; i < text.size();) {
    if (MatchesAt(text, i, separator, false)) {
      pieces.push_back(text.substr(pieceStart, i - pieceStart));
      i += separator.size();
      pieceStart = i;
    } else {
      i += CharLengthAt(text, i);
    }
  }
  if (pieceStart < text.size()) pieces.push_back(text.substr(pieceStart));
  return pieces;
}

std::string HalfWidth(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    std::size_t n = CharLengthAt(text, i);
    if (n == 2) {
      unsigned char lead = Byte(text, i);
      unsigned char trail = Byte(text, i + 1);
      if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
        out += static_cast<char>(trail - 0x80);
      } else if (lead == 0xA1 && trail == 0xA1) {
        out += ' ';
      } else if (lead == 0xA1 && trail == 0xAB) {
        out += '~';
      } else if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF)) {
        out += '*';
      } else {
        out.append(text, i, 2);
      }
    } else {
      out += text[i];
    }
    i += n;
  }
  return out;
}

long long TextToInt(const std::string& text) {
  std::string s = HalfWidth(text);
  std::size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || (s[i] >= '\t' && s[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    negative = s[i] == '-';
    ++i;
  }
  unsigned long long magnitude = 0;
  const unsigned long long limit = negative ? static_cast<unsigned long long>(LLONG_MAX) + 1
                                            : static_cast<unsigned long long>(LLONG_MAX);
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
    unsigned digit = static_cast<unsigned>(s[i] - '0');
    if (magnitude > (limit - digit) / 10) {
      magnitude = limit;
      break;
    }
    magnitude = magnitude * 10 + digit;
  }
  if (negative) {
    return magnitude == limit ? LLONG_MIN : -static_cast<long long>(magnitude);
  }
  return static_cast<long long>(magnitude);
}

std::string IntToText(long long value) { return std::to_string(value); }

std::string BytesToText(const Bytes& bytes) {
  std::size_t zero = bytes.find('\0');
  return zero == std::string::npos ? bytes : bytes.substr(0, zero);
}

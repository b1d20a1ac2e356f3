// base/text.h -- the program's text rules over GBK byte strings (code page 936).
//
// A text is a std::string of GBK bytes: a byte of 0x80 or above starts a two-byte
// character. Positions count bytes and start at 1; 0 means "not found". Searches never
// match starting on the second byte of a two-byte character, and case folding touches
// the ASCII letters only, never the locale.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// A counted byte sequence that may hold zero bytes (a response body, a picture).
using Bytes = std::string;

// Byte length of the character that starts at byte index i (0-based): 1 or 2.
// A lead byte at the very end stands alone.
std::size_t CharLengthAt(const std::string& text, std::size_t i);

// First occurrence of needle at or after the 1-based position start (below 1 counts as 1),
// on a character boundary. ignoreCase folds ASCII letters only. Returns the 1-based
// position, or 0 when there is none. An empty needle is never found.
// Character boundaries are found by walking from the first byte; a caller that searches a
// long text repeatedly may pass walkFrom, a 0-based index known to start a character at
// or before start, so that each search does not walk the text from its beginning again.
std::size_t FindText(const std::string& text, const std::string& needle, long long start = 1,
                     bool ignoreCase = false, std::size_t walkFrom = 0);

// Last occurrence of needle on a character boundary; 1-based position or 0.
std::size_t FindLastText(const std::string& text, const std::string& needle,
                         bool ignoreCase = false);

// True when text contains needle (byte for byte, character-aware).
bool ContainsText(const std::string& text, const std::string& needle);

// Bytes from the 1-based position start, at most length bytes (npos: to the end).
std::string MidText(const std::string& text, long long start,
                    std::size_t length = std::string::npos);

// ASCII-only case folding and comparison.
std::string ToLowerAscii(const std::string& text);
bool EqualsIgnoreCase(const std::string& a, const std::string& b);

// Spaces are the byte 0x20 and the full-width space 0xA1 0xA1 only.
std::string TrimSpaces(const std::string& text);
std::string TrimLeftSpaces(const std::string& text);
std::string TrimRightSpaces(const std::string& text);
std::string RemoveSpaces(const std::string& text);

// Replaces every occurrence of from by to, in one left-to-right pass: text formed by a
// replacement is not searched again.
std::string ReplaceText(const std::string& text, const std::string& from, const std::string& to);

// Pieces between separators: an empty inner piece is kept, an empty rest after the last
// separator is dropped, and an empty text gives no pieces.
std::vector<std::string> SplitText(const std::string& text, const std::string& separator);

// Half-width form: full-width ASCII (0xA3 0xA1..0xFE) becomes its ASCII byte, the
// ideographic space a space, 0xA1 0xAB "~", and the two stars 0xA1 0xEE/0xEF "*".
std::string HalfWidth(const std::string& text);

// Integer value of a text: half-width form, leading white space skipped, optional sign,
// then decimal digits up to the first other character; 0 when there are none. Saturates
// at the limits of long long.
long long TextToInt(const std::string& text);

// Plain decimal form of an integer.
std::string IntToText(long long value);

// The bytes up to the first zero byte, or all of them when there is none.
std::string BytesToText(const Bytes& bytes);

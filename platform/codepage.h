// platform/codepage.h -- conversions between UTF-8, UTF-16 and GBK (code page 936), on ICU.
#pragma once

#include <string>

// UTF-8 to UTF-16; a malformed sequence becomes U+FFFD.
std::u16string Utf8ToUtf16Units(const std::string& utf8);

// UTF-16 to GBK: best-fit fallbacks as the platform's code page 936 has them, "?" for a
// character the code page lacks. No terminating zero.
std::string Utf16ToGbkBytes(const std::u16string& utf16);

// GBK to UTF-16; a byte sequence the code page does not define becomes U+FFFD.
std::u16string GbkToUtf16Units(const std::string& gbk);

// True when code page 936 maps this one character (not a fallback, not "?").
bool GbkHasCharacter(char32_t codePoint);

// The source's UTF-8 string literal in GBK, converted once and kept for the rest of the
// run: every Chinese literal of the program goes through here. The argument must be a
// string literal (its address identifies it). Safe from any thread.
const std::string& Gbk(const char* utf8Literal);

// UTF-8 conversion of arbitrary GBK text (for tools, tests and the window's edge).
std::string GbkToUtf8(const std::string& gbk);
std::string Utf8ToGbkText(const std::string& utf8);

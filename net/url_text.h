// net/url_text.h -- marker search, header values, address parts, cookie lists, UTF-8 to GBK.
//
// Pure text routines over GBK text (base/text.h): no state, no network, safe on any thread.
// Positions are 1-based; every search is character-aware.
#pragma once

#include <string>

#include "base/text.h"

// The text between the first beginMarker found at or after start and the first endMarker
// after it; empty when either is missing. "#引号" in a marker stands for one double quote,
// so that markers holding quotes can be written without escapes. Matching ignores the case
// of ASCII letters unless caseSensitive is true.
std::string TextBetween(const std::string& source, const std::string& beginMarker,
                        const std::string& endMarker, long long start = 1,
                        bool caseSensitive = false);

// The text after the first ":" of a header line, without leading or trailing spaces;
// empty when there is no ":". The whole text counts as one line.
std::string ValueAfterColon(const std::string& line);

// Host of an address, in lower case; with keepPort, followed by ":" and the port when the
// address gives one. An address without a scheme is taken as http.
std::string UrlHost(const std::string& url, bool keepPort = false);

// Port of an address: the one it gives, else 443 for https and 80 for anything else.
int UrlPort(const std::string& url);

// Path and query of an address in their own case, beginning with "/"; "/" when it has none.
std::string UrlPath(const std::string& url);

// Name of one cookie item: the part before its first "=" (the whole item when it has
// none), without leading or trailing spaces.
std::string CookieName(const std::string& item);

// Merges received cookies into the kept ones. Both arguments lose every space; kept
// becomes the received items in their order, then the kept items whose names were not
// received, joined by "; ", without items whose value is "deleted" and without repeats.
// Returns a copy of the new kept text.
std::string MergeCookies(std::string& kept, std::string& received);

// The text with every repeated item (equal byte for byte to an earlier one) left out.
std::string RemoveDuplicateItems(const std::string& text, const std::string& separator);

// UTF-8 bytes to UTF-16 little-endian bytes; a malformed sequence becomes U+FFFD.
Bytes Utf8ToUtf16(const Bytes& utf8);

// UTF-8 bytes to GBK bytes (code page 936). A base character followed by a combining mark
// becomes the precomposed character when the code page has it; a character the code page
// lacks becomes "?". No terminating zero.
Bytes Utf8ToGbk(const Bytes& utf8);

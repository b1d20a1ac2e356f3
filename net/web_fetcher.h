// net/web_fetcher.h -- one HTTP or HTTPS request, and the page-as-text wrapper.
#pragma once

#include <optional>
#include <string>

#include "base/text.h"

// The User-Agent sent when the extra headers name none.
extern const char kDefaultUserAgent[];

// How many 301 answers one call follows itself before it gives up with an empty result.
constexpr int kMaxPermanentMoves = 10;

// Performs one request and returns the response body (converted from UTF-8 to GBK when the
// response declares "charset=utf-8"); empty when the request could not be opened or
// nothing was read. Optional parameters are left out with nullptr (or nullopt); a given
// empty text counts as given.
//   url             "http://" or "https://", host, optional ":port", path and query; no
//                   scheme means http.
//   method          1 sends "POST"; anything else "GET". Every value but 0 sends a body.
//   postText        the body as text, used when postBytes is empty.
//   cookies         in/out: the cookie text to send. Given, it switches the layer's own
//                   cookie handling off and on return holds the merged cookies.
//   receivedCookies out: the name=value part of every Set-Cookie line, each followed by
//                   "; " (spaces removed when cookies was given).
//   headers         in/out: extra header lines separated by CR LF, no final CR LF; on
//                   return the complete header text sent.
//   redirectTarget  out: the last Location value; when there was none and it was empty,
//                   the whole raw header block.
//   noAutoRedirect  true keeps the layer from following redirects.
//   postBytes       in/out: the body as bytes; set from postText when a body is sent and it
//                   is empty.
//   proxy           an HTTP proxy as host:port for every request of the call.
//   responseHeaders out: the raw response header block, lines ended by CR LF.
// A 301 "Moved" answer with a Location is followed by calling again with the Location
// followed by the current path and query, at most kMaxPermanentMoves times.
Bytes WebFetcher(const std::string& url, int method = 0, const std::string& postText = {},
                 std::string* cookies = nullptr, std::string* receivedCookies = nullptr,
                 std::string* headers = nullptr, std::string* redirectTarget = nullptr,
                 bool noAutoRedirect = false, Bytes* postBytes = nullptr,
                 const std::optional<std::string>& proxy = std::nullopt,
                 std::string* responseHeaders = nullptr);

// GETs the address with every option of the fetcher at its default and returns the body as
// GBK text up to its first zero byte; an empty text on any failure.
std::string FetchPageText(const std::string& url);

// platform/time_request.h -- one synchronous HEAD request that reads a server's Date header.
#pragma once

#include <functional>
#include <string>

// Limits of one request, in milliseconds: resolving and connecting together, a stall with
// no bytes arriving, and the whole request.
inline constexpr long kTimeRequestConnectLimitMs = 10000;
inline constexpr long kTimeRequestStallLimitMs = 5000;
inline constexpr long kTimeRequestTotalLimitMs = 25000;

// Sends a HEAD request for url over plain HTTP with redirects not followed, and returns the
// value of the answer's "Date" header without surrounding white space. Empty when the
// request cannot be made, no answer arrives within the limits, or the answer has no Date.
// Blocks the calling thread for the whole request.
std::string RequestDateHeader(const std::string& url);

// Test seam: replaces the request (an empty function restores the real one).
void SetDateRequestForTest(std::function<std::string(const std::string& url)> request);

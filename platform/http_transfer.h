// platform/http_transfer.h -- one complete HTTP exchange on libcurl, from plain values.
//
// The request-handle layer (platform/http.h) collects what a request needs and hands it
// here when the request is sent; this knows nothing of handles.
#pragma once

#include <string>

#include "base/text.h"
#include "platform/http.h"

struct HttpTransferRequest {
  std::string url;                // scheme://host[:port]/path?query, already escaped
  std::string verb;               // an HTTP token
  std::string agent;              // User-Agent unless headers carry one; may be empty
  std::string proxy;              // proxy address for curl, empty for a direct connection
  std::string headers;            // extra header lines, separated by CR, LF or both
  Bytes body;                     // request body
  bool sendBody = false;          // send body (with its length) even when it is empty
  bool followRedirects = true;    // follow 3xx answers with a Location
  bool automaticCookies = true;   // keep and send cookies through the process-wide jar
  std::string redirectProtocols;  // schemes a followed redirect may lead to: "http,https"
};

struct HttpTransferResult {
  bool answered = false;    // a complete response arrived
  Bytes body;               // body of the final response
  std::string headerBlock;  // status and header lines of the final response, CR LF ended
};

// Performs the exchange, blocking until it ends or a limit is reached. Any failure
// (unreachable host, TLS, time-out, stall, oversized body) gives answered false and no
// body or headers: a partly received answer is never passed on as a whole one.
HttpTransferResult PerformHttpTransfer(const HttpTransferRequest& request,
                                       const HttpLimits& limits);

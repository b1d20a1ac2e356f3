// platform/http.h -- HTTP and HTTPS requests through session, connection and request handles.
//
// A call opens a session, connects it to a host and port, opens a request on the connection,
// sends it, reads the body in chunks and queries the raw header block, then closes the
// request, the connection and the session. Each step can fail; a failed open gives the
// handle 0, and closing 0 or an unknown handle is harmless. Handles are plain numbers and may
// be used from any thread, one thread at a time per handle.
//
// Defaults of the real layer (libcurl): HTTP/1.1 only; no cache; no proxy from the
// environment; connect (name resolution included) at most 10 s, abort when no byte has moved
// for 15 s, at most 30 s per request; a response body over 32 MiB fails the request.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "base/text.h"

using HttpHandle = std::uint64_t;

// Session access types.
constexpr int INTERNET_OPEN_TYPE_DIRECT = 1;
constexpr int INTERNET_OPEN_TYPE_PROXY = 3;

// Request flags, combined by bitwise or.
constexpr std::uint32_t INTERNET_FLAG_RELOAD = 0x80000000;      // never from a cache
constexpr std::uint32_t INTERNET_FLAG_NEED_FILE = 0x00000010;   // no effect: nothing is cached
constexpr std::uint32_t INTERNET_FLAG_NO_COOKIES = 0x00080000;  // no automatic cookies at all
constexpr std::uint32_t INTERNET_FLAG_NO_AUTO_REDIRECT = 0x00200000;
constexpr std::uint32_t INTERNET_FLAG_SECURE = 0x00800000;  // https, peer verified
constexpr std::uint32_t INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS = 0x00004000;
constexpr std::uint32_t INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTP = 0x00008000;

// Opens a session. agent is the User-Agent sent when the request headers carry none (cut
// at its first line break). With INTERNET_OPEN_TYPE_PROXY, proxyList names an HTTP proxy as
// "host:port" or "http=host:port" (an "https=" entry, when present, serves https requests;
// otherwise the http entry serves both). Returns 0 on failure.
HttpHandle HttpOpenSession(const std::string& agent, int accessType, const std::string& proxyList);

// Names the host and port of the requests to come (port 0: the scheme's default). Nothing
// is contacted yet. Returns 0 for an unknown session, an unusable host or an invalid port.
HttpHandle HttpConnect(HttpHandle session, const std::string& host, int port);

// Prepares a request: verb (an HTTP token such as "GET"), object name (path and query;
// spaces, control bytes and bytes of 0x80 and above are sent %-escaped), version (only
// "HTTP/1.1" or empty is accepted) and the flags above. Returns 0 on failure.
HttpHandle HttpOpenRequest(HttpHandle connection, const std::string& verb,
                           const std::string& objectName, const std::string& version,
                           std::uint32_t flags);

// Sends the request and receives the whole response. headers holds extra header lines
// separated by CR LF; every CR or LF ends a line, so each goes out as a well-formed line of
// its own. A line given here replaces the layer's own line of that name. body is sent as the
// request body when it is not empty, and for the verb "POST" always. False when no complete
// response arrived: then no body can be read and no header block queried.
bool HttpSendRequest(HttpHandle request, const std::string& headers, const Bytes& body);

// The next at most maxBytes of the response body; empty at the end or on failure.
Bytes HttpReadChunk(HttpHandle request, std::size_t maxBytes);

// The raw header block of the final response (status line and header lines, each ended by
// CR LF, then an empty line), when it fits a buffer of bufferLength bytes together with a
// terminating zero; nothing otherwise, or when the request was not answered.
std::optional<std::string> HttpQueryRawHeaders(HttpHandle request, std::size_t bufferLength);

// Releases a handle; closing 0 or an unknown handle does nothing.
void HttpCloseHandle(HttpHandle handle);

// Test seam: the operations above, as a replaceable back end.
class HttpApi {
 public:
  virtual ~HttpApi() = default;
  virtual HttpHandle OpenSession(const std::string& agent, int accessType,
                                 const std::string& proxyList) = 0;
  virtual HttpHandle Connect(HttpHandle session, const std::string& host, int port) = 0;
  virtual HttpHandle OpenRequest(HttpHandle connection, const std::string& verb,
                                 const std::string& objectName, const std::string& version,
                                 std::uint32_t flags) = 0;
  virtual bool SendRequest(HttpHandle request, const std::string& headers, const Bytes& body) = 0;
  virtual Bytes ReadChunk(HttpHandle request, std::size_t maxBytes) = 0;
  virtual std::optional<std::string> QueryRawHeaders(HttpHandle request,
                                                     std::size_t bufferLength) = 0;
  virtual void CloseHandle(HttpHandle handle) = 0;
};

// Installs a replacement back end (null restores the real one).
void SetHttpApiForTest(std::shared_ptr<HttpApi> api);

// Bounds of the real back end; tests shorten them through the seam below.
struct HttpLimits {
  long connectTimeoutMs = 10'000;  // connect, name resolution included
  long stallSeconds = 15;          // abort when no byte has moved for this long (at least 1)
  long requestTimeoutMs = 30'000;  // whole request, redirects included
  std::size_t maxBodyBytes = std::size_t{32} << 20;
};
void SetHttpLimitsForTest(std::optional<HttpLimits> limits);

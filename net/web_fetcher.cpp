// net/web_fetcher.cpp -- one HTTP or HTTPS request with default headers, cookies, 301 moves
// and charset conversion, and the page-as-text wrapper.
#include "net/web_fetcher.h"

#include <string_view>

#include "net/url_text.h"
#include "platform/http.h"

const char kDefaultUserAgent[] =
    "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1; ZQ7RB; .NET CLR 2.0.50727; "
    ".NET CLR 3.0.04506.648; .NET CLR 3.5.21022)";

namespace {

constexpr std::size_t kReadChunkBytes = 1024;
constexpr std::size_t kHeaderBufferBytes = 5000;
// The body declares UTF-8 when the marker starts within its first 499 bytes.
constexpr std::size_t kCharsetSearchBytes = 499;
constexpr std::string_view kUtf8Marker = "charset=utf-8";

// The handles of one call: closed request first, then connection, then session, whether
// the call closes them itself or leaves early.
class CallHandles {
 public:
  CallHandles() = default;
  CallHandles(const CallHandles&) = delete;
  CallHandles& operator=(const CallHandles&) = delete;
  ~CallHandles() { CloseAll(); }

  void CloseAll() {
    HttpCloseHandle(request);
    HttpCloseHandle(connection);
    HttpCloseHandle(session);
    request = connection = session = 0;
  }

  HttpHandle session = 0;
  HttpHandle connection = 0;
  HttpHandle request = 0;
};

// The caller's in/out and out variables, or locals standing in for the ones left out.
// The pointers given by the caller travel unchanged into a followed move.
struct Outputs {
  std::string* cookies;
  std::string* receivedCookies;
  std::string* headers;
  std::string* redirectTarget;
  Bytes* postBytes;
  std::string* responseHeaders;
};

std::string AgentFor(const std::string& headers) {
  if (FindText(headers, "User-Agent:", 1, true) == 0) return kDefaultUserAgent;
  std::string agent = TrimSpaces(TextBetween(headers, "User-Agent:", "\r\n"));
  // A User-Agent line at the very end has no CR LF to stop at.
  return agent.empty() ? ValueAfterColon(headers) : agent;
}

bool IsHttpsAddress(const std::string& url) {
  return ToLowerAscii(url.substr(0, 5)) == "https";
}

std::uint32_t RequestFlags(const std::string& url, bool cookiesGiven, bool noAutoRedirect) {
  std::uint32_t flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NEED_FILE;
  if (cookiesGiven) flags |= INTERNET_FLAG_NO_COOKIES;
  if (noAutoRedirect) flags |= INTERNET_FLAG_NO_AUTO_REDIRECT;
  flags |= IsHttpsAddress(url) ? INTERNET_FLAG_SECURE : INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS;
  return flags;
}

void AppendHeaderLine(std::string& headers, const std::string& line) {
  if (!headers.empty()) headers += "\r\n";
  headers += line;
}

// Adds each default line the caller's headers lack; the tests are byte for byte, so a
// lower-case "accept:" line still gets "Accept: */*" after it.
void CompleteHeaders(std::string& headers, const std::string& url, const std::string* cookies) {
  if (!ContainsText(headers, "Referer:")) AppendHeaderLine(headers, "Referer: " + url);
  if (!ContainsText(headers, "Accept:")) AppendHeaderLine(headers, "Accept: */*");
  if (!ContainsText(headers, "Accept-Language:")) {
    AppendHeaderLine(headers, "Accept-Language: zh-cn");
  }
  if (!ContainsText(headers, "Content-Type:")) {
    AppendHeaderLine(headers, "Content-Type: application/x-www-form-urlencoded");
  }
  if (cookies && !cookies->empty()) AppendHeaderLine(headers, "Cookie: " + *cookies);
}

Bytes ReadWholeBody(HttpHandle request) {
  Bytes body;
  for (;;) {
    Bytes chunk = HttpReadChunk(request, kReadChunkBytes);
    if (chunk.empty()) return body;
    body += chunk;
  }
}

// Reads Location and Set-Cookie lines. Returns whether a Location line with a value was
// the last one seen, which is what a followed move needs.
bool ScanHeaderLines(const std::string& responseHeaders, Outputs& out) {
  bool hasLocation = false;
  out.receivedCookies->clear();
  for (const std::string& line : SplitText(responseHeaders, "\r\n")) {
    if (ContainsText(line, "Location:")) {
      *out.redirectTarget = ValueAfterColon(line);
      hasLocation = !out.redirectTarget->empty();
    }
    if (ContainsText(line, "Set-Cookie")) {
      *out.receivedCookies += TrimSpaces(TextBetween(line, "Set-Cookie:", ";")) + "; ";
    }
  }
  return hasLocation;
}

// The marker is searched byte for byte: the body is still UTF-8 here, not GBK text.
bool DeclaresUtf8(const Bytes& body, const std::string& responseHeaders) {
  std::size_t at = body.find(kUtf8Marker);
  return (at != Bytes::npos && at < kCharsetSearchBytes) ||
         responseHeaders.find(kUtf8Marker) != std::string::npos;
}

bool IsPermanentMove(const std::string& responseHeaders) {
  return TextBetween(responseHeaders, "HTTP/1.1 ", " Moved") == "301";
}

Bytes Fetch(const std::string& url, int method, const std::string& postText, bool cookiesGiven,
            const Outputs& given, bool noAutoRedirect, const std::optional<std::string>& proxy,
            int movesFollowed) {
  std::string cookies, receivedCookies, headers, redirectTarget, responseHeaders;
  Bytes postBytes;
  Outputs out{given.cookies ? given.cookies : &cookies,
              given.receivedCookies ? given.receivedCookies : &receivedCookies,
              given.headers ? given.headers : &headers,
              given.redirectTarget ? given.redirectTarget : &redirectTarget,
              given.postBytes ? given.postBytes : &postBytes,
              given.responseHeaders ? given.responseHeaders : &responseHeaders};

  const std::string verb = method == 1 ? "POST" : "GET";
  const std::string agent = AgentFor(*out.headers);

  CallHandles handles;
  handles.session = proxy ? HttpOpenSession(agent, INTERNET_OPEN_TYPE_PROXY, "http=" + *proxy)
                          : HttpOpenSession(agent, INTERNET_OPEN_TYPE_DIRECT, "");
  if (handles.session == 0) return {};
  handles.connection = HttpConnect(handles.session, UrlHost(url), UrlPort(url));
  if (handles.connection == 0) return {};
  handles.request = HttpOpenRequest(handles.connection, verb, UrlPath(url), "HTTP/1.1",
                                    RequestFlags(url, cookiesGiven, noAutoRedirect));
  if (handles.request == 0) return {};

  CompleteHeaders(*out.headers, url, cookiesGiven ? out.cookies : nullptr);
  Bytes requestBody;
  if (method != 0) {
    if (out.postBytes->empty()) *out.postBytes = postText;
    requestBody = *out.postBytes;
  }
  HttpSendRequest(handles.request, *out.headers, requestBody);  // a failure reads as nothing
  Bytes body = ReadWholeBody(handles.request);
  *out.responseHeaders = std::string(kHeaderBufferBytes, ' ');
  if (auto block = HttpQueryRawHeaders(handles.request, kHeaderBufferBytes)) {
    *out.responseHeaders = *block;
  }
  handles.CloseAll();

  const bool hasLocation = ScanHeaderLines(*out.responseHeaders, out);
  if (cookiesGiven) MergeCookies(*out.cookies, *out.receivedCookies);
  if (out.redirectTarget->empty()) *out.redirectTarget = *out.responseHeaders;

  // A 301 without a Location names no new address; it is returned like any other answer.
  if (hasLocation && IsPermanentMove(*out.responseHeaders)) {
    if (movesFollowed >= kMaxPermanentMoves) return {};
    const std::string next = *out.redirectTarget + UrlPath(url);
    out.redirectTarget->clear();
    return Fetch(next, method, postText, cookiesGiven, given, noAutoRedirect, proxy,
                 movesFollowed + 1);
  }
  if (DeclaresUtf8(body, *out.responseHeaders)) body = Utf8ToGbk(body);
  return body;
}

}  // namespace

Bytes WebFetcher(const std::string& url, int method, const std::string& postText,
                 std::string* cookies, std::string* receivedCookies, std::string* headers,
                 std::string* redirectTarget, bool noAutoRedirect, Bytes* postBytes,
                 const std::optional<std::string>& proxy, std::string* responseHeaders) {
  const Outputs given{cookies,        receivedCookies, headers,
                      redirectTarget, postBytes,       responseHeaders};
  return Fetch(url, method, postText, cookies != nullptr, given, noAutoRedirect, proxy, 0);
}

std::string FetchPageText(const std::string& url) {
  return BytesToText(WebFetcher(url));
}

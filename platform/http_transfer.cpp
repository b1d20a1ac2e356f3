// platform/http_transfer.cpp -- one complete HTTP exchange on libcurl, from plain values.
#include "platform/http_transfer.h"

#include <curl/curl.h>

#include <array>
#include <chrono>
#include <memory>
#include <mutex>

namespace {

// A header block larger than this is hostile, not a web page's: abort instead of growing.
constexpr std::size_t kMaxHeaderBlockBytes = std::size_t{1} << 20;
constexpr long kMaxRedirects = 20;

void InitCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// The one cookie jar of the process, shared by every request that leaves cookies to the
// layer. curl calls the lock functions around each use of the shared data.
std::array<std::mutex, CURL_LOCK_DATA_LAST> shareMutexes;

void LockShare(CURL*, curl_lock_data data, curl_lock_access, void*) {
  shareMutexes[static_cast<std::size_t>(data)].lock();
}

void UnlockShare(CURL*, curl_lock_data data, void*) {
  shareMutexes[static_cast<std::size_t>(data)].unlock();
}

CURLSH* CookieShare() {
  // Created once and kept for the life of the process, like the jar it holds.
  static CURLSH* share = [] {
    CURLSH* s = curl_share_init();
    curl_share_setopt(s, CURLSHOPT_LOCKFUNC, LockShare);
    curl_share_setopt(s, CURLSHOPT_UNLOCKFUNC, UnlockShare);
    curl_share_setopt(s, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
    return s;
  }();
  return share;
}

struct EasyCloser {
  void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct ListCloser {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using HeaderList = std::unique_ptr<curl_slist, ListCloser>;

struct Exchange {
  HttpTransferResult result;
  bool headerBlockDone = false;
  std::size_t maxBodyBytes = 0;
  std::chrono::steady_clock::duration stallBound{};
  std::chrono::steady_clock::time_point lastMovement{};
  curl_off_t lastDown = 0;
  curl_off_t lastUp = 0;
};

bool StartsWithIgnoreCase(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

std::size_t OnHeaderLine(char* data, std::size_t size, std::size_t count, void* user) {
  auto* exchange = static_cast<Exchange*>(user);
  const std::size_t length = size * count;
  std::string line(data, length);
  // Each response (a followed redirect, an interim 100, a proxy's tunnel answer) starts
  // with its status line; only the last block is kept.
  if (line.compare(0, 5, "HTTP/") == 0) {
    exchange->result.headerBlock.clear();
    exchange->headerBlockDone = false;
  } else if (exchange->headerBlockDone) {
    return length;  // trailer fields after a chunked body
  }
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  if (line.empty()) exchange->headerBlockDone = true;
  exchange->result.headerBlock += line + "\r\n";
  return exchange->result.headerBlock.size() > kMaxHeaderBlockBytes ? 0 : length;
}

std::size_t OnBodyBytes(char* data, std::size_t size, std::size_t count, void* user) {
  auto* exchange = static_cast<Exchange*>(user);
  const std::size_t length = size * count;
  if (exchange->result.body.size() + length > exchange->maxBodyBytes) return 0;  // aborts
  exchange->result.body.append(data, length);
  return length;
}

// Called about once a second and on every movement: aborts when nothing has moved in
// either direction for the stall bound.
int OnProgress(void* user, curl_off_t, curl_off_t downNow, curl_off_t, curl_off_t upNow) {
  auto* exchange = static_cast<Exchange*>(user);
  const auto now = std::chrono::steady_clock::now();
  if (downNow != exchange->lastDown || upNow != exchange->lastUp) {
    exchange->lastDown = downNow;
    exchange->lastUp = upNow;
    exchange->lastMovement = now;
    return 0;
  }
  return now - exchange->lastMovement > exchange->stallBound ? 1 : 0;
}

// Every CR or LF ends a line, so that no header value can carry a second line of its own.
HeaderList BuildHeaderList(const std::string& headers) {
  curl_slist* list = nullptr;
  bool hasExpect = false;
  std::string line;
  auto flush = [&] {
    if (line.empty()) return;
    hasExpect = hasExpect || StartsWithIgnoreCase(line, "Expect:");
    list = curl_slist_append(list, line.c_str());
    line.clear();
  };
  for (char c : headers) {
    if (c == '\r' || c == '\n') {
      flush();
    } else if (c != '\0') {
      line += c;
    }
  }
  flush();
  // curl would otherwise ask for "100-continue" before a larger body and wait for it.
  if (!hasExpect) list = curl_slist_append(list, "Expect:");
  return HeaderList(list);
}

void SetMethodAndBody(CURL* easy, const HttpTransferRequest& request) {
  if (request.sendBody) {
    curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE,
                     static_cast<curl_off_t>(request.body.size()));
    curl_easy_setopt(easy, CURLOPT_POSTFIELDS, request.body.data());
    if (request.verb != "POST") curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, request.verb.c_str());
  } else if (request.verb == "GET") {
    curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
  } else if (request.verb == "HEAD") {
    curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
  } else {
    curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, request.verb.c_str());
  }
}

void SetLimits(CURL* easy, Exchange& exchange, const HttpLimits& limits) {
  curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, limits.connectTimeoutMs);
  curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, limits.requestTimeoutMs);
  curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maxBodyBytes));
  exchange.maxBodyBytes = limits.maxBodyBytes;
  exchange.stallBound = std::chrono::seconds(limits.stallSeconds < 1 ? 1 : limits.stallSeconds);
  exchange.lastMovement = std::chrono::steady_clock::now();
  curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, OnProgress);
  curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &exchange);
}

}  // namespace

HttpTransferResult PerformHttpTransfer(const HttpTransferRequest& request,
                                       const HttpLimits& limits) {
  InitCurlOnce();
  std::unique_ptr<CURL, EasyCloser> easy(curl_easy_init());
  if (!easy) return {};
  CURL* e = easy.get();
  Exchange exchange;
  HeaderList headers = BuildHeaderList(request.headers);

  curl_easy_setopt(e, CURLOPT_URL, request.url.c_str());
  curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(e, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);  // time-outs without signals: threads are in use
  curl_easy_setopt(e, CURLOPT_USERAGENT, request.agent.c_str());
  curl_easy_setopt(e, CURLOPT_HTTPHEADER, headers.get());
  // An empty proxy switches the environment's proxy variables off as well.
  curl_easy_setopt(e, CURLOPT_PROXY, request.proxy.c_str());
  curl_easy_setopt(e, CURLOPT_NOPROXY, "");
  curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, request.followRedirects ? 1L : 0L);
  curl_easy_setopt(e, CURLOPT_MAXREDIRS, kMaxRedirects);
  curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, request.redirectProtocols.c_str());
  if (request.automaticCookies) {
    curl_easy_setopt(e, CURLOPT_SHARE, CookieShare());
    curl_easy_setopt(e, CURLOPT_COOKIEFILE, "");  // the cookie engine, with no file to read
  }
  SetMethodAndBody(e, request);
  SetLimits(e, exchange, limits);
  curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, OnHeaderLine);
  curl_easy_setopt(e, CURLOPT_HEADERDATA, &exchange);
  curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, OnBodyBytes);
  curl_easy_setopt(e, CURLOPT_WRITEDATA, &exchange);

  if (curl_easy_perform(e) != CURLE_OK || !exchange.headerBlockDone) return {};
  exchange.result.answered = true;
  return std::move(exchange.result);
}

// platform/http.cpp -- session, connection and request handles over one libcurl exchange.
#include "platform/http.h"

#include <mutex>
#include <string_view>
#include <unordered_map>
#include <variant>

#include "base/seam.h"
#include "platform/http_transfer.h"

namespace {

struct Session {
  std::string agent;
  std::string httpProxy;   // curl proxy address for http requests, empty for none
  std::string httpsProxy;  // and for https requests
};

struct Connection {
  Session session;
  std::string host;
  int port = 0;
};

struct Request {
  HttpTransferRequest transfer;  // filled when opened, completed when sent
  HttpTransferResult result;     // the answer, once sent
  std::size_t readPosition = 0;
};

using Entry = std::variant<Session, Connection, std::shared_ptr<Request>>;

bool IsTokenChar(char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
  return std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

bool IsToken(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (!IsTokenChar(c)) return false;
  }
  return true;
}

bool IsPrintableAscii(char c) {
  return c > 0x20 && c < 0x7F;
}

// A host name or address that cannot carry a user, a port, a path or a second line into
// the address curl is given.
bool IsUsableHost(const std::string& host) {
  if (host.empty()) return false;
  if (host.front() == '[' && host.back() == ']' && host.size() > 2) {
    for (std::size_t i = 1; i + 1 < host.size(); ++i) {
      char c = host[i];
      bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
      if (!hex && c != ':' && c != '.') return false;
    }
    return true;
  }
  for (char c : host) {
    if (!IsPrintableAscii(c) || std::string_view("/?#@\\:[]").find(c) != std::string_view::npos) {
      return false;
    }
  }
  return true;
}

// Bytes that may not stand in a request line are %-escaped; everything else, "%" included,
// is sent as given.
std::string EscapeObjectName(const std::string& objectName) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  if (objectName.empty() || objectName.front() != '/') out += '/';
  for (char c : objectName) {
    auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte >= 0x7F) {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    } else {
      out += c;
    }
  }
  return out;
}

std::string ProxyAddress(const std::string& entry) {
  if (entry.empty()) return {};
  for (char c : entry) {
    if (!IsPrintableAscii(c)) return {};
  }
  return entry.find("://") == std::string::npos ? "http://" + entry : entry;
}

// Reads "host:port", "http=host:port" and "https=host:port" entries separated by spaces or
// semicolons. False when no entry serves http or https.
bool ParseProxyList(const std::string& list, Session& session) {
  std::string any;
  for (const std::string& piece : SplitText(ReplaceText(list, ";", " "), " ")) {
    if (piece.empty()) continue;
    std::size_t equals = piece.find('=');
    if (equals == std::string::npos) {
      any = ProxyAddress(piece);
    } else if (EqualsIgnoreCase(piece.substr(0, equals), "http")) {
      session.httpProxy = ProxyAddress(piece.substr(equals + 1));
    } else if (EqualsIgnoreCase(piece.substr(0, equals), "https")) {
      session.httpsProxy = ProxyAddress(piece.substr(equals + 1));
    }
  }
  if (session.httpProxy.empty()) session.httpProxy = any;
  if (session.httpsProxy.empty()) session.httpsProxy = session.httpProxy;
  return !session.httpProxy.empty() || !session.httpsProxy.empty();
}

// Schemes a followed redirect may lead to: the request's own, and the other one only when
// the flags allow that switch.
std::string RedirectProtocols(std::uint32_t flags) {
  if (flags & INTERNET_FLAG_SECURE) {
    return (flags & INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTP) ? "https,http" : "https";
  }
  return (flags & INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS) ? "http,https" : "http";
}

class CurlHttpApi final : public HttpApi {
 public:
  HttpHandle OpenSession(const std::string& agent, int accessType,
                         const std::string& proxyList) override {
    Session session;
    session.agent = agent.substr(0, agent.find_first_of("\r\n"));
    if (accessType == INTERNET_OPEN_TYPE_PROXY) {
      if (!ParseProxyList(proxyList, session)) return 0;
    } else if (accessType != INTERNET_OPEN_TYPE_DIRECT) {
      return 0;
    }
    return Add(std::move(session));
  }

  HttpHandle Connect(HttpHandle session, const std::string& host, int port) override {
    auto parent = Find<Session>(session);
    if (!parent || !IsUsableHost(host) || port < 0 || port > 65535) return 0;
    return Add(Connection{*parent, host, port});
  }

  HttpHandle OpenRequest(HttpHandle connection, const std::string& verb,
                         const std::string& objectName, const std::string& version,
                         std::uint32_t flags) override {
    auto parent = Find<Connection>(connection);
    if (!parent || !IsToken(verb) || !(version.empty() || version == "HTTP/1.1")) return 0;
    const bool secure = (flags & INTERNET_FLAG_SECURE) != 0;
    auto request = std::make_shared<Request>();
    HttpTransferRequest& t = request->transfer;
    t.url = secure ? "https://" : "http://";
    t.url += parent->host;
    if (parent->port != 0) {
      t.url += ':';
      t.url += std::to_string(parent->port);
    }
    t.url += EscapeObjectName(objectName);
    t.verb = verb;
    t.agent = parent->session.agent;
    t.proxy = secure ? parent->session.httpsProxy : parent->session.httpProxy;
    t.followRedirects = (flags & INTERNET_FLAG_NO_AUTO_REDIRECT) == 0;
    t.automaticCookies = (flags & INTERNET_FLAG_NO_COOKIES) == 0;
    t.redirectProtocols = RedirectProtocols(flags);
    return Add(std::move(request));
  }

  bool SendRequest(HttpHandle handle, const std::string& headers, const Bytes& body) override {
    auto request = FindRequest(handle);
    if (!request) return false;
    request->transfer.headers = headers;
    request->transfer.body = body;
    request->transfer.sendBody = !body.empty() || request->transfer.verb == "POST";
    request->result = PerformHttpTransfer(request->transfer, CurrentLimits());
    request->readPosition = 0;
    return request->result.answered;
  }

  Bytes ReadChunk(HttpHandle handle, std::size_t maxBytes) override {
    auto request = FindRequest(handle);
    if (!request) return {};
    const Bytes& body = request->result.body;
    if (request->readPosition >= body.size()) return {};
    Bytes chunk = body.substr(request->readPosition, maxBytes);
    request->readPosition += chunk.size();
    return chunk;
  }

  std::optional<std::string> QueryRawHeaders(HttpHandle handle, std::size_t bufferLength) override {
    auto request = FindRequest(handle);
    if (!request || !request->result.answered) return std::nullopt;
    const std::string& block = request->result.headerBlock;
    if (block.size() + 1 > bufferLength) return std::nullopt;
    return block;
  }

  void CloseHandle(HttpHandle handle) override {
    std::lock_guard<std::mutex> lock(mutex_);
    entries_.erase(handle);
  }

  static HttpLimits CurrentLimits();

 private:
  HttpHandle Add(Entry entry) {
    std::lock_guard<std::mutex> lock(mutex_);
    HttpHandle handle = ++lastHandle_;
    entries_.emplace(handle, std::move(entry));
    return handle;
  }

  template <typename T>
  std::optional<T> Find(HttpHandle handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = entries_.find(handle);
    if (it == entries_.end() || !std::holds_alternative<T>(it->second)) return std::nullopt;
    return std::get<T>(it->second);
  }

  // The request itself, shared: sending runs without the table's lock.
  std::shared_ptr<Request> FindRequest(HttpHandle handle) {
    auto found = Find<std::shared_ptr<Request>>(handle);
    return found ? *found : nullptr;
  }

  std::mutex mutex_;
  std::unordered_map<HttpHandle, Entry> entries_;
  HttpHandle lastHandle_ = 0;
};

Seam<std::shared_ptr<HttpApi>> replacementApi;
Seam<std::optional<HttpLimits>> replacementLimits;

HttpLimits CurlHttpApi::CurrentLimits() {
  return replacementLimits.Get().value_or(HttpLimits{});
}

std::shared_ptr<HttpApi> Api() {
  // Never destroyed: a detached worker thread may still be inside a request while the
  // program ends.
  static const auto* real = new std::shared_ptr<HttpApi>(std::make_shared<CurlHttpApi>());
  std::shared_ptr<HttpApi> replacement = replacementApi.Get();
  return replacement ? replacement : *real;
}

}  // namespace

HttpHandle HttpOpenSession(const std::string& agent, int accessType, const std::string& proxyList) {
  return Api()->OpenSession(agent, accessType, proxyList);
}

HttpHandle HttpConnect(HttpHandle session, const std::string& host, int port) {
  return Api()->Connect(session, host, port);
}

HttpHandle HttpOpenRequest(HttpHandle connection, const std::string& verb,
                           const std::string& objectName, const std::string& version,
                           std::uint32_t flags) {
  return Api()->OpenRequest(connection, verb, objectName, version, flags);
}

bool HttpSendRequest(HttpHandle request, const std::string& headers, const Bytes& body) {
  return Api()->SendRequest(request, headers, body);
}

Bytes HttpReadChunk(HttpHandle request, std::size_t maxBytes) {
  return Api()->ReadChunk(request, maxBytes);
}

std::optional<std::string> HttpQueryRawHeaders(HttpHandle request, std::size_t bufferLength) {
  return Api()->QueryRawHeaders(request, bufferLength);
}

void HttpCloseHandle(HttpHandle handle) {
  if (handle != 0) Api()->CloseHandle(handle);
}

void SetHttpApiForTest(std::shared_ptr<HttpApi> api) {
  replacementApi.Set(std::move(api));
}

void SetHttpLimitsForTest(std::optional<HttpLimits> limits) {
  replacementLimits.Set(limits);
}

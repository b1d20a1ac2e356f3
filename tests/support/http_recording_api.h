// tests/support/http_recording_api.h -- a scripted HTTP back end that records every call.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/http.h"

// Stands in for the HTTP layer: each open, send and close is logged in order, every
// request that is sent is kept with all its arguments, and a responder decides the answer.
class RecordingHttpApi final : public HttpApi {
 public:
  // Everything one request was opened and sent with.
  struct Request {
    std::string agent;
    int accessType = 0;
    std::string proxyList;
    std::string host;
    int port = 0;
    std::string verb;
    std::string objectName;
    std::string version;
    std::uint32_t flags = 0;
    std::string headers;
    Bytes body;
  };
  struct Reply {
    Bytes body;
    std::optional<std::string> headerBlock;  // the block the header query gives, if any
  };
  enum class FailAt { Nothing, Session, Connection, Request };

  // Installs a fresh double as the HTTP layer; the real one is restored on destruction.
  class Installed {
   public:
    Installed();
    ~Installed();
    RecordingHttpApi& operator*() const { return *api_; }
    RecordingHttpApi* operator->() const { return api_.get(); }

   private:
    std::shared_ptr<RecordingHttpApi> api_;
  };

  void SetResponder(std::function<Reply(const Request&)> responder);
  void SetFailure(FailAt step);
  std::vector<Request> Sent() const;
  // In order: "session 1", "connection 2", "request 3", "send 3", "close 3", ...
  std::vector<std::string> Log() const;

  HttpHandle OpenSession(const std::string& agent, int accessType,
                         const std::string& proxyList) override;
  HttpHandle Connect(HttpHandle session, const std::string& host, int port) override;
  HttpHandle OpenRequest(HttpHandle connection, const std::string& verb,
                         const std::string& objectName, const std::string& version,
                         std::uint32_t flags) override;
  bool SendRequest(HttpHandle request, const std::string& headers, const Bytes& body) override;
  Bytes ReadChunk(HttpHandle request, std::size_t maxBytes) override;
  std::optional<std::string> QueryRawHeaders(HttpHandle request, std::size_t bufferLength) override;
  void CloseHandle(HttpHandle handle) override;

 private:
  mutable std::mutex mutex_;
  std::function<Reply(const Request&)> responder_;
  FailAt failAt_ = FailAt::Nothing;
  HttpHandle lastHandle_ = 0;
  Request pending_;  // the request being opened and sent
  Reply reply_;
  std::size_t readPosition_ = 0;
  std::vector<Request> sent_;
  std::vector<std::string> log_;
};

// tests/support/http_recording_api.cpp -- a scripted HTTP back end that records every call.
#include "tests/support/http_recording_api.h"

RecordingHttpApi::Installed::Installed() : api_(std::make_shared<RecordingHttpApi>()) {
  SetHttpApiForTest(api_);
}

RecordingHttpApi::Installed::~Installed() {
  SetHttpApiForTest(nullptr);
}

void RecordingHttpApi::SetResponder(std::function<Reply(const Request&)> responder) {
  std::lock_guard<std::mutex> lock(mutex_);
  responder_ = std::move(responder);
}

void RecordingHttpApi::SetFailure(FailAt step) {
  std::lock_guard<std::mutex> lock(mutex_);
  failAt_ = step;
}

std::vector<RecordingHttpApi::Request> RecordingHttpApi::Sent() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return sent_;
}

std::vector<std::string> RecordingHttpApi::Log() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return log_;
}

HttpHandle RecordingHttpApi::OpenSession(const std::string& agent, int accessType,
                                         const std::string& proxyList) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (failAt_ == FailAt::Session) return 0;
  pending_ = Request{};
  pending_.agent = agent;
  pending_.accessType = accessType;
  pending_.proxyList = proxyList;
  log_.push_back("session " + std::to_string(++lastHandle_));
  return lastHandle_;
}

HttpHandle RecordingHttpApi::Connect(HttpHandle, const std::string& host, int port) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (failAt_ == FailAt::Connection) return 0;
  pending_.host = host;
  pending_.port = port;
  log_.push_back("connection " + std::to_string(++lastHandle_));
  return lastHandle_;
}

HttpHandle RecordingHttpApi::OpenRequest(HttpHandle, const std::string& verb,
                                         const std::string& objectName, const std::string& version,
                                         std::uint32_t flags) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (failAt_ == FailAt::Request) return 0;
  pending_.verb = verb;
  pending_.objectName = objectName;
  pending_.version = version;
  pending_.flags = flags;
  log_.push_back("request " + std::to_string(++lastHandle_));
  return lastHandle_;
}

bool RecordingHttpApi::SendRequest(HttpHandle request, const std::string& headers,
                                   const Bytes& body) {
  std::function<Reply(const Request&)> responder;
  Request sent;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    pending_.headers = headers;
    pending_.body = body;
    sent = pending_;
    sent_.push_back(pending_);
    log_.push_back("send " + std::to_string(request));
    responder = responder_;
  }
  Reply reply = responder ? responder(sent) : Reply{};
  std::lock_guard<std::mutex> lock(mutex_);
  reply_ = std::move(reply);
  readPosition_ = 0;
  return reply_.headerBlock.has_value();
}

Bytes RecordingHttpApi::ReadChunk(HttpHandle, std::size_t maxBytes) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (readPosition_ >= reply_.body.size()) return {};
  Bytes chunk = reply_.body.substr(readPosition_, maxBytes);
  readPosition_ += chunk.size();
  return chunk;
}

std::optional<std::string> RecordingHttpApi::QueryRawHeaders(HttpHandle, std::size_t bufferLength) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!reply_.headerBlock || reply_.headerBlock->size() + 1 > bufferLength) return std::nullopt;
  return reply_.headerBlock;
}

void RecordingHttpApi::CloseHandle(HttpHandle handle) {
  std::lock_guard<std::mutex> lock(mutex_);
  log_.push_back("close " + std::to_string(handle));
}

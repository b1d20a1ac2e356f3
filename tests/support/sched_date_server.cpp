// tests/support/sched_date_server.cpp -- the loopback time server on cpp-httplib.
#include "tests/support/sched_date_server.h"

#include <httplib.h>

#include <chrono>
#include <stdexcept>

DateServer::DateServer() : server_(std::make_unique<httplib::Server>()) {
  server_->Get(R"(.*)", [this](const httplib::Request& request, httplib::Response& response) {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.push_back(request.method + " " + request.path);
    auto found = replies_.find(request.path);
    Reply reply = found != replies_.end() ? found->second : Reply{404, defaultHeaders_};
    response.status = reply.status;
    for (const auto& [name, value] : reply.headers) response.set_header(name, value);
  });
  port_ = server_->bind_to_any_port("127.0.0.1");
  if (port_ <= 0) throw std::runtime_error("no loopback port for the date server");
  thread_ = std::thread([this] { server_->listen_after_bind(); });
  // stop() only ends a server whose loop has started.
  while (!server_->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

DateServer::~DateServer() {
  server_->stop();
  thread_.join();
}

std::string DateServer::HostAndPort() const {
  return "127.0.0.1:" + std::to_string(port_);
}

void DateServer::SetDefaultHeaders(Headers headers) {
  std::lock_guard<std::mutex> lock(mutex_);
  defaultHeaders_ = std::move(headers);
}

void DateServer::Answer(const std::string& path, int status, Headers headers) {
  std::lock_guard<std::mutex> lock(mutex_);
  replies_[path] = Reply{status, std::move(headers)};
}

std::vector<std::string> DateServer::Requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

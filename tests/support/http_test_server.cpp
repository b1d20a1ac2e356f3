// tests/support/http_test_server.cpp -- loopback HTTP servers for tests: cpp-httplib and raw.
#include "tests/support/http_test_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdlib>
#include <stdexcept>

namespace {

constexpr auto kLongestHold = std::chrono::minutes(1);

std::string LoopbackUrl(int port, const std::string& path) {
  return "http://127.0.0.1:" + std::to_string(port) + path;
}

int BoundLoopbackSocket(int& port) {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) throw std::runtime_error("socket");
  int yes = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(fd);
    throw std::runtime_error("bind");
  }
  socklen_t length = sizeof address;
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  port = ntohs(address.sin_port);
  return fd;
}

// The Content-Length of a request head, 0 when it has none.
std::size_t ContentLength(const std::string& head) {
  std::string lower = head;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  std::size_t at = lower.find("\r\ncontent-length:");
  if (at == std::string::npos) return 0;
  return static_cast<std::size_t>(std::strtoul(head.c_str() + at + 17, nullptr, 10));
}

std::string ReadRequest(int client) {
  timeval limit{5, 0};
  setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
  std::string request;
  char buffer[4096];
  std::size_t headEnd = std::string::npos;
  while (true) {
    if (headEnd == std::string::npos) {
      headEnd = request.find("\r\n\r\n");
      if (headEnd != std::string::npos) headEnd += 4;
    }
    if (headEnd != std::string::npos &&
        request.size() >= headEnd + ContentLength(request.substr(0, headEnd))) {
      return request;
    }
    ssize_t got = recv(client, buffer, sizeof buffer, 0);
    if (got <= 0) return request;
    request.append(buffer, static_cast<std::size_t>(got));
  }
}

void SendAll(int client, const std::string& bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    ssize_t n = send(client, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return;
    sent += static_cast<std::size_t>(n);
  }
}

}  // namespace

HttpTestServer::HttpTestServer() {
  port_ = server_.bind_to_any_port("127.0.0.1");
  if (port_ <= 0) throw std::runtime_error("cannot bind a loopback port");
}

void HttpTestServer::Start() {
  thread_ = std::thread([this] { server_.listen_after_bind(); });
  // The socket already listens; connections made before the loop runs wait in its queue.
  for (int i = 0; i < 5000 && !server_.is_running(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

HttpTestServer::~HttpTestServer() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    tearingDown_ = true;
  }
  released_.notify_all();
  server_.stop();
  if (thread_.joinable()) thread_.join();
}

std::string HttpTestServer::HostPort() const {
  return "127.0.0.1:" + std::to_string(port_);
}

std::string HttpTestServer::Url(const std::string& path) const {
  return LoopbackUrl(port_, path);
}

void HttpTestServer::HoldUntilTornDown() {
  std::unique_lock<std::mutex> lock(mutex_);
  released_.wait_for(lock, kLongestHold, [this] { return tearingDown_; });
}

RawHttpServer::RawHttpServer(Responder responder) : responder_(std::move(responder)) {
  listenFd_ = BoundLoopbackSocket(port_);
  listen(listenFd_, 16);
  thread_ = std::thread([this] { Serve(); });
}

RawHttpServer::~RawHttpServer() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  released_.notify_all();
  shutdown(listenFd_, SHUT_RDWR);  // wakes the blocked accept
  thread_.join();
  close(listenFd_);
}

std::string RawHttpServer::HostPort() const {
  return "127.0.0.1:" + std::to_string(port_);
}

std::string RawHttpServer::Url(const std::string& path) const {
  return LoopbackUrl(port_, path);
}

std::vector<std::string> RawHttpServer::Requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

void RawHttpServer::Serve() {
  for (;;) {
    int client = accept(listenFd_, nullptr, nullptr);
    if (client < 0) {
      std::lock_guard<std::mutex> lock(mutex_);
      if (stopping_) return;
      continue;
    }
    Answer(client);
    close(client);
  }
}

void RawHttpServer::Answer(int client) {
  std::string request = ReadRequest(client);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.push_back(request);
  }
  RawReply reply = responder_(request);
  if (reply.stallAfter == std::string::npos) {
    SendAll(client, reply.bytes);
    return;
  }
  SendAll(client, reply.bytes.substr(0, reply.stallAfter));
  std::unique_lock<std::mutex> lock(mutex_);
  released_.wait_for(lock, kLongestHold, [this] { return stopping_; });
}

int UnusedLoopbackPort() {
  int port = 0;
  close(BoundLoopbackSocket(port));
  return port;
}

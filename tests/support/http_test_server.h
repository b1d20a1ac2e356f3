// tests/support/http_test_server.h -- loopback HTTP servers for tests: cpp-httplib and raw.
#pragma once

#include <httplib.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A cpp-httplib server on 127.0.0.1 and a free port. Register routes on Routes(), then
// Start(). A handler that must stall calls HoldUntilTornDown(), which returns when the
// server is destroyed (or after a minute, so that a broken test cannot hang).
class HttpTestServer {
 public:
  HttpTestServer();
  ~HttpTestServer();
  HttpTestServer(const HttpTestServer&) = delete;
  HttpTestServer& operator=(const HttpTestServer&) = delete;

  httplib::Server& Routes() { return server_; }
  void Start();
  int Port() const { return port_; }
  std::string HostPort() const;                    // "127.0.0.1:port"
  std::string Url(const std::string& path) const;  // "http://127.0.0.1:port" + path
  void HoldUntilTornDown();

 private:
  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable released_;
  bool tearingDown_ = false;
};

// What a RawHttpServer sends for one request: the bytes, all of them or the first
// stallAfter bytes followed by silence until the server is destroyed.
struct RawReply {
  std::string bytes;
  std::size_t stallAfter = std::string::npos;
};

// A server that answers each connection with exactly the bytes its responder gives for
// the raw request (head and Content-Length body), then closes the connection. It keeps
// every raw request it received.
class RawHttpServer {
 public:
  using Responder = std::function<RawReply(const std::string& request)>;
  explicit RawHttpServer(Responder responder);
  ~RawHttpServer();
  RawHttpServer(const RawHttpServer&) = delete;
  RawHttpServer& operator=(const RawHttpServer&) = delete;

  int Port() const { return port_; }
  std::string HostPort() const;
  std::string Url(const std::string& path) const;
  std::vector<std::string> Requests() const;

 private:
  void Serve();
  void Answer(int client);

  Responder responder_;
  int listenFd_ = -1;
  int port_ = 0;
  std::thread thread_;
  mutable std::mutex mutex_;
  std::condition_variable released_;
  bool stopping_ = false;
  std::vector<std::string> requests_;
};

// A port on 127.0.0.1 on which nothing listens (bound, then released).
int UnusedLoopbackPort();

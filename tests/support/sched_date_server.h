// tests/support/sched_date_server.h -- a loopback HTTP server with fixed answers, standing in
// for the time server.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace httplib {
class Server;
}

class DateServer {
 public:
  using Headers = std::vector<std::pair<std::string, std::string>>;

  // Listens on 127.0.0.1 at a free port; every path answers 404 with the default headers.
  DateServer();
  ~DateServer();
  DateServer(const DateServer&) = delete;
  DateServer& operator=(const DateServer&) = delete;

  // "127.0.0.1:port".
  std::string HostAndPort() const;

  // The headers every answer carries unless its path has its own (none at first).
  void SetDefaultHeaders(Headers headers);
  // Answers requests for `path` with this status and these headers.
  void Answer(const std::string& path, int status, Headers headers);

  // The requests so far, as "METHOD /path".
  std::vector<std::string> Requests() const;

 private:
  struct Reply {
    int status = 404;
    Headers headers;
  };

  std::unique_ptr<httplib::Server> server_;
  int port_ = 0;
  std::thread thread_;
  mutable std::mutex mutex_;
  Headers defaultHeaders_;
  std::map<std::string, Reply> replies_;
  std::vector<std::string> requests_;
};

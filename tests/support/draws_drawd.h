// tests/support/draws_drawd.h -- the bundled draw-results server as a child process, and
// a minimal HTTP/1.0 client for talking to it on loopback.
#pragma once

#include <sys/types.h>
#include <string>
#include <vector>

// Path of the drawd binary of this build: $TALLYRUNE_BINARY_DIR/tools/drawd/drawd, else
// found from the running executable (build/<folder>/<exe> -> build/tools/drawd/drawd).
std::string DrawdPath();

// Starts drawd on a free loopback port with the given extra arguments and stops it (and
// waits for it) when destroyed. Port() is 0 when it failed to start.
class DrawdProcess {
 public:
  explicit DrawdProcess(const std::vector<std::string>& arguments);
  ~DrawdProcess();
  DrawdProcess(const DrawdProcess&) = delete;
  DrawdProcess& operator=(const DrawdProcess&) = delete;

  int Port() const { return port_; }
  // "http://127.0.0.1:PORT"
  std::string BaseUrl() const;

 private:
  pid_t pid_ = -1;
  int port_ = 0;
};

// Runs drawd with the arguments and returns its exit status (for option errors).
int RunDrawdToExit(const std::vector<std::string>& arguments);

struct RawHttpResponse {
  int status = 0;       // 0 when no answer came
  std::string headers;  // the header block, lines joined by "\r\n"
  std::string body;
  std::string Header(const std::string& name) const;  // value of a header, case-insensitive
};

// Sends "METHOD target HTTP/1.0" to 127.0.0.1:port and reads the answer until the server
// closes the connection.
RawHttpResponse RawHttpRequest(int port, const std::string& method, const std::string& target);

// Lines of a text file (for drawd's request log).
std::vector<std::string> ReadLines(const std::string& path);

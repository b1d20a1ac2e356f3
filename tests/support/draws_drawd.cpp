// tests/support/draws_drawd.cpp -- drawd as a child process and a raw loopback client.
#include "tests/support/draws_drawd.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

pid_t Spawn(const std::vector<std::string>& arguments, int stdoutFd) {
  std::string path = DrawdPath();
  std::vector<std::string> all{path};
  all.insert(all.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = fork();
  if (pid == 0) {
    if (stdoutFd >= 0) dup2(stdoutFd, STDOUT_FILENO);
    int devNull = open("/dev/null", O_WRONLY);
    if (devNull >= 0) dup2(devNull, STDERR_FILENO);
    execv(path.c_str(), argv.data());
    _exit(127);
  }
  return pid;
}

bool StartsWithIgnoreCase(const std::string& line, const std::string& prefix) {
  if (line.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(line[i])) !=
        std::tolower(static_cast<unsigned char>(prefix[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::string DrawdPath() {
  if (const char* dir = std::getenv("TALLYRUNE_BINARY_DIR"); dir && *dir) {
    return std::string(dir) + "/tools/drawd/drawd";
  }
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe");
  return (exe.parent_path().parent_path() / "tools" / "drawd" / "drawd").string();
}

DrawdProcess::DrawdProcess(const std::vector<std::string>& arguments) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return;
  std::vector<std::string> all{"--port", "0"};
  all.insert(all.end(), arguments.begin(), arguments.end());
  pid_ = Spawn(all, pipeFds[1]);
  close(pipeFds[1]);
  // The first line names the port: "drawd listening on 127.0.0.1:PORT".
  std::string line;
  char c = 0;
  while (read(pipeFds[0], &c, 1) == 1 && c != '\n') line += c;
  close(pipeFds[0]);
  std::size_t colon = line.rfind(':');
  if (pid_ > 0 && colon != std::string::npos) port_ = std::atoi(line.c_str() + colon + 1);
}

DrawdProcess::~DrawdProcess() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  int status = 0;
  waitpid(pid_, &status, 0);
}

std::string DrawdProcess::BaseUrl() const {
  return "http://127.0.0.1:" + std::to_string(port_);
}

int RunDrawdToExit(const std::vector<std::string>& arguments) {
  pid_t pid = Spawn(arguments, -1);
  int status = 0;
  if (pid <= 0 || waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string RawHttpResponse::Header(const std::string& name) const {
  std::size_t at = 0;
  while (at < headers.size()) {
    std::size_t end = headers.find("\r\n", at);
    if (end == std::string::npos) end = headers.size();
    std::string line = headers.substr(at, end - at);
    if (StartsWithIgnoreCase(line, name + ":")) {
      std::string value = line.substr(name.size() + 1);
      while (!value.empty() && value.front() == ' ') value.erase(value.begin());
      return value;
    }
    at = end + 2;
  }
  return {};
}

RawHttpResponse RawHttpRequest(int port, const std::string& method, const std::string& target) {
  RawHttpResponse response;
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return response;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(fd);
    return response;
  }
  std::string request = method + " " + target + " HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n";
  if (send(fd, request.data(), request.size(), MSG_NOSIGNAL) !=
      static_cast<ssize_t>(request.size())) {
    close(fd);
    return response;
  }
  std::string raw;
  char buffer[65536];
  ssize_t n = 0;
  while ((n = recv(fd, buffer, sizeof buffer, 0)) > 0)
    raw.append(buffer, static_cast<std::size_t>(n));
  close(fd);
  std::size_t headerEnd = raw.find("\r\n\r\n");
  if (headerEnd == std::string::npos) return response;
  std::size_t firstLineEnd = raw.find("\r\n");
  std::string statusLine = raw.substr(0, firstLineEnd);
  std::size_t space = statusLine.find(' ');
  if (space != std::string::npos) response.status = std::atoi(statusLine.c_str() + space + 1);
  response.headers = raw.substr(firstLineEnd + 2, headerEnd - firstLineEnd - 2);
  response.body = raw.substr(headerEnd + 4);
  return response;
}

std::vector<std::string> ReadLines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream file(path);
  for (std::string line; std::getline(file, line);) lines.push_back(line);
  return lines;
}

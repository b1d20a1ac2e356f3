// tools/drawd/drawd.cpp -- the bundled draw-results server: the endpoint page and a Date.
//
//   drawd [--port N] [--now "YYYY-MM-DD HH:MM:SS"] [--delay-ms N] [--log FILE] [--rows N]
//
// Listens on 127.0.0.1 only. --port 0 picks a free port; the chosen one is printed on the
// first line of standard output ("drawd listening on 127.0.0.1:PORT"). --now fixes the
// lottery's wall time (UTC+8) for every answer; --delay-ms waits before answering the draw
// results; --log appends one line per request, with the lottery time it was answered at; --rows lists that many draws instead of 120.
#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "tools/drawd/lottery.h"

namespace {

constexpr const char kEndpointPath[] = "/ajaxHTTP/gamedraw/GetOpenNumber.aspx";
constexpr const char kAccessToken[] = "7D3E0C9A61F2B84E5A0D7C3F916E2B48";

struct Options {
  int port = 18580;
  std::optional<drawd::LotteryTime> now;
  int delayMs = 0;
  std::string logPath;
  int rows = 120;
};

void PrintUsage() {
  std::fprintf(stderr,
               "usage: drawd [--port N] [--now \"YYYY-MM-DD HH:MM:SS\"] [--delay-ms N] "
               "[--log FILE] [--rows N]\n");
}

// A whole number in [low, high], or nothing.
std::optional<int> ParseInt(const std::string& text, int low, int high) {
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  long value = std::strtol(text.c_str(), &end, 10);
  if (*end != '\0' || value < low || value > high) return std::nullopt;
  return static_cast<int>(value);
}

std::optional<Options> ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string name = argv[i];
    if (i + 1 >= argc) return std::nullopt;
    const std::string value = argv[++i];
    if (name == "--port") {
      auto port = ParseInt(value, 0, 65535);
      if (!port) return std::nullopt;
      options.port = *port;
    } else if (name == "--now") {
      options.now = drawd::ParseLotteryTime(value);
      if (!options.now) return std::nullopt;
    } else if (name == "--delay-ms") {
      auto delay = ParseInt(value, 0, 600000);
      if (!delay) return std::nullopt;
      options.delayMs = *delay;
    } else if (name == "--log") {
      options.logPath = value;
    } else if (name == "--rows") {
      auto rows = ParseInt(value, 0, 1000000);
      if (!rows) return std::nullopt;
      options.rows = *rows;
    } else {
      return std::nullopt;
    }
  }
  return options;
}

// One line per request, written and flushed as each answer is sent.
class RequestLog {
 public:
  explicit RequestLog(const std::string& path) {
    if (!path.empty()) file_.open(path, std::ios::app);
  }
  bool Failed(const std::string& path) const { return !path.empty() && !file_.is_open(); }
  // "HH:MM:SS METHOD TARGET STATUS", the time being the lottery's when the answer went out.
  void Write(drawd::LotteryTime time, const httplib::Request& req, const httplib::Response& res) {
    if (!file_.is_open()) return;
    const long long second = ((time % 86400) + 86400) % 86400;
    char clock[16];
    std::snprintf(clock, sizeof clock, "%02lld:%02lld:%02lld", second / 3600, second / 60 % 60,
                  second % 60);
    std::lock_guard<std::mutex> lock(mutex_);
    file_ << clock << ' ' << req.method << ' ' << req.target << ' ' << res.status << '\n';
    file_.flush();
  }

 private:
  std::mutex mutex_;
  std::ofstream file_;
};

}  // namespace

int main(int argc, char** argv) {
  std::optional<Options> parsed = ParseOptions(argc, argv);
  if (!parsed) {
    PrintUsage();
    return 2;
  }
  const Options options = *parsed;
  RequestLog log(options.logPath);
  if (log.Failed(options.logPath)) {
    std::fprintf(stderr, "drawd: cannot open log file %s\n", options.logPath.c_str());
    return 1;
  }

  httplib::Server server;
  auto now = [&options] { return options.now ? *options.now : drawd::LotteryNow(); };

  // GET and HEAD of every path come here (the library routes HEAD to the GET handlers and
  // sends no body for it). HEAD anywhere answers 200 with a Date, for clock setting.
  server.Get(".*", [&](const httplib::Request& req, httplib::Response& res) {
    // Only the draw results are slow: a Date answers at once, as a time server would.
    if (options.delayMs > 0 && req.method != "HEAD" && req.path == kEndpointPath) {
      std::this_thread::sleep_for(std::chrono::milliseconds(options.delayMs));
    }
    const drawd::LotteryTime time = now();
    res.set_header("Date", drawd::HttpDate(time));
    res.set_header("Cache-Control", "no-store");
    if (req.method == "HEAD") {
      res.status = 200;
      return;
    }
    if (req.path != kEndpointPath) {
      res.status = 404;
      res.set_content("Not Found\n", "text/plain");
      return;
    }
    // A wrong or missing access token gets an empty page, as the real endpoint does.
    std::string body;
    if (req.get_param_value("sPass") == kAccessToken) {
      body = drawd::ResultsPage(drawd::NewestDraws(time, options.rows));
    }
    res.status = 200;
    res.set_content(body, "text/html; charset=utf-8");
  });
  server.set_logger([&log, &now](const httplib::Request& req, const httplib::Response& res) {
    log.Write(now(), req, res);
  });

  int port = options.port;
  if (port == 0) {
    port = server.bind_to_any_port("127.0.0.1");
  } else if (!server.bind_to_port("127.0.0.1", port)) {
    port = -1;
  }
  if (port <= 0) {
    std::fprintf(stderr, "drawd: cannot listen on 127.0.0.1:%d\n", options.port);
    return 1;
  }
  std::printf("drawd listening on 127.0.0.1:%d\n", port);
  std::fflush(stdout);
  return server.listen_after_bind() ? 0 : 1;
}

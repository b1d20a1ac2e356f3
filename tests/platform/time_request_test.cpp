// tests/platform/time_request_test.cpp -- the Date header request against loopback servers.
#include "platform/time_request.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

#include "tests/support/sched_date_server.h"

namespace {

const char kDate[] = "Tue, 10 Dec 2024 06:21:33 GMT";

std::string Url(const DateServer& server, const char* path) {
  return "http://" + server.HostAndPort() + path;
}

TEST(TimeRequestTest, ReadsDateOfTheFirstAnswerWithHead) {
  DateServer server;
  server.Answer("/123.123", 302, {{"Location", "/moved"}, {"date", std::string(" ") + kDate}});
  server.Answer("/moved", 200, {{"Date", "Wed, 11 Dec 2024 00:00:00 GMT"}});
  // Proxy settings in the environment are not the program's to follow.
  setenv("http_proxy", "http://127.0.0.1:9", 1);
  std::string date = RequestDateHeader(Url(server, "/123.123"));
  unsetenv("http_proxy");
  EXPECT_EQ(date, kDate);
  EXPECT_EQ(server.Requests(), std::vector<std::string>{"HEAD /123.123"});
}

TEST(TimeRequestTest, EmptyWithoutDateOrAnswer) {
  DateServer server;
  server.Answer("/123.123", 200, {{"Server", "test"}});
  EXPECT_EQ(RequestDateHeader(Url(server, "/123.123")), "");

  std::string closed;
  {
    DateServer gone;
    closed = Url(gone, "/123.123");
  }
  EXPECT_EQ(RequestDateHeader(closed), "");
  EXPECT_EQ(RequestDateHeader("http://127.0.0.1:99999/123.123"), "");
}

// A server that accepts the connection and then never answers: the stall limit ends the
// request instead of leaving start-up waiting.
TEST(TimeRequestTest, SilentServerGivesUpAfterTheStallLimit) {
  int listener = socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(listener, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), length), 0);
  ASSERT_EQ(listen(listener, 4), 0);  // the kernel completes connections; nobody answers
  ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
  const std::string url =
      "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/123.123";

  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(RequestDateHeader(url), "");
  const auto waited = std::chrono::steady_clock::now() - start;
  close(listener);
  EXPECT_GE(waited, std::chrono::milliseconds(kTimeRequestStallLimitMs - 1000));
  EXPECT_LT(waited, std::chrono::milliseconds(kTimeRequestStallLimitMs + 3000));
}

}  // namespace

// tests/net/web_fetcher_double_test.cpp -- the fetcher's exact calls, seen through a
// recording HTTP layer: handles, flags, header text, agent, body and 301 moves.
#include <gtest/gtest.h>

#include "net/web_fetcher.h"
#include "tests/support/http_recording_api.h"

namespace {

using Fail = RecordingHttpApi::FailAt;

const std::string kDefaultLines =
    "\r\nAccept: */*\r\nAccept-Language: zh-cn"
    "\r\nContent-Type: application/x-www-form-urlencoded";

RecordingHttpApi::Reply Ok(const Bytes& body) {
  return {body, "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n"};
}

TEST(WebFetcherCalls, PlainGetOpensSendsAndClosesInReverseOrder) {
  RecordingHttpApi::Installed api;
  api->SetResponder([](const auto&) { return Ok("body"); });
  std::string headers;

  Bytes body = WebFetcher("http://h.example/x?y=1", 0, {}, nullptr, nullptr, &headers);

  EXPECT_EQ(body, "body");
  ASSERT_EQ(api->Sent().size(), 1u);
  const auto sent = api->Sent()[0];
  EXPECT_EQ(sent.agent, kDefaultUserAgent);
  EXPECT_EQ(sent.accessType, INTERNET_OPEN_TYPE_DIRECT);
  EXPECT_EQ(sent.proxyList, "");
  EXPECT_EQ(sent.verb, "GET");
  EXPECT_EQ(sent.version, "HTTP/1.1");
  EXPECT_EQ(sent.flags, 0x80004010u);
  EXPECT_EQ(sent.headers, "Referer: http://h.example/x?y=1" + kDefaultLines);
  EXPECT_EQ(headers, sent.headers);
  EXPECT_EQ(sent.body, "");
  EXPECT_EQ(api->Log(), (std::vector<std::string>{"session 1", "connection 2", "request 3",
                                                  "send 3", "close 3", "close 2", "close 1"}));
}

TEST(WebFetcherCalls, AddressesGiveHostPortObjectAndFlags) {
  struct Case {
    std::string url;
    bool giveCookies;
    bool noAutoRedirect;
    std::string host;
    int port;
    std::string object;
    std::uint32_t flags;
  };
  const Case cases[] = {
      {"http://h.example", false, false, "h.example", 80, "/", 0x80004010},
      {"https://h.example:8443/a?b=c", false, false, "h.example", 8443, "/a?b=c", 0x80800010},
      {"h.example/x", false, false, "h.example", 80, "/x", 0x80004010},
      {"HTTPS://H.example/A", false, false, "h.example", 443, "/A", 0x80800010},
      {"http://h/x", true, true, "h", 80, "/x", 0x80284010},
  };
  for (const Case& c : cases) {
    RecordingHttpApi::Installed api;
    std::string cookies;
    WebFetcher(c.url, 0, {}, c.giveCookies ? &cookies : nullptr, nullptr, nullptr, nullptr,
               c.noAutoRedirect);
    ASSERT_EQ(api->Sent().size(), 1u) << c.url;
    const auto sent = api->Sent()[0];
    EXPECT_EQ(sent.host, c.host) << c.url;
    EXPECT_EQ(sent.port, c.port) << c.url;
    EXPECT_EQ(sent.objectName, c.object) << c.url;
    EXPECT_EQ(sent.flags, c.flags) << c.url;
  }
}

TEST(WebFetcherCalls, ExtraHeadersAreCompletedAndNameTheAgent) {
  const std::string url = "http://h/x";
  struct Case {
    std::string given, sent, agent;
  };
  const Case cases[] = {
      // "Accept:" is looked for byte for byte: a lower-case line still gets the default.
      {"accept: text/html", "accept: text/html\r\nReferer: " + url + kDefaultLines,
       kDefaultUserAgent},
      // "User-Agent:" is looked for without regard to case; with no CR LF after it the
      // agent is the value after the colon.
      {"user-agent: X", "user-agent: X\r\nReferer: " + url + kDefaultLines, "X"},
      {"User-Agent:  Y Z \r\nReferer: r", "User-Agent:  Y Z \r\nReferer: r" + kDefaultLines, "Y Z"},
      {"Referer: r\r\nAccept: a\r\nAccept-Language: l\r\nContent-Type: c",
       "Referer: r\r\nAccept: a\r\nAccept-Language: l\r\nContent-Type: c", kDefaultUserAgent},
  };
  for (const Case& c : cases) {
    RecordingHttpApi::Installed api;
    std::string headers = c.given;
    WebFetcher(url, 0, {}, nullptr, nullptr, &headers);
    ASSERT_EQ(api->Sent().size(), 1u);
    EXPECT_EQ(api->Sent()[0].headers, c.sent) << c.given;
    EXPECT_EQ(headers, c.sent) << c.given;
    EXPECT_EQ(api->Sent()[0].agent, c.agent) << c.given;
  }
}

TEST(WebFetcherCalls, MethodDecidesVerbAndBody) {
  struct Case {
    int method;
    std::string postText;
    Bytes postBytes;
    std::string verb;
    Bytes body;
    Bytes postBytesAfter;
  };
  const Case cases[] = {
      {1, "a=1&b=2", "", "POST", "a=1&b=2", "a=1&b=2"},
      {0, "a=1", "", "GET", "", ""},
      {2, "q=1", "", "GET", "q=1", "q=1"},
      {1, "ignored", std::string("raw\0z", 5), "POST", std::string("raw\0z", 5),
       std::string("raw\0z", 5)},
      {1, "", "", "POST", "", ""},
  };
  for (const Case& c : cases) {
    RecordingHttpApi::Installed api;
    Bytes postBytes = c.postBytes;
    WebFetcher("http://h/p", c.method, c.postText, nullptr, nullptr, nullptr, nullptr, false,
               &postBytes);
    ASSERT_EQ(api->Sent().size(), 1u);
    EXPECT_EQ(api->Sent()[0].verb, c.verb) << c.method;
    EXPECT_EQ(api->Sent()[0].body, c.body) << c.method;
    EXPECT_EQ(postBytes, c.postBytesAfter) << c.method;
  }
}

TEST(WebFetcherCalls, ProxyGivenEvenEmptySelectsTheProxySession) {
  const std::pair<std::string, std::string> cases[] = {
      {"127.0.0.1:3128", "http=127.0.0.1:3128"},
      {"", "http="},
  };
  for (const auto& [proxy, list] : cases) {
    RecordingHttpApi::Installed api;
    WebFetcher("http://h/", 0, {}, nullptr, nullptr, nullptr, nullptr, false, nullptr, proxy);
    ASSERT_EQ(api->Sent().size(), 1u);
    EXPECT_EQ(api->Sent()[0].accessType, INTERNET_OPEN_TYPE_PROXY);
    EXPECT_EQ(api->Sent()[0].proxyList, list);
  }
}

TEST(WebFetcherCalls, FailedOpenClosesWhatWasOpenedAndLeavesOutputsAlone) {
  const std::pair<Fail, std::vector<std::string>> cases[] = {
      {Fail::Session, {}},
      {Fail::Connection, {"session 1", "close 1"}},
      {Fail::Request, {"session 1", "connection 2", "close 2", "close 1"}},
  };
  for (const auto& [step, log] : cases) {
    RecordingHttpApi::Installed api;
    api->SetFailure(step);
    std::string cookies = "k=1", received = "r", headers = "h: 1", target = "t", response = "s";
    Bytes postBytes = "p";
    Bytes body = WebFetcher("http://h/", 1, "x", &cookies, &received, &headers, &target, false,
                            &postBytes, std::nullopt, &response);
    EXPECT_EQ(body, "");
    EXPECT_EQ(api->Log(), log);
    EXPECT_EQ(cookies + received + headers + target + postBytes + response, "k=1rh: 1tps");
  }
}

TEST(WebFetcherCalls, PermanentMoveIsFollowedWithTheCurrentPathAppended) {
  RecordingHttpApi::Installed api;
  api->SetResponder([](const RecordingHttpApi::Request& r) -> RecordingHttpApi::Reply {
    if (r.host == "h") {
      return {"moved", "HTTP/1.1 301 Moved Permanently\r\nLocation: http://other:81\r\n\r\n"};
    }
    return Ok("there");
  });
  std::string headers, target = "stale";

  Bytes body = WebFetcher("http://h/x?y", 0, {}, nullptr, nullptr, &headers, &target);

  EXPECT_EQ(body, "there");
  ASSERT_EQ(api->Sent().size(), 2u);
  const auto second = api->Sent()[1];
  EXPECT_EQ(second.host, "other");
  EXPECT_EQ(second.port, 81);
  EXPECT_EQ(second.objectName, "/x?y");
  // The caller's header variable already holds the first call's lines: none is added again.
  EXPECT_EQ(second.headers, "Referer: http://h/x?y" + kDefaultLines);
  // The first call's handles are closed before the second call opens its own.
  const std::vector<std::string> log = api->Log();
  ASSERT_EQ(log.size(), 14u);
  EXPECT_EQ(log[6], "close 1");
  EXPECT_EQ(log[7], "session 4");
  // No Location in the final answer: the target is its whole header block.
  EXPECT_EQ(target, Ok("there").headerBlock);
}

TEST(WebFetcherCalls, AnswersThatAreNotFollowedKeepTheirBody) {
  const std::string cases[] = {
      "HTTP/1.0 301 Moved Permanently\r\nLocation: http://other/\r\n\r\n",
      "HTTP/1.1 301 Moved Permanently\r\nContent-Length: 4\r\n\r\n",  // no Location
      "HTTP/1.1 301 Moved Permanently\r\nLocation:   \r\n\r\n",       // an empty one
      "HTTP/1.1 302 Found\r\nLocation: http://other/\r\n\r\n",
      "HTTP/1.1 301 OK\r\nLocation: http://other/\r\n\r\n",
  };
  for (const std::string& block : cases) {
    RecordingHttpApi::Installed api;
    api->SetResponder([&](const auto&) { return RecordingHttpApi::Reply{"body", block}; });
    EXPECT_EQ(WebFetcher("http://h/x"), "body") << block;
    EXPECT_EQ(api->Sent().size(), 1u) << block;
  }
}

TEST(WebFetcherCalls, EndlessPermanentMovesEndEmptyAfterTheBound) {
  RecordingHttpApi::Installed api;
  api->SetResponder([](const auto&) {
    return RecordingHttpApi::Reply{"m", "HTTP/1.1 301 Moved\r\nLocation: http://h\r\n\r\n"};
  });
  EXPECT_EQ(WebFetcher("http://h/x"), "");
  EXPECT_EQ(api->Sent().size(), 1u + kMaxPermanentMoves);
}

TEST(WebFetcherCalls, OversizedOrMissingHeaderBlockCountsAsNoHeaders) {
  const std::string big = "HTTP/1.1 301 Moved\r\nLocation: http://o\r\nSet-Cookie: a=1;\r\n" +
                          std::string(5000, 'x') + "\r\n\r\n";
  const std::optional<std::string> blocks[] = {big, std::nullopt};
  for (const auto& block : blocks) {
    RecordingHttpApi::Installed api;
    api->SetResponder([&](const auto&) { return RecordingHttpApi::Reply{"b", block}; });
    std::string received = "old", target, response;
    Bytes body = WebFetcher("http://h/", 0, {}, nullptr, &received, nullptr, &target, false,
                            nullptr, std::nullopt, &response);
    EXPECT_EQ(body, "b");
    EXPECT_EQ(response, std::string(5000, ' '));
    EXPECT_EQ(received, "");
    EXPECT_EQ(target, response);
  }
}

}  // namespace

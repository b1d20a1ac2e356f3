// tests/net/web_fetcher_test.cpp -- the fetcher against real servers on loopback: cookies,
// moves, charset, bodies, proxy, and the limits that end a bad exchange.
#include <gtest/gtest.h>

#include <chrono>

#include "net/web_fetcher.h"
#include "platform/codepage.h"
#include "platform/http.h"
#include "tests/support/http_test_server.h"

namespace {

using Clock = std::chrono::steady_clock;

// Shortened bounds for the tests that wait for one, restored afterwards.
class ShortLimits {
 public:
  explicit ShortLimits(HttpLimits limits) { SetHttpLimitsForTest(limits); }
  ~ShortLimits() { SetHttpLimitsForTest(std::nullopt); }
};

RawReply RawAnswer(const std::string& statusAndHeaders, const std::string& body) {
  return {statusAndHeaders + "\r\nContent-Length: " + std::to_string(body.size()) +
          "\r\nConnection: close\r\n\r\n" + body};
}

TEST(WebFetcher, CookiesGivenAreSentAndMergedWithThoseReceived) {
  HttpTestServer server;
  std::string cookieSeen;
  server.Routes().Get("/c", [&](const httplib::Request& req, httplib::Response& res) {
    cookieSeen = req.get_header_value("Cookie");
    res.set_header("Set-Cookie", "a=1; Path=/");
    res.set_header("Set-Cookie", "b=2; HttpOnly");
    res.set_content("ok", "text/plain");
  });
  server.Routes().Get("/d", [&](const httplib::Request&, httplib::Response& res) {
    res.set_header("Set-Cookie", "a=deleted; expires=Thu, 01 Jan 1970 00:00:00 GMT");
    res.set_content("ok", "text/plain");
  });
  server.Start();

  std::string cookies = "a=0; c=3", received;
  EXPECT_EQ(WebFetcher(server.Url("/c"), 0, {}, &cookies, &received), "ok");
  EXPECT_EQ(cookieSeen, "a=0; c=3");
  EXPECT_EQ(cookies, "a=1; b=2; c=3");
  EXPECT_EQ(received, "a=1;b=2;");

  WebFetcher(server.Url("/d"), 0, {}, &cookies, &received);
  EXPECT_EQ(cookies, "b=2; c=3");
}

TEST(WebFetcher, ReceivedCookiesWithoutCookiesGivenKeepTheirSpaces) {
  HttpTestServer server;
  server.Routes().Get("/", [](const httplib::Request&, httplib::Response& res) {
    res.set_header("Set-Cookie", "s = 1 ; Path=/");
    res.set_header("Set-Cookie", "flag");  // no ";": contributes an empty item
    res.set_content("ok", "text/plain");
  });
  server.Start();
  std::string received = "old";
  WebFetcher(server.Url("/"), 0, {}, nullptr, &received);
  EXPECT_EQ(received, "s = 1; ; ");
}

TEST(WebFetcher, PermanentMoveIsFollowedWithPathAndQueryAppended) {
  HttpTestServer server;
  std::string targetSeen;
  server.Routes().Get("/x", [&](const httplib::Request&, httplib::Response& res) {
    res.status = 301;
    res.set_header("Location", server.Url("/new"));
  });
  server.Routes().Get("/new/x", [&](const httplib::Request& req, httplib::Response& res) {
    targetSeen = req.target;
    res.set_content("moved here", "text/plain");
  });
  server.Start();

  Bytes body = WebFetcher(server.Url("/x?y=1"), 0, {}, nullptr, nullptr, nullptr, nullptr, true);
  EXPECT_EQ(body, "moved here");
  EXPECT_EQ(targetSeen, "/new/x?y=1");
}

TEST(WebFetcher, PermanentMoveFromAnHttp10ServerIsNotFollowed) {
  RawHttpServer server([](const std::string&) {
    return RawAnswer("HTTP/1.0 301 Moved Permanently\r\nLocation: http://127.0.0.1:1", "old");
  });
  EXPECT_EQ(WebFetcher(server.Url("/x"), 0, {}, nullptr, nullptr, nullptr, nullptr, true), "old");
  EXPECT_EQ(server.Requests().size(), 1u);
}

TEST(WebFetcher, LoopOfPermanentMovesEndsEmpty) {
  HttpTestServer server;
  int requests = 0;
  server.Routes().Get("/loop", [&](const httplib::Request&, httplib::Response& res) {
    ++requests;
    res.status = 301;
    res.set_header("Location", server.Url(""));  // the current path is appended again
    res.set_content("again", "text/plain");
  });
  server.Start();
  EXPECT_EQ(WebFetcher(server.Url("/loop"), 0, {}, nullptr, nullptr, nullptr, nullptr, true), "");
  EXPECT_EQ(requests, 1 + kMaxPermanentMoves);
}

TEST(WebFetcher, TemporaryRedirectIsTheLayersToFollowOrReturn) {
  HttpTestServer server;
  server.Routes().Get("/old", [&](const httplib::Request&, httplib::Response& res) {
    res.set_redirect(server.Url("/new"), 302);
    res.set_content("see other", "text/plain");
  });
  server.Routes().Get("/new", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("new", "text/plain");
  });
  server.Start();

  std::string target;
  EXPECT_EQ(WebFetcher(server.Url("/old"), 0, {}, nullptr, nullptr, nullptr, &target), "new");
  EXPECT_EQ(FetchPageText(server.Url("/old")), "new");

  target.clear();
  EXPECT_EQ(WebFetcher(server.Url("/old"), 0, {}, nullptr, nullptr, nullptr, &target, true),
            "see other");
  EXPECT_EQ(target, server.Url("/new"));
}

TEST(WebFetcher, Utf8BodyIsConvertedOnlyWhenDeclaredEarlyOrInHeaders) {
  const std::string marker = "charset=utf-8";
  const std::string chinese = "\xE5\xA4\xA7";  // 大 in UTF-8; in GBK B4 F3
  struct Case {
    std::size_t markerAt;  // 0-based byte index of the marker in the body
    std::string bodyMarker;
    std::string contentType;
    bool converted;
  };
  const Case cases[] = {
      {498, marker, "text/html", true},   // begins at byte 499
      {499, marker, "text/html", false},  // begins at byte 500
      {499, marker, "text/html; charset=utf-8", true},
      {0, "charset=UTF-8", "text/html; charset=UTF-8", false},  // upper case never counts
  };
  for (const Case& c : cases) {
    HttpTestServer server;
    const std::string body = std::string(c.markerAt, 'x') + c.bodyMarker + chinese;
    server.Routes().Get("/", [&](const httplib::Request&, httplib::Response& res) {
      res.set_content(body, c.contentType.c_str());
    });
    server.Start();
    const std::string expected =
        c.converted ? std::string(c.markerAt, 'x') + c.bodyMarker + "\xB4\xF3" : body;
    EXPECT_EQ(WebFetcher(server.Url("/")), expected) << c.markerAt << " " << c.contentType;
  }
}

TEST(WebFetcher, ChinesePageInUtf8ArrivesAsGbkText) {
  HttpTestServer server;
  server.Routes().Get("/", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("<td>开奖号码 12345</td>", "text/html; charset=utf-8");
  });
  server.Start();
  EXPECT_EQ(FetchPageText(server.Url("/")), Gbk("<td>开奖号码 12345</td>"));
}

TEST(WebFetcher, PageTextEndsAtTheFirstZeroByte) {
  HttpTestServer server;
  server.Routes().Get("/", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(std::string("ab\0cd", 5), "application/octet-stream");
  });
  server.Start();
  EXPECT_EQ(WebFetcher(server.Url("/")), std::string("ab\0cd", 5));
  EXPECT_EQ(FetchPageText(server.Url("/")), "ab");
}

TEST(WebFetcher, PostSendsTheTextAndKeepsItsBytes) {
  HttpTestServer server;
  std::string seen;
  server.Routes().Post("/p", [&](const httplib::Request& req, httplib::Response& res) {
    seen = req.get_header_value("Content-Type") + "|" + req.body;
    res.set_content("posted", "text/plain");
  });
  server.Start();
  Bytes postBytes;
  EXPECT_EQ(WebFetcher(server.Url("/p"), 1, "a=1&b=2", nullptr, nullptr, nullptr, nullptr, false,
                       &postBytes),
            "posted");
  EXPECT_EQ(seen, "application/x-www-form-urlencoded|a=1&b=2");
  EXPECT_EQ(postBytes, "a=1&b=2");
}

TEST(WebFetcher, ProxyGivenAsHostAndPortCarriesTheRequest) {
  HttpTestServer origin;
  origin.Routes().Get("/x", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("from origin", "text/plain");
  });
  origin.Start();
  // A minimal forwarding proxy: takes the absolute-form request and asks the origin.
  RawHttpServer proxy([&](const std::string& request) {
    const std::string target = request.substr(4, request.find(' ', 4) - 4);
    httplib::Client client("127.0.0.1", origin.Port());
    auto answer = client.Get(target.substr(target.find('/', 7)));
    return RawAnswer("HTTP/1.1 200 OK", answer ? answer->body : "no answer");
  });

  EXPECT_EQ(WebFetcher(origin.Url("/x"), 0, {}, nullptr, nullptr, nullptr, nullptr, false, nullptr,
                       proxy.HostPort()),
            "from origin");
  ASSERT_EQ(proxy.Requests().size(), 1u);
  EXPECT_EQ(proxy.Requests()[0].rfind("GET " + origin.Url("/x") + " HTTP/1.1\r\n", 0), 0u);
}

TEST(WebFetcher, UnreachablePortGivesEmptyResultQuickly) {
  const auto started = Clock::now();
  const std::string url = "http://127.0.0.1:" + std::to_string(UnusedLoopbackPort()) + "/";
  std::string response;
  EXPECT_EQ(WebFetcher(url, 0, {}, nullptr, nullptr, nullptr, nullptr, false, nullptr, std::nullopt,
                       &response),
            "");
  EXPECT_EQ(response, std::string(5000, ' '));
  EXPECT_EQ(FetchPageText(url), "");
  EXPECT_LT(Clock::now() - started, std::chrono::seconds(5));
}

TEST(WebFetcher, HeaderBlockOverFiveThousandBytesIsTreatedAsAbsent) {
  HttpTestServer server;
  server.Routes().Get("/", [](const httplib::Request&, httplib::Response& res) {
    res.set_header("X-Padding", std::string(5000, 'p'));
    res.set_header("Set-Cookie", "a=1; Path=/");
    res.set_content("charset=utf-8 \xE5\xA4\xA7", "text/html; charset=utf-8");
  });
  server.Start();
  std::string received = "old", response;
  Bytes body = WebFetcher(server.Url("/"), 0, {}, nullptr, &received, nullptr, nullptr, false,
                          nullptr, std::nullopt, &response);
  EXPECT_EQ(body, "charset=utf-8 \xB4\xF3");  // converted for the marker in the body only
  EXPECT_EQ(response, std::string(5000, ' '));
  EXPECT_EQ(received, "");
}

TEST(WebFetcher, StalledServerIsAbandonedWithinTheStallBound) {
  ShortLimits limits({.connectTimeoutMs = 10'000, .stallSeconds = 1, .requestTimeoutMs = 30'000});
  HttpTestServer server;
  server.Routes().Get("/", [&](const httplib::Request&, httplib::Response& res) {
    res.set_content_provider(100, "text/plain",
                             [&](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                               if (offset == 0) return sink.write("half of it", 10);
                               server.HoldUntilTornDown();
                               return false;
                             });
  });
  server.Start();
  const auto started = Clock::now();
  EXPECT_EQ(FetchPageText(server.Url("/")), "");  // a part of a page is no page
  EXPECT_LT(Clock::now() - started, std::chrono::seconds(6));
}

TEST(WebFetcher, BodyOverTheCapGivesEmptyResult) {
  ShortLimits limits({.maxBodyBytes = 4096});
  HttpTestServer server;
  server.Routes().Get("/fits", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(std::string(4096, 'f'), "text/plain");
  });
  server.Routes().Get("/big", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(std::string(4097, 'b'), "text/plain");
  });
  server.Routes().Get("/chunked", [](const httplib::Request&, httplib::Response& res) {
    res.set_chunked_content_provider("text/plain", [](std::size_t, httplib::DataSink& sink) {
      std::string piece(1000, 'c');
      for (int i = 0; i < 5; ++i) sink.write(piece.data(), piece.size());
      sink.done();
      return true;
    });
  });
  server.Start();
  EXPECT_EQ(WebFetcher(server.Url("/fits")).size(), 4096u);
  EXPECT_EQ(WebFetcher(server.Url("/big")), "");
  EXPECT_EQ(WebFetcher(server.Url("/chunked")), "");  // no length announced in advance
}

}  // namespace

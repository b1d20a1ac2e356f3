// tests/platform/http_test.cpp -- the HTTP request layer on libcurl against loopback servers.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/http.h"
#include "tests/support/http_test_server.h"

namespace {

constexpr std::uint32_t kPlainFlags =
    INTERNET_FLAG_RELOAD | INTERNET_FLAG_NEED_FILE | INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS;

// One exchange's handles, closed in reverse order at the end of the test.
struct Exchange {
  Exchange(const std::string& host, int port, const std::string& verb, const std::string& object,
           std::uint32_t flags = kPlainFlags, int access = INTERNET_OPEN_TYPE_DIRECT,
           const std::string& proxyList = "", const std::string& agent = "TestAgent/1") {
    session = HttpOpenSession(agent, access, proxyList);
    connection = HttpConnect(session, host, port);
    request = HttpOpenRequest(connection, verb, object, "HTTP/1.1", flags);
  }
  ~Exchange() {
    HttpCloseHandle(request);
    HttpCloseHandle(connection);
    HttpCloseHandle(session);
  }
  Bytes ReadAll(std::size_t chunk = 1024) const {
    Bytes body;
    for (Bytes piece; !(piece = HttpReadChunk(request, chunk)).empty();) body += piece;
    return body;
  }
  HttpHandle session, connection, request;
};

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(HttpLayer, SendsWhatItIsGivenAndKeepsTheFinalHeaderBlock) {
  const std::string block = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nX-A: b\r\n\r\n";
  RawHttpServer server([&](const std::string&) { return RawReply{block + "ok"}; });
  Exchange call("127.0.0.1", server.Port(), "GET", "/a b?c=\xB4\xF3", kPlainFlags,
                INTERNET_OPEN_TYPE_DIRECT, "", "Agent/1\r\nInjected: 1");
  ASSERT_NE(call.request, 0u);

  ASSERT_TRUE(HttpSendRequest(call.request, "X-One: 1\r\nX-Two: 2\nX-Three: 3", ""));

  ASSERT_EQ(server.Requests().size(), 1u);
  const std::string sent = server.Requests()[0];
  EXPECT_EQ(sent.rfind("GET /a%20b?c=%B4%F3 HTTP/1.1\r\n", 0), 0u) << sent;
  EXPECT_TRUE(Contains(sent, "\r\nUser-Agent: Agent/1\r\n")) << sent;
  EXPECT_FALSE(Contains(sent, "Injected")) << sent;
  EXPECT_TRUE(Contains(sent, "\r\nX-One: 1\r\nX-Two: 2\r\nX-Three: 3\r\n")) << sent;
  EXPECT_FALSE(Contains(sent, "Expect:")) << sent;
  EXPECT_FALSE(Contains(sent, "Accept-Encoding:")) << sent;

  EXPECT_EQ(HttpReadChunk(call.request, 1), "o");
  EXPECT_EQ(HttpReadChunk(call.request, 1), "k");
  EXPECT_EQ(HttpReadChunk(call.request, 1), "");
  // The block must fit its buffer together with a terminating zero.
  EXPECT_EQ(HttpQueryRawHeaders(call.request, block.size()), std::nullopt);
  EXPECT_EQ(HttpQueryRawHeaders(call.request, block.size() + 1), block);
}

TEST(HttpLayer, BodyGoesWithAnyVerbThatIsGivenOne) {
  struct Case {
    std::string verb;
    Bytes body;
    std::string contentLength;  // empty: no Content-Length line expected
  };
  const Case cases[] = {
      {"GET", "q=1", "3"}, {"GET", "", ""},
      {"POST", "", "0"},   {"POST", std::string("a\0b", 3), "3"},
      {"PUT", "x", "1"},
  };
  for (const Case& c : cases) {
    RawHttpServer server([](const std::string&) {
      return RawReply{"HTTP/1.1 204 No Content\r\nConnection: close\r\n\r\n"};
    });
    Exchange call("127.0.0.1", server.Port(), c.verb, "/p");
    EXPECT_TRUE(HttpSendRequest(call.request, "", c.body)) << c.verb;
    ASSERT_EQ(server.Requests().size(), 1u);
    const std::string sent = server.Requests()[0];
    EXPECT_EQ(sent.rfind(c.verb + " /p HTTP/1.1\r\n", 0), 0u) << sent;
    if (c.contentLength.empty()) {
      EXPECT_FALSE(Contains(sent, "Content-Length")) << sent;
    } else {
      EXPECT_TRUE(Contains(sent, "\r\nContent-Length: " + c.contentLength + "\r\n")) << sent;
      EXPECT_EQ(sent.substr(sent.size() - c.body.size()), c.body) << c.verb;
    }
  }
}

TEST(HttpLayer, RedirectsAreFollowedUnlessTheFlagSaysNo) {
  HttpTestServer server;
  server.Routes().Get("/r", [&](const httplib::Request&, httplib::Response& res) {
    res.set_redirect(server.Url("/final"), 302);
    res.set_content("redirect body", "text/plain");
  });
  server.Routes().Get("/final", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("done", "text/plain");
  });
  server.Start();

  Exchange followed("127.0.0.1", server.Port(), "GET", "/r");
  ASSERT_TRUE(HttpSendRequest(followed.request, "", ""));
  EXPECT_EQ(followed.ReadAll(), "done");
  std::string block = HttpQueryRawHeaders(followed.request, 5000).value_or("");
  EXPECT_EQ(block.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << block;
  EXPECT_FALSE(Contains(block, "Location")) << block;  // the redirect's own lines are gone
  EXPECT_EQ(block.substr(block.size() - 4), "\r\n\r\n");

  Exchange kept("127.0.0.1", server.Port(), "GET", "/r",
                kPlainFlags | INTERNET_FLAG_NO_AUTO_REDIRECT);
  ASSERT_TRUE(HttpSendRequest(kept.request, "", ""));
  EXPECT_EQ(kept.ReadAll(), "redirect body");
  block = HttpQueryRawHeaders(kept.request, 5000).value_or("");
  EXPECT_EQ(block.rfind("HTTP/1.1 302 Found\r\n", 0), 0u) << block;
  EXPECT_TRUE(Contains(block, "\r\nLocation: " + server.Url("/final") + "\r\n")) << block;
}

TEST(HttpLayer, CookieJarIsSharedByRequestsThatLeaveCookiesToIt) {
  HttpTestServer server;
  server.Routes().Get(R"(/set/(\w+))", [](const httplib::Request& req, httplib::Response& res) {
    res.set_header("Set-Cookie", req.matches[1].str() + "=1; Path=/");
    res.set_content("set", "text/plain");
  });
  server.Routes().Get("/echo", [](const httplib::Request& req, httplib::Response& res) {
    res.set_content(req.get_header_value("Cookie"), "text/plain");
  });
  server.Start();
  auto fetch = [&](const std::string& object, std::uint32_t extraFlags) {
    Exchange call("127.0.0.1", server.Port(), "GET", object, kPlainFlags | extraFlags);
    HttpSendRequest(call.request, "", "");
    return call.ReadAll();
  };

  fetch("/set/unstored", INTERNET_FLAG_NO_COOKIES);
  EXPECT_FALSE(Contains(fetch("/echo", 0), "unstored=1"));
  fetch("/set/stored", 0);
  EXPECT_TRUE(Contains(fetch("/echo", 0), "stored=1"));  // another session, the same jar
  EXPECT_EQ(fetch("/echo", INTERNET_FLAG_NO_COOKIES), "");
}

TEST(HttpLayer, EnvironmentProxyIsIgnoredAndAGivenOneIsUsed) {
  HttpTestServer origin;
  origin.Routes().Get("/x", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("origin", "text/plain");
  });
  origin.Start();
  RawHttpServer proxy([](const std::string&) {
    return RawReply{"HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nproxy"};
  });
  const std::string proxyUrl = proxy.Url("");
  for (const char* name : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"}) {
    setenv(name, proxyUrl.c_str(), 1);
  }
  Bytes direct;
  {
    Exchange call("127.0.0.1", origin.Port(), "GET", "/x");
    HttpSendRequest(call.request, "", "");
    direct = call.ReadAll();
  }
  for (const char* name : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"}) unsetenv(name);
  EXPECT_EQ(direct, "origin");
  EXPECT_TRUE(proxy.Requests().empty());

  Exchange call("127.0.0.1", origin.Port(), "GET", "/x", kPlainFlags, INTERNET_OPEN_TYPE_PROXY,
                "http=" + proxy.HostPort());
  ASSERT_TRUE(HttpSendRequest(call.request, "", ""));
  EXPECT_EQ(call.ReadAll(), "proxy");
  ASSERT_EQ(proxy.Requests().size(), 1u);
  EXPECT_EQ(proxy.Requests()[0].rfind("GET " + origin.Url("/x") + " HTTP/1.1\r\n", 0), 0u);
}

TEST(HttpLayer, UnusableArgumentsOpenNothing) {
  EXPECT_EQ(HttpOpenSession("a", INTERNET_OPEN_TYPE_PROXY, ""), 0u);
  EXPECT_EQ(HttpOpenSession("a", INTERNET_OPEN_TYPE_PROXY, "http="), 0u);
  EXPECT_EQ(HttpOpenSession("a", 0, ""), 0u);

  HttpHandle session = HttpOpenSession("a", INTERNET_OPEN_TYPE_DIRECT, "");
  ASSERT_NE(session, 0u);
  const std::pair<std::string, int> targets[] = {
      {"", 80},          {"user@h", 80}, {"h/x", 80},  {"h:81", 80},
      {"h\r\nX: 1", 80}, {"h", -1},      {"h", 65536},
  };
  for (const auto& [host, port] : targets) {
    EXPECT_EQ(HttpConnect(session, host, port), 0u) << host << " " << port;
  }
  EXPECT_EQ(HttpConnect(session + 1000, "h", 80), 0u);  // not a session

  HttpHandle connection = HttpConnect(session, "h.example", 80);
  ASSERT_NE(connection, 0u);
  EXPECT_EQ(HttpOpenRequest(connection, "G T", "/", "HTTP/1.1", kPlainFlags), 0u);
  EXPECT_EQ(HttpOpenRequest(connection, "GET", "/", "HTTP/2", kPlainFlags), 0u);
  EXPECT_EQ(HttpOpenRequest(session, "GET", "/", "HTTP/1.1", kPlainFlags), 0u);

  // Handles that are not requests, closed or never opened give nothing and break nothing.
  EXPECT_FALSE(HttpSendRequest(connection, "", ""));
  EXPECT_EQ(HttpReadChunk(session, 10), "");
  EXPECT_EQ(HttpQueryRawHeaders(0, 5000), std::nullopt);
  HttpCloseHandle(connection);
  HttpCloseHandle(connection);
  HttpCloseHandle(0);
  HttpCloseHandle(session);
}

TEST(HttpLayer, RequestWithoutACompleteAnswerHasNoBodyAndNoHeaders) {
  RawHttpServer truncating([](const std::string&) {
    return RawReply{"HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n0123456789"};
  });
  HttpTestServer plain;  // answers https with a plain-text error
  plain.Start();
  struct Case {
    const char* what;
    int port;
    std::uint32_t flags;
  };
  const Case cases[] = {
      {"refused", UnusedLoopbackPort(), kPlainFlags},
      {"truncated", truncating.Port(), kPlainFlags},
      {"TLS to a plain server", plain.Port(),
       INTERNET_FLAG_RELOAD | INTERNET_FLAG_NEED_FILE | INTERNET_FLAG_SECURE},
  };
  for (const Case& c : cases) {
    Exchange call("127.0.0.1", c.port, "GET", "/", c.flags);
    ASSERT_NE(call.request, 0u) << c.what;
    EXPECT_FALSE(HttpSendRequest(call.request, "", "")) << c.what;
    EXPECT_EQ(HttpReadChunk(call.request, 1024), "") << c.what;
    EXPECT_EQ(HttpQueryRawHeaders(call.request, 5000), std::nullopt) << c.what;
  }
}

}  // namespace

// The page fetch over the libcurl transport against a local HTTP server
// started by each test on 127.0.0.1 with a port of the system's choice.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/headless_window.h"
#include "app/window_ops.h"
#include "web/curl_transport.h"
#include "web/fetch.h"

namespace dsr {
namespace {

constexpr std::string_view kAccept =
    "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, application/x-shockwave-flash, "
    "application/vnd.ms-excel, application/vnd.ms-powerpoint, application/msword, */*";

// What the server saw of one request.
struct Seen {
  std::string method;
  std::string target;  // as sent, not decoded
  httplib::Headers headers;
  std::string body;

  std::size_t Count(const std::string& name) const { return headers.count(name); }
  std::string Header(const std::string& name) const {
    auto it = headers.find(name);
    return it == headers.end() ? std::string("(none)") : it->second;
  }
};

// An HTTP server on 127.0.0.1 running on its own thread until destroyed.
struct LocalServer {
  LocalServer() {
    server.set_read_timeout(5);
    server.set_write_timeout(5);
  }
  ~LocalServer() {
    server.stop();
    if (thread.joinable()) thread.join();
  }
  void Start() {
    port = server.bind_to_any_port("127.0.0.1");
    thread = std::thread([this] { server.listen_after_bind(); });
    while (!server.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  // Answers every method on every target matching `pattern`.
  void On(const std::string& pattern, httplib::Server::Handler handler) {
    auto recorded = [this, handler](const httplib::Request& req, httplib::Response& res) {
      {
        std::lock_guard<std::mutex> lock(mutex);
        seen.push_back({req.method, req.target, req.headers, req.body});
      }
      handler(req, res);
    };
    server.Get(pattern, recorded);
    server.Post(pattern, recorded);
  }
  std::string Address(const std::string& target) const {
    return "http://127.0.0.1:" + std::to_string(port) + target;
  }
  std::vector<Seen> Requests() {
    std::lock_guard<std::mutex> lock(mutex);
    return seen;
  }

  httplib::Server server;
  std::thread thread;
  int port = 0;
  std::mutex mutex;
  std::vector<Seen> seen;
};

// Ends the test program should a request hang.
struct Watchdog : testing::Environment {
  void SetUp() override {
    std::thread([] {
      std::this_thread::sleep_for(std::chrono::seconds(45));
      std::fputs("fetch_http_test: time limit reached\n", stderr);
      std::_Exit(3);
    }).detach();
  }
};
const auto* const kWatchdog = testing::AddGlobalTestEnvironment(new Watchdog);

std::string AsString(const Bytes& b) { return std::string(b.begin(), b.end()); }

struct FetchHttpTest : testing::Test {
  void SetUp() override {
    UseTransport(CurlTransport());
    ClearCurlCookies();
    SetCurlConnectTo({});
    UseWindowOperations(window.Operations());
  }
  void TearDown() override {
    SetCurlConnectTo({});
    ClearCurlCookies();
    UseWindowOperations(WindowOperations{});
  }

  Bytes Fetch(const std::string& address, std::string_view method = "", std::string_view body = "",
              std::string_view proxy = "") {
    headers.clear();
    rawHeaders.clear();
    return FetchPageBytes(address, method, proxy, headers, body, rawHeaders);
  }

  LocalServer server;
  HeadlessWindow window;
  Text headers;
  Text rawHeaders;
};

TEST_F(FetchHttpTest, GetSendsTheFixedHeaderLinesOnce) {
  server.On("/page", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("<html>ok</html>", "text/html");
  });
  server.Start();
  const std::string address = server.Address("/page");
  EXPECT_EQ(AsString(Fetch(address)), "<html>ok</html>");

  const std::vector<Seen> seen = server.Requests();
  ASSERT_EQ(seen.size(), 1u);
  const Seen& s = seen[0];
  EXPECT_EQ(s.method, "GET");
  EXPECT_EQ(s.target, "/page");
  EXPECT_EQ(s.Count("Accept"), 1u);
  EXPECT_EQ(s.Header("Accept"), kAccept);
  EXPECT_EQ(s.Header("Referer"), address);
  EXPECT_EQ(s.Header("Accept-Language"), "zh-cn");
  EXPECT_EQ(s.Header("User-Agent"), "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)");
  EXPECT_EQ(s.Header("Host"), "127.0.0.1:" + std::to_string(server.port));
  EXPECT_EQ(s.Count("Accept-Encoding"), 0u);
  EXPECT_EQ(s.Count("Expect"), 0u);
  EXPECT_EQ(s.Count("Cookie"), 0u);

  // The final response's block: status line, header lines, empty line.
  EXPECT_EQ(rawHeaders.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << rawHeaders;
  EXPECT_NE(rawHeaders.find("\r\nContent-Type: text/html\r\n"), Text::npos);
  EXPECT_EQ(rawHeaders.substr(rawHeaders.size() - 4), "\r\n\r\n");
}

TEST_F(FetchHttpTest, ObjectPathArrivesByteExactWithControlBytesEscaped) {
  server.On(".*", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("x", "text/plain");
  });
  server.Start();
  const struct {
    std::string path;
    std::string target;
  } cases[] = {
      {"/member/userProfile.jhtml?&userID=小店铺", "/member/userProfile.jhtml?&userID=小店铺"},
      {"/q?userID=a b\tc", "/q?userID=a%20b%09c"},
      {"/q?userID=a\r\nX-Evil: 1", "/q?userID=a%0D%0AX-Evil:%201"},
      {"/q?userID=%41&x=#y\x7F", "/q?userID=%41&x=%23y%7F"},
      {"/a/../b/./c", "/a/../b/./c"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.path));
    Fetch(server.Address(c.path));
    const std::vector<Seen> seen = server.Requests();
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back().target, c.target);
    EXPECT_EQ(seen.back().Count("X-Evil"), 0u);
  }
}

TEST_F(FetchHttpTest, PostSendsBodyWithOwnTypeAndLength) {
  server.On("/form", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("posted", "text/plain");
  });
  server.Start();
  const std::string big(3000, 'b');
  for (const std::string& body : {std::string("a=1"), big}) {
    EXPECT_EQ(AsString(Fetch(server.Address("/form"), "POST", body)), "posted");
    const Seen s = server.Requests().back();
    EXPECT_EQ(s.method, "POST");
    EXPECT_EQ(s.body, body);
    EXPECT_EQ(s.Header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(s.Header("Content-Length"), std::to_string(body.size()));
    EXPECT_EQ(s.Count("Content-Length"), 1u);
    EXPECT_EQ(s.Count("Expect"), 0u);
  }
  // Without a body: no content type and nothing sent after the headers.
  Fetch(server.Address("/form"), "POST", "");
  const Seen s = server.Requests().back();
  EXPECT_EQ(s.Count("Content-Type"), 0u);
  EXPECT_EQ(s.body, "");
}

TEST_F(FetchHttpTest, CookiesSetByAResponseGoWithLaterRequestsToTheHost) {
  server.On("/login", [](const httplib::Request&, httplib::Response& res) {
    res.set_header("Set-Cookie", "sid=abc; path=/");
    res.set_header("Set-Cookie", "cart=9; Path=/shop");
    res.set_header("Set-Cookie", "gone=1; expires=Thu, 01 Jan 1970 00:00:00 GMT");
    res.set_header("Set-Cookie", "keep=2; Max-Age=99999999999999999999");
    res.set_content("in", "text/plain");
  });
  server.On("/logout", [](const httplib::Request&, httplib::Response& res) {
    res.set_header("Set-Cookie", "sid=; Max-Age=0");
    res.set_header("Set-Cookie", "keep=; Expires=Thu, 01 Jan 1970 00:00:00 GMT");
    res.set_content("out", "text/plain");
  });
  server.On("/.*", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("page", "text/plain");
  });
  server.Start();

  Fetch(server.Address("/login"));
  // The whole block stays after the capture.
  EXPECT_NE(rawHeaders.find("Set-Cookie: sid=abc; path=/\r\n"), Text::npos);
  EXPECT_EQ(rawHeaders.substr(rawHeaders.size() - 4), "\r\n\r\n");

  Fetch(server.Address("/shop/list"));
  EXPECT_EQ(server.Requests().back().Header("Cookie"), "cart=9; keep=2; sid=abc");
  Fetch(server.Address("/other"));
  EXPECT_EQ(server.Requests().back().Header("Cookie"), "keep=2; sid=abc");
  Fetch(server.Address("/logout"));
  Fetch(server.Address("/shop/list"));
  EXPECT_EQ(server.Requests().back().Header("Cookie"), "cart=9");
  Fetch(server.Address("/other"));
  EXPECT_EQ(server.Requests().back().Count("Cookie"), 0u);
}

// The names of the Cookie line, in order.
std::vector<std::string> CookieNames(const Seen& s) {
  std::vector<std::string> names;
  if (s.Count("Cookie") == 0) return names;
  std::string line = s.Header("Cookie");
  for (std::size_t at = 0; at < line.size();) {
    const std::size_t end = std::min(line.find("; ", at), line.size());
    const std::string cookie = line.substr(at, end - at);
    names.push_back(cookie.substr(0, cookie.find('=')));
    at = end + 2;
  }
  return names;
}

TEST_F(FetchHttpTest, HeaderBlockOverTheBufferStillStoresEveryCookie) {
  server.On("/many", [](const httplib::Request&, httplib::Response& res) {
    for (int i = 0; i < 60; ++i) {
      res.set_header("Set-Cookie", "c" + std::to_string(i) + "=value-of-some-length; Path=/");
    }
    res.set_content("body", "text/plain");
  });
  server.On("/next", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("next", "text/plain");
  });
  server.Start();
  EXPECT_EQ(AsString(Fetch(server.Address("/many"))), "body");
  EXPECT_EQ(rawHeaders, std::string(1024, ' '));  // the block did not fit
  Fetch(server.Address("/next"));
  std::vector<std::string> names = CookieNames(server.Requests().back());
  std::sort(names.begin(), names.end());
  std::vector<std::string> expected;
  for (int i = 0; i < 60; ++i) expected.push_back("c" + std::to_string(i));
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(names.size(), 60u);
  EXPECT_EQ(names, expected);
}

TEST_F(FetchHttpTest, RedirectionsCarryTheCookiesOfEachHop) {
  server.On("/hop", [](const httplib::Request&, httplib::Response& res) {
    res.set_header("Set-Cookie", "hop=1");
    res.set_redirect("/land");
  });
  server.On("/login", [](const httplib::Request&, httplib::Response& res) {
    res.set_header("Set-Cookie", "deep=2; Path=/shop");
    res.set_content("in", "text/plain");
  });
  server.On("/go", [](const httplib::Request&, httplib::Response& res) {
    res.set_redirect("/shop/list");
  });
  server.On("/.*", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("page", "text/plain");
  });
  server.Start();

  // A cookie set by the redirection goes with the next hop and later on.
  EXPECT_EQ(AsString(Fetch(server.Address("/hop"))), "page");
  Fetch(server.Address("/later"));
  // A redirection into a cookie's path sends it there, and only there.
  Fetch(server.Address("/login"));
  Fetch(server.Address("/go"));
  const std::vector<Seen> seen = server.Requests();
  ASSERT_EQ(seen.size(), 6u);
  EXPECT_EQ(seen[1].target, "/land");
  EXPECT_EQ(seen[1].Header("Cookie"), "hop=1");
  EXPECT_EQ(seen[2].Header("Cookie"), "hop=1");
  EXPECT_EQ(seen[4].target, "/go");
  EXPECT_EQ(seen[4].Header("Cookie"), "hop=1");
  EXPECT_EQ(seen[5].target, "/shop/list");
  EXPECT_EQ(seen[5].Header("Cookie"), "deep=2; hop=1");
}

TEST_F(FetchHttpTest, CookiesStayWithTheirHostOrDomain) {
  server.On("/set", [](const httplib::Request& req, httplib::Response& res) {
    const std::string host = req.get_header_value("Host");
    res.set_header("Set-Cookie", "own_" + host.substr(0, host.find('.')) + "=1");
    if (host == "x.shop.test") res.set_header("Set-Cookie", "wide=1; Domain=shop.test");
    res.set_content("set", "text/plain");
  });
  server.On("/away", [](const httplib::Request&, httplib::Response& res) {
    res.set_redirect("http://b.test/land");
  });
  server.On("/.*", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("page", "text/plain");
  });
  server.Start();
  std::vector<std::string> rules;
  for (const char* host : {"a.test", "b.test", "x.shop.test", "y.shop.test", "shop.test"}) {
    rules.push_back(std::string(host) + ":80:127.0.0.1:" + std::to_string(server.port));
  }
  SetCurlConnectTo(rules);

  for (const char* host : {"a.test", "b.test", "x.shop.test"}) {
    FetchPageText("http://" + std::string(host) + "/set");
  }
  // A redirection to another host sends that host's cookies, none of the first's.
  EXPECT_EQ(FetchPageText("http://a.test/away"), "page");
  std::vector<Seen> seen = server.Requests();
  ASSERT_EQ(seen.size(), 5u);
  EXPECT_EQ(seen[3].Header("Cookie"), "own_a=1");
  EXPECT_EQ(seen[4].Header("Host"), "b.test");
  EXPECT_EQ(seen[4].Header("Cookie"), "own_b=1");
  // A cookie of a parent domain goes to its sub-domains; a host's own does not.
  FetchPageText("http://y.shop.test/page");
  FetchPageText("http://shop.test/page");
  FetchPageText("http://x.shop.test/page");
  seen = server.Requests();
  EXPECT_EQ(seen[5].Header("Cookie"), "wide=1");
  EXPECT_EQ(seen[6].Header("Cookie"), "wide=1");
  EXPECT_EQ(CookieNames(seen[7]), (std::vector<std::string>{"own_x", "wide"}));
}

TEST_F(FetchHttpTest, SetCookieStoresForTheHostOfItsAddress) {
  server.On("/.*", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("page", "text/plain");
  });
  server.Start();
  std::vector<std::string> rules;
  for (const char* host : {"a.test", "sub.a.test", "b.test"}) {
    rules.push_back(std::string(host) + ":80:127.0.0.1:" + std::to_string(server.port));
  }
  SetCurlConnectTo(rules);
  const HttpTransport t = CurlTransport();
  EXPECT_TRUE(t.setCookie("http://a.test", "mine", "1; path=/"));
  EXPECT_TRUE(t.setCookie("http://A.test", "wide", "2; Domain=.a.test"));
  EXPECT_TRUE(t.setCookie("http://a.test", "short", "3; Max-Age=0"));
  EXPECT_FALSE(t.setCookie("http://a.test", "stray", "4; domain=b.test"));
  EXPECT_FALSE(t.setCookie("http://a.test", "bad", "5\r\nX-Evil: 1"));
  const struct {
    const char* address;
    std::vector<std::string> names;
  } cases[] = {
      {"http://a.test/x", {"mine", "wide"}},
      {"http://sub.a.test/x", {"wide"}},
      {"http://b.test/x", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.address);
    FetchPageText(c.address);
    std::vector<std::string> names = CookieNames(server.Requests().back());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, c.names);
  }
  // Setting a cookie with Max-Age=0 removes it.
  EXPECT_TRUE(t.setCookie("http://a.test", "mine", "; path=/; Max-Age=0"));
  FetchPageText("http://a.test/x");
  EXPECT_EQ(CookieNames(server.Requests().back()), std::vector<std::string>{"wide"});
}

TEST_F(FetchHttpTest, ErrorPagesChunkedAndLargeBodiesComeWhole) {
  std::string large(5 << 20, '\0');
  for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>(i * 131 % 251);
  server.On("/missing", [](const httplib::Request&, httplib::Response& res) {
    res.status = 404;
    res.set_content("no such page", "text/html");
  });
  server.On("/chunked", [](const httplib::Request&, httplib::Response& res) {
    res.set_chunked_content_provider("text/plain", [](std::size_t offset, httplib::DataSink& sink) {
      if (offset < 30000) {
        const std::string piece(1000, static_cast<char>('a' + offset / 1000 % 26));
        sink.write(piece.data(), piece.size());
      } else {
        sink.done();
      }
      return true;
    });
  });
  server.On("/large", [&large](const httplib::Request&, httplib::Response& res) {
    res.set_content(large, "application/octet-stream");
  });
  server.On("/empty", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("", "text/plain");
  });
  server.Start();

  EXPECT_EQ(AsString(Fetch(server.Address("/missing"))), "no such page");
  EXPECT_EQ(rawHeaders.rfind("HTTP/1.1 404", 0), 0u);

  const std::string chunked = AsString(Fetch(server.Address("/chunked")));
  ASSERT_EQ(chunked.size(), 30000u);
  EXPECT_EQ(chunked.substr(0, 3), "aaa");
  EXPECT_EQ(chunked.substr(29997), std::string(3, 'a' + 29 % 26));

  const int before = window.runPendingEventsCalls;
  const Bytes body = Fetch(server.Address("/large"));
  EXPECT_TRUE(AsString(body) == large) << body.size();
  // Events ran before every read, and no read took more than 2048 bytes.
  EXPECT_GT(window.runPendingEventsCalls - before, (5 << 20) / 2048);

  EXPECT_TRUE(Fetch(server.Address("/empty")).empty());
}

TEST_F(FetchHttpTest, BodyCutShortKeepsTheBytesRead) {
  server.On("/short", [](const httplib::Request&, httplib::Response& res) {
    res.set_content_provider(100, "text/plain",
                             [](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                               if (offset > 0) return false;  // the connection ends after 50 bytes
                               sink.write(std::string(50, 's').data(), 50);
                               return true;
                             });
  });
  server.Start();
  EXPECT_EQ(AsString(Fetch(server.Address("/short"))), std::string(50, 's'));
}

// A port where nothing listens: bound, then closed again.
int ClosedPort() {
  const int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
  socklen_t size = sizeof a;
  getsockname(s, reinterpret_cast<sockaddr*>(&a), &size);
  close(s);
  return ntohs(a.sin_port);
}

TEST_F(FetchHttpTest, RefusedConnectionGivesAnEmptyBody) {
  const Bytes body = Fetch("http://127.0.0.1:" + std::to_string(ClosedPort()) + "/x");
  EXPECT_TRUE(body.empty());
  EXPECT_EQ(rawHeaders, std::string(1024, ' '));
}

TEST_F(FetchHttpTest, UnusableHostOrPortFailsBeforeSending) {
  for (const std::string address : {"http://user@127.0.0.1/x", "http://127.0.0.1:70000/x",
                                    "http://a.example?q=1", "http://:81/x"}) {
    SCOPED_TRACE(address);
    EXPECT_EQ(Fetch(address), FetchFailureBytes());
  }
}

TEST_F(FetchHttpTest, ConnectToRulesRouteProductionHostsToTheLocalServer) {
  server.On("/member/.*", [](const httplib::Request&, httplib::Response& res) {
    res.set_header("Set-Cookie", "t=1");
    res.set_content("profile", "text/plain");
  });
  server.Start();
  SetCurlConnectTo({"member1.shop.example:80:127.0.0.1:" + std::to_string(server.port)});
  EXPECT_EQ(FetchPageText("http://Member1.Shop.Example/member/a"), "profile");
  EXPECT_EQ(FetchPageText("http://member1.shop.example/member/b"), "profile");
  const std::vector<Seen> seen = server.Requests();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].Header("Host"), "member1.shop.example");
  // Once, though the page fetch stores it again under the host's "/".
  EXPECT_EQ(seen[1].Header("Cookie"), "t=1");
}

TEST_F(FetchHttpTest, ProxyReceivesTheAbsoluteAddress) {
  server.On(".*", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("via proxy", "text/plain");
  });
  server.Start();
  const std::string proxy = "127.0.0.1:" + std::to_string(server.port);
  EXPECT_EQ(AsString(Fetch("http://far.example/p?q=1", "", "", proxy)), "via proxy");
  const std::vector<Seen> seen = server.Requests();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].target, "http://far.example/p?q=1");
}

TEST_F(FetchHttpTest, FetchStartedInsideAnotherRunsToItsEnd) {
  const std::string outerBody(200000, 'o');
  server.On("/outer", [&outerBody](const httplib::Request&, httplib::Response& res) {
    res.set_content(outerBody, "text/plain");
  });
  server.On("/inner", [](const httplib::Request&, httplib::Response& res) {
    res.set_header("Set-Cookie", "inner=1");
    res.set_content("inner body", "text/plain");
  });
  server.Start();
  // A press waiting at the outer fetch's first read, and one more that
  // comes while the outer body is still arriving.
  Text first, second;
  window.pendingEvents.push_back([&] { first = FetchPageText(server.Address("/inner")); });
  int runs = 0;
  WindowOperations ops = window.Operations();
  ops.runPendingEvents = [&, run = ops.runPendingEvents] {
    if (++runs == 30) {
      window.pendingEvents.push_back([&] { second = FetchPageText(server.Address("/inner")); });
    }
    run();
  };
  UseWindowOperations(ops);
  EXPECT_EQ(AsString(Fetch(server.Address("/outer"))), outerBody);
  ASSERT_GE(runs, 30);
  EXPECT_EQ(first, "inner body");
  EXPECT_EQ(second, "inner body");
  const std::vector<Seen> seen = server.Requests();
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[2].Header("Cookie"), "inner=1");
}

}  // namespace
}  // namespace dsr

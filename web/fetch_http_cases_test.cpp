// The page fetch over a real transport against fetch_test_server on
// 127.0.0.1:DSR_FETCH_SERVER_PORT: one table of cases for every transport; a
// case that a transport cannot match names the transport and why.
#include "web/fetch_http_cases.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <ostream>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "app/headless_window.h"
#include "app/window_ops.h"
#include "web/fetch.h"

namespace dsr {
namespace {

constexpr std::string_view kAccept =
    "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, application/x-shockwave-flash, "
    "application/vnd.ms-excel, application/vnd.ms-powerpoint, application/msword, */*";

// What the server's echo says it received.
struct Echoed {
  std::string method;
  std::string target;
  std::multimap<std::string, std::string> headers;
  std::string body;

  std::size_t Count(const std::string& name) const { return headers.count(name); }
  std::string Header(const std::string& name) const {
    auto it = headers.find(name);
    return it == headers.end() ? std::string("(none)") : it->second;
  }
  // The Cookie line's cookies, in any order.
  std::set<std::string> Cookies() const {
    std::set<std::string> cookies;
    std::string line = Count("Cookie") ? Header("Cookie") : "";
    while (!line.empty()) {
      const std::size_t end = line.find("; ");
      cookies.insert(line.substr(0, end));
      line = end == std::string::npos ? "" : line.substr(end + 2);
    }
    return cookies;
  }
};

Echoed ParseEcho(const std::string& text) {
  Echoed e;
  std::size_t at = 0;
  bool first = true;
  while (at < text.size()) {
    const std::size_t end = text.find('\n', at);
    if (end == std::string::npos) break;
    const std::string line = text.substr(at, end - at);
    at = end + 1;
    if (line.empty()) {
      e.body = text.substr(at);
      break;
    }
    const std::size_t tab = line.find('\t');
    const std::string left = line.substr(0, tab);
    const std::string right = tab == std::string::npos ? "" : line.substr(tab + 1);
    if (first) {
      e.method = left;
      e.target = right;
      first = false;
    } else {
      e.headers.emplace(left, right);
    }
  }
  return e;
}

std::string AsString(const Bytes& b) { return std::string(b.begin(), b.end()); }

// A name of letters that no earlier run used: cookies a transport keeps on
// disk (WinInet) never meet those of another run.
std::string FreshArea() {
  std::mt19937 random(std::random_device{}());
  std::string area = "run";
  for (int i = 0; i < 10; ++i) area += static_cast<char>('a' + random() % 26);
  return area;
}

struct Server {
  int port = 0;
  std::string Address(const std::string& target) const {
    return "http://127.0.0.1:" + std::to_string(port) + target;
  }
};

struct Fetcher {
  Server server;
  HeadlessWindow* window = nullptr;
  Text headers;
  Text rawHeaders;

  Bytes Bytes_(const std::string& address, std::string_view method = "", std::string_view body = "",
               std::string_view proxy = "") {
    headers.clear();
    rawHeaders.clear();
    return FetchPageBytes(address, method, proxy, headers, body, rawHeaders);
  }
  std::string Body(const std::string& target, std::string_view method = "",
                   std::string_view body = "") {
    return AsString(Bytes_(server.Address(target), method, body));
  }
  Echoed Echo(const std::string& target, std::string_view method = "", std::string_view body = "") {
    return ParseEcho(Body(target, method, body));
  }
};

struct Case {
  const char* name;
  std::function<void(Fetcher&)> run;
  // A transport that cannot match the case, and why; empty: every one.
  std::string_view skipOn = "";
  std::string_view reason = "";
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

const Case kCases[] = {
    {"GetSendsTheFixedHeaderLinesOnce",
     [](Fetcher& f) {
       const std::string address = f.server.Address("/echo/page");
       const Echoed e = ParseEcho(AsString(f.Bytes_(address)));
       EXPECT_EQ(e.method, "GET");
       EXPECT_EQ(e.target, "/echo/page");
       EXPECT_EQ(e.Count("Accept"), 1u);
       EXPECT_EQ(e.Header("Accept"), kAccept);
       EXPECT_EQ(e.Header("Referer"), address);
       EXPECT_EQ(e.Header("Accept-Language"), "zh-cn");
       EXPECT_EQ(e.Header("User-Agent"), "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)");
       EXPECT_EQ(e.Header("Host"), "127.0.0.1:" + std::to_string(f.server.port));
       EXPECT_EQ(e.Count("Accept-Encoding"), 0u);
       EXPECT_EQ(e.Count("Expect"), 0u);
       EXPECT_EQ(e.Count("Cookie"), 0u);
       EXPECT_EQ(f.rawHeaders.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << f.rawHeaders;
       EXPECT_NE(f.rawHeaders.find("\r\nContent-Type: text/plain\r\n"), Text::npos);
       EXPECT_EQ(f.rawHeaders.substr(f.rawHeaders.size() - 4), "\r\n\r\n");
     }},
    {"RequestTargetArrivesWithControlBytesEscaped",
     [](Fetcher& f) {
       const struct {
         std::string path;
         std::string target;
       } rows[] = {
           {"/echo?userID=小店铺", "/echo?userID=小店铺"},
           {"/echo?userID=a b\tc", "/echo?userID=a%20b%09c"},
           {"/echo?userID=a\r\nX-Evil: 1", "/echo?userID=a%0D%0AX-Evil:%201"},
           {"/echo?userID=%41&x=#y\x7F", "/echo?userID=%41&x=%23y%7F"},
       };
       for (const auto& row : rows) {
         SCOPED_TRACE(row.path);
         const Echoed e = f.Echo(row.path);
         EXPECT_EQ(e.target, row.target);
         EXPECT_EQ(e.Count("X-Evil"), 0u);
       }
     }},
    {"DotSegmentsArriveAsGiven",
     [](Fetcher& f) { EXPECT_EQ(f.Echo("/echo/../echo/./c").target, "/echo/../echo/./c"); },
     "WinInet", "WinInet resolves . and .. segments of the object path before sending"},
    {"PostSendsTheBodyWithItsTypeAndLength",
     [](Fetcher& f) {
       for (const std::string& body : {std::string("a=1"), std::string(3000, 'b')}) {
         const Echoed e = f.Echo("/echo/form", "POST", body);
         EXPECT_EQ(e.method, "POST");
         EXPECT_EQ(e.body, body);
         EXPECT_EQ(e.Header("Content-Type"), "application/x-www-form-urlencoded");
         EXPECT_EQ(e.Header("Content-Length"), std::to_string(body.size()));
         EXPECT_EQ(e.Count("Content-Length"), 1u);
         EXPECT_EQ(e.Count("Expect"), 0u);
       }
       const Echoed empty = f.Echo("/echo/form", "POST", "");
       EXPECT_EQ(empty.Count("Content-Type"), 0u);
       EXPECT_EQ(empty.body, "");
     }},
    {"CookiesSetByAResponseGoWithLaterRequestsToTheHost",
     [](Fetcher& f) {
       const std::string area = "/" + FreshArea();
       EXPECT_EQ(f.Body(area + "/login"), "in");
       EXPECT_NE(f.rawHeaders.find("Set-Cookie: sid=abc; path=" + area + "\r\n"), Text::npos);
       EXPECT_EQ(f.Echo(area + "/shop/echo").Cookies(),
                 (std::set<std::string>{"cart=9", "sid=abc"}));
       EXPECT_EQ(f.Echo(area + "/echo").Cookies(), (std::set<std::string>{"sid=abc"}));
       EXPECT_EQ(f.Echo("/echo").Count("Cookie"), 0u);
       f.Body(area + "/logout");
       EXPECT_EQ(f.Echo(area + "/echo").Count("Cookie"), 0u);
     }},
    {"HeaderBlockOverTheBufferStillStoresTheCookie",
     [](Fetcher& f) {
       const std::string area = "/" + FreshArea();
       EXPECT_EQ(f.Body(area + "/big-header"), "body");
       EXPECT_EQ(f.rawHeaders, std::string(1024, ' '));  // the block did not fit
       EXPECT_EQ(f.Echo(area + "/echo").Cookies(), (std::set<std::string>{"big=1"}));
     }},
    {"RedirectionsAreFollowedAndTheFinalResponseCounts",
     [](Fetcher& f) {
       const std::string area = "/" + FreshArea();
       f.Body(area + "/login");
       const Echoed e = f.Echo(area + "/moved");
       EXPECT_EQ(e.target, area + "/echo/new");
       EXPECT_EQ(e.Cookies().count("sid=abc"), 1u);
       EXPECT_EQ(f.rawHeaders.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << f.rawHeaders;
       // A cookie of one host never reaches another one.
       const Echoed away = ParseEcho(f.Body("/away"));
       EXPECT_EQ(away.target, "/echo/away");
       EXPECT_EQ(away.Count("Cookie"), 0u);
     }},
    {"TenRedirectionsAreFollowed",
     [](Fetcher& f) { EXPECT_EQ(f.Echo("/hops/9/echo/end").target, "/echo/end"); }},
    {"AnEleventhRedirectionIsNot",
     [](Fetcher& f) { EXPECT_NE(f.Echo("/hops/10/echo/end").target, "/echo/end"); }, "WinInet",
     "WinInet has no setting for the number of redirections it follows"},
    {"ARedirectionToHttpsIsFollowed",
     [](Fetcher& f) {
       const int before = std::atoi(f.Body("/tls-hellos").c_str());
       f.Body("/to-https");
       EXPECT_GT(std::atoi(f.Body("/tls-hellos").c_str()), before);
     }},
    {"ErrorPagesChunkedLargeAndEmptyBodiesComeWhole",
     [](Fetcher& f) {
       EXPECT_EQ(f.Body("/missing"), "no such page");
       EXPECT_EQ(f.rawHeaders.rfind("HTTP/1.1 404", 0), 0u);
       const std::string chunked = f.Body("/chunked");
       ASSERT_EQ(chunked.size(), 30000u);
       EXPECT_EQ(chunked.substr(29997), std::string(3, 'a' + 29 % 26));
       const int before = f.window->runPendingEventsCalls;
       const std::string large = f.Body("/large");
       ASSERT_EQ(large.size(), std::size_t{5} << 20);
       bool exact = true;
       for (std::size_t i = 0; i < large.size() && exact; ++i) {
         exact = large[i] == static_cast<char>(i * 131 % 251);
       }
       EXPECT_TRUE(exact);
       EXPECT_GT(f.window->runPendingEventsCalls - before, (5 << 20) / 2048);
       EXPECT_TRUE(f.Bytes_(f.server.Address("/empty")).empty());
     }},
    {"BodyCutShortKeepsTheBytesRead",
     [](Fetcher& f) { EXPECT_EQ(f.Body("/short"), std::string(50, 's')); }},
    {"RefusedConnectionGivesAnEmptyBody",
     [](Fetcher& f) {
       // The TLS port closes every connection at once; one port further
       // nothing listens.
       const std::string address = "http://127.0.0.1:" + std::to_string(f.server.port + 2) + "/";
       EXPECT_TRUE(f.Bytes_(address).empty());
       EXPECT_EQ(f.rawHeaders, std::string(1024, ' '));
     }},
    {"ProxyReceivesTheAbsoluteAddress",
     [](Fetcher& f) {
       const std::string proxy = "127.0.0.1:" + std::to_string(f.server.port);
       const Echoed e = ParseEcho(AsString(f.Bytes_("http://far.example/p?q=1", "", "", proxy)));
       // With or without the default port: the same address.
       EXPECT_TRUE(e.target == "http://far.example/p?q=1" ||
                   e.target == "http://far.example:80/p?q=1")
           << e.target;
     }},
};

struct FetchHttpCases : testing::TestWithParam<Case> {
  void SetUp() override {
    const char* port = std::getenv("DSR_FETCH_SERVER_PORT");
    if (port == nullptr) GTEST_SKIP() << "DSR_FETCH_SERVER_PORT is not set";
    if (GetParam().skipOn == TransportName()) GTEST_SKIP() << GetParam().reason;
    fetcher.server.port = std::atoi(port);
    fetcher.window = &window;
    UseTransport(TransportUnderTest());
    UseWindowOperations(window.Operations());
  }
  void TearDown() override { UseWindowOperations(WindowOperations{}); }

  HeadlessWindow window;
  Fetcher fetcher;
};

TEST_P(FetchHttpCases, Run) { GetParam().run(fetcher); }

INSTANTIATE_TEST_SUITE_P(Table, FetchHttpCases, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) { return info.param.name; });

}  // namespace
}  // namespace dsr

// The page fetch against the scripted transport: request assembly, method
// rules, failure results, the read loop, cookie capture and nesting.
#include "web/fetch.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/headless_window.h"
#include "app/window_ops.h"
#include "web/fake_transport.h"

namespace dsr {
namespace {

using testing::ElementsAre;

constexpr std::string_view kAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
constexpr std::string_view kAccept =
    "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, "
    "application/x-shockwave-flash, application/vnd.ms-excel, application/vnd.ms-powerpoint, "
    "application/msword, */*\r\n";
constexpr std::string_view kLanguage = "Accept-Language: zh-cn\r\n";
constexpr std::string_view kAddress = "http://Shop.Example:8080/Rate/list.htm?id=7";

std::string Referer(std::string_view address) {
  return "Referer: " + std::string(address) + "\r\n";
}

Bytes AsBytes(std::string_view s) { return Bytes(s.begin(), s.end()); }

// A fake bound as the transport, and window operations whose
// `RunPendingEvents` is recorded among the transport's calls as "events".
struct FetchTest : testing::Test {
  void SetUp() override {
    UseTransport(fake.Transport());
    WindowOperations ops = window.Operations();
    ops.runPendingEvents = [this, run = ops.runPendingEvents] {
      fake.Note("events");
      run();
    };
    UseWindowOperations(ops);
  }
  void TearDown() override {
    UseTransport(HttpTransport{});
    UseWindowOperations(WindowOperations{});
  }

  Bytes Fetch(std::string_view address, std::string_view method = "", std::string_view proxy = "",
              std::string_view body = "") {
    return FetchPageBytes(address, method, proxy, headers, body, rawHeaders);
  }

  FakeTransport fake;
  HeadlessWindow window;
  Text headers;
  Text rawHeaders;
};

TEST_F(FetchTest, GetRunsTheOperationsInOrderWithTheirArguments) {
  fake.responses.push_back({.bodyChunks = {"<html>", "</html>"}});
  EXPECT_EQ(Fetch(kAddress), AsBytes("<html></html>"));

  EXPECT_THAT(
      fake.Operations(),
      ElementsAre("open", "connect", "openRequest", "send", "events", "read", "events", "read",
                  "events", "read", "queryInfo", "closeHandle", "closeHandle", "closeHandle"));
  const std::vector<FakeCall>& c = fake.calls;
  EXPECT_THAT(c[0].arguments, ElementsAre(kAgent, "1", ""));
  const std::string root = "1", connection = "2", request = "3";
  EXPECT_THAT(c[1].arguments, ElementsAre(root, "shop.example", "8080", "", "", "3"));
  EXPECT_THAT(c[2].arguments,
              ElementsAre(connection, "", "/Rate/list.htm?id=7", "HTTP/1.1", "2147483648"));
  const std::string sent = std::string(kAccept) + Referer(kAddress) + std::string(kLanguage);
  EXPECT_THAT(c[3].arguments, ElementsAre(request, sent, ""));
  EXPECT_EQ(headers, sent);
  for (const FakeCall& read : fake.CallsOf("read")) {
    EXPECT_THAT(read.arguments, ElementsAre(request, "2048"));
  }
  EXPECT_THAT(fake.CallsOf("queryInfo")[0].arguments, ElementsAre(request, "22", "1024"));
  EXPECT_EQ(rawHeaders, "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n");
  // Released child first: request, connection, root.
  EXPECT_EQ(c[11].arguments[0], request);
  EXPECT_EQ(c[12].arguments[0], connection);
  EXPECT_EQ(c[13].arguments[0], root);
  EXPECT_TRUE(fake.openHandles.empty());
  EXPECT_EQ(fake.badCloses, 0);
}

struct HeaderCase {
  const char* name;
  std::string_view method;
  std::string headersIn;
  std::string_view body;
  std::string expected;  // sent, and `headers` on return
};

TEST_F(FetchTest, HeaderTextIsCompletedByMethod) {
  const std::string a(kAccept), r = Referer(kAddress), l(kLanguage);
  const std::string form = "Content-Type: application/x-www-form-urlencoded\r\n";
  const HeaderCase cases[] = {
      {"empty GET", "", "", "", a + r + l},
      {"explicit GET", "GET", "", "", a + r + l},
      {"lower-case get", "get", "", "", a + r + l},
      {"own Accept in lower case", "", "accept: text/html\r\n", "",
       "accept: text/html\r\n" + r + l},
      {"own Referer and language", "", "REFERER: x\r\naccept-language: en\r\n", "",
       "REFERER: x\r\naccept-language: en\r\n" + a},
      {"no final line break runs together", "", "X-A: 1", "", "X-A: 1" + a + r + l},
      {"POST with a body", "POST", "", "a=1", a + r + l + form + "Content-Length: 3\r\n"},
      {"post in lower case", "post", "", "a=1", a + r + l + form + "Content-Length: 3\r\n"},
      {"POST without a body", "POST", "", "", a + r + l},
      {"POST with own type and length", "POST",
       "content-type: text/plain\r\nContent-Length: 99\r\n", "abcd",
       "content-type: text/plain\r\nContent-Length: 99\r\n" + a + r + l + "Content-Length: 4\r\n"},
      {"GET sends no body", "GET", "", "a=1", a + r + l},
  };
  for (const HeaderCase& hc : cases) {
    SCOPED_TRACE(hc.name);
    fake.calls.clear();
    headers = hc.headersIn;
    Fetch(kAddress, hc.method, "", hc.body);
    EXPECT_EQ(headers, hc.expected);
    ASSERT_EQ(fake.CallsOf("send").size(), 1u);
    const FakeCall send = fake.CallsOf("send")[0];
    EXPECT_EQ(send.arguments[1], hc.expected);
    const bool post = hc.method == "POST" || hc.method == "post";
    EXPECT_EQ(send.arguments[2], post ? hc.body : "");
    // The method text goes to the request unchanged.
    EXPECT_EQ(fake.CallsOf("openRequest")[0].arguments[1], hc.method);
  }
}

TEST_F(FetchTest, RefererCannotBreakTheHeaderBlock) {
  // An account name pasted with a line break stays inside its own line.
  Fetch("http://a.example/q?userID=a\r\nX-Evil: 1\tb\x7F");
  EXPECT_EQ(headers, std::string(kAccept) +
                         "Referer: http://a.example/q?userID=a%0D%0AX-Evil: 1\tb%7F\r\n" +
                         std::string(kLanguage));
}

TEST_F(FetchTest, ProxyChoosesTheAccessMode) {
  const struct {
    std::string_view proxy;
    std::string accessType;
    std::string proxyArgument;
  } cases[] = {
      {"", "1", ""},
      {"  \xA1\xA1 ", "1", ""},
      {"proxy.example:3128", "3", "http=proxy.example:3128"},
      {" proxy.example ", "3", "http= proxy.example "},
  };
  for (const auto& pc : cases) {
    SCOPED_TRACE(testing::PrintToString(std::string(pc.proxy)));
    fake.calls.clear();
    Fetch(kAddress, "", pc.proxy);
    EXPECT_THAT(fake.calls[0].arguments, ElementsAre(kAgent, pc.accessType, pc.proxyArgument));
  }
}

TEST_F(FetchTest, FailureBeforeSendingReleasesWhatWasOpened) {
  const std::string untouched = "X-Mine: 1\r\n";
  const std::string completed =
      untouched + std::string(kAccept) + Referer(kAddress) + std::string(kLanguage);
  const struct {
    const char* name;
    bool failOpen, failConnect, failOpenRequest;
    std::string_view method;
    std::vector<std::string> closed;  // handles, in order
    std::string headersAfter;
  } cases[] = {
      {"root fails", true, false, false, "", {}, untouched},
      {"connection fails", false, true, false, "", {"1"}, untouched},
      {"request fails", false, false, true, "", {"2", "1"}, untouched},
      {"method PUT", false, false, false, "PUT", {"3", "2", "1"}, completed},
  };
  for (const auto& fc : cases) {
    SCOPED_TRACE(fc.name);
    FakeTransport failing;
    failing.failOpen = fc.failOpen;
    failing.failConnect = fc.failConnect;
    failing.failOpenRequest = fc.failOpenRequest;
    UseTransport(failing.Transport());
    headers = untouched;
    rawHeaders = "before";

    const Bytes result = Fetch(kAddress, fc.method);
    EXPECT_EQ(result, Bytes(255, '\0'));
    EXPECT_EQ(headers, fc.headersAfter);
    EXPECT_EQ(rawHeaders, "before");
    std::vector<std::string> closed;
    for (const FakeCall& c : failing.CallsOf("closeHandle")) closed.push_back(c.arguments[0]);
    EXPECT_EQ(closed, fc.closed);
    EXPECT_TRUE(failing.CallsOf("send").empty());
    EXPECT_TRUE(failing.openHandles.empty());

    headers = untouched;
    EXPECT_EQ(FetchPageText(kAddress, fc.method, "", headers, "", rawHeaders), "");
  }
}

TEST_F(FetchTest, HostAndPortRulesDecideTheConnection) {
  const struct {
    std::string_view address;
    std::string host;  // empty: no connection asked for
    std::string port;
  } cases[] = {
      {"http://Shop.Example:8080/x", "shop.example", "8080"},
      {"http://a-b_c.9.example/x", "a-b_c.9.example", "80"},
      {"http://a.example:0/x", "a.example", "80"},
      {"http://a.example:/x", "a.example", "80"},
      {"http://a.example:1/x", "a.example", "1"},
      {"http://a.example:65535/x", "a.example", "65535"},
      {"http://a.example:65536/x", "", ""},
      {"http://a.example:-5/x", "", ""},
      {"http://a.example:4294967377/x", "a.example", "81"},
      {"http://user@a.example/x", "", ""},
      {"http://a.example?q=1", "", ""},
      {"http://:81/x", "", ""},
      {"http://店铺.example/x", "", ""},
      {"http://a b.example/x", "", ""},
  };
  for (const auto& hc : cases) {
    SCOPED_TRACE(testing::PrintToString(std::string(hc.address)));
    fake.calls.clear();
    const Bytes result = Fetch(hc.address);
    const std::vector<FakeCall> connects = fake.CallsOf("connect");
    if (hc.host.empty()) {
      EXPECT_EQ(result, FetchFailureBytes());
      EXPECT_TRUE(connects.empty());
      EXPECT_THAT(fake.Operations(), ElementsAre("open", "closeHandle"));
    } else {
      ASSERT_EQ(connects.size(), 1u);
      EXPECT_EQ(connects[0].arguments[1], hc.host);
      EXPECT_EQ(connects[0].arguments[2], hc.port);
    }
    EXPECT_TRUE(fake.openHandles.empty());
  }
}

TEST_F(FetchTest, ObjectPathGoesOutEscaped) {
  const struct {
    std::string path, target;
  } cases[] = {
      {"/member/userProfile.jhtml?&userID=小店铺", "/member/userProfile.jhtml?&userID=小店铺"},
      {"/q?userID=a b\tc", "/q?userID=a%20b%09c"},
      {"/q?userID=a\r\nX-Evil: 1", "/q?userID=a%0D%0AX-Evil:%201"},
      {"/q?userID=%41&x=#y\x7F\x01", "/q?userID=%41&x=%23y%7F%01"},
      {"/a/../b/./c", "/a/../b/./c"},
  };
  for (const auto& pc : cases) {
    SCOPED_TRACE(testing::PrintToString(pc.path));
    fake.calls.clear();
    Fetch("http://a.example" + pc.path);
    ASSERT_EQ(fake.CallsOf("openRequest").size(), 1u);
    EXPECT_EQ(fake.CallsOf("openRequest")[0].arguments[2], pc.target);
    // The Referer line keeps the address as given but for its control bytes.
    EXPECT_NE(headers.find("Referer: http://a.example/"), Text::npos);
  }
}

TEST_F(FetchTest, BodyIsKeptUpTo32MiB) {
  constexpr std::size_t kLimit = std::size_t{32} << 20;
  // A pattern that no whole number of reads repeats, so that a piece lost,
  // doubled or moved as the body grows (past 1 MiB, its room is made anew)
  // shows as a difference.
  std::string big(kLimit + 5000, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>('a' + i % 23);
  for (const std::size_t size : {kLimit, kLimit + 1, kLimit + 5000}) {
    SCOPED_TRACE(size);
    fake.calls.clear();
    fake.responses.push_back({.bodyChunks = {big.substr(0, size)}});
    const Bytes body = Fetch(kAddress);
    ASSERT_EQ(body.size(), kLimit);
    EXPECT_TRUE(std::equal(body.begin(), body.end(), big.begin()));
    // Reading stops at the limit: the bytes past it are never asked for.
    const std::size_t reads = fake.CallsOf("read").size();
    EXPECT_EQ(reads, kLimit / 2048 + 1);
    EXPECT_TRUE(fake.openHandles.empty());
  }
}

TEST_F(FetchTest, FailureBodyIs255ZeroBytes) {
  EXPECT_EQ(FetchFailureBytes(), Bytes(255, '\0'));
  UseTransport(HttpTransport{});  // unbound: every open fails
  EXPECT_EQ(Fetch(kAddress), FetchFailureBytes());
  EXPECT_EQ(FetchPageText(kAddress), "");
}

TEST_F(FetchTest, FailedSendGivesAnEmptyBodyAndSpacesAsHeaders) {
  fake.responses.push_back({.bodyChunks = {"never"},
                            .rawHeaders = "HTTP/1.1 200 OK\r\nSet-Cookie: a=b\r\n\r\n",
                            .failSend = true});
  const Bytes result = Fetch(kAddress);
  EXPECT_TRUE(result.empty());
  EXPECT_EQ(rawHeaders, std::string(1024, ' '));
  EXPECT_TRUE(fake.cookies.empty());
  EXPECT_EQ(fake.CallsOf("closeHandle").size(), 3u);
}

// The answering mode: each send sees the whole request as it goes out, and
// what the answer says (a refused send included) is what the fetch reads.
TEST_F(FetchTest, AnswerSeesTheWholeRequestAtItsSend) {
  std::vector<FakeRequest> asked;
  fake.answer = [&](const FakeRequest& r) {
    asked.push_back(r);
    return FakeResponse{.bodyChunks = {r.method + " " + r.objectPath}, .failSend = r.port == 81};
  };
  fake.responses.push_back({.bodyChunks = {"scripted"}});

  EXPECT_EQ(Fetch(kAddress, "POST", "", "a=1"), AsBytes("POST /Rate/list.htm?id=7"));
  const Text postHeaders = headers;
  headers.clear();
  EXPECT_TRUE(Fetch("http://shop.example:81/x").empty());
  EXPECT_EQ(rawHeaders, std::string(1024, ' '));

  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0].host, "shop.example");
  EXPECT_EQ(asked[0].port, 8080);
  EXPECT_EQ(asked[0].method, "POST");
  EXPECT_EQ(asked[0].objectPath, "/Rate/list.htm?id=7");
  EXPECT_EQ(asked[0].headers, postHeaders);
  EXPECT_EQ(asked[0].body, "a=1");
  EXPECT_EQ(asked[1].port, 81);
  EXPECT_EQ(asked[1].method, "");
  EXPECT_EQ(asked[1].objectPath, "/x");
  EXPECT_EQ(fake.responses.size(), 1u);
  EXPECT_TRUE(fake.openHandles.empty());
  EXPECT_TRUE(fake.connections.empty());
}

TEST_F(FetchTest, BodyIsCollectedWhole) {
  const std::string big(5000, 'x');
  const std::string withZero("a\0b", 3);
  const struct {
    const char* name;
    FakeResponse response;
    std::string bytes;
    std::string text;
    int reads;
  } cases[] = {
      {"empty body", {.bodyChunks = {}}, "", "", 1},
      {"piece above the buffer size", {.bodyChunks = {big}}, big, big, 4},
      {"zero byte inside", {.bodyChunks = {withZero, "c"}}, withZero + "c", "a", 3},
      {"read fails midway",
       {.bodyChunks = {"one", "two", "three"}, .failReadAfterChunks = 2},
       "onetwo",
       "onetwo",
       3},
  };
  for (const auto& bc : cases) {
    SCOPED_TRACE(bc.name);
    fake.calls.clear();
    fake.responses = {bc.response, bc.response};
    EXPECT_EQ(Fetch(kAddress), AsBytes(bc.bytes));
    EXPECT_EQ(fake.CallsOf("read").size(), static_cast<std::size_t>(bc.reads));
    EXPECT_EQ(fake.CallsOf("events").size(), static_cast<std::size_t>(bc.reads));
    Text h, r;
    EXPECT_EQ(FetchPageText(kAddress, "", "", h, "", r), bc.text);
  }
}

TEST_F(FetchTest, HeaderBlockMustFitWithItsZeroByte) {
  const std::string head = "HTTP/1.1 200 OK\r\nSet-Cookie: a=b\r\nX-Pad: ";
  const std::string tail = "\r\n\r\n";
  for (const int size : {1023, 1024}) {
    SCOPED_TRACE(size);
    fake.cookies.clear();
    const std::string block = head + std::string(size - head.size() - tail.size(), 'p') + tail;
    fake.responses.push_back({.bodyChunks = {"body"}, .rawHeaders = block});
    EXPECT_EQ(Fetch(kAddress), AsBytes("body"));
    if (size == 1023) {
      EXPECT_EQ(rawHeaders, block);
      EXPECT_EQ(fake.cookies.size(), 1u);
    } else {
      EXPECT_EQ(rawHeaders, std::string(1024, ' '));
      EXPECT_TRUE(fake.cookies.empty());
    }
  }
}

TEST_F(FetchTest, SetCookieLinesGoToTheStoreUnderTheHost) {
  const std::string block =
      "HTTP/1.1 200 OK\r\n"
      "Set-Cookie: a=b; path=/\r\n"
      "set-cookie: c=d=e\r\n"
      "Content-Type: text/html\r\n"
      "Set-Cookie: flag\r\n"
      "\r\n";
  fake.responses.push_back({.bodyChunks = {"x"}, .rawHeaders = block});
  Fetch(kAddress);

  ASSERT_EQ(fake.cookies.size(), 3u);
  const struct {
    std::string name, value;
  } expected[] = {{"a", "b; path=/"}, {"c", "d=e"}, {"", "flag"}};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(fake.cookies[i].url, "http://shop.example");
    EXPECT_EQ(fake.cookies[i].name, expected[i].name);
    EXPECT_EQ(fake.cookies[i].value, expected[i].value);
  }
  // The whole block stays in `rawHeaders`.
  EXPECT_EQ(rawHeaders, block);

  // Waiting events run after every one of the six lines, after its cookie.
  std::vector<std::string> tail;
  const std::vector<std::string> ops = fake.Operations();
  auto lastClose = std::find(ops.rbegin(), ops.rend(), "closeHandle").base();
  tail.assign(lastClose, ops.end());
  EXPECT_THAT(tail, ElementsAre("events", "setCookie", "events", "setCookie", "events", "events",
                                "setCookie", "events", "events"));
}

// A carriage return that stays inside a line (any but one right before its
// line feed) would break the Cookie line sent later: such a line stores nothing.
TEST_F(FetchTest, CookieLinesWithAStrayCarriageReturnAreNotStored) {
  const struct {
    const char* name;
    std::string lines;
    std::vector<std::string> stored;  // name=value of each cookie stored
  } cases[] = {
      {"plain line", "Set-Cookie: a=b\r\n", {"a=b"}},
      {"last line without line feed", "Set-Cookie: a=b", {"a=b"}},
      {"carriage return inside the value", "X-Set-Cookie: d=e\rA\r\n", {}},
      {"two carriage returns before the line feed", "Set-Cookie: a=b\r\r\n", {}},
      {"carriage return in the name", "Set-Cookie: a\rb=c\r\n", {}},
      {"carriage return after a lead byte", "Set-Cookie: a=\x81\r\r\n", {}},
      {"bad line among good ones",
       "Set-Cookie: a=b\r\nSet-Cookie: c=\rd\r\nSet-Cookie: e=f\r\n",
       {"a=b", "e=f"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fake.cookies.clear();
    fake.responses.push_back({.bodyChunks = {"x"}, .rawHeaders = "HTTP/1.1 200 OK\r\n" + c.lines});
    Fetch(kAddress);
    std::vector<std::string> stored;
    for (const FakeCookie& k : fake.cookies) stored.push_back(k.name + "=" + k.value);
    EXPECT_EQ(stored, c.stored);
  }
}

TEST_F(FetchTest, NoSetCookieLineMeansNoLineScan) {
  fake.responses.push_back({.bodyChunks = {"x"}});
  Fetch(kAddress);
  const std::vector<std::string> ops = fake.Operations();
  EXPECT_EQ(ops.back(), "closeHandle");
}

TEST_F(FetchTest, FetchStartedByAWaitingEventRunsToItsEndFirst) {
  fake.responses.push_back({.bodyChunks = {"outer-1", "outer-2"}});
  fake.responses.push_back(
      {.bodyChunks = {"inner"}, .rawHeaders = "HTTP/1.1 200 OK\r\nSet-Cookie: n=1\r\n\r\n"});
  Text innerText;
  bool queued = false;
  fake.onRead = [&](InternetHandle) {
    if (queued) return;
    queued = true;
    // A button press waiting when the outer fetch next lets events run.
    window.pendingEvents.push_back([&] { innerText = FetchPageText("http://inner.example/i"); });
  };
  EXPECT_EQ(Fetch(kAddress), AsBytes("outer-1outer-2"));
  EXPECT_EQ(innerText, "inner");
  EXPECT_EQ(fake.cookies.size(), 1u);
  EXPECT_EQ(fake.cookies[0].url, "http://inner.example");
  EXPECT_TRUE(fake.openHandles.empty());
  EXPECT_EQ(fake.badCloses, 0);

  // The inner request was opened, read and closed between two outer reads.
  std::vector<std::string> requestsClosed;
  for (const FakeCall& c : fake.CallsOf("closeHandle")) requestsClosed.push_back(c.arguments[0]);
  EXPECT_THAT(requestsClosed, ElementsAre("6", "5", "4", "3", "2", "1"));
}

}  // namespace
}  // namespace dsr

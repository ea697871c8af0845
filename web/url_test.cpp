// Address decomposition: the reference table of addresses, GBK hosts, and
// invariants over random byte strings.
#include "web/url.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>

namespace dsr {
namespace {

struct AddressCase {
  std::string_view address;
  std::string_view host;
  std::string_view hostWithPort;
  int port;
  std::string_view objectPath;
};

constexpr AddressCase kAddressCases[] = {
    {"http://a.example/d/f.htm?x=1", "a.example", "a.example", 80, "/d/f.htm?x=1"},
    {"a.example/d/f.htm", "a.example", "a.example", 80, "/d/f.htm"},
    {"http://a.example", "a.example", "a.example", 80, "/"},
    {"a.example", "a.example", "a.example", 80, "/"},
    {"a.example:8080", "a.example", "a.example:8080", 8080, "/"},
    {"http://Shop.Example.COM:8080/Path/File.htm", "shop.example.com", "shop.example.com:8080",
     8080, "/Path/File.htm"},
    {"http://a.example:81", "a.example", "a.example:81", 81, "/"},
    {"http://a.example:/x", "a.example", "a.example:", 0, "/x"},
    {"http://a.example:8080abc/x", "a.example", "a.example:8080abc", 8080, "/x"},
    {"http://a.example:81.9/x", "a.example", "a.example:81.9", 81, "/x"},
    {"http://a.example?q=1", "a.example?q=1", "a.example?q=1", 80, "/"},
    {"HTTP://A.EXAMPLE/x", "http", "http:", 0, "//A.EXAMPLE/x"},
    {"https://a.example/x", "https", "https:", 0, "//a.example/x"},
    {"http://h/x", "h", "h", 80, "//h/x"},
    {"x/y?u=http://b.example/z", "b.example", "b.example", 80, "/z"},
    {"", "", "", 80, "/"},
    // GBK: a double-byte host and path stay byte for byte; the second byte
    // of a character (here 0x41, "A") is never lower-cased.
    {"http://店铺.Example/买家/评价.htm", "店铺.example", "店铺.example", 80, "/买家/评价.htm"},
    {"http://\x81\x41"
     "B.example:8081/P?Q=1",
     "\x81\x41"
     "b.example",
     "\x81\x41"
     "b.example:8081",
     8081, "/P?Q=1"},
    // An account name with a space and a double-byte character in the query.
    {"http://member1.example/member/userProfile.jhtml?&userID=小 店", "member1.example",
     "member1.example", 80, "/member/userProfile.jhtml?&userID=小 店"},
};

TEST(UrlTest, ReferenceAddresses) {
  for (const AddressCase& c : kAddressCases) {
    SCOPED_TRACE(std::string(c.address));
    EXPECT_EQ(UrlHost(c.address, false), c.host);
    EXPECT_EQ(UrlHost(c.address, true), c.hostWithPort);
    EXPECT_EQ(UrlPort(c.address), c.port);
    EXPECT_EQ(UrlObjectPath(c.address), c.objectPath);
  }
}

TEST(UrlTest, AddressEndsAtItsFirstZeroByte) {
  using namespace std::string_view_literals;
  const std::string_view address = "http://a.example:81\0/secret"sv;
  EXPECT_EQ(UrlHost(address, false), "a.example");
  EXPECT_EQ(UrlHost(address, true), "a.example:81");
  EXPECT_EQ(UrlPort(address), 81);
  EXPECT_EQ(UrlObjectPath(address), "/");
  EXPECT_EQ(UrlObjectPath("\0/x"sv), "/");
}

TEST(UrlTest, PortBeyondTheUsualRangeIsPassedOn) {
  EXPECT_EQ(UrlPort("http://a.example:70000/"), 70000);
  EXPECT_EQ(UrlPort("http://a.example:-5/"), -5);
  EXPECT_EQ(UrlPort("http://a.example:4294967377/"), 81);  // low 32 bits
}

// A random address built from bytes and fragments that matter to the
// routines: lead bytes, letters of both cases, "http://", "/", ":" and zero.
std::string RandomAddress(std::mt19937& random) {
  static constexpr std::string_view kFragments[] = {
      "http://",  "HTTP://",  "/",        ":",    ":80",  "?",    "=", "A", "b",   ".",
      "\xB5\xEA", "\x81\x41", "\xA1\xA1", "\xFE", "\x80", "\x00", "9", " ", "\r\n"};
  std::uniform_int_distribution<int> length(0, 24);
  std::uniform_int_distribution<int> pick(0, 3);
  std::uniform_int_distribution<std::size_t> fragment(0, std::size(kFragments) - 1);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<int> leadByte(0x81, 0xFE);
  std::string address;
  for (int n = length(random); n > 0; --n) {
    switch (pick(random)) {
      case 0:
        address += static_cast<char>(byte(random));
        break;
      case 1:
        address += static_cast<char>(leadByte(random));
        break;
      default: {
        const std::string_view f = kFragments[fragment(random)];
        address.append(f.data(), f.size() == 0 ? 1 : f.size());  // "\x00" counts one byte
        break;
      }
    }
  }
  return address;
}

// Whether `part` is the lower-cased copy of some run of bytes of `text`.
bool IsLowerCasedPartOf(std::string_view part, std::string_view text) {
  for (std::size_t i = 0; i + part.size() <= text.size(); ++i) {
    if (AsciiLower(text.substr(i, part.size())) == part) return true;
  }
  return false;
}

TEST(UrlTest, RandomAddressesKeepTheInvariants) {
  std::mt19937 random(20240611);
  for (int round = 0; round < 3000; ++round) {
    const std::string address = RandomAddress(random);
    const std::string_view text(address.data(), address.find('\0') == std::string::npos
                                                    ? address.size()
                                                    : address.find('\0'));
    SCOPED_TRACE(testing::PrintToString(address));

    const Text host = UrlHost(address, false);
    const Text hostWithPort = UrlHost(address, true);
    const Text path = UrlObjectPath(address);
    const int port = UrlPort(address);

    for (const Text* t : {&host, &hostWithPort, &path}) {
      EXPECT_EQ(t->find('\0'), Text::npos);
    }
    EXPECT_EQ(AsciiLower(host), host);
    EXPECT_EQ(AsciiLower(hostWithPort), hostWithPort);
    EXPECT_TRUE(IsLowerCasedPartOf(hostWithPort, text));
    // A "/" may stand inside the host only as the second byte of a character.
    EXPECT_EQ(PositionOf(hostWithPort, "/"), -1);
    // The host without port is the host with port up to its first ":".
    EXPECT_EQ(hostWithPort.compare(0, host.size(), host), 0);
    if (host.size() < hostWithPort.size()) {
      EXPECT_EQ(hostWithPort[host.size()], ':');
    }
    if (hostWithPort.find(':') == Text::npos) {
      EXPECT_EQ(port, 80);
    }

    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path.front(), '/');
    // The path is the tail of the address, or "/" alone.
    const bool isTail =
        path.size() <= text.size() && text.substr(text.size() - path.size()) == path;
    EXPECT_TRUE(isTail || path == "/");
  }
}

}  // namespace
}  // namespace dsr

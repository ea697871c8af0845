// Fuzzing the address routines: host, port and object path against the
// plain reference search, and the request target, from which no control
// byte, space or "#" survives and which unescapes to the object path.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "text/text.h"
#include "web/url.h"

namespace {

std::string Host(std::string_view address, bool keepPort) {
  address = fuzz::AsText(address);
  const int prefix = fuzz::PositionOf(address, "http://");
  const std::size_t s = prefix > 0 ? static_cast<std::size_t>(prefix) + 6 : 0;
  const int slash = fuzz::PositionOf(address, "/", static_cast<int>(s) + 1);
  std::string host(slash > 0 ? address.substr(s, static_cast<std::size_t>(slash) - 1 - s)
                             : address.substr(s));
  const int colon = fuzz::PositionOf(host, ":");
  if (!keepPort && colon > 0) host.resize(static_cast<std::size_t>(colon) - 1);
  return fuzz::LowerSingleBytes(host);
}

int Port(std::string_view address) {
  const std::string host = Host(address, true);
  const int colon = fuzz::PositionOf(host, ":");
  if (colon < 1) return 80;
  return dsr::TruncateToInt(dsr::ParseNumber(host.substr(static_cast<std::size_t>(colon))));
}

std::string ObjectPath(std::string_view address) {
  address = fuzz::AsText(address);
  const int at = fuzz::PositionOf(address, Host(address, false), 1, true);
  const int slash = fuzz::PositionOf(address, "/", at > 0 ? at : 1, true);
  if (slash < 1) return "/";
  return std::string(address.substr(static_cast<std::size_t>(slash) - 1));
}

bool Escaped(unsigned char b) { return b <= 0x20 || b == 0x7F || b == '#'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Every "%" and two hexadecimal digits as the byte they name.
std::string Unescape(std::string_view t) {
  std::string out;
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (t[i] == '%' && i + 2 < t.size() && HexValue(t[i + 1]) >= 0 && HexValue(t[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(t[i + 1]) * 16 + HexValue(t[i + 2]));
      i += 2;
    } else {
      out += t[i];
    }
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view address(reinterpret_cast<const char*>(data), size);  // may hold zeros

  const dsr::Text host = dsr::UrlHost(address, false);
  const dsr::Text hostAndPort = dsr::UrlHost(address, true);
  FUZZ_CHECK(host == Host(address, false));
  FUZZ_CHECK(hostAndPort == Host(address, true));
  FUZZ_CHECK(hostAndPort.compare(0, host.size(), host) == 0);
  FUZZ_CHECK(dsr::AsciiLower(host) == host && fuzz::PositionOf(host, ":") == -1);
  FUZZ_CHECK(fuzz::PositionOf(hostAndPort, "/") == -1 && !fuzz::HasZero(hostAndPort));
  FUZZ_CHECK(dsr::UrlPort(address) == Port(address));

  const dsr::Text path = dsr::UrlObjectPath(address);
  FUZZ_CHECK(path == ObjectPath(address));
  FUZZ_CHECK(!path.empty() && path[0] == '/' && !fuzz::HasZero(path));
  const std::string_view text = fuzz::AsText(address);
  FUZZ_CHECK(path == "/" || text.substr(text.size() - path.size()) == path);

  // The request target of the object path, and of any bytes at all.
  for (const std::string_view p : {std::string_view(path), address}) {
    const dsr::Text target = dsr::RequestTarget(p);
    std::size_t escapes = 0;
    for (const char c : p) escapes += Escaped(static_cast<unsigned char>(c)) ? 1 : 0;
    FUZZ_CHECK(target.size() == p.size() + 2 * escapes);
    for (const char c : target) FUZZ_CHECK(!Escaped(static_cast<unsigned char>(c)));
    if (p.find('%') == std::string_view::npos) FUZZ_CHECK(Unescape(target) == p);
  }

  const int port = dsr::ConnectionPort(dsr::UrlPort(address));
  FUZZ_CHECK(port >= 0 && port <= 65535);
  if (dsr::IsPlainHost(host)) {
    for (const char c : host) FUZZ_CHECK(c != '@' && c != ':' && c != '/' && c != '?' && c > 0x20);
  }
  return 0;
}

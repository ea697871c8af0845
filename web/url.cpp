// Address decomposition: pure routines over the text toolkit.
#include "web/url.h"

namespace dsr {
namespace {

// The address as text: the bytes before its first zero byte.
std::string_view AsText(std::string_view address) { return address.substr(0, address.find('\0')); }

}  // namespace

Text UrlHost(std::string_view address, bool keepPort) {
  address = AsText(address);
  const int prefix = PositionOf(address, "http://");
  const int start = prefix > 0 ? prefix + 7 : 1;
  const int slash = PositionOf(address, "/", start);
  const int count = slash > 0 ? slash - start : ByteLength(address) - start + 1;
  Text host = MidPart(address, start, count);
  if (!keepPort) {
    const int colon = PositionOf(host, ":");
    if (colon > 0) host = LeftPart(host, colon - 1);
  }
  return AsciiLower(host);
}

int UrlPort(std::string_view address) {
  const Text host = UrlHost(address, true);
  const int colon = PositionOf(host, ":");
  if (colon < 1) return 80;
  return TruncateToInt(ParseNumber(RightPart(host, ByteLength(host) - colon)));
}

Text UrlObjectPath(std::string_view address) {
  address = AsText(address);
  const Text host = UrlHost(address, false);
  const int at = PositionOf(address, host, 1, true);
  const int slash = PositionOf(address, "/", at > 0 ? at : 1, true);
  if (slash < 1) return "/";
  return RightPart(address, ByteLength(address) - slash + 1);
}

Text PercentEscape(std::string_view text, bool (*escape)(unsigned char)) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  Text out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (escape(b)) {
      out += '%';
      out += kHex[b >> 4];
      out += kHex[b & 15];
    } else {
      out += c;
    }
  }
  return out;
}

Text RequestTarget(std::string_view objectPath) {
  return PercentEscape(objectPath,
                       [](unsigned char b) { return b <= 0x20 || b == 0x7F || b == '#'; });
}

bool IsPlainHost(std::string_view host) {
  if (host.empty()) return false;
  for (const char c : host) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '.' || c == '_';
    if (!plain) return false;
  }
  return true;
}

int ConnectionPort(int port) {
  if (port == 0) return 80;
  return port >= 1 && port <= 65535 ? port : 0;
}

}  // namespace dsr

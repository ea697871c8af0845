// GBK <-> UTF-16 / UTF-8 through iconv, one unconvertible unit at a time
// replaced.
#include "app/gbk.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace dsr {
namespace {

// Converts `in` from `from` to `to`. At a unit iconv refuses (invalid input,
// a character the target cannot hold, a sequence cut short at the end),
// `replacement` is written and `skip(rest)` bytes of the input are dropped.
template <typename Skip>
std::string Convert(const char* to, const char* from, std::string_view in,
                    std::string_view replacement, Skip skip) {
  std::string out;
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return out;
  char* inPtr = const_cast<char*>(in.data());
  size_t inLeft = in.size();
  char buffer[4096];
  while (inLeft > 0) {
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    const size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    const int error = errno;
    out.append(buffer, static_cast<size_t>(outPtr - buffer));
    if (result != static_cast<size_t>(-1)) break;
    if (error == E2BIG) continue;
    // EILSEQ or EINVAL: replace the refused unit and go on after it.
    out.append(replacement);
    const size_t drop = std::min(inLeft, skip(std::string_view(inPtr, inLeft)));
    inPtr += drop;
    inLeft -= drop;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  iconv_close(cd);
  return out;
}

// One byte of GBK input is refused at a time.
size_t SkipByte(std::string_view) { return 1; }

// One UTF-16LE code unit, or a whole surrogate pair, is refused at a time.
size_t SkipUtf16Unit(std::string_view rest) {
  if (rest.size() >= 4) {
    const unsigned high = static_cast<unsigned char>(rest[0]) | static_cast<unsigned char>(rest[1])
                                                                    << 8;
    const unsigned low = static_cast<unsigned char>(rest[2]) | static_cast<unsigned char>(rest[3])
                                                                   << 8;
    if (high >= 0xD800 && high < 0xDC00 && low >= 0xDC00 && low < 0xE000) return 4;
  }
  return 2;
}

// One UTF-8 character (its lead byte and the continuation bytes after it),
// or one stray byte, is refused at a time.
size_t SkipUtf8Char(std::string_view rest) {
  size_t n = 1;
  const auto lead = static_cast<unsigned char>(rest[0]);
  if (lead >= 0xC0) {
    while (n < rest.size() && n < 4 && (static_cast<unsigned char>(rest[n]) & 0xC0) == 0x80) ++n;
  }
  return n;
}

Text UpToZero(std::string s) {
  const size_t zero = s.find('\0');
  if (zero != std::string::npos) s.resize(zero);
  return s;
}

}  // namespace

std::u16string GbkToUtf16(std::string_view gbk) {
  const std::string bytes =
      Convert("UTF-16LE", "GBK", gbk, std::string_view("\xFD\xFF", 2), SkipByte);
  std::u16string out(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < out.size(); ++i) {
    out[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                   static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
  }
  return out;
}

std::string GbkToUtf8(std::string_view gbk) {
  return Convert("UTF-8", "GBK", gbk, "\xEF\xBF\xBD", SkipByte);
}

Text Utf16ToGbk(std::u16string_view utf16) {
  std::string bytes(utf16.size() * 2, '\0');
  for (size_t i = 0; i < utf16.size(); ++i) {
    bytes[2 * i] = static_cast<char>(utf16[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<char>(utf16[i] >> 8);
  }
  return UpToZero(Convert("GBK", "UTF-16LE", bytes, "?", SkipUtf16Unit));
}

Text Utf8ToGbk(std::string_view utf8) {
  return UpToZero(Convert("GBK", "UTF-8", utf8, "?", SkipUtf8Char));
}

}  // namespace dsr

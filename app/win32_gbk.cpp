// GBK <-> UTF-16 / UTF-8 through Windows code page 936, one unconvertible unit
// at a time replaced, as the iconv form (gbk.cpp) does.
#include <windows.h>

#include <string>

#include "app/gbk.h"

namespace dsr {
namespace {

constexpr UINT kGbk = 936;

// The UTF-16 of `bytes` in `codePage`, or nothing when any byte is invalid.
bool Decode(UINT codePage, std::string_view bytes, std::u16string& out) {
  out.clear();
  if (bytes.empty()) return true;
  const int n = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(),
                                    static_cast<int>(bytes.size()), nullptr, 0);
  if (n <= 0) return false;
  out.resize(static_cast<std::size_t>(n));
  MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                      reinterpret_cast<wchar_t*>(out.data()), n);
  return true;
}

// The GBK of `utf16`, or nothing when a character has no GBK form.
bool EncodeGbk(std::u16string_view utf16, std::string& out) {
  out.clear();
  if (utf16.empty()) return true;
  for (char16_t c : utf16) {
    if (c >= 0xD800 && c < 0xE000) return false;  // GBK holds nothing outside the BMP
  }
  const auto* wide = reinterpret_cast<const wchar_t*>(utf16.data());
  const int size = static_cast<int>(utf16.size());
  BOOL usedDefault = FALSE;
  const int n = WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, wide, size, nullptr, 0, nullptr,
                                    &usedDefault);
  if (n <= 0 || usedDefault) return false;
  out.resize(static_cast<std::size_t>(n));
  WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, wide, size, out.data(), n, nullptr, &usedDefault);
  return !usedDefault;
}

bool IsGbkLead(unsigned char b) { return b >= 0x81 && b <= 0xFE; }

Text UpToZero(std::string s) {
  const std::size_t zero = s.find('\0');
  if (zero != std::string::npos) s.resize(zero);
  return s;
}

// One UTF-8 character: its lead byte and the continuation bytes after it.
std::size_t Utf8CharLength(std::string_view rest) {
  std::size_t n = 1;
  if (static_cast<unsigned char>(rest[0]) >= 0xC0) {
    while (n < rest.size() && n < 4 && (static_cast<unsigned char>(rest[n]) & 0xC0) == 0x80) ++n;
  }
  return n;
}

}  // namespace

std::u16string GbkToUtf16(std::string_view gbk) {
  std::u16string out;
  if (Decode(kGbk, gbk, out)) return out;
  // Character by character: a refused unit becomes U+FFFD and one byte goes.
  out.clear();
  std::u16string one;
  for (std::size_t i = 0; i < gbk.size();) {
    const std::size_t length =
        IsGbkLead(static_cast<unsigned char>(gbk[i])) && i + 1 < gbk.size() ? 2 : 1;
    if (Decode(kGbk, gbk.substr(i, length), one) && !one.empty()) {
      out += one;
      i += length;
    } else {
      out += u'\uFFFD';
      ++i;
    }
  }
  return out;
}

std::string GbkToUtf8(std::string_view gbk) {
  const std::u16string utf16 = GbkToUtf16(gbk);
  if (utf16.empty()) return {};
  const auto* wide = reinterpret_cast<const wchar_t*>(utf16.data());
  const int size = static_cast<int>(utf16.size());
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide, size, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(CP_UTF8, 0, wide, size, out.data(), n, nullptr, nullptr);
  return out;
}

Text Utf16ToGbk(std::u16string_view utf16) {
  utf16 = utf16.substr(0, utf16.find(u'\0'));
  std::string out;
  if (EncodeGbk(utf16, out)) return out;
  // Character by character: a surrogate pair or one unit becomes "?".
  out.clear();
  std::string one;
  for (std::size_t i = 0; i < utf16.size();) {
    const char16_t c = utf16[i];
    const bool pair = c >= 0xD800 && c < 0xDC00 && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
                      utf16[i + 1] < 0xE000;
    const std::size_t length = pair ? 2 : 1;
    out += EncodeGbk(utf16.substr(i, length), one) ? one : std::string("?");
    i += length;
  }
  return UpToZero(out);
}

Text Utf8ToGbk(std::string_view utf8) {
  std::u16string utf16;
  if (Decode(CP_UTF8, utf8, utf16)) return Utf16ToGbk(utf16);
  // Character by character: a refused character becomes "?".
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const std::size_t length = Utf8CharLength(utf8.substr(i));
    out += Decode(CP_UTF8, utf8.substr(i, length), utf16) ? Utf16ToGbk(utf16) : std::string("?");
    i += length;
  }
  return UpToZero(out);
}

}  // namespace dsr

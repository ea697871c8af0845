// Shared by the libFuzzer targets: reading parameters from the fuzzer's
// bytes, a check that stops the run with a message, and plain reference
// versions of the text search and cut that the targets compare against.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

// Ends the run (libFuzzer keeps the input) when `cond` does not hold.
#define FUZZ_CHECK(cond)                                                            \
  do {                                                                              \
    if (!(cond)) {                                                                  \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
      std::abort();                                                                 \
    }                                                                               \
  } while (0)

namespace fuzz {

// The fuzzer's bytes, taken from the front; an exhausted input gives zeros
// and empty parts.
struct Input {
  const std::uint8_t* data;
  std::size_t size;

  std::uint8_t Byte() {
    if (size == 0) return 0;
    --size;
    return *data++;
  }
  bool Bool() { return (Byte() & 1) != 0; }
  std::uint32_t Word() {
    std::uint32_t w = 0;
    for (int i = 0; i < 4; ++i) w |= static_cast<std::uint32_t>(Byte()) << (8 * i);
    return w;
  }
  // A position or count: mostly small (around a text's length), sometimes
  // any 32-bit value.
  int Position() {
    const std::uint8_t b = Byte();
    if (b < 0xF0) return static_cast<int>(b) - 16;
    return static_cast<int>(Word());
  }
  std::string_view Bytes(std::size_t n) {
    if (n > size) n = size;
    std::string_view part(reinterpret_cast<const char*>(data), n);
    data += n;
    size -= n;
    return part;
  }
  // A part of at most 255 bytes, its length in the byte before it.
  std::string_view Part() { return Bytes(Byte()); }
  std::string_view Rest() { return Bytes(size); }
};

inline bool IsLead(char c) { return static_cast<unsigned char>(c) >= 0x80; }

inline bool HasZero(std::string_view t) { return t.find('\0') != std::string_view::npos; }

// A text ends at its first zero byte.
inline std::string_view AsText(std::string_view t) { return t.substr(0, t.find('\0')); }

// ASCII letters lowered, walking the characters from the first byte: the byte
// after a lead byte is never changed.
inline std::string LowerSingleBytes(std::string_view t) {
  std::string out(t);
  for (std::size_t i = 0; i < out.size(); ++i) {
    if (IsLead(out[i])) {
      ++i;
    } else if (out[i] >= 'A' && out[i] <= 'Z') {
      out[i] = static_cast<char>(out[i] - 'A' + 'a');
    }
  }
  return out;
}

// The search of a text for another, one character start after the other.
inline int PositionOf(std::string_view hay, std::string_view needle, int start = 1,
                      bool ignoreCase = false) {
  hay = AsText(hay);
  needle = AsText(needle);
  const std::size_t from = start < 1 ? 0 : static_cast<std::size_t>(start) - 1;
  if (from >= hay.size()) return -1;
  if (needle.empty()) return 1;
  const std::string h = ignoreCase ? LowerSingleBytes(hay) : std::string(hay);
  const std::string n = ignoreCase ? LowerSingleBytes(needle) : std::string(needle);
  for (std::size_t i = 0; i < h.size(); i += IsLead(h[i]) ? 2 : 1) {
    if (i >= from && h.compare(i, n.size(), n) == 0) return static_cast<int>(i) + 1;
  }
  return -1;
}

// The text between the first `left` and the first `right` after it.
inline std::string TextBetween(std::string_view text, std::string_view left,
                               std::string_view right) {
  text = AsText(text);
  left = AsText(left);
  const int p = PositionOf(text, left);
  if (p == -1) return std::string();
  const std::string_view rest = text.substr(static_cast<std::size_t>(p) - 1 + left.size());
  const int q = PositionOf(rest, right);
  if (q == -1) return std::string();
  return std::string(rest.substr(0, static_cast<std::size_t>(q) - 1));
}

}  // namespace fuzz

// Byte-string and number operations on GBK text: searching, cutting, case,
// number reading and writing, and the in-memory byte stream.
#include "text/text.h"

#include <string.h>  // memmem, where the C library has it

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

namespace dsr {
namespace {

constexpr std::size_t kMaxInt = static_cast<std::size_t>(std::numeric_limits<int>::max());

unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

bool IsLead(char c) { return Byte(c) >= 0x80; }

// A text ends at its first zero byte.
std::string_view AsText(std::string_view t) {
  if (t.empty()) return t;  // its data may be null, which memchr must not see
  const void* zero = std::memchr(t.data(), 0, t.size());
  if (zero == nullptr) return t;
  return t.substr(0, static_cast<std::size_t>(static_cast<const char*>(zero) - t.data()));
}

int SaturatedInt(std::size_t n) {
  return n > kMaxInt ? static_cast<int>(kMaxInt) : static_cast<int>(n);
}

// Zero-based index of a position counted from 1, or npos when it lies before 1.
std::size_t IndexOf(int position) {
  return position < 1 ? std::string_view::npos : static_cast<std::size_t>(position) - 1;
}

char AsciiLowerByte(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
char AsciiUpperByte(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Maps every single-byte character through `fold`, copying double-byte
// characters (and a lead byte at the end) unchanged.
template <typename Fold>
Text MapSingleBytes(std::string_view t, Fold fold) {
  Text out(t);
  for (std::size_t i = 0; i < out.size(); ++i) {
    if (IsLead(out[i])) {
      ++i;  // skip the second byte of the character
    } else {
      out[i] = fold(out[i]);
    }
  }
  return out;
}

// First occurrence of `needle` (not empty) in `hay` at or after `from`, as an
// index, or npos. Linear in the length of `hay`.
std::size_t FindBytes(std::string_view hay, std::string_view needle, std::size_t from) {
#if defined(__GLIBC__) || defined(__APPLE__) || defined(__FreeBSD__)
  if (from > hay.size() || hay.size() - from < needle.size()) return std::string_view::npos;
  const void* hit = memmem(hay.data() + from, hay.size() - from, needle.data(), needle.size());
  if (hit == nullptr) return std::string_view::npos;
  return static_cast<std::size_t>(static_cast<const char*>(hit) - hay.data());
#else
  return hay.find(needle, from);
#endif
}

// The first index at or before `index` from which the characters of `t` are
// known to begin: the start of the run of lead-range bytes just before it.
// A byte below 0x80 always ends a character, so the byte after it starts one.
std::size_t CharStartBefore(std::string_view t, std::size_t index, std::size_t floor) {
  while (index > floor && IsLead(t[index - 1])) --index;
  return index;
}

// Searches `t` for `needle` from index `from`, accepting only hits at
// character starts. `known` is an index at or before `from` at which a
// character starts. Each hit is judged by the parity of the lead-range run
// that ends just before it, counted back no further than the last known
// character start, which then moves past the hit: every byte is looked at a
// bounded number of times, however many hits fall inside characters.
std::size_t FindAtCharStart(std::string_view t, std::string_view needle, std::size_t from,
                            std::size_t known) {
  std::size_t pos = from;
  for (;;) {
    const std::size_t hit = FindBytes(t, needle, pos);
    if (hit == std::string_view::npos) return hit;
    const std::size_t runStart = CharStartBefore(t, hit, known);
    if ((hit - runStart) % 2 == 0) return hit;
    // The hit is the second byte of a character, so the next byte starts one.
    known = hit + 1;
    pos = hit + 1;
  }
}

}  // namespace

int ByteLength(std::string_view t) { return SaturatedInt(AsText(t).size()); }
int ByteLength(const Bytes& b) { return SaturatedInt(b.size()); }

int PositionOf(std::string_view t, std::string_view needle, int start, bool ignoreCase) {
  t = AsText(t);
  needle = AsText(needle);
  const std::size_t from = start < 1 ? 0 : static_cast<std::size_t>(start) - 1;
  if (from >= t.size()) return -1;
  if (needle.empty()) return 1;
  if (needle.size() > t.size() - from) return -1;

  const std::size_t known = CharStartBefore(t, from, 0);
  std::size_t hit;
  if (ignoreCase) {
    // Folding keeps every byte's lead-range status, so character starts of
    // the folded copy are those of `t`.
    const Text hay = AsciiLower(t.substr(known));
    const Text folded = AsciiLower(needle);
    hit = FindAtCharStart(hay, folded, from - known, 0);
    if (hit != std::string_view::npos) hit += known;
  } else {
    hit = FindAtCharStart(t, needle, from, known);
  }
  if (hit == std::string_view::npos || hit >= kMaxInt) return -1;
  return static_cast<int>(hit) + 1;
}

Text LeftPart(std::string_view t, int n) {
  t = AsText(t);
  if (n <= 0) return Text();
  return Text(t.substr(0, static_cast<std::size_t>(n)));
}

Text RightPart(std::string_view t, int n) {
  t = AsText(t);
  if (n <= 0) return Text();
  const std::size_t count = std::min(t.size(), static_cast<std::size_t>(n));
  return Text(t.substr(t.size() - count));
}

Text MidPart(std::string_view t, int start, int n) {
  t = AsText(t);
  const std::size_t from = IndexOf(start);
  if (from == std::string_view::npos || from >= t.size() || n <= 0) return Text();
  return Text(t.substr(from, static_cast<std::size_t>(n)));
}

Text AsciiUpper(std::string_view t) { return MapSingleBytes(AsText(t), AsciiUpperByte); }
Text AsciiLower(std::string_view t) { return MapSingleBytes(AsText(t), AsciiLowerByte); }

Text StripSpaces(std::string_view t) {
  t = AsText(t);
  Text out;
  out.reserve(t.size());
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (IsLead(t[i])) {
      if (i + 1 < t.size()) {
        if (!(Byte(t[i]) == 0xA1 && Byte(t[i + 1]) == 0xA1)) out.append(t.substr(i, 2));
        ++i;
      } else {
        out.push_back(t[i]);
      }
    } else if (t[i] != ' ') {
      out.push_back(t[i]);
    }
  }
  return out;
}

Text DeleteRange(std::string_view t, int start, int n) {
  t = AsText(t);
  const std::size_t from = start < 1 ? 0 : static_cast<std::size_t>(start) - 1;
  if (n <= 0 || from >= t.size()) return Text(t);
  const std::size_t count = std::min(t.size() - from, static_cast<std::size_t>(n));
  Text out(t.substr(0, from));
  out.append(t.substr(from + count));
  return out;
}

Text Spaces(int n) { return n <= 0 ? Text() : Text(static_cast<std::size_t>(n), ' '); }
Bytes Zeros(int n) { return n <= 0 ? Bytes() : Bytes(static_cast<std::size_t>(n), '\0'); }

Text CharText(char c) { return c == '\0' ? Text() : Text(1, c); }

int CodeOf(std::string_view t) { return t.empty() ? 0 : static_cast<signed char>(t[0]); }

Text FoldFullWidth(std::string_view t) {
  t = AsText(t);
  Text out;
  out.reserve(t.size());
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (!IsLead(t[i])) {
      out.push_back(t[i]);
      continue;
    }
    if (i + 1 == t.size()) break;  // a lead byte at the very end is dropped
    const unsigned char lead = Byte(t[i]);
    const unsigned char trail = Byte(t[i + 1]);
    if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
      out.push_back(static_cast<char>(trail - 0x80));
    } else if (lead == 0xA1 && trail == 0xA1) {
      out.push_back(' ');
    } else if (lead == 0xA1 && trail == 0xAB) {
      out.push_back('~');
    } else if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF)) {
      out.push_back('*');
    } else {
      out.append(t.substr(i, 2));
    }
    ++i;
  }
  return out;
}

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsWhiteSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The index after the white space and the sign that begin `t`; `negative`
// tells whether the sign was "-".
std::size_t SkipWhiteSpaceAndSign(std::string_view t, bool& negative) {
  std::size_t i = 0;
  while (i < t.size() && IsWhiteSpace(t[i])) ++i;
  negative = i < t.size() && t[i] == '-';
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  return i;
}

// Decimal exponents beyond these make any nonzero significand overflow to
// infinity or underflow to zero.
constexpr std::int64_t kOverflowExponent = 310;
constexpr std::int64_t kUnderflowExponent = -330;
constexpr std::int64_t kExponentCap = std::int64_t{1} << 40;

}  // namespace

NumberParts ScanNumber(std::string_view t) {
  NumberParts parts;
  std::size_t i = SkipWhiteSpaceAndSign(t, parts.negative);
  const std::size_t intBegin = i;
  while (i < t.size() && IsDigit(t[i])) ++i;
  parts.intDigits = t.substr(intBegin, i - intBegin);
  if (i < t.size() && t[i] == '.') {
    const std::size_t fracBegin = ++i;
    while (i < t.size() && IsDigit(t[i])) ++i;
    parts.fracDigits = t.substr(fracBegin, i - fracBegin);
  }
  if (parts.intDigits.empty() && parts.fracDigits.empty()) return parts;

  if (i < t.size() && (t[i] == 'e' || t[i] == 'E' || t[i] == 'd' || t[i] == 'D')) {
    std::size_t j = i + 1;
    bool expNegative = false;
    if (j < t.size() && (t[j] == '+' || t[j] == '-')) {
      expNegative = t[j] == '-';
      ++j;
    }
    for (; j < t.size() && IsDigit(t[j]); ++j) {
      if (parts.exponent < kExponentCap) parts.exponent = parts.exponent * 10 + (t[j] - '0');
    }
    if (expNegative) parts.exponent = -parts.exponent;
  }
  return parts;
}

double ParseNumber(std::string_view text) {
  const Text folded = FoldFullWidth(text);
  const NumberParts parts = ScanNumber(folded);
  const bool negative = parts.negative;
  const std::string_view intDigits = parts.intDigits;
  const std::string_view fracDigits = parts.fracDigits;
  const std::int64_t exponent = parts.exponent;
  if (intDigits.empty() && fracDigits.empty()) return 0.0;

  const double zero = negative ? -0.0 : 0.0;
  // Decimal exponent of the leading nonzero digit, to settle overflow and
  // underflow before handing the digits on.
  const std::size_t intLead = intDigits.find_first_not_of('0');
  std::int64_t magnitude;
  if (intLead != std::string_view::npos) {
    magnitude = exponent + static_cast<std::int64_t>(intDigits.size() - intLead);
  } else {
    const std::size_t fracLead = fracDigits.find_first_not_of('0');
    if (fracLead == std::string_view::npos) return zero;
    magnitude = exponent - static_cast<std::int64_t>(fracLead);
  }
  if (magnitude > kOverflowExponent) {
    return negative ? -std::numeric_limits<double>::infinity()
                    : std::numeric_limits<double>::infinity();
  }
  if (magnitude < kUnderflowExponent) return zero;

  std::string number;
  number.reserve(intDigits.size() + fracDigits.size() + 24);
  if (negative) number.push_back('-');
  number.append(intDigits.empty() ? std::string_view("0") : intDigits);
  if (!fracDigits.empty()) {
    number.push_back('.');
    number.append(fracDigits);
  }
  number.push_back('e');
  number.append(std::to_string(exponent));

  // Correctly rounded and independent of the locale.
  double value = 0.0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  (void)end;
  if (error == std::errc::result_out_of_range) {
    return magnitude > 0 ? (negative ? -std::numeric_limits<double>::infinity()
                                     : std::numeric_limits<double>::infinity())
                         : zero;
  }
  if (error != std::errc()) return 0.0;
  return value;
}

int ParseInteger(std::string_view text) {
  const Text folded = FoldFullWidth(text);
  const std::string_view t = folded;
  bool negative = false;
  std::size_t i = SkipWhiteSpaceAndSign(t, negative);
  std::uint32_t value = 0;
  for (; i < t.size() && IsDigit(t[i]); ++i) {
    value = value * 10u + static_cast<std::uint32_t>(t[i] - '0');
  }
  if (negative) value = 0u - value;
  return static_cast<int>(value);  // modulo 2^32
}

int TruncateToInt(double x) {
  constexpr double kTwoTo63 = 9223372036854775808.0;
  if (!std::isfinite(x) || x >= kTwoTo63 || x < -kTwoTo63) return 0;
  const auto whole = static_cast<std::int64_t>(x);  // toward zero, in range
  return static_cast<int>(static_cast<std::uint32_t>(whole));
}

Text IntToDecimal(std::int64_t n) {
  std::array<char, 24> buffer{};
  const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), n);
  (void)error;
  return Text(buffer.data(), end);
}

Text BytesToText(const Bytes& b) { return Text(AsText(std::string_view(b.data(), b.size()))); }

Bytes BytesHead(const Bytes& b, int n) {
  if (n <= 0) return Bytes();
  const std::size_t count = std::min(b.size(), static_cast<std::size_t>(n));
  return Bytes(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(count));
}

double RealPower(double x, double y) { return std::pow(x, y); }

bool TextEquals(std::string_view a, std::string_view b) { return AsText(a) == AsText(b); }

Text Join(std::initializer_list<std::string_view> texts) {
  std::size_t total = 0;
  for (std::string_view t : texts) total += AsText(t).size();
  Text out;
  out.reserve(total);
  for (std::string_view t : texts) out.append(AsText(t));
  return out;
}

void MemoryStream::WriteBytes(const Bytes& b) { WriteBytes(b.data(), ByteLength(b)); }

void MemoryStream::WriteBytes(const char* bytes, int count) {
  if (bytes == nullptr || count <= 0) return;
  const auto n = static_cast<std::size_t>(count);
  if (position > data.size()) data.resize(position, '\0');
  const std::size_t overlap = std::min(n, data.size() - position);
  std::copy(bytes, bytes + overlap, data.begin() + static_cast<std::ptrdiff_t>(position));
  data.insert(data.end(), bytes + overlap, bytes + n);
  position += n;
}

void MemoryStream::WriteText(std::string_view t) {
  t = AsText(t);
  if (t.empty()) return;
  // Written in pieces so that a text longer than an int loses nothing.
  while (!t.empty()) {
    const std::size_t piece = std::min(t.size(), kMaxInt);
    WriteBytes(t.data(), static_cast<int>(piece));
    t.remove_prefix(piece);
  }
}

Bytes MemoryStream::ReadBytes(int n) {
  if (n <= 0 || position >= data.size()) return Bytes();
  const std::size_t count = std::min(data.size() - position, static_cast<std::size_t>(n));
  Bytes out(data.begin() + static_cast<std::ptrdiff_t>(position),
            data.begin() + static_cast<std::ptrdiff_t>(position + count));
  position += count;
  return out;
}

void MemoryStream::Rewind() { position = 0; }

void MemoryStream::Reserve(int n) {
  if (n > 0) data.reserve(static_cast<std::size_t>(n));
}

Text MemoryStream::ReadLine() {
  if (position >= data.size()) return Text();
  const std::string_view rest(data.data() + position, data.size() - position);
  const std::size_t feed = rest.find('\n');
  std::string_view line;
  if (feed == std::string_view::npos) {
    line = rest;
    position = data.size();
  } else {
    line = rest.substr(0, feed);
    position += feed + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  }
  return Text(AsText(line));
}

bool MemoryStream::AtEnd() const { return position >= data.size(); }

int MemoryStream::Size() const { return SaturatedInt(data.size()); }

Bytes MemoryStream::TakeBytes() {
  Bytes out = std::move(data);
  Close();
  return out;
}

void MemoryStream::Close() {
  Bytes().swap(data);
  position = 0;
}

}  // namespace dsr

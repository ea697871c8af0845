// Fuzzing the number readers: ParseNumber against the C library's reading of
// the same number, ParseInteger against the integer part of that number,
// TruncateToInt against arithmetic modulo 2^32, RadixTextToInt against digit
// arithmetic, and HexTextToText decoding the hexadecimal form of any text.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "text/digits.h"
#include "text/text.h"

namespace {

using fuzz::AsText;
using fuzz::HasZero;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsWhiteSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The number at the start of a folded text, taken apart.
struct Number {
  bool negative = false;
  std::string intDigits;
  std::string fracDigits;
  bool hasExponent = false;
  std::string exponent;  // sign and digits
};

Number Split(std::string_view t) {
  Number n;
  std::size_t i = 0;
  while (i < t.size() && IsWhiteSpace(t[i])) ++i;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) n.negative = t[i++] == '-';
  while (i < t.size() && IsDigit(t[i])) n.intDigits += t[i++];
  if (i < t.size() && t[i] == '.') {
    ++i;
    while (i < t.size() && IsDigit(t[i])) n.fracDigits += t[i++];
  }
  if (i < t.size() && std::strchr("eEdD", t[i]) != nullptr) {
    std::size_t j = i + 1;
    std::string e;
    if (j < t.size() && (t[j] == '+' || t[j] == '-')) e += t[j++];
    if (j < t.size() && IsDigit(t[j])) {
      while (j < t.size() && IsDigit(t[j])) e += t[j++];
      n.hasExponent = true;
      n.exponent = e;
    }
  }
  return n;
}

double ReferenceNumber(const Number& n) {
  if (n.intDigits.empty() && n.fracDigits.empty()) return 0.0;
  std::string s = n.negative ? "-" : "";
  s += n.intDigits.empty() ? "0" : n.intDigits;
  if (!n.fracDigits.empty()) s += "." + n.fracDigits;
  if (n.hasExponent) s += "e" + n.exponent;
  return std::strtod(s.c_str(), nullptr);
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// toward zero, then modulo 2^32 as a signed number; 0 outside the 64-bit range.
int ReferenceTruncate(double x) {
  constexpr double kTwoTo63 = 9223372036854775808.0;
  constexpr double kTwoTo32 = 4294967296.0;
  if (!std::isfinite(x) || x >= kTwoTo63 || x < -kTwoTo63) return 0;
  double r = std::fmod(std::trunc(x), kTwoTo32);
  if (r < 0) r += kTwoTo32;
  if (r >= kTwoTo32 / 2) r -= kTwoTo32;
  return static_cast<int>(r);
}

int DigitValue(char c, int base) {
  int v = -1;
  if (IsDigit(c)) v = c - '0';
  if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
  return v < base ? v : -1;
}

// Digit by digit from the right; a non-digit counts with the value of the
// nearest digit to its right. Modulo 2^64, of which the low 32 bits count.
int ReferenceRadix(std::string_view lowered, int base) {
  std::uint64_t value = 0;
  std::uint64_t weight = 1;
  std::uint64_t d = 0;
  for (std::size_t i = lowered.size(); i-- > 0;) {
    const int v = DigitValue(lowered[i], base);
    if (v >= 0) d = static_cast<std::uint64_t>(v);
    value += weight * d;
    weight *= static_cast<std::uint64_t>(base);
  }
  return static_cast<int>(static_cast<std::uint32_t>(value));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input in{data, size};
  const std::uint8_t selector = in.Byte();
  double x = 0;
  const std::string_view xBytes = in.Bytes(sizeof x);
  std::memcpy(&x, xBytes.data(), xBytes.size());
  const std::uint32_t caseBits = in.Word();
  const std::string_view raw = in.Rest();
  const std::string_view t = AsText(raw);

  // ParseNumber and ParseInteger read the same number.
  const Number n = Split(dsr::FoldFullWidth(raw));
  const double number = dsr::ParseNumber(raw);
  FUZZ_CHECK(SameBits(number, ReferenceNumber(n)));
  std::uint32_t wrapped = 0;
  for (char c : n.intDigits) wrapped = wrapped * 10u + static_cast<std::uint32_t>(c - '0');
  if (n.negative) wrapped = 0u - wrapped;
  const int integer = dsr::ParseInteger(raw);
  FUZZ_CHECK(integer == static_cast<int>(wrapped));
  const std::size_t lead = n.intDigits.find_first_not_of('0');
  const bool small = lead == std::string::npos || n.intDigits.size() - lead <= 9;
  if (!n.hasExponent && small) {
    // The integer part, unless the fraction rounds the number up to the next
    // whole number.
    const double whole = std::trunc(std::fabs(number));
    const double part = std::fabs(static_cast<double>(integer));
    FUZZ_CHECK(whole == part || (whole == part + 1 && whole == std::fabs(number)));
  }

  FUZZ_CHECK(dsr::TruncateToInt(x) == ReferenceTruncate(x));
  FUZZ_CHECK(dsr::TruncateToInt(number) == ReferenceTruncate(number));

  // RadixTextToInt lowers its argument and reads it.
  const int radix = selector % 6 == 5 ? static_cast<int>(selector) - 128 : selector % 6;
  dsr::Text digits(raw);
  const int read = dsr::RadixTextToInt(digits, radix);
  FUZZ_CHECK(digits == dsr::AsciiLower(raw));
  const int bases[] = {16, 0, 8, 2};
  const std::size_t exactDigits[] = {13, 0, 17, 53};
  if (radix == dsr::kRadixDecimal) {
    FUZZ_CHECK(read == dsr::TruncateToInt(dsr::ParseNumber(digits)));
  } else if (radix < 0 || radix > 3) {
    FUZZ_CHECK(read == 0);
  } else if (digits.size() <= exactDigits[radix]) {
    FUZZ_CHECK(read == ReferenceRadix(digits, bases[radix]));
  }

  // Any text comes back from its hexadecimal form, in any letter case, with
  // an odd last digit ignored.
  std::string hex;
  for (std::size_t i = 0; i < t.size(); ++i) {
    const auto b = static_cast<unsigned char>(t[i]);
    const char* digitSet = (caseBits >> (i % 32)) & 1 ? "0123456789ABCDEF" : "0123456789abcdef";
    hex += digitSet[b >> 4];
    hex += digitSet[b & 15];
  }
  if (caseBits & 1) hex += '7';
  FUZZ_CHECK(dsr::HexTextToText(hex) == t);

  // Any text decodes pair by pair; the decoded text ends at its first zero.
  const dsr::Text decoded = dsr::HexTextToText(raw);
  FUZZ_CHECK(!HasZero(decoded) && decoded.size() <= t.size() / 2);
  std::string expected;
  for (std::size_t i = 0; i + 1 < t.size(); i += 2) {
    const char first = fuzz::LowerSingleBytes(t.substr(i, 1))[0];
    const std::string pair = fuzz::LowerSingleBytes(t.substr(i, 2));
    const int lo = std::max(DigitValue(pair[1], 16), 0);
    const int hi = DigitValue(first, 16) >= 0 ? DigitValue(first, 16) : lo;
    const char byte = static_cast<char>(hi * 16 + lo);
    if (byte == '\0') break;
    expected += byte;
  }
  FUZZ_CHECK(decoded == expected);
  return 0;
}

// Reading digit texts in base 16, 10, 8 or 2, and decoding hexadecimal pair text.
#include "text/digits.h"

namespace dsr {
namespace {

// Value of `c` as a digit of `base`, or -1 when it is none.
int DigitValue(char c, int base) {
  const int code = CodeOf(std::string_view(&c, 1));
  if (code >= '0' && code <= '9' && code - '0' < base) return code - '0';
  if (base == 16 && code >= 'a' && code <= 'f') return code - 'a' + 10;
  return -1;
}

int BaseOf(int radix) {
  switch (radix) {
    case kRadixHex:
      return 16;
    case kRadixOctal:
      return 8;
    case kRadixBinary:
      return 2;
    default:
      return 0;
  }
}

}  // namespace

int RadixTextToInt(Text& digits, int radix) {
  digits = AsciiLower(digits);
  if (radix == kRadixDecimal) return TruncateToInt(ParseNumber(digits));
  const int base = BaseOf(radix);
  if (base == 0) return 0;

  int result = 0;
  int d = 0;  // a non-digit keeps the value of the nearest digit to its right
  const int n = ByteLength(digits);
  for (int i = 1; i <= n; ++i) {
    const int value = DigitValue(digits[static_cast<std::size_t>(n - i)], base);
    if (value >= 0) d = value;
    result = TruncateToInt(static_cast<double>(result) + RealPower(base, i - 1) * d);
  }
  return result;
}

Text HexTextToText(std::string_view hex) {
  const int n = ByteLength(hex) / 2;
  Bytes bytes = Zeros(n);
  for (int i = 1; i <= n; ++i) {
    Text pair = MidPart(hex, 2 * i - 1, 2);
    bytes[static_cast<std::size_t>(i) - 1] =
        static_cast<char>(static_cast<unsigned>(RadixTextToInt(pair, kRadixHex)) & 0xFFu);
  }
  return BytesToText(bytes);
}

}  // namespace dsr

// Digit texts in base 16, 10, 8 or 2 read as integers, and hexadecimal pair
// text decoded to text.
#pragma once

#include <string_view>

#include "text/text.h"

namespace dsr {

// Radix selectors of `RadixTextToInt`.
inline constexpr int kRadixHex = 0;
inline constexpr int kRadixDecimal = 1;
inline constexpr int kRadixOctal = 2;
inline constexpr int kRadixBinary = 3;

// Replaces `digits` by its `AsciiLower` copy and reads that. Decimal reads the
// whole text with `ParseNumber` and truncates. Hex, octal and binary read
// digit by digit from the right: a byte that is no digit of the base counts at
// its own weight with the value of the nearest digit to its right (0 when
// none), and every step keeps the low 32 bits, so eight f digits give -1. Any
// other selector gives 0.
int RadixTextToInt(Text& digits, int radix = kRadixDecimal);

// Pairs of hexadecimal digits, either case, to bytes; an odd last byte is
// ignored; the decoded text ends before the first zero byte.
Text HexTextToText(std::string_view hex);

}  // namespace dsr

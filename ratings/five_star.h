// How many further five-star ratings lift a score to an expected value,
// decided exactly on the decimal texts, and the line that shows the count.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "text/text.h"

namespace dsr {

// A decimal number exactly as a text writes it: (-1)^negative × digits ×
// 10^exponent. `digits` holds the significant digits, with no leading and no
// trailing zero; it is empty for zero, and zero is never negative.
struct ExactDecimal {
  bool negative = false;
  std::string digits;
  std::int64_t exponent = 0;

  friend bool operator==(const ExactDecimal&, const ExactDecimal&) = default;
};

// Reads a text with the grammar of `ParseNumber`: `FoldFullWidth`, white
// space, sign, digits, ".", digits, exponent after e, E, d or D (its digits
// capped as `ParseNumber` caps them); stops at the first byte that cannot
// continue the number; zero when there is none. Nothing is rounded.
ExactDecimal ReadExactDecimal(std::string_view text);

// The least whole n >= 0 such that n further ratings of 5, added to
// `raterCount` ratings averaging `score`, give an average of at least
// `expected`: (S·C + 5·n) / (C + n) >= E, where S, C and E are the exact
// values of the three texts (`ReadExactDecimal`). No value when no such n
// exists or when it does not fit a signed 64-bit integer. In order:
//   - E <= 0 (an expected text without a number included): 0;
//   - C > 0 and S >= E: 0, the score already reaches E;
//   - E >= 5: no value (no average of ratings up to 5 lifts a lower score
//     there);
//   - C < 0 (a rater count that cannot be): no value;
//   - C = 0 (a shop without ratings): 1, one rating of 5 averages 5;
//   - otherwise the least n with n·(5 − E) >= C·(E − S), or no value beyond
//     the 64-bit range. C need not be whole; S may lie outside 0..5.
//
// Pure and total: any bytes in any of the texts give a result, and no step
// can overflow or lose a digit. The arithmetic is on integers of any length
// (base 10^9 limbs); exponents far apart are settled by magnitude, so "1e-99999999999"
// costs no more than "1". The work grows with the square of the number of
// digits written.
std::optional<std::int64_t> FiveStarsNeeded(std::string_view score, std::string_view raterCount,
                                            std::string_view expected);

// "所需5分单数：" followed by the count, or by "无法达到" without one.
Text FormatNeededLine(std::optional<std::int64_t> needed);

// The needed-count line of a rating whose score or rater count was not read.
inline constexpr std::string_view kNoDataLine = "所需5分单数：无数据";

}  // namespace dsr

// How many further five-star ratings lift a score to an expected value, and
// the line that shows the count.
#pragma once

#include <cstdint>
#include <optional>

#include "text/text.h"

namespace dsr {

// The intermediate values of the count, each rounded to a double:
// a = E × C, b = S × C, d = a − b, q = 5 − E, r = d ÷ q.
struct FiveStarSteps {
  double a;
  double b;
  double d;
  double q;
  double r;
};

FiveStarSteps ComputeFiveStarSteps(double score, double raterCount, double expected);

// With `raterCount` ratings averaging `score`, the number of further ratings
// of 5 that bring the average to `expected`: r of `ComputeFiveStarSteps`
// truncated toward zero, so the average may stay just short of `expected`;
// negative when `expected` lies below `score`. 0 when r is not a number (as
// for zero raters at an expected 5); no value when r is infinite or beyond
// the signed 64-bit range, that is, when `expected` cannot be reached.
std::optional<std::int64_t> FiveStarsNeeded(double score, double raterCount, double expected);

// "所需5分单数：" followed by the count, or by "无法达到" without one.
Text FormatNeededLine(std::optional<std::int64_t> needed);

}  // namespace dsr

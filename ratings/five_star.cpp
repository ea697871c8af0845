// The five-star count. The steps are kept apart, each rounded to a double,
// because their order changes the result for ordinary inputs; the library is
// built without floating-point contraction so that no step is fused.
#include "ratings/five_star.h"

#include <cmath>

namespace dsr {

FiveStarSteps ComputeFiveStarSteps(double score, double raterCount, double expected) {
  FiveStarSteps s{};
  s.a = expected * raterCount;
  s.b = score * raterCount;
  s.d = s.a - s.b;
  s.q = 5.0 - expected;
  s.r = s.d / s.q;
  return s;
}

std::optional<std::int64_t> FiveStarsNeeded(double score, double raterCount, double expected) {
  const double r = ComputeFiveStarSteps(score, raterCount, expected).r;
  if (std::isnan(r)) return 0;
  constexpr double kTwoTo63 = 9223372036854775808.0;
  if (std::isinf(r) || r >= kTwoTo63 || r < -kTwoTo63) return std::nullopt;
  return static_cast<std::int64_t>(r);  // toward zero, in range
}

Text FormatNeededLine(std::optional<std::int64_t> needed) {
  if (!needed) return "所需5分单数：无法达到";
  return Join({"所需5分单数：", IntToDecimal(*needed)});
}

}  // namespace dsr

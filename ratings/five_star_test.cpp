// Tests of the five-star count, step by step to the bit, and its line.
#include "ratings/five_star.h"

#include <gtest/gtest.h>

#include <optional>

#include "text/text.h"

namespace dsr {
namespace {

struct StepCase {
  double s, c, e;
  double a, b, d, q, r;
  std::int64_t n;
};

// Every intermediate value must be the double rounded at that step; the
// fourth row truncates to 49 where the exact answer is 50, and the fifth
// gives 350 only in this order of steps.
TEST(FiveStarsNeeded, StepsToTheBit) {
  const StepCase cases[] = {
      {4.8, 1000, 4.9, 4900, 4800, 100, 0.09999999999999964, 1000.0000000000035, 1000},
      {4.8, 1000, 4.99, 4990, 4800, 190, 0.009999999999999787, 19000.000000000404, 19000},
      {4.95, 12345, 4.99, 61601.55, 61107.75, 493.8000000000029, 0.009999999999999787,
       49380.000000001346, 49380},
      {4.7, 100, 4.8, 480, 470, 10, 0.20000000000000018, 49.99999999999996, 49},
      {4.1, 100, 4.8, 480, 409.99999999999994, 70.00000000000006, 0.20000000000000018, 350, 350},
      {4.8, 1000, 4.7, 4700, 4800, -100, 0.2999999999999998, -333.33333333333354, -333},
      {4.8, 0, 4.99, 0, 0, 0, 0.009999999999999787, 0, 0},
      {4.8, 1000, 0, 0, 4800, -4800, 5, -960, -960},
      // Beyond 32 bits the count is kept whole.
      {4, 3000000000, 4.5, 13500000000, 12000000000, 1500000000, 0.5, 3000000000, 3000000000},
  };
  for (const StepCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.s << ", " << c.c << ", " << c.e);
    const FiveStarSteps steps = ComputeFiveStarSteps(c.s, c.c, c.e);
    EXPECT_EQ(steps.a, c.a);
    EXPECT_EQ(steps.b, c.b);
    EXPECT_EQ(steps.d, c.d);
    EXPECT_EQ(steps.q, c.q);
    EXPECT_EQ(steps.r, c.r);
    EXPECT_EQ(FiveStarsNeeded(c.s, c.c, c.e), std::optional<std::int64_t>(c.n));
  }
}

TEST(FiveStarsNeeded, UnreachableAndUndefinedQuotients) {
  const struct {
    double s, c, e;
    std::optional<std::int64_t> n;
  } cases[] = {
      {4.8, 1000, 4.8, 0},             // already there
      {4.8, 1000, 5.0, std::nullopt},  // 5.0 cannot be reached: the quotient is infinite
      {4.8, 0, 5.0, 0},                // no raters: 0 / 0
      {5.0, 1000, 5.0, 0},             // already at 5: 0 / 0
      {0, 1e300, 4.99, std::nullopt},  // beyond the 64-bit range
      {0, 1e300, -1e300, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FiveStarsNeeded(c.s, c.c, c.e), c.n) << c.s << ", " << c.c << ", " << c.e;
  }
  // Four, a point and twenty nines reads as exactly 5.0.
  EXPECT_EQ(FiveStarsNeeded(4.8, 1000, ParseNumber("4.99999999999999999999")), std::nullopt);
}

TEST(FormatNeededLine, Table) {
  EXPECT_EQ(FormatNeededLine(1000), "所需5分单数：1000");
  EXPECT_EQ(FormatNeededLine(0), "所需5分单数：0");
  EXPECT_EQ(FormatNeededLine(-333), "所需5分单数：-333");
  EXPECT_EQ(FormatNeededLine(3000000000), "所需5分单数：3000000000");
  EXPECT_EQ(FormatNeededLine(std::nullopt), "所需5分单数：无法达到");
}

}  // namespace
}  // namespace dsr

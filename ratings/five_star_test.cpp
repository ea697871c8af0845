// Tests of the five-star count on exact decimals, and its line.
#include "ratings/five_star.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>

#include "text/text.h"

namespace dsr {
namespace {

constexpr std::optional<std::int64_t> kUnreachable = std::nullopt;

TEST(ReadExactDecimal, ReadsEveryDigitWithTheNumberGrammar) {
  const struct {
    const char* text;
    ExactDecimal value;
  } cases[] = {
      {"4.99", {false, "499", -2}},
      {"  +4.990000", {false, "499", -2}},
      {"-0012.50x", {true, "125", -1}},
      {"1000", {false, "1", 3}},
      {".5", {false, "5", -1}},
      {"5.", {false, "5", 0}},
      {"4.9e1", {false, "49", 0}},
      {"48D-1", {false, "48", -1}},
      {"7e", {false, "7", 0}},    // an exponent letter without digits ends the number
      {"7e+x", {false, "7", 0}},  // likewise with a sign
      {"４．８", {false, "48", -1}},
      {"4.99999999999999999999", {false, "499999999999999999999", -20}},
      {"", {}},
      {"abc", {}},
      {"-0.000", {}},  // zero is never negative
      {".", {}},
      {"-", {}},
      {"\t\r\n 3", {false, "3", 0}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReadExactDecimal(c.text), c.value) << c.text;
  }
  // The exponent's digits stop adding at the cap of ParseNumber.
  EXPECT_EQ(ReadExactDecimal("1e99999999999999999999999").exponent,
            ReadExactDecimal("1e99999999999999").exponent);
}

struct Row {
  const char* s;
  const char* c;
  const char* e;
  std::optional<std::int64_t> n;
};

TEST(FiveStarsNeeded, LeastCountThatReachesTheTarget) {
  const Row rows[] = {
      {"4.7", "100", "4.8", 50},  // (470 + 250) / 150 = 4.8 exactly
      {"4.8", "1000", "4.99", 19000},
      {"4.8", "1234", "4.99", 23446},
      {"4.95", "12345", "4.99", 49380},
      {"4.82322", "1234", "4.99", 20581},  // 20580 leave it at 4.98999…
      {"4.8", "1000", "4.7", 0},
      {"4.99", "100", "4.99", 0},
      {"4", "3000000000", "4.5", 3000000000},
      {"4.9", "100", "4.9e1", kUnreachable},
      {"0", "0", "4.99", 1},
      {"4.8", "1000", "4.9", 1000},
      {"4.1", "100", "4.8", 350},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(FiveStarsNeeded(r.s, r.c, r.e), r.n) << r.s << ", " << r.c << ", " << r.e;
  }
}

TEST(FiveStarsNeeded, TargetsAndTextsOutsideTheUsualRange) {
  const Row rows[] = {
      // Nothing to reach: an expected value of 0 or below, or no number.
      {"4.8", "1000", "0", 0},
      {"4.8", "1000", "abc", 0},
      {"4.8", "1000", "-3", 0},
      {"4.8", "1000", "", 0},
      // 5 and above cannot be reached from below.
      {"4.8", "1000", "5", kUnreachable},
      {"4.8", "1000", "4.99999999999999999999", kUnreachable},
      {"4.8", "0", "5", kUnreachable},
      {"6", "1000", "5.5", 0},  // a score above 5 already reaches it
      {"5", "1000", "5", 0},
      {"7", "10", "8", kUnreachable},
      // No raters: one rating of 5, whatever the score text says.
      {"", "", "4.99", 1},
      {"4.8", "0", "4.5", 1},
      {"4.8", "0.000", "0.0001", 1},
      // A rater count below 0 cannot be answered.
      {"4.8", "-10", "4.9", kUnreachable},
      // Counts beyond 64 bits.
      {"4.8", "1000", "4.9999999999999999", 1999999999999999000},
      {"4.8", "1000", "4.99999999999999999", kUnreachable},
      {"0", "1e300", "4.99", kUnreachable},
      {"-1e400", "1", "4.99", kUnreachable},
      // Just inside 64 bits: C·(E − S)/(5 − E) = 9223372036854775807 exactly.
      {"4", "9223372036854775807", "4.5", 9223372036854775807},
      {"4", "9223372036854775808", "4.5", kUnreachable},
      // Exponents far apart are settled exactly: 10^-400 · (4 + 10^400) = 1 + 4·10^-400.
      {"-1e400", "1e-400", "4", 2},
      {"0", "1", "1e-99999999999", 1},
      {"4.8", "1000", "4.8000000000000000000000000000000000001", 1},
      // Full-width digits and point, white space, a rater count with a comma
      // (read up to the comma), a fractional count.
      {"４．８", "１０００", "４．９９", 19000},
      {" 4.8", "\t1000 ", " 4.99", 19000},
      {"4.8", "1,234", "4.99", 19},
      {"4.8", "2.5", "4.9", 3},  // 2.5 · 0.1 / 0.1 = 2.5, so 3
  };
  for (const Row& r : rows) {
    EXPECT_EQ(FiveStarsNeeded(r.s, r.c, r.e), r.n) << r.s << ", " << r.c << ", " << r.e;
  }
}

TEST(FiveStarsNeeded, HundredsOfDigitsGiveTheSameAsTheirShortForm) {
  const std::string zeros(300, '0');
  const std::string nines(300, '9');
  EXPECT_EQ(FiveStarsNeeded("4.8" + zeros, "1000." + zeros, "4.99" + zeros + "e0"), 19000);
  EXPECT_EQ(FiveStarsNeeded("0." + zeros + "48e" + std::to_string(zeros.size() + 1),
                            "1" + zeros + "e-297", "499" + zeros + "e-302"),
            19000);
  // 4.8 plus a tail of 300 nines: the shortfall is below one rating.
  EXPECT_EQ(FiveStarsNeeded("4.7" + nines, "100", "4.8"), 1);
  EXPECT_EQ(FiveStarsNeeded("4.8", "1000", "4." + nines), kUnreachable);
  EXPECT_EQ(FiveStarsNeeded(nines, nines, nines), 0);
}

// A random decimal text from 0 to `whole`.999999 with up to six fractional
// digits, and its value in millionths.
struct RandomDecimal {
  std::string text;
  __int128 millionths;
};

RandomDecimal MakeDecimal(std::mt19937_64& rng, int whole) {
  const int intPart = static_cast<int>(rng() % (whole + 1));
  const int fracDigits = static_cast<int>(rng() % 7);
  std::string text = std::to_string(intPart);
  __int128 value = intPart;
  int written = 0;
  if (fracDigits > 0) {
    text += '.';
    for (; written < fracDigits; ++written) {
      const int d = static_cast<int>(rng() % 10);
      text += static_cast<char>('0' + d);
      value = value * 10 + d;
    }
  }
  for (; written < 6; ++written) value *= 10;
  return {text, value};
}

// With C raters averaging s/10^6, whether n ratings of 5 give an average of
// at least e/10^6: s·C + 5·10^6·n >= e·(C + n), all integers.
bool Reaches(__int128 s, __int128 c, __int128 e, __int128 n) {
  return s * c + 5000000 * n >= e * (c + n);
}

TEST(FiveStarsNeeded, AgreesWithTheDefinitionOnRandomTexts) {
  std::mt19937_64 rng(20261211);
  for (int i = 0; i < 5000; ++i) {
    const RandomDecimal s = MakeDecimal(rng, 5);
    const RandomDecimal e = MakeDecimal(rng, 5);
    const std::int64_t c = static_cast<std::int64_t>(rng() % 1000000001);
    SCOPED_TRACE(s.text + ", " + std::to_string(c) + ", " + e.text);
    const std::optional<std::int64_t> n = FiveStarsNeeded(s.text, std::to_string(c), e.text);
    if (e.millionths == 0) {
      EXPECT_EQ(n, 0);
    } else if (c == 0) {
      EXPECT_EQ(n, e.millionths < 5000000 ? std::optional<std::int64_t>(1) : kUnreachable);
    } else if (e.millionths >= 5000000 && s.millionths < e.millionths) {
      EXPECT_EQ(n, kUnreachable);
    } else {
      ASSERT_TRUE(n.has_value());
      EXPECT_TRUE(Reaches(s.millionths, c, e.millionths, *n));
      if (*n > 0) {
        EXPECT_FALSE(Reaches(s.millionths, c, e.millionths, *n - 1));
      }
    }
  }
}

TEST(FormatNeededLine, Table) {
  EXPECT_EQ(FormatNeededLine(1000), "所需5分单数：1000");
  EXPECT_EQ(FormatNeededLine(0), "所需5分单数：0");
  EXPECT_EQ(FormatNeededLine(3000000000), "所需5分单数：3000000000");
  EXPECT_EQ(FormatNeededLine(9223372036854775807), "所需5分单数：9223372036854775807");
  EXPECT_EQ(FormatNeededLine(kUnreachable), "所需5分单数：无法达到");
}

}  // namespace
}  // namespace dsr

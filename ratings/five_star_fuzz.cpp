// Fuzzing the five-star count on random decimal texts: the reading of each
// text against a reading of its own, and the count against a slow reference
// on whole numbers of any length: the count reaches the target and one less
// does not. The reference runs where the texts' exponents are small enough to
// write every value out; elsewhere only memory safety and UB are checked.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "ratings/five_star.h"
#include "text/text.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A signed whole number as decimal digits, lowest first, no zero on top.
struct Big {
  bool negative = false;
  std::vector<int> digits;
};

void Trim(Big& a) {
  while (!a.digits.empty() && a.digits.back() == 0) a.digits.pop_back();
  if (a.digits.empty()) a.negative = false;
}

Big FromUnsigned(std::uint64_t v) {
  Big b;
  for (; v != 0; v /= 10) b.digits.push_back(static_cast<int>(v % 10));
  return b;
}

int CompareMagnitude(const Big& a, const Big& b) {
  if (a.digits.size() != b.digits.size()) return a.digits.size() < b.digits.size() ? -1 : 1;
  for (std::size_t i = a.digits.size(); i-- > 0;) {
    if (a.digits[i] != b.digits[i]) return a.digits[i] < b.digits[i] ? -1 : 1;
  }
  return 0;
}

Big AddMagnitudes(const Big& a, const Big& b) {
  Big out;
  int carry = 0;
  for (std::size_t i = 0; i < std::max(a.digits.size(), b.digits.size()) || carry; ++i) {
    int v = carry;
    if (i < a.digits.size()) v += a.digits[i];
    if (i < b.digits.size()) v += b.digits[i];
    out.digits.push_back(v % 10);
    carry = v / 10;
  }
  return out;
}

// |a| - |b| for |a| >= |b|.
Big SubtractMagnitudes(const Big& a, const Big& b) {
  Big out;
  int borrow = 0;
  for (std::size_t i = 0; i < a.digits.size(); ++i) {
    int v = a.digits[i] - borrow - (i < b.digits.size() ? b.digits[i] : 0);
    borrow = v < 0;
    out.digits.push_back(v < 0 ? v + 10 : v);
  }
  Trim(out);
  return out;
}

Big Add(const Big& a, const Big& b) {
  Big out;
  if (a.negative == b.negative) {
    out = AddMagnitudes(a, b);
    out.negative = a.negative;
  } else if (CompareMagnitude(a, b) >= 0) {
    out = SubtractMagnitudes(a, b);
    out.negative = a.negative;
  } else {
    out = SubtractMagnitudes(b, a);
    out.negative = b.negative;
  }
  Trim(out);
  return out;
}

Big Negate(Big a) {
  a.negative = !a.negative;
  Trim(a);
  return a;
}

Big Multiply(const Big& a, const Big& b) {
  Big out;
  out.digits.assign(a.digits.size() + b.digits.size() + 1, 0);
  for (std::size_t i = 0; i < a.digits.size(); ++i) {
    for (std::size_t j = 0; j < b.digits.size(); ++j)
      out.digits[i + j] += a.digits[i] * b.digits[j];
    for (std::size_t k = i; k + 1 < out.digits.size(); ++k) {
      out.digits[k + 1] += out.digits[k] / 10;
      out.digits[k] %= 10;
    }
  }
  out.negative = a.negative != b.negative;
  Trim(out);
  return out;
}

int Sign(const Big& a) { return a.digits.empty() ? 0 : (a.negative ? -1 : 1); }

// A text's number as sign, digits and exponent, read by the number grammar
// (full-width forms folded first); exponents stop growing at 10^12.
struct Decimal {
  bool negative = false;
  std::string digits;  // as written, leading and trailing zeros included
  std::int64_t exponent = 0;
};

Decimal Read(std::string_view text) {
  const std::string t = dsr::FoldFullWidth(text);
  Decimal d;
  std::size_t i = 0;
  while (i < t.size() && (t[i] == ' ' || (t[i] >= '\t' && t[i] <= '\r'))) ++i;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) d.negative = t[i++] == '-';
  std::size_t before = i;
  while (i < t.size() && IsDigit(t[i])) d.digits += t[i++];
  bool any = i > before;
  if (i < t.size() && t[i] == '.') {
    before = ++i;
    while (i < t.size() && IsDigit(t[i])) {
      d.digits += t[i++];
      --d.exponent;
    }
    any = any || i > before;
  }
  if (!any) return Decimal{};
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E' || t[i] == 'd' || t[i] == 'D')) {
    ++i;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
    std::int64_t e = 0;
    for (; i < t.size() && IsDigit(t[i]); ++i) {
      if (e < 1000000000000) e = e * 10 + (t[i] - '0');
    }
    d.exponent += negative ? -e : e;
  }
  return d;
}

// The value times 10^scale, as a whole number (scale + exponent >= 0).
Big Scaled(const Decimal& d, std::int64_t scale) {
  Big b;
  for (std::size_t i = d.digits.size(); i-- > 0;) b.digits.push_back(d.digits[i] - '0');
  b.digits.insert(b.digits.begin(), static_cast<std::size_t>(scale + d.exponent), 0);
  b.negative = d.negative;
  Trim(b);
  return b;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input in{data, size};
  const std::string_view score = in.Part();
  const std::string_view raterCount = in.Part();
  const std::string_view expected = in.Rest();

  const std::optional<std::int64_t> needed = dsr::FiveStarsNeeded(score, raterCount, expected);
  FUZZ_CHECK(!needed || *needed >= 0);

  const Decimal decimals[] = {Read(score), Read(raterCount), Read(expected)};
  const std::string_view texts[] = {score, raterCount, expected};
  std::int64_t scale = 0;
  for (std::size_t i = 0; i < 3; ++i) {
    const Decimal& d = decimals[i];
    if (d.exponent < -80 || d.exponent > 80 || d.digits.size() > 80) return 0;
    scale = std::max(scale, -d.exponent);
    // The code's own reading gives the same value.
    const dsr::ExactDecimal exact = dsr::ReadExactDecimal(texts[i]);
    Big mine = Scaled(d, 200);
    Decimal theirs{exact.negative, exact.digits, exact.exponent};
    FUZZ_CHECK(exact.exponent >= -200 && Sign(Add(mine, Negate(Scaled(theirs, 200)))) == 0);
  }
  // Everything times 10^scale: S, C and E as whole numbers s, c and e. n ratings
  // of 5 reach E when n·(5·10^scale − e)·10^scale >= c·(e − s).
  const Big s = Scaled(decimals[0], scale);
  const Big c = Scaled(decimals[1], scale);
  const Big e = Scaled(decimals[2], scale);
  const Big five = Scaled(Decimal{false, "5", 0}, scale);
  const Big unit = Scaled(Decimal{false, "1", 0}, scale);
  const Big lhsPerN = Multiply(Add(five, Negate(e)), unit);
  const Big rhs = Multiply(c, Add(e, Negate(s)));
  const auto reaches = [&](std::uint64_t n) {
    return Sign(Add(Multiply(FromUnsigned(n), lhsPerN), Negate(rhs))) >= 0;
  };

  std::optional<std::int64_t> reference;
  if (Sign(e) <= 0) {
    reference = 0;
  } else if (Sign(c) > 0 && Sign(Add(s, Negate(e))) >= 0) {
    reference = 0;
  } else if (Sign(Add(e, Negate(five))) >= 0 || Sign(c) < 0) {
    reference = std::nullopt;
  } else if (Sign(c) == 0) {
    reference = 1;
  } else {
    constexpr std::uint64_t kMax = std::numeric_limits<std::int64_t>::max();
    if (!needed) {
      FUZZ_CHECK(!reaches(kMax));
    } else {
      FUZZ_CHECK(*needed >= 1);
      FUZZ_CHECK(reaches(static_cast<std::uint64_t>(*needed)));
      FUZZ_CHECK(!reaches(static_cast<std::uint64_t>(*needed) - 1));
    }
    return 0;
  }
  FUZZ_CHECK(needed == reference);
  return 0;
}

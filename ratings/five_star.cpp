// The five-star count on exact decimals.
//
// Whether n ratings of 5 reach E is the sign of
//   5·n − E·n − C·E + C·S  (that is, n·(5 − E) − C·(E − S)),
// a sum of four terms, each an integer mantissa times a power of ten. The
// sign of such a sum is found without ever writing out a number whose
// exponents lie far apart: the terms are taken in falling order of
// magnitude, in groups whose digits overlap, and the first group that does
// not cancel decides, since everything after it is too small to matter.
// The least n is then found by bisection over the 64-bit range; the test
// rises with n, because 5 − E > 0 there.
#include "ratings/five_star.h"

#include <algorithm>
#include <array>
#include <limits>
#include <vector>

namespace dsr {

namespace {

// ---- Unsigned integers of any length: base 10^9 limbs, lowest first, no
// zero limb at the top; empty for zero.

using Limbs = std::vector<std::uint32_t>;
constexpr std::uint32_t kBase = 1000000000;
constexpr int kBaseDigits = 9;

void Trim(Limbs& a) {
  while (!a.empty() && a.back() == 0) a.pop_back();
}

Limbs FromDigits(std::string_view digits) {
  Limbs out;
  out.reserve(digits.size() / kBaseDigits + 1);
  std::size_t end = digits.size();
  while (end > 0) {
    const std::size_t begin = end > kBaseDigits ? end - kBaseDigits : 0;
    std::uint32_t limb = 0;
    for (std::size_t i = begin; i < end; ++i) limb = limb * 10 + (digits[i] - '0');
    out.push_back(limb);
    end = begin;
  }
  Trim(out);
  return out;
}

Limbs FromUint(std::uint64_t v) {
  Limbs out;
  while (v != 0) {
    out.push_back(static_cast<std::uint32_t>(v % kBase));
    v /= kBase;
  }
  return out;
}

// a × m for m < 10^9.
void MulSmall(Limbs& a, std::uint32_t m) {
  std::uint64_t carry = 0;
  for (std::uint32_t& limb : a) {
    const std::uint64_t v = std::uint64_t{limb} * m + carry;
    limb = static_cast<std::uint32_t>(v % kBase);
    carry = v / kBase;
  }
  if (carry != 0) a.push_back(static_cast<std::uint32_t>(carry));
  Trim(a);
}

Limbs Mul(const Limbs& a, const Limbs& b) {
  if (a.empty() || b.empty()) return {};
  std::vector<std::uint64_t> acc(a.size() + b.size(), 0);
  for (std::size_t i = 0; i < a.size(); ++i) {
    std::uint64_t carry = 0;
    for (std::size_t j = 0; j < b.size(); ++j) {
      const std::uint64_t v = acc[i + j] + std::uint64_t{a[i]} * b[j] + carry;
      acc[i + j] = v % kBase;
      carry = v / kBase;
    }
    for (std::size_t k = i + b.size(); carry != 0; ++k) {
      const std::uint64_t v = acc[k] + carry;
      acc[k] = v % kBase;
      carry = v / kBase;
    }
  }
  Limbs out(acc.begin(), acc.end());
  Trim(out);
  return out;
}

// a × 10^k, k >= 0.
Limbs ShiftDecimal(const Limbs& a, std::int64_t k) {
  if (a.empty()) return {};
  Limbs out = a;
  std::uint32_t m = 1;
  for (std::int64_t i = 0; i < k % kBaseDigits; ++i) m *= 10;
  MulSmall(out, m);
  out.insert(out.begin(), static_cast<std::size_t>(k / kBaseDigits), 0);
  return out;
}

void AddTo(Limbs& a, const Limbs& b) {
  if (a.size() < b.size()) a.resize(b.size(), 0);
  std::uint32_t carry = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const std::uint32_t v = a[i] + (i < b.size() ? b[i] : 0) + carry;
    a[i] = v % kBase;
    carry = v / kBase;
    if (i >= b.size() && carry == 0) break;
  }
  if (carry != 0) a.push_back(carry);
}

int Compare(const Limbs& a, const Limbs& b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  for (std::size_t i = a.size(); i-- > 0;) {
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
  }
  return 0;
}

std::int64_t DecimalDigits(const Limbs& a) {
  if (a.empty()) return 0;
  std::int64_t n = static_cast<std::int64_t>(a.size() - 1) * kBaseDigits;
  for (std::uint32_t top = a.back(); top != 0; top /= 10) ++n;
  return n;
}

// ---- Signed terms: sign × mantissa × 10^exponent.

struct Term {
  bool negative = false;
  Limbs mantissa;  // never empty in a sum
  std::int64_t exponent = 0;
  std::int64_t magnitude = 0;  // exponent of the leading digit
};

Term MakeTerm(bool negative, Limbs mantissa, std::int64_t exponent) {
  Term t;
  t.negative = negative;
  t.mantissa = std::move(mantissa);
  t.exponent = exponent;
  t.magnitude = exponent + DecimalDigits(t.mantissa) - 1;
  return t;
}

// The sign (-1, 0, 1) of a sum of terms. Terms are grouped from the largest
// down: a term joins the group while its leading digit reaches past the
// group's lowest digit by less than two places. A group whose sum is not 0
// is at least 10^(lowest exponent) in size, and the at most three terms
// after it are each below 10^(lowest exponent − 1), so it decides.
int SignOfSum(std::vector<Term> terms) {
  std::erase_if(terms, [](const Term& t) { return t.mantissa.empty(); });
  std::sort(terms.begin(), terms.end(),
            [](const Term& a, const Term& b) { return a.magnitude > b.magnitude; });
  std::size_t begin = 0;
  while (begin < terms.size()) {
    std::int64_t lowest = terms[begin].exponent;
    std::size_t end = begin + 1;
    while (end < terms.size() && terms[end].magnitude >= lowest - 1) {
      lowest = std::min(lowest, terms[end].exponent);
      ++end;
    }
    Limbs positive, negative;
    for (std::size_t i = begin; i < end; ++i) {
      AddTo(terms[i].negative ? negative : positive,
            ShiftDecimal(terms[i].mantissa, terms[i].exponent - lowest));
    }
    if (const int c = Compare(positive, negative); c != 0) return c;
    begin = end;
  }
  return 0;
}

// A decimal as a term (an empty mantissa for zero).
Term AsTerm(const ExactDecimal& d, bool flip = false) {
  return MakeTerm(d.negative != flip, FromDigits(d.digits), d.exponent);
}

// Sign of a − b.
int CompareDecimals(const ExactDecimal& a, const ExactDecimal& b) {
  return SignOfSum({AsTerm(a), AsTerm(b, true)});
}

ExactDecimal Whole(std::string digits) {
  ExactDecimal d;
  d.digits = std::move(digits);
  return d;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsWhiteSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The exponent digits stop adding once the value reaches this, as in
// `ParseNumber`.
constexpr std::int64_t kExponentCap = std::int64_t{1} << 40;

}  // namespace

ExactDecimal ReadExactDecimal(std::string_view text) {
  const Text folded = FoldFullWidth(text);
  const std::string_view t = folded;
  std::size_t i = 0;
  while (i < t.size() && IsWhiteSpace(t[i])) ++i;
  const bool negative = i < t.size() && t[i] == '-';
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  const std::size_t intBegin = i;
  while (i < t.size() && IsDigit(t[i])) ++i;
  const std::string_view intDigits = t.substr(intBegin, i - intBegin);
  std::string_view fracDigits;
  if (i < t.size() && t[i] == '.') {
    const std::size_t fracBegin = ++i;
    while (i < t.size() && IsDigit(t[i])) ++i;
    fracDigits = t.substr(fracBegin, i - fracBegin);
  }
  ExactDecimal out;
  if (intDigits.empty() && fracDigits.empty()) return out;

  std::int64_t exponent = 0;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E' || t[i] == 'd' || t[i] == 'D')) {
    std::size_t j = i + 1;
    bool expNegative = false;
    if (j < t.size() && (t[j] == '+' || t[j] == '-')) {
      expNegative = t[j] == '-';
      ++j;
    }
    for (; j < t.size() && IsDigit(t[j]); ++j) {
      if (exponent < kExponentCap) exponent = exponent * 10 + (t[j] - '0');
    }
    if (expNegative) exponent = -exponent;
  }

  std::string digits;
  digits.reserve(intDigits.size() + fracDigits.size());
  digits.append(intDigits);
  digits.append(fracDigits);
  exponent -= static_cast<std::int64_t>(fracDigits.size());
  const std::size_t lead = digits.find_first_not_of('0');
  if (lead == std::string::npos) return out;  // zero, whatever its sign
  const std::size_t last = digits.find_last_not_of('0');
  exponent += static_cast<std::int64_t>(digits.size() - 1 - last);
  out.negative = negative;
  out.digits = digits.substr(lead, last + 1 - lead);
  out.exponent = exponent;
  return out;
}

std::optional<std::int64_t> FiveStarsNeeded(std::string_view score, std::string_view raterCount,
                                            std::string_view expected) {
  const ExactDecimal s = ReadExactDecimal(score);
  const ExactDecimal c = ReadExactDecimal(raterCount);
  const ExactDecimal e = ReadExactDecimal(expected);
  const ExactDecimal zero;
  const ExactDecimal five = Whole("5");

  const int cSign = CompareDecimals(c, zero);
  if (CompareDecimals(e, zero) <= 0) return 0;
  if (cSign > 0 && CompareDecimals(s, e) >= 0) return 0;
  if (CompareDecimals(e, five) >= 0) return std::nullopt;
  if (cSign < 0) return std::nullopt;
  if (cSign == 0) return 1;

  // 0 < E < 5, C > 0, S < E: none reaches at n = 0, and the test rises with n.
  const Limbs cm = FromDigits(c.digits);
  const Limbs sm = FromDigits(s.digits);
  const Limbs em = FromDigits(e.digits);
  const Term cTimesS = MakeTerm(c.negative != s.negative, Mul(cm, sm), c.exponent + s.exponent);
  const Term cTimesE = MakeTerm(true, Mul(cm, em), c.exponent + e.exponent);  // −C·E; C, E > 0
  const auto reaches = [&](std::uint64_t n) {
    Limbs fiveN = FromUint(n);
    MulSmall(fiveN, 5);
    return SignOfSum({MakeTerm(false, std::move(fiveN), 0),
                      MakeTerm(true, Mul(FromUint(n), em), e.exponent), cTimesE, cTimesS}) >= 0;
  };
  constexpr std::uint64_t kMax = std::numeric_limits<std::int64_t>::max();
  if (!reaches(kMax)) return std::nullopt;
  std::uint64_t lo = 0, hi = kMax;  // lo does not reach, hi does
  while (hi - lo > 1) {
    const std::uint64_t mid = lo + (hi - lo) / 2;
    (reaches(mid) ? hi : lo) = mid;
  }
  return static_cast<std::int64_t>(hi);
}

Text FormatNeededLine(std::optional<std::int64_t> needed) {
  if (!needed) return "所需5分单数：无法达到";
  return Join({"所需5分单数：", IntToDecimal(*needed)});
}

}  // namespace dsr

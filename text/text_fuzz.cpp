// Fuzzing the text operations: searches against the plain reference search,
// cuts against their definitions, and no result holding a zero byte.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "text/between.h"
#include "text/text.h"

namespace {

using fuzz::AsText;
using fuzz::HasZero;
using fuzz::IsLead;

// The characters of `t` from its first byte, each through `map` (a lead byte
// at the very end counts as a character of its own).
template <typename Map>
std::string ByCharacter(std::string_view t, Map map) {
  std::string out;
  for (std::size_t i = 0; i < t.size();) {
    const std::size_t n = IsLead(t[i]) && i + 1 < t.size() ? 2 : 1;
    out += map(t.substr(i, n));
    i += n;
  }
  return out;
}

std::string Upper(std::string_view t) {
  return ByCharacter(t, [](std::string_view c) {
    std::string s(c);
    if (s.size() == 1 && s[0] >= 'a' && s[0] <= 'z') s[0] = static_cast<char>(s[0] - 'a' + 'A');
    return s;
  });
}

std::string Stripped(std::string_view t) {
  return ByCharacter(t, [](std::string_view c) {
    return c == " " || c == "\xA1\xA1" ? std::string() : std::string(c);
  });
}

std::string Folded(std::string_view t) {
  return ByCharacter(t, [](std::string_view c) -> std::string {
    if (c.size() == 1) return IsLead(c[0]) ? std::string() : std::string(c);
    const auto lead = static_cast<unsigned char>(c[0]);
    const auto trail = static_cast<unsigned char>(c[1]);
    if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
      return std::string(1, static_cast<char>(trail - 0x80));
    }
    if (lead == 0xA1 && trail == 0xA1) return " ";
    if (lead == 0xA1 && trail == 0xAB) return "~";
    if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF)) return "*";
    return std::string(c);
  });
}

// The cuts by position, in 64-bit arithmetic.
std::string Left(std::string_view t, std::int64_t n) {
  return n <= 0 ? std::string() : std::string(t.substr(0, static_cast<std::size_t>(n)));
}
std::string Right(std::string_view t, std::int64_t n) {
  if (n <= 0) return std::string();
  const auto count = std::min<std::int64_t>(n, static_cast<std::int64_t>(t.size()));
  return std::string(t.substr(t.size() - static_cast<std::size_t>(count)));
}
std::string Mid(std::string_view t, std::int64_t start, std::int64_t n) {
  if (start < 1 || start > static_cast<std::int64_t>(t.size()) || n <= 0) return std::string();
  return std::string(t.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(n)));
}
std::string Delete(std::string_view t, std::int64_t start, std::int64_t n) {
  const std::int64_t from = std::max<std::int64_t>(start, 1) - 1;
  std::string out(t);
  if (n <= 0 || from >= static_cast<std::int64_t>(t.size())) return out;
  out.erase(static_cast<std::size_t>(from), static_cast<std::size_t>(n));
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input in{data, size};
  const bool ignoreCase = in.Bool();
  const int start = in.Position();
  const int n = in.Position();
  const std::string_view needle = in.Part();
  const std::string_view right = in.Part();
  const std::string_view raw = in.Rest();  // may hold zero bytes
  const std::string_view t = AsText(raw);

  // Searches: the reference search, and a match that really matches.
  const int p = dsr::PositionOf(raw, needle, start, ignoreCase);
  FUZZ_CHECK(p == fuzz::PositionOf(raw, needle, start, ignoreCase));
  if (p > 0 && !AsText(needle).empty()) {
    const std::string_view hit = t.substr(static_cast<std::size_t>(p) - 1, AsText(needle).size());
    FUZZ_CHECK(ignoreCase ? dsr::AsciiLower(hit) == dsr::AsciiLower(needle)
                          : hit == AsText(needle));
  }
  const dsr::Text between = dsr::TextBetween(raw, needle, right);
  FUZZ_CHECK(between == fuzz::TextBetween(raw, needle, right));
  FUZZ_CHECK(!HasZero(between));

  // Cuts: parts of the input as their definitions say.
  const dsr::Text cuts[] = {dsr::LeftPart(raw, n), dsr::RightPart(raw, n),
                            dsr::MidPart(raw, start, n), dsr::DeleteRange(raw, start, n)};
  FUZZ_CHECK(cuts[0] == Left(t, n));
  FUZZ_CHECK(cuts[1] == Right(t, n));
  FUZZ_CHECK(cuts[2] == Mid(t, start, n));
  FUZZ_CHECK(cuts[3] == Delete(t, start, n));
  for (const dsr::Text& c : cuts) FUZZ_CHECK(!HasZero(c));
  FUZZ_CHECK(dsr::ByteLength(raw) == static_cast<int>(t.size()));

  // Per-character rewrites.
  const dsr::Text stripped = dsr::StripSpaces(raw);
  FUZZ_CHECK(stripped == Stripped(t));
  FUZZ_CHECK(dsr::StripSpaces(stripped) == stripped);
  const dsr::Text folded = dsr::FoldFullWidth(raw);
  FUZZ_CHECK(folded == Folded(t));
  FUZZ_CHECK(!HasZero(folded));
  const dsr::Text upper = dsr::AsciiUpper(raw);
  const dsr::Text lower = dsr::AsciiLower(raw);
  FUZZ_CHECK(upper == Upper(t));
  FUZZ_CHECK(lower == fuzz::LowerSingleBytes(t));
  FUZZ_CHECK(dsr::AsciiUpper(lower) == upper);
  FUZZ_CHECK(!HasZero(stripped) && !HasZero(upper) && !HasZero(lower));
  return 0;
}

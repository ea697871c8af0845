// Tests of the byte-string and number operations, including a randomised
// cross-check of the searching and cutting routines against naive references.
#include "text/text.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

#include "text/between.h"
#include "text/digits.h"

namespace dsr {
namespace {

using namespace std::string_view_literals;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The program's literals must come out as GBK bytes; a build with another
// execution character set fails here rather than silently finding nothing in
// the pages.
TEST(ExecutionCharset, LiteralsAreGbkBytes) {
  struct Case {
    std::string_view literal;
    std::string_view bytes;
  };
  const Case cases[] = {
      {"人", "\xC8\xCB"},
      {"共<span>", "\xB9\xB2<span>"},
      {"分", "\xB7\xD6"},
      {"店铺得分-同行业平均分",
       "\xB5\xEA\xC6\xCC\xB5\xC3\xB7\xD6\x2D\xCD\xAC\xD0\xD0\xD2\xB5\xC6\xBD\xBE\xF9\xB7\xD6"},
      {"高于同行业", "\xB8\xDF\xD3\xDA\xCD\xAC\xD0\xD0\xD2\xB5"},
      {"宝贝与描述相符", "\xB1\xA6\xB1\xB4\xD3\xEB\xC3\xE8\xCA\xF6\xCF\xE0\xB7\xFB"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.literal, c.bytes);
  }
}

struct PositionCase {
  std::string_view text;
  std::string_view needle;
  int start;
  bool ignoreCase;
  int expected;
};

TEST(PositionOf, Table) {
  const PositionCase cases[] = {
      // Plain searches and the start position.
      {"abcabc", "c", 1, false, 3},
      {"abcabc", "c", 3, false, 3},
      {"abcabc", "c", 4, false, 6},
      {"abcabc", "bc", 0, false, 2},
      {"abcabc", "bc", -7, false, 2},
      {"abcabc", "bc", INT_MIN, false, 2},
      {"abcabc", "c", 6, false, 6},
      {"abcabc", "c", 7, false, -1},
      {"abcabc", "c", INT_MAX, false, -1},
      {"abcabc", "x", 1, false, -1},
      {"abc", "abcd", 1, false, -1},
      {"abcabc", "abc", 2, false, 4},
      {"", "a", 1, false, -1},
      // An empty needle: 1 when the part searched is not empty.
      {"abc", "", 1, false, 1},
      {"abc", "", 3, false, 1},
      {"abc", "", 4, false, -1},
      {"", "", 1, false, -1},
      // Matches begin only at character starts.
      {"\xB0\xA1\xB0\xA1", "\xA1\xB0", 1, false, -1},
      {"\xB0\xA1\xB0\xA1", "\xA1\xB0", 2, false, -1},
      {"\x81"
       "AB",
       "AB", 1, false, -1},
      {"\x81"
       "AB",
       "B", 1, false, 3},
      {"\x81"
       "AB",
       "A", 2, false, -1},
      {"\xB0\xB0X", "\xB0X", 1, false, -1},
      {"\xB0\xB0\xB0X", "\xB0X", 1, false, 3},
      {"A\xB0\xB0\xB0\xB0", "\xB0\xB0", 3, false, 4},
      {"\xB0"
       "A\xB0\xB0\xB0",
       "\xB0\xB0", 1, false, 3},
      {"\xC8\xCB\xC8\xCB", "\xCB\xC8", 1, false, -1},
      {"x\xC8\xCB\xC8\xCB", "\xC8\xCB", 3, false, 4},
      // A lead byte at the very end.
      {"ab\xB0", "\xB0", 1, false, 3},
      {"a\xB0", "a\xB0", 1, false, 1},
      // ASCII letters fold when asked; other bytes never do.
      {"Hello World", "WORLD", 1, true, 7},
      {"Hello World", "WORLD", 1, false, -1},
      {"Set-Cookie: a=b", "set-cookie: ", 1, true, 1},
      {"x\r\nACCEPT: */*", "Accept: ", 1, true, 4},
      {"\x81"
       "A",
       "\x81"
       "a",
       1, true, -1},
      {"\x81"
       "AB",
       "ab", 1, true, -1},
      {"\x81"
       "AB",
       "b", 1, true, 3},
      {"\xB0\xA1Z", "\xB0\xA1z", 1, true, 1},
      {"abcABC", "C", 4, true, 6},
      // A text ends at its first zero byte.
      {"ab\0cd"sv, "cd", 1, false, -1},
      {"ab\0cd"sv, "b", 1, false, 2},
      {"abc", "b\0x"sv, 1, false, 2},
  };
  for (const PositionCase& c : cases) {
    EXPECT_EQ(PositionOf(c.text, c.needle, c.start, c.ignoreCase), c.expected)
        << "text \"" << c.text << "\" needle \"" << c.needle << "\" start " << c.start
        << " ignoreCase " << c.ignoreCase;
  }
}

// Every candidate but the last falls inside a character; the search must
// still find the one real match at the end of a long text.
TEST(PositionOf, ManyFalseCandidates) {
  std::string text = "X";
  for (int i = 0; i < 500000; ++i) text += "\xB0\xA1";
  text += "A\xA1\xB0";
  EXPECT_EQ(PositionOf(text, "\xA1\xB0"), static_cast<int>(text.size()) - 1);
  EXPECT_EQ(PositionOf(text, "a\xA1\xB0", 1, true), static_cast<int>(text.size()) - 2);
  EXPECT_EQ(PositionOf(text, "\xA1\xB0\xA1"), -1);
}

struct CutCase {
  const char* name;
  Text actual;
  std::string_view expected;
};

TEST(Cuts, Table) {
  const std::string_view t = "abcdef";
  const CutCase cases[] = {
      {"LeftPart 2", LeftPart(t, 2), "ab"},
      {"LeftPart 0", LeftPart(t, 0), ""},
      {"LeftPart -1", LeftPart(t, -1), ""},
      {"LeftPart past end", LeftPart(t, INT_MAX), "abcdef"},
      {"RightPart 2", RightPart(t, 2), "ef"},
      {"RightPart 0", RightPart(t, 0), ""},
      {"RightPart INT_MIN", RightPart(t, INT_MIN), ""},
      {"RightPart past end", RightPart(t, INT_MAX), "abcdef"},
      {"MidPart 2,3", MidPart(t, 2, 3), "bcd"},
      {"MidPart 6,1", MidPart(t, 6, 1), "f"},
      {"MidPart 2,INT_MAX", MidPart(t, 2, INT_MAX), "bcdef"},
      {"MidPart 0,3", MidPart(t, 0, 3), ""},
      {"MidPart 7,1", MidPart(t, 7, 1), ""},
      {"MidPart INT_MAX,INT_MAX", MidPart(t, INT_MAX, INT_MAX), ""},
      {"MidPart 2,0", MidPart(t, 2, 0), ""},
      {"MidPart 2,-3", MidPart(t, 2, -3), ""},
      {"MidPart counts plain bytes", MidPart("\xB0\xA1\xB0\xA1", 2, 2), "\xA1\xB0"},
      {"MidPart stops at zero", MidPart("ab\0cd"sv, 2, 9), "b"},
      {"DeleteRange 2,3", DeleteRange(t, 2, 3), "aef"},
      {"DeleteRange 0,2", DeleteRange(t, 0, 2), "cdef"},
      {"DeleteRange INT_MIN,1", DeleteRange(t, INT_MIN, 1), "bcdef"},
      {"DeleteRange cut at end", DeleteRange(t, 5, INT_MAX), "abcd"},
      {"DeleteRange past end", DeleteRange(t, 7, 1), "abcdef"},
      {"DeleteRange INT_MAX", DeleteRange(t, INT_MAX, INT_MAX), "abcdef"},
      {"DeleteRange n 0", DeleteRange(t, 1, 0), "abcdef"},
      {"DeleteRange n negative", DeleteRange(t, 1, -4), "abcdef"},
      {"Set-Cookie line", DeleteRange("Set-Cookie: a=b", 1, 12), "a=b"},
  };
  for (const CutCase& c : cases) EXPECT_EQ(c.actual, c.expected) << c.name;
}

TEST(Case, FoldsAsciiLettersOnly) {
  const CutCase cases[] = {
      {"upper", AsciiUpper("abc xyz-09"), "ABC XYZ-09"},
      {"lower", AsciiLower("ABC XYZ-09"), "abc xyz-09"},
      {"upper keeps second bytes",
       AsciiUpper("a\x81"
                  "az"),
       "A\x81"
       "aZ"},
      {"lower keeps second bytes",
       AsciiLower("A\x81"
                  "AZ"),
       "a\x81"
       "Az"},
      {"lead byte at the end", AsciiUpper("a\xB0"), "A\xB0"},
      {"Chinese untouched", AsciiLower("\xC8\xCB"), "\xC8\xCB"},
  };
  for (const CutCase& c : cases) EXPECT_EQ(c.actual, c.expected) << c.name;
}

TEST(StripSpaces, DropsHalfAndFullWidthSpaces) {
  const CutCase cases[] = {
      {"half width", StripSpaces(" a b "), "ab"},
      {"tabs and breaks stay", StripSpaces("a\t b\r\n"), "a\tb\r\n"},
      {"full width", StripSpaces("\xA1\xA1x\xA1\xA1"), "x"},
      {"only spaces", StripSpaces(" \xA1\xA1 "), ""},
      // A1 A1 across two characters is no full-width space.
      {"across characters", StripSpaces("\xB0\xA1\xA1\xB0"), "\xB0\xA1\xA1\xB0"},
      {"lead byte at the end", StripSpaces("a \xB0"), "a\xB0"},
  };
  for (const CutCase& c : cases) EXPECT_EQ(c.actual, c.expected) << c.name;
}

TEST(SmallMakers, SpacesZerosCharTextCodeOf) {
  EXPECT_EQ(Spaces(3), "   ");
  EXPECT_EQ(Spaces(0), "");
  EXPECT_EQ(Spaces(INT_MIN), "");
  EXPECT_EQ(Zeros(3), Bytes(3, '\0'));
  EXPECT_TRUE(Zeros(-1).empty());
  EXPECT_EQ(CharText('a'), "a");
  EXPECT_EQ(CharText('\0'), "");
  EXPECT_EQ(CodeOf("A"), 65);
  EXPECT_EQ(CodeOf("\xB0\xA1"), -80);
  EXPECT_EQ(CodeOf(""), 0);
  EXPECT_EQ(ByteLength("ab\0cd"sv), 2);
  EXPECT_EQ(ByteLength(Bytes{'a', '\0', 'b'}), 3);
}

TEST(FoldFullWidth, Table) {
  const CutCase cases[] = {
      {"digits and point", FoldFullWidth("\xA3\xB4\xA3\xAE\xA3\xB9\xA3\xB9"), "4.99"},
      {"letters and signs", FoldFullWidth("\xA3\xC1\xA3\xE1\xA3\xAD\xA3\xAB"), "Aa-+"},
      {"last of the range", FoldFullWidth("\xA3\xFE"), "~"},
      {"outside the range", FoldFullWidth("\xA3\xA0"), "\xA3\xA0"},
      {"full-width space", FoldFullWidth("\xA1\xA1"), " "},
      {"wave dash", FoldFullWidth("\xA1\xAB"), "~"},
      {"stars", FoldFullWidth("\xA1\xEE\xA1\xEF"), "**"},
      {"other characters stay",
       FoldFullWidth("\xC8\xCB"
                     "a"),
       "\xC8\xCB"
       "a"},
      {"lead byte at the end dropped", FoldFullWidth("1\xA3"), "1"},
      {"pairs follow characters", FoldFullWidth("\xB0\xA3\xB1"), "\xB0\xA3"},
  };
  for (const CutCase& c : cases) EXPECT_EQ(c.actual, c.expected) << c.name;
}

struct NumberCase {
  std::string_view text;
  double expected;
};

TEST(ParseNumber, Table) {
  const NumberCase cases[] = {
      {"4.99", 4.99},
      {"0.1", 0.1},
      {"4.8", 4.8},
      {"1234", 1234.0},
      {"", 0.0},
      {"abc", 0.0},
      {"  -3.5x", -3.5},
      {"+2", 2.0},
      {".5", 0.5},
      {"-.5", -0.5},
      {"5.", 5.0},
      {".", 0.0},
      {"-", 0.0},
      {"+.e5", 0.0},
      {"1.2.3", 1.2},
      {"1,5", 1.0},
      {"0x10", 0.0},
      {"\t\r\n 8", 8.0},
      {"1e3", 1000.0},
      {"1E-2", 0.01},
      {"2d2", 200.0},
      {"2D+1", 20.0},
      {"1e", 1.0},
      {"1e+", 1.0},
      {"1ex", 1.0},
      {"1e-x", 1.0},
      {"007.50", 7.5},
      {"12345678901234567890", 12345678901234567890.0},
      {"0.000000000000000000000000000001e30", 1.0},
      {"1e308", 1e308},
      {"4.9e-324", 4.9e-324},
      {"1e999", kInf},
      {"-1e999", -kInf},
      {"1e-999", 0.0},
      {"1e99999999999999999999999", kInf},
      {"0e99999999999999999999999", 0.0},
      // A four, a point and twenty nines is exactly 5.0.
      {"4.99999999999999999999", 5.0},
      // Full-width digits, point and space read as their ASCII forms.
      {"\xA3\xB4\xA3\xAE\xA3\xB9\xA3\xB9", 4.99},
      {"\xA1\xA1\xA3\xAD\xA3\xB7", -7.0},
      {"\xC8\xCB"
       "5",
       0.0},
  };
  for (const NumberCase& c : cases) {
    EXPECT_EQ(ParseNumber(c.text), c.expected) << "\"" << c.text << "\"";
  }
  EXPECT_TRUE(std::signbit(ParseNumber("-0")));
}

struct IntegerCase {
  std::string_view text;
  int expected;
};

TEST(ParseInteger, Table) {
  const IntegerCase cases[] = {
      {"4.99", 4},
      {"5.5", 5},
      {"", 0},
      {"abc", 0},
      {" -12x", -12},
      {"+7", 7},
      {"1e5", 1},
      {"\xA3\xB5", 5},
      {"\xA1\xA1\xA3\xAD\xA3\xB6", -6},
      {"2147483647", INT_MAX},
      {"2147483648", INT_MIN},
      {"-2147483648", INT_MIN},
      {"4294967296", 0},
      {"4294967297", 1},
      {"99999999999999999999", 1661992959},
  };
  for (const IntegerCase& c : cases) {
    EXPECT_EQ(ParseInteger(c.text), c.expected) << "\"" << c.text << "\"";
  }
}

TEST(TruncateToInt, Table) {
  constexpr double kTwoTo63 = 9223372036854775808.0;
  const struct {
    double x;
    int expected;
  } cases[] = {
      {-3.7, -3},
      {3.7, 3},
      {0.0, 0},
      {-0.0, 0},
      {0.999, 0},
      {-0.999, 0},
      {2147483647.0, INT_MAX},
      {2147483648.0, INT_MIN},
      {3000000000.0, -1294967296},
      {4294967295.9, -1},
      {4294967301.0, 5},
      {-4294967301.0, -5},
      {std::nextafter(kTwoTo63, 0.0), -1024},
      {kTwoTo63, 0},
      {-kTwoTo63, 0},
      {std::nextafter(-kTwoTo63, -kInf), 0},
      {1e300, 0},
      {kInf, 0},
      {-kInf, 0},
      {kNaN, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(TruncateToInt(c.x), c.expected) << c.x;
}

TEST(IntToDecimal, Table) {
  EXPECT_EQ(IntToDecimal(0), "0");
  EXPECT_EQ(IntToDecimal(-333), "-333");
  EXPECT_EQ(IntToDecimal(3000000000), "3000000000");
  EXPECT_EQ(IntToDecimal(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808");
  EXPECT_EQ(IntToDecimal(std::numeric_limits<std::int64_t>::max()), "9223372036854775807");
}

TEST(BytesAndJoin, Table) {
  const Bytes b{'a', 'b', '\0', 'c'};
  EXPECT_EQ(BytesToText(b), "ab");
  EXPECT_EQ(BytesToText(Zeros(255)), "");
  EXPECT_EQ(BytesHead(b, 3), (Bytes{'a', 'b', '\0'}));
  EXPECT_EQ(BytesHead(b, INT_MAX), b);
  EXPECT_TRUE(BytesHead(b, -1).empty());
  EXPECT_EQ(Join({"a", "", "\xB7\xD6--", "b"}), "a\xB7\xD6--b");
  EXPECT_EQ(Join({"a\0x"sv, "b"}), "ab");
  EXPECT_TRUE(TextEquals("0", "0"));
  EXPECT_FALSE(TextEquals("0", " 0"));
  EXPECT_FALSE(TextEquals("a", "A"));
  EXPECT_TRUE(TextEquals("", std::string_view()));
  EXPECT_TRUE(TextEquals("a\0b"sv, "a"));
  EXPECT_EQ(RealPower(16, 3), 4096.0);
}

TEST(MemoryStream, ReadsLines) {
  MemoryStream s;
  const std::string_view raw = "HTTP/1.1 200 OK\r\nSet-Cookie: a=b\n\r\nx\ry\nz\0w\nlast"sv;
  s.WriteBytes(raw.data(), static_cast<int>(raw.size()));
  s.Rewind();
  const std::string_view expected[] = {
      "HTTP/1.1 200 OK", "Set-Cookie: a=b", "", "x\ry", "z", "last"};
  for (std::string_view line : expected) {
    ASSERT_FALSE(s.AtEnd());
    EXPECT_EQ(s.ReadLine(), line);
  }
  EXPECT_TRUE(s.AtEnd());
  EXPECT_EQ(s.ReadLine(), "");
}

TEST(MemoryStream, WritesWithinTheReserveNeverMoveTheContent) {
  MemoryStream s;
  s.Reserve(100000);
  s.WriteText("a");
  const char* const start = s.Content().data();
  const std::string piece(999, 'b');
  for (int i = 0; i < 100; ++i) s.WriteBytes(piece.data(), 999);
  s.WriteText(std::string(99, 'c'));  // 100000 bytes in all
  EXPECT_EQ(s.Size(), 100000);
  EXPECT_EQ(s.Content().data(), start);
  const Bytes taken = s.TakeBytes();
  EXPECT_EQ(taken.data(), start);
  EXPECT_EQ(s.Size(), 0);
}

TEST(MemoryStream, WritesAndReadsBytesAtThePosition) {
  MemoryStream s;
  EXPECT_TRUE(s.AtEnd());
  EXPECT_EQ(s.Size(), 0);
  s.WriteBytes(Bytes{'h', '\0', 'l', 'l', 'o'});
  EXPECT_EQ(s.Size(), 5);
  s.Rewind();
  s.WriteText("J");
  EXPECT_EQ(s.Content(), (Bytes{'J', '\0', 'l', 'l', 'o'}));
  EXPECT_EQ(s.ReadBytes(2), (Bytes{'\0', 'l'}));
  EXPECT_EQ(s.ReadBytes(INT_MAX), (Bytes{'l', 'o'}));
  EXPECT_TRUE(s.ReadBytes(1).empty());
  EXPECT_TRUE(s.AtEnd());
  s.WriteBytes(nullptr, 4);
  s.WriteBytes("xy", -1);
  EXPECT_EQ(s.Size(), 5);
  s.Rewind();
  EXPECT_TRUE(s.ReadBytes(0).empty());
  EXPECT_TRUE(s.ReadBytes(-1).empty());
  s.Close();
  EXPECT_EQ(s.Size(), 0);
  EXPECT_TRUE(s.AtEnd());
  s.WriteText("ab");
  EXPECT_EQ(s.TakeBytes(), (Bytes{'a', 'b'}));
  EXPECT_EQ(s.Size(), 0);
  s.WriteText("c");
  EXPECT_EQ(s.Content(), (Bytes{'c'}));
}

// A default view has no data at all; every routine must take it as the
// empty text.
TEST(EmptyViews, TakenAsTheEmptyText) {
  const std::string_view none;
  EXPECT_EQ(ByteLength(none), 0);
  EXPECT_EQ(PositionOf(none, "a"), -1);
  EXPECT_EQ(PositionOf("a", none), 1);
  EXPECT_EQ(PositionOf(none, none, 1, true), -1);
  EXPECT_EQ(LeftPart(none, 3), "");
  EXPECT_EQ(RightPart(none, 3), "");
  EXPECT_EQ(MidPart(none, 1, 3), "");
  EXPECT_EQ(AsciiUpper(none), "");
  EXPECT_EQ(StripSpaces(none), "");
  EXPECT_EQ(DeleteRange(none, 1, 1), "");
  EXPECT_EQ(CodeOf(none), 0);
  EXPECT_EQ(FoldFullWidth(none), "");
  EXPECT_EQ(ParseNumber(none), 0.0);
  EXPECT_EQ(ParseInteger(none), 0);
  EXPECT_TRUE(TextEquals(none, ""));
  EXPECT_EQ(Join({none, "a", none}), "a");
  EXPECT_EQ(TextBetween(none, "[", "]"), "");
  EXPECT_EQ(TextBetween("[a]", none, "]"), "[a");
  EXPECT_EQ(HexTextToText(none), "");
  MemoryStream s;
  s.WriteText(none);
  EXPECT_EQ(s.Size(), 0);
}

// ---- Randomised cross-check against naive references ----

// Character starts recomputed from the first byte, one step at a time.
std::vector<bool> NaiveCharStarts(std::string_view t) {
  std::vector<bool> starts(t.size(), false);
  for (std::size_t i = 0; i < t.size();) {
    starts[i] = true;
    i += static_cast<unsigned char>(t[i]) >= 0x80 ? 2 : 1;
  }
  return starts;
}

std::string_view ClipAtZero(std::string_view t) { return t.substr(0, t.find('\0')); }

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// Whether `needle` matches at index i, folding letters that are single-byte
// characters of `t` when asked.
bool NaiveMatchAt(std::string_view t, const std::vector<bool>& starts, std::size_t i,
                  std::string_view needle, bool ignoreCase) {
  if (t.size() - i < needle.size()) return false;
  for (std::size_t j = 0; j < needle.size(); ++j) {
    const char a = t[i + j];
    const bool single = starts[i + j] && static_cast<unsigned char>(a) < 0x80;
    if (ignoreCase && single ? Lower(a) != Lower(needle[j]) : a != needle[j]) return false;
  }
  return true;
}

int NaivePositionOf(std::string_view t, std::string_view needle, int start, bool ignoreCase) {
  t = ClipAtZero(t);
  needle = ClipAtZero(needle);
  const long long from = start < 1 ? 0 : static_cast<long long>(start) - 1;
  if (from >= static_cast<long long>(t.size())) return -1;
  if (needle.empty()) return 1;
  const std::vector<bool> starts = NaiveCharStarts(t);
  for (std::size_t i = static_cast<std::size_t>(from); i < t.size(); ++i) {
    if (starts[i] && NaiveMatchAt(t, starts, i, needle, ignoreCase)) return static_cast<int>(i) + 1;
  }
  return -1;
}

Text NaiveTextBetween(std::string_view text, std::string_view left, std::string_view right) {
  text = ClipAtZero(text);
  const int p = NaivePositionOf(text, left, 1, false);
  if (p == -1) return Text();
  const std::string_view rest = text.substr(p - 1 + ClipAtZero(left).size());
  const int q = NaivePositionOf(rest, right, 1, false);
  if (q == -1) return Text();
  return Text(rest.substr(0, q - 1));
}

// The number a text begins with, by a regular expression and strtod.
double ReferenceNumber(std::string_view text) {
  static const std::regex kNumber(
      R"(^[ \t\n\v\f\r]*([+-]?([0-9]+\.?[0-9]*|\.[0-9]+)([eEdD][+-]?[0-9]+)?))");
  const Text folded = FoldFullWidth(text);
  std::smatch m;
  if (!std::regex_search(folded, m, kNumber)) return 0.0;
  std::string number = m[1].str();
  for (char& c : number) {
    if (c == 'd' || c == 'D') c = 'e';
  }
  return std::strtod(number.c_str(), nullptr);
}

class Generator {
 public:
  explicit Generator(unsigned seed) : rng_(seed) {}

  int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

  // Bytes biased toward lead bytes and pieces of the page markers.
  std::string Text(int maxPieces) {
    static const std::string_view kFragments[] = {"\xC8\xCB",
                                                  "\xB9\xB2<span>",
                                                  "</span>",
                                                  "title=\"",
                                                  "\xB7\xD6",
                                                  "/strong",
                                                  "\xB1\xA6\xB1\xB4\xD3\xEB",
                                                  " over\">",
                                                  " lower\">",
                                                  "<",
                                                  "5d3b6e",
                                                  "4.99",
                                                  "e-",
                                                  "."};
    std::string out;
    const int pieces = Uniform(0, maxPieces);
    for (int i = 0; i < pieces; ++i) {
      const int kind = Uniform(0, 99);
      if (kind < 40) {
        out.push_back(static_cast<char>(Uniform(0x80, 0xFE)));
      } else if (kind < 60) {
        const std::string_view f = kFragments[Uniform(0, std::size(kFragments) - 1)];
        const int from = Uniform(0, static_cast<int>(f.size()) - 1);
        out.append(f.substr(from, Uniform(1, static_cast<int>(f.size()) - from)));
      } else if (kind < 90) {
        static const std::string_view kAscii = "aAbBcCeEdDxX0123456789.+- \t\r\n<>/=\"";
        out.push_back(kAscii[Uniform(0, kAscii.size() - 1)]);
      } else if (kind < 92) {
        out.push_back('\0');
      } else {
        out.push_back(static_cast<char>(Uniform(0, 255)));
      }
    }
    return out;
  }

  std::string Needle(const std::string& text) {
    if (!text.empty() && Uniform(0, 1) == 0) {
      const int from = Uniform(0, static_cast<int>(text.size()) - 1);
      return text.substr(from, Uniform(0, 4));
    }
    return Text(2);
  }

  std::string Hex() {
    static const std::string_view kHex = "0123456789abcdefABCDEFxg \xB0";
    std::string out;
    const int n = Uniform(0, 24);
    for (int i = 0; i < n; ++i)
      out.push_back(kHex[Uniform(0, Uniform(0, 3) ? 21 : kHex.size() - 1)]);
    return out;
  }

  int Start(int length) {
    switch (Uniform(0, 9)) {
      case 0:
        return INT_MAX;
      case 1:
        return INT_MIN;
      default:
        return Uniform(-2, length + 2);
    }
  }

 private:
  std::mt19937 rng_;
};

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

TEST(Property, SearchesAndCutsAgreeWithNaiveReferences) {
  Generator gen(20240517u);
  for (int iteration = 0; iteration < 20000; ++iteration) {
    SCOPED_TRACE(iteration);
    const std::string text = gen.Text(40);
    const std::string_view clipped = ClipAtZero(text);
    const std::vector<bool> starts = NaiveCharStarts(clipped);

    const std::string needle = gen.Needle(text);
    const int start = gen.Start(static_cast<int>(text.size()));
    const bool ignoreCase = gen.Uniform(0, 3) == 0;
    const int p = PositionOf(text, needle, start, ignoreCase);
    ASSERT_EQ(p, NaivePositionOf(text, needle, start, ignoreCase))
        << "needle size " << needle.size() << " start " << start;
    if (p != -1 && !ClipAtZero(needle).empty()) {
      ASSERT_TRUE(starts[p - 1]);
      ASSERT_TRUE(NaiveMatchAt(clipped, starts, p - 1, ClipAtZero(needle), ignoreCase));
    }

    const std::string left = gen.Needle(text);
    const std::string right = gen.Needle(text);
    const Text cut = TextBetween(text, left, right);
    ASSERT_EQ(cut, NaiveTextBetween(text, left, right));
    ASSERT_NE(clipped.find(cut), std::string_view::npos);
    ASSERT_EQ(cut.find('\0'), Text::npos);

    const int midStart = gen.Start(static_cast<int>(text.size()));
    const int midCount = gen.Start(static_cast<int>(text.size()));
    const Text mid = MidPart(text, midStart, midCount);
    if (midStart >= 1 && midCount > 0 && static_cast<std::size_t>(midStart) <= clipped.size()) {
      ASSERT_EQ(mid, clipped.substr(midStart - 1, midCount));
    } else {
      ASSERT_EQ(mid, "");
    }

    const double number = ParseNumber(text);
    ASSERT_FALSE(std::isnan(number));
    ASSERT_EQ(number, ReferenceNumber(text)) << text;

    const std::string hex = gen.Uniform(0, 1) ? gen.Hex() : text;
    const Text decoded = HexTextToText(hex);
    ASSERT_EQ(decoded.find('\0'), Text::npos);
    ASSERT_LE(decoded.size(), ClipAtZero(hex).size() / 2);
    const std::string_view hexText = ClipAtZero(hex);
    bool allHex = true;
    for (char c : hexText) allHex = allHex && IsHexDigit(c);
    if (allHex) {
      Text expected;
      for (std::size_t i = 0; i + 1 < hexText.size(); i += 2) {
        const long byte = std::strtol(std::string(hexText.substr(i, 2)).c_str(), nullptr, 16);
        if (byte == 0) break;
        expected.push_back(static_cast<char>(byte));
      }
      ASSERT_EQ(decoded, expected) << hex;
    }
  }
}

}  // namespace
}  // namespace dsr

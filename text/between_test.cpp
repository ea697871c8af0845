// Tests of cutting the text between two markers.
#include "text/between.h"

#include <gtest/gtest.h>

#include <string_view>

namespace dsr {
namespace {

using namespace std::string_view_literals;

struct BetweenCase {
  const char* name;
  std::string_view text;
  std::string_view left;
  std::string_view right;
  std::string_view expected;
};

TEST(TextBetween, Table) {
  const BetweenCase cases[] = {
      {"plain", "id=[42].htm", "[", "]", "42"},
      {"left absent", "abc]def", "[", "]", ""},
      {"right only before left", "]a[b", "[", "]", ""},
      {"right overlapping left", "abc", "ab", "bc", ""},
      {"right directly after left", "x[]y", "[", "]", ""},
      {"left at the very end", "xx[", "[", "]", ""},
      {"same marker twice", "..5d3b6eC8ED5d3b6e..", "5d3b6e", "5d3b6e", "C8ED"},
      {"same marker once", "..5d3b6eC8ED", "5d3b6e", "5d3b6e", ""},
      {"same marker three times", "5d3b6eA5d3b6eB5d3b6e", "5d3b6e", "5d3b6e", "A"},
      {"marker inside the payload", "5d3b6e125d3b6e5d3b6e", "5d3b6e", "5d3b6e", "12"},
      {"first left counts", "[a[b]", "[", "]", "a[b"},
      {"first right after left counts", "[a]b]", "[", "]", "a"},
      {"empty left takes the whole text", "abc]", "", "]", "abc"},
      {"empty left on empty text", "", "", "]", ""},
      {"empty right", "[abc]", "[", "", ""},
      {"empty text", "", "[", "]", ""},
      {"case-sensitive", "<SPAN>x</SPAN>", "<span>", "</span>", ""},
      {"spaces and breaks stay", "[ 4.8\r\n]", "[", "]", " 4.8\r\n"},
      {"left inside a character", "\xB0[x][y]", "[", "]", "y"},
      {"right inside a character", "[\xB0]]", "[", "]", "\xB0]"},
      // The right search steps over characters from the byte after left.
      {"characters restart after left", "\xB0]x]", "\xB0", "]", ""},
      {"Chinese markers", "\xB9\xB2<span>1234</span>\xC8\xCB", "\xB9\xB2<span>", "</span>", "1234"},
      {"text ends at zero byte", "[ab\0]"sv, "[", "]", ""},
      {"left after zero byte", "x\0[a]"sv, "[", "]", ""},
      {"user-rate id", "<a href=\"http://rate.example/user-rate-abc123.htm\">",
       "http://rate.example/user-rate-", ".htm", "abc123"},
  };
  for (const BetweenCase& c : cases) {
    EXPECT_EQ(TextBetween(c.text, c.left, c.right), c.expected) << c.name;
  }
}

}  // namespace
}  // namespace dsr

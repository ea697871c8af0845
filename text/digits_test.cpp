// Tests of reading digit texts and decoding hexadecimal pair text.
#include "text/digits.h"

#include <gtest/gtest.h>

#include <climits>
#include <string_view>

namespace dsr {
namespace {

struct RadixCase {
  std::string_view digits;
  int radix;
  int expected;
};

TEST(RadixTextToInt, Table) {
  const RadixCase cases[] = {
      {"", kRadixHex, 0},
      {"", kRadixDecimal, 0},
      {"", kRadixOctal, 0},
      {"", kRadixBinary, 0},
      {"ff", kRadixHex, 255},
      {"FF", kRadixHex, 255},
      {"ABCDEF", kRadixHex, 0xABCDEF},
      {"7fffffff", kRadixHex, INT_MAX},
      {"80000000", kRadixHex, INT_MIN},
      {"ffffffff", kRadixHex, -1},
      {"100000000", kRadixHex, 0},
      {"fffffffffffff", kRadixHex, -1},
      // A non-digit counts at its own weight with the digit to its right.
      {"x1", kRadixHex, 17},
      {"1x", kRadixHex, 16},
      {"-1", kRadixHex, 17},
      {" 1", kRadixHex, 17},
      {"g", kRadixHex, 0},
      {"\xB0"
       "1",
       kRadixHex, 17},
      // The second byte of a character is not lowered, so it is no digit.
      {"\x81"
       "A",
       kRadixHex, 0},
      {"4.99", kRadixDecimal, 4},
      {"  -3.7", kRadixDecimal, -3},
      {"1e3", kRadixDecimal, 1000},
      {"\xA3\xB1\xA3\xB2", kRadixDecimal, 12},
      {"abc", kRadixDecimal, 0},
      {"3000000000", kRadixDecimal, -1294967296},
      {"777", kRadixOctal, 511},
      {"8", kRadixOctal, 0},
      {"18", kRadixOctal, 8},
      {"81", kRadixOctal, 9},
      {"101", kRadixBinary, 5},
      {"21", kRadixBinary, 3},
      {"11111111111111111111111111111111", kRadixBinary, -1},
      {"ff", 4, 0},
      {"ff", -1, 0},
      {"ff", INT_MAX, 0},
  };
  for (const RadixCase& c : cases) {
    Text digits(c.digits);
    EXPECT_EQ(RadixTextToInt(digits, c.radix), c.expected)
        << "\"" << c.digits << "\" radix " << c.radix;
  }
}

TEST(RadixTextToInt, LowersTheCallersTextAndDefaultsToDecimal) {
  Text digits = "AbC";
  EXPECT_EQ(RadixTextToInt(digits, kRadixHex), 0xABC);
  EXPECT_EQ(digits, "abc");
  Text decimal = "12.9E1X";
  EXPECT_EQ(RadixTextToInt(decimal), 129);
  EXPECT_EQ(decimal, "12.9e1x");
}

struct HexCase {
  const char* name;
  std::string_view hex;
  std::string_view expected;
};

TEST(HexTextToText, Table) {
  const HexCase cases[] = {
      {"empty", "", ""},
      {"two bytes", "3132", "12"},
      {"odd last digit ignored", "313", "1"},
      {"either letter case", "4A4b", "JK"},
      {"zero pair ends the text", "41004142", "A"},
      {"non-digit pair ends the text", "41zz42", "A"},
      {"non-digit then digit", "x4", "D"},
      {"digit then non-digit", "4x", "@"},
      {"status record", "c8edbcfed7b4ccac3d3026", "软件状态=0&"},
      {"upper-case record", "C8EDBCFED7B4CCAC3D3026", "软件状态=0&"},
      {"advertisement record",
       "c8edbcfed7b4ccac3d3026b9e3b8e6bfaac6f43d3126b9e3b8e6c4dac8dd3d41424326",
       "软件状态=0&广告开启=1&广告内容=ABC&"},
  };
  for (const HexCase& c : cases) EXPECT_EQ(HexTextToText(c.hex), c.expected) << c.name;
}

TEST(HexTextToText, LeavesItsArgumentUnchanged) {
  const Text hex = "4A4B";
  EXPECT_EQ(HexTextToText(hex), "JK");
  EXPECT_EQ(hex, "4A4B");
}

}  // namespace
}  // namespace dsr

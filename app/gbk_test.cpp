// GBK conversions: well-formed text both ways, and what stands in for the
// bytes and characters that cannot be converted.
#include "app/gbk.h"

#include <gtest/gtest.h>

#include "app/controls.h"

namespace dsr {
namespace {

struct DecodeCase {
  const char* name;
  std::string gbk;
  std::u16string utf16;
};

TEST(GbkToUtf16, DecodesAndReplacesInvalidBytes) {
  const DecodeCase cases[] = {
      {"ascii", "abc 123", u"abc 123"},
      {"double-byte", "卖家帐号：", u"卖家帐号："},
      {"stray byte",
       "a\xFF"
       "b",
       u"a\uFFFDb"},
      {"lead byte at the end", "A\x81", u"A\uFFFD"},
      {"lead byte before an invalid trail byte", "\x81 x", u"\uFFFD x"},
      {"empty", "", u""},
  };
  for (const DecodeCase& c : cases) {
    EXPECT_EQ(GbkToUtf16(c.gbk), c.utf16) << c.name;
  }
}

struct EncodeCase {
  const char* name;
  std::u16string utf16;
  std::string gbk;
};

TEST(Utf16ToGbk, EncodesAndReplacesWhatGbkCannotHold) {
  const EncodeCase cases[] = {
      {"double-byte", u"张记小铺", "张记小铺"},
      {"character outside the BMP", u"a\U0001F600b", "a?b"},
      {"unpaired surrogate", u"x\xD800y", "x?y"},
      {"several in a row", u"\U0001F600\U0001F601", "??"},
      {"zero ends the text", std::u16string(u"ab\0cd", 5), "ab"},
  };
  for (const EncodeCase& c : cases) {
    EXPECT_EQ(Utf16ToGbk(c.utf16), c.gbk) << c.name;
  }
}

TEST(Utf8, BothWaysWithReplacements) {
  EXPECT_EQ(GbkToUtf8("信息："), "\xE4\xBF\xA1\xE6\x81\xAF\xEF\xBC\x9A");
  EXPECT_EQ(GbkToUtf8("\xFF"), "\xEF\xBF\xBD");
  EXPECT_EQ(Utf8ToGbk("\xE4\xBF\xA1\xE6\x81\xAF"), "信息");
  EXPECT_EQ(Utf8ToGbk("a\xF0\x9F\x98\x80"
                      "b"),
            "a?b");                         // U+1F600
  EXPECT_EQ(Utf8ToGbk("a\xE4\xBF"), "a?");  // cut short
}

TEST(Gbk, StartTextsOfTheWindowSurviveTheRoundTrip) {
  for (const ControlInfo& info : kControlTable) {
    const std::u16string shown = GbkToUtf16(info.startText);
    EXPECT_EQ(shown.find(u'\uFFFD'), std::u16string::npos) << info.startText;
    EXPECT_EQ(Utf16ToGbk(shown), info.startText);
  }
}

}  // namespace
}  // namespace dsr

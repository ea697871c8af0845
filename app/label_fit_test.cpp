// Tests of the label-fitting rule with a made-up font, and the one-line rule.
#include "app/label_fit.h"

#include <gtest/gtest.h>

#include <string>

namespace dsr {
namespace {

// A made-up font: an ASCII character is px / 2 + 1 wide, any other UTF-16
// unit px wide (11 px: 6 and 11; 8 px: 5 and 8).
int FakeWidth(std::u16string_view text, int px) {
  int w = 0;
  for (char16_t c : text) w += c < 0x80 ? px / 2 + 1 : px;
  return w;
}

TEST(FitLabelText, GrowsThenShrinksThenCuts) {
  const struct {
    const char* name;
    std::u16string text;
    int left, width, rightLimit, startPx;
    LabelFit fit;
  } cases[] = {
      {"fits", u"所需5分单数：0", 540, 108, 671, 11, {108, 11, false, 0}},
      {"fits to the pixel", u"所需5分单数：245565", 540, 108, 671, 11, {108, 11, false, 0}},
      {"empty", u"", 540, 108, 671, 11, {108, 11, false, 0}},
      {"grows as far as needed", u"所需5分单数：2455650", 540, 108, 671, 11, {114, 11, false, 0}},
      {"grows near the limit", u"所需5分单数：245565012", 540, 108, 671, 11, {126, 11, false, 0}},
      // 11 px: 66 + 13·6 = 144 > 131; 10 px: 60 + 13·6 = 138; 9 px: 54 + 13·5 = 119.
      {"shrinks the font", u"所需5分单数：245565012345", 540, 108, 671, 11, {119, 9, false, 0}},
      // At 8 px: 7 characters take 53, each digit 5, the ellipsis 8: 14 digits fit.
      {"cuts at the smallest font",
       u"所需5分单数：9223372036854775807",
       540,
       108,
       671,
       11,
       {131, 8, true, 21}},
      {"never narrower than its box",
       u"所需5分单数：2455650",
       540,
       108,
       600,
       11,
       {108, 10, false, 0}},
      {"a start font below the smallest is kept",
       u"所需5分单数：245565012345",
       540,
       60,
       600,
       7,
       {60, 7, true, 8}},
      // The cut would fall inside the pair after "ab": it keeps "ab".
      {"never splits a surrogate pair",
       u"ab\U0001F600\U0001F600\U0001F600",
       0,
       30,
       30,
       8,
       {30, 8, true, 2}},
      {"nothing fits but the ellipsis", u"所需", 0, 7, 7, 8, {7, 8, true, 0}},
  };
  for (const auto& c : cases) {
    const LabelFit fit = FitLabelText(c.text, c.left, c.width, c.rightLimit, c.startPx, FakeWidth);
    EXPECT_EQ(fit, c.fit) << c.name << ": " << fit.width << " " << fit.fontPx << " " << fit.elided
                          << " " << fit.keep;
    // Whatever is shown fits the label unless only the ellipsis is left.
    if (fit.keep > 0 || !fit.elided) {
      EXPECT_LE(FakeWidth(ShownLabelText(c.text, fit), fit.fontPx), fit.width) << c.name;
    }
  }
}

TEST(FitLabel, GrowsUpToTheNextControlOnItsRowElseTheClientEdge) {
  EXPECT_EQ(RightLimitOf(Control::标签11, 671), 671);  // the count labels have 23 px
  EXPECT_EQ(RightLimitOf(Control::标签13, 665), 665);
  EXPECT_EQ(RightLimitOf(Control::标签5, 671), 406);  // 标签8
  EXPECT_EQ(RightLimitOf(Control::标签2, 671), 171);  // 标签5
  EXPECT_EQ(RightLimitOf(Control::标签8, 671), 459);  // 编辑框2
  EXPECT_EQ(RightLimitOf(Control::标签1, 671), 139);  // 编辑框1
  EXPECT_EQ(RightLimitOf(Control::标签20, 671), 671);
  EXPECT_EQ(FitLabel(Control::标签12, u"所需5分单数：24556501234", 665, 11, FakeWidth),
            (LabelFit{114, 9, false, 0}));
}

TEST(ShownLabelText, KeptPartAndEllipsis) {
  EXPECT_EQ(ShownLabelText(u"abcdef", {10, 8, true, 3}), u"abc…");
  EXPECT_EQ(ShownLabelText(u"abcdef", {10, 8, false, 0}), u"abcdef");
}

TEST(OneLine, EachLineBreakIsOneSpace) {
  const struct {
    std::u16string text, shown;
  } cases[] = {
      {u"a\r\nb", u"a b"},
      {u"a\nb", u"a b"},
      {u"a\rb", u"a b"},
      {u"a\n\nb", u"a  b"},
      {u"a\n\rb", u"a  b"},
      {u"\r\n", u" "},
      {u"无法\t连接", u"无法\t连接"},
  };
  for (const auto& c : cases) EXPECT_EQ(OneLine(c.text), c.shown);
  EXPECT_EQ(OneLine(std::string_view("所需\r\n5\n")), "所需 5 ");
}

}  // namespace
}  // namespace dsr

// Tests of the five-star calculation handler under the headless window.
#include "ratings/calculate.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "app/headless_window.h"
#include "ratings/query.h"

namespace dsr {
namespace {

using ::testing::ElementsAre;

constexpr std::string_view kNoQuery = "先点击查询后在点击计算喔！";
constexpr std::string_view kTooHigh = "预估值不能为5或超过5，希望达到5分请输入4.99即可！！！";

class ComputeFiveStarNeedsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ReleaseSessionValues();
    UseWindowOperations(window.Operations());
    // As after a query: a line in 标签5.
    window.TextOf(Control::标签5) = "4.8分--1000人--高于同行业1";
  }
  void TearDown() override {
    UseWindowOperations({});
    ReleaseSessionValues();
  }

  void Expect(std::string_view description, std::string_view service, std::string_view shipping) {
    window.TextOf(Control::编辑框2) = Text(description);
    window.TextOf(Control::编辑框3) = Text(service);
    window.TextOf(Control::编辑框4) = Text(shipping);
  }
  std::vector<Text> Needed() {
    return {window.TextOf(Control::标签11), window.TextOf(Control::标签12),
            window.TextOf(Control::标签13)};
  }

  HeadlessWindow window;
};

TEST_F(ComputeFiveStarNeedsTest, EachRowUsesItsOwnReadingsBoxAndLabel) {
  CurrentSessionReadings() = {"1000", "4.8", "100", "4.1", "12345", "4.95"};
  Expect("4.9", "4.8", "4.99");
  ComputeFiveStarNeeds();
  EXPECT_THAT(Needed(), ElementsAre("所需5分单数：1000", "所需5分单数：350", "所需5分单数：49380"));
  EXPECT_THAT(window.messages, ::testing::IsEmpty());
}

TEST_F(ComputeFiveStarNeedsTest, ShowsEveryCountThatFollowsFromTheTexts) {
  struct Case {
    const char* name;
    const char* score;
    const char* raters;
    const char* expected;
    const char* line;
  };
  const Case cases[] = {
      {"default expected value", "4.8", "1000", "4.99", "所需5分单数：19000"},
      {"expected equal to the score", "4.8", "1000", "4.8", "所需5分单数：0"},
      {"expected below the score", "4.8", "1000", "4.7", "所需5分单数：0"},
      {"a whole answer that doubles make one short", "4.7", "100", "4.8", "所需5分单数：50"},
      {"a count that is not whole is rounded up", "4.82322", "1234", "4.99", "所需5分单数：20581"},
      {"zero raters", "4.8", "0", "4.99", "所需5分单数：1"},
      {"empty expected box", "4.8", "1000", "", "所需5分单数：0"},
      {"expected box without a number", "4.8", "1000", "abc", "所需5分单数：0"},
      {"negative expected value", "4.8", "1000", "-1", "所需5分单数：0"},
      {"full-width digits", "4.8", "1000", "４．９９", "所需5分单数：19000"},
      {"count beyond 32 bits", "4", "3000000000", "4.5", "所需5分单数：3000000000"},
      {"expected reads as 5", "4.8", "1000", "4.99999999999999999999", "所需5分单数：无法达到"},
      {"expected of 49 passes the integer guard", "4.9", "100", "4.9e1", "所需5分单数：无法达到"},
      {"readings of a failed query", "", "", "4.99", "所需5分单数：无数据"},
      {"score not read", "", "1000", "4.99", "所需5分单数：无数据"},
      {"rater count not read", "4.8", "", "4.99", "所需5分单数：无数据"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CurrentSessionReadings() = {c.raters, c.score, c.raters, c.score, c.raters, c.score};
    Expect(c.expected, c.expected, c.expected);
    ComputeFiveStarNeeds();
    EXPECT_THAT(Needed(), ElementsAre(c.line, c.line, c.line));
  }
  EXPECT_THAT(window.messages, ::testing::IsEmpty());
}

TEST_F(ComputeFiveStarNeedsTest, ARowWithoutDataLeavesTheOthersComputed) {
  CurrentSessionReadings() = {"1000", "4.8", "", "", "1234", "4.8"};
  Expect("4.99", "4.99", "4.99");
  ComputeFiveStarNeeds();
  EXPECT_THAT(Needed(),
              ElementsAre("所需5分单数：19000", "所需5分单数：无数据", "所需5分单数：23446"));
}

TEST_F(ComputeFiveStarNeedsTest, BeforeAnyQueryShowsTheMessageAndChangesNothing) {
  window.TextOf(Control::标签5) = "";
  CurrentSessionReadings() = {"1000", "4.8", "1000", "4.8", "1000", "4.8"};
  ComputeFiveStarNeeds();
  EXPECT_THAT(window.messages, ElementsAre(kNoQuery));
  EXPECT_THAT(Needed(), ElementsAre("", "", ""));
}

TEST_F(ComputeFiveStarNeedsTest, ExpectedValueOfFiveOrMoreInAnyBoxShowsTheMessage) {
  CurrentSessionReadings() = {"1000", "4.8", "1000", "4.8", "1000", "4.8"};
  for (int box = 0; box < 3; ++box) {
    for (const char* tooHigh : {"5", "5.5", "6", " 5", "５"}) {
      SCOPED_TRACE(std::to_string(box) + ": " + tooHigh);
      window.messages.clear();
      for (Control c : {Control::标签11, Control::标签12, Control::标签13}) {
        window.TextOf(c) = "所需5分单数：7";
      }
      Expect(box == 0 ? tooHigh : "4.99", box == 1 ? tooHigh : "4.99", box == 2 ? tooHigh : "4.99");
      ComputeFiveStarNeeds();
      EXPECT_THAT(window.messages, ElementsAre(kTooHigh));
      EXPECT_THAT(Needed(), ElementsAre("所需5分单数：7", "所需5分单数：7", "所需5分单数：7"));
    }
  }
}

}  // namespace
}  // namespace dsr

// Tests of reading the three ratings out of a rating page and of their lines.
#include "ratings/dsr.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace dsr {
namespace {

using namespace std::string_view_literals;

// Pieces of a rating page.
constexpr std::string_view kDescription = "宝贝与描述相符";
constexpr std::string_view kService = "卖家的服务态度";
constexpr std::string_view kShipping = "卖家发货的速度";
constexpr std::string_view kScore = "title=\"";
constexpr std::string_view kOver = " over\">";
constexpr std::string_view kLower = " lower\">";
constexpr std::string_view kHigherTest = "店铺得分-同行业平均分";

// marker, score marker, score, "分", "共<span>", count, "</span>", "人".
Text Values(std::string_view marker, std::string_view score, std::string_view count) {
  return Join({marker, kScore, score, "分共<span>", count, "</span>人"});
}

// The page of the worked example: a higher-than description, a lower-than
// service and no shipping rating.
const Text kWorkedExample =
    Join({Values(kDescription, "4.8", "1234"), kHigherTest, kOver, "12.34</strong",
          Values(kService, "4.7", "567"), kLower, "5.67</strong"});

struct ExtractCase {
  const char* name;
  Text page;
  DsrDimension dimension;
  std::string_view score;
  std::string_view raterCount;
  std::string_view comparison;
};

TEST(ExtractDsrReading, Table) {
  const ExtractCase cases[] = {
      {"worked example, description", kWorkedExample, DsrDimension::Description, "4.8", "1234",
       "高于同行业12.34"},
      {"worked example, service", kWorkedExample, DsrDimension::Service, "4.7", "567",
       "低于同行业5.67"},
      {"worked example, shipping", kWorkedExample, DsrDimension::Shipping, "", "", "低于同行业"},
      {"no 人 after the marker",
       Join({kDescription, kScore, "4.8分共<span>9</span>", kHigherTest, kOver, "1</strong"}),
       DsrDimension::Description, "", "", "高于同行业1"},
      {"no /strong after the marker",
       Join({Values(kDescription, "4.8", "9"), kHigherTest, kOver, "1<"}),
       DsrDimension::Description, "4.8", "9", "低于同行业"},
      {"higher test without over marker",
       Join({Values(kDescription, "4.8", "9"), kHigherTest, "/strong"}), DsrDimension::Description,
       "4.8", "9", "高于同行业"},
      {"over marker without higher test",
       Join({Values(kDescription, "4.8", "9"), kOver, "1.5</strong"}), DsrDimension::Description,
       "4.8", "9", "低于同行业"},
      {"lower marker ignored on the higher branch",
       Join({Values(kDescription, "4.8", "9"), kLower, "2<", kHigherTest, kOver, "3</strong"}),
       DsrDimension::Description, "4.8", "9", "高于同行业3"},
      {"人 inside a word before the count",
       Join({kDescription, kScore, "4.8分个人共<span>9</span>人/strong"}),
       DsrDimension::Description, "4.8", "", "低于同行业"},
      {"人 before the score", Join({kDescription, "人", kScore, "4.8分共<span>9</span>人/strong"}),
       DsrDimension::Description, "", "", "低于同行业"},
      {"the first marker governs",
       Join({kDescription, "x人/strong", Values(kDescription, "4.9", "5"), kHigherTest, kOver,
             "1</strong"}),
       DsrDimension::Description, "", "", "低于同行业"},
      {"missing /strong runs into the next rating",
       Join({Values(kDescription, "4.8", "1"), Values(kService, "4.7", "2"), kLower,
             "5.67</strong"}),
       DsrDimension::Description, "4.8", "1", "低于同行业5.67"},
      {"right marker directly after left",
       Join({kDescription, kScore, "分共<span></span>人/strong"}), DsrDimension::Description, "",
       "", "低于同行业"},
      {"fields are not trimmed", Join({Values(kDescription, " 4.8 ", " 1,234 "), "/strong"}),
       DsrDimension::Description, " 4.8 ", " 1,234 ", "低于同行业"},
      {"ASCII markers are case-sensitive",
       Join({Values(kDescription, "4.8", "9"), kHigherTest, " Over\">1</strong"}),
       DsrDimension::Description, "4.8", "9", "高于同行业"},
      // The marker's bytes standing one byte into a character are no marker.
      {"marker across character boundaries", Join({"\xB0", Values(kDescription, "4.8", "9")}),
       DsrDimension::Description, "", "", "低于同行业"},
      {"人 across character boundaries",
       Join({kDescription, kScore, "4.8分\xB0\xC8\xCBx共<span>9</span>人"}),
       DsrDimension::Description, "4.8", "9", "低于同行业"},
      // Joining stops at the zero byte, so the page is built by hand.
      {"page ends at a zero byte", Text(Join({kDescription, kScore, "4.8"})) + '\0' + "分",
       DsrDimension::Description, "", "", "低于同行业"},
      {"UTF-8 page",
       Text(reinterpret_cast<const char*>(u8"宝贝与描述相符title=\"4.8分共<span>9</span>人")),
       DsrDimension::Description, "", "", "低于同行业"},
      {"shipping read on its own", Join({Values(kShipping, "4.6", "3"), kLower, "0.1</strong"}),
       DsrDimension::Shipping, "4.6", "3", "低于同行业0.1"},
  };
  for (const ExtractCase& c : cases) {
    const DsrReading r = ExtractDsrReading(c.page, c.dimension);
    EXPECT_EQ(r.score, c.score) << c.name;
    EXPECT_EQ(r.raterCount, c.raterCount) << c.name;
    EXPECT_EQ(r.comparison, c.comparison) << c.name;
  }
}

TEST(ExtractDsrReading, EmptyPageGivesEmptyReadings) {
  for (const DsrDimensionRow& row : kDsrDimensions) {
    const DsrReading r = ExtractDsrReading("", row.dimension);
    EXPECT_EQ(r.score, "");
    EXPECT_EQ(r.raterCount, "");
    EXPECT_EQ(r.comparison, "低于同行业");
  }
}

TEST(FormatReadingLine, WorkedExampleLines) {
  const std::string_view expected[] = {"4.8分--1234人--高于同行业12.34",
                                       "4.7分--567人--低于同行业5.67", "分--人--低于同行业"};
  for (std::size_t i = 0; i < kDsrDimensions.size(); ++i) {
    EXPECT_EQ(FormatReadingLine(ExtractDsrReading(kWorkedExample, kDsrDimensions[i].dimension)),
              expected[i]);
  }
}

TEST(DsrDimensions, MarkersAndRows) {
  const std::string_view bytes[] = {
      "\xB1\xA6\xB1\xB4\xD3\xEB\xC3\xE8\xCA\xF6\xCF\xE0\xB7\xFB",
      "\xC2\xF4\xBC\xD2\xB5\xC4\xB7\xFE\xCE\xF1\xCC\xAC\xB6\xC8",
      "\xC2\xF4\xBC\xD2\xB7\xA2\xBB\xF5\xB5\xC4\xCB\xD9\xB6\xC8",
  };
  const DsrDimension order[] = {DsrDimension::Description, DsrDimension::Service,
                                DsrDimension::Shipping};
  for (std::size_t i = 0; i < kDsrDimensions.size(); ++i) {
    const DsrDimensionRow& row = kDsrDimensions[i];
    EXPECT_EQ(row.dimension, order[i]);
    EXPECT_EQ(row.marker, bytes[i]);
    EXPECT_EQ(row.nameCaption, Join({row.marker, "DSR当前值："}));
    EXPECT_EQ(&DimensionRow(row.dimension), &row);
  }
}

TEST(SessionReadings, FieldsOfEachRating) {
  SessionReadings s;
  RaterCountOf(s, DsrDimension::Description) = Text("1");
  ScoreOf(s, DsrDimension::Description) = Text("2");
  RaterCountOf(s, DsrDimension::Service) = Text("3");
  ScoreOf(s, DsrDimension::Service) = Text("4");
  RaterCountOf(s, DsrDimension::Shipping) = Text("5");
  ScoreOf(s, DsrDimension::Shipping) = Text("6");
  EXPECT_EQ(Join({s.descriptionRaterCount, s.descriptionScore, s.serviceRaterCount, s.serviceScore,
                  s.shippingRaterCount, s.shippingScore}),
            "123456");
  const SessionReadings& view = s;
  EXPECT_EQ(ScoreOf(view, DsrDimension::Shipping), "6");
  EXPECT_EQ(RaterCountOf(view, DsrDimension::Service), "3");
}

}  // namespace
}  // namespace dsr

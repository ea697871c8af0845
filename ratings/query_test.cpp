// Tests of the seller query under the headless window, against a local web
// site that stands in for the profile and rating hosts.
#include "ratings/query.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/addresses.h"
#include "app/headless_window.h"
#include "ratings/calculate.h"
#include "ratings/query_test_site.h"

namespace dsr {
namespace {

using ::testing::ElementsAre;

const std::string kNoConnection(kNoConnectionLine);
const std::string kSellerNotFound(kSellerNotFoundLine);
const std::string kBlockNotFound(kBlockNotFoundLine);

std::string ProfileTarget(std::string_view account) {
  return "/member/userProfile.jhtml?&userID=" + std::string(account);
}

std::string RatingTarget(std::string_view id) { return "/user-rate-" + std::string(id) + ".htm"; }

// A profile page linking the rating page of `id`.
std::string ProfilePage(std::string_view id) {
  return "<html><a href=\"" + RatingAddressPrefix() + std::string(id) +
         ".htm\">信用评价</a></html>";
}

// One rating's block on the rating page.
std::string Block(std::string_view marker, std::string_view score, std::string_view raters,
                  bool higher, std::string_view vs) {
  return std::string(marker) + "<em title=\"" + std::string(score) + "分\"></em>共<span>" +
         std::string(raters) + "</span>人" +
         (higher ? "店铺得分-同行业平均分 over\">" : " lower\">") + std::string(vs) + "</strong>";
}

// A rating page with the first two ratings and none of the third.
const std::string kRatingPage = "<html>" + Block("宝贝与描述相符", "4.8", "1234", true, "12.34") +
                                Block("卖家的服务态度", "4.7", "567", false, "5.67") + "</html>";
const std::string kDescriptionLine = "4.8分--1234人--高于同行业12.34";
const std::string kServiceLine = "4.7分--567人--低于同行业5.67";

class QuerySellerRatingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ReleaseSessionValues();
    UseWindowOperations(window.Operations());
  }
  void TearDown() override {
    UseWindowOperations({});
    ReleaseSessionValues();
  }

  Text& Box(Control c) { return window.TextOf(c); }
  std::vector<Text> Lines() {
    return {Box(Control::标签5), Box(Control::标签6), Box(Control::标签7)};
  }
  std::vector<Text> Needed() {
    return {Box(Control::标签11), Box(Control::标签12), Box(Control::标签13)};
  }
  static std::vector<Text> Kept() {
    const SessionReadings& r = CurrentSessionReadings();
    return {r.descriptionRaterCount, r.descriptionScore,   r.serviceRaterCount,
            r.serviceScore,          r.shippingRaterCount, r.shippingScore};
  }
  static void Keep(std::vector<Text> six) {
    SessionReadings& r = CurrentSessionReadings();
    r = {six[0], six[1], six[2], six[3], six[4], six[5]};
  }

  HeadlessWindow window;
};

TEST_F(QuerySellerRatingsTest, AddressPrefixesUseTheConfiguredHosts) {
  EXPECT_EQ(ProfileAddressPrefix(),
            "http://" + std::string(kProfileHost) + "/member/userProfile.jhtml?&userID=");
  EXPECT_EQ(RatingAddressPrefix(), "http://" + std::string(kRatingHost) + "/user-rate-");
}

TEST_F(QuerySellerRatingsTest, FollowsTheProfileToTheRatingPageAndShowsTheThreeLines) {
  LocalSite site;
  // GBK bytes and "&" go out as typed; the transport writes "#" as %23 so
  // that it stays in the path.
  const std::string account = "淘宝店&a#1";
  const std::string sent = "淘宝店&a%231";
  site.Serve(ProfileTarget(sent), ProfilePage("UID42"));
  site.Serve(RatingTarget("UID42"), kRatingPage);
  Box(Control::编辑框1) = account;

  QuerySellerRatings();

  const auto received = site.Received();
  ASSERT_EQ(received.size(), 2u);
  EXPECT_EQ(received[0].method, "GET");
  EXPECT_EQ(received[0].host, kProfileHost);
  EXPECT_EQ(received[0].target, ProfileTarget(sent));
  EXPECT_EQ(received[1].method, "GET");
  EXPECT_EQ(received[1].host, kRatingHost);
  EXPECT_EQ(received[1].target, RatingTarget("UID42"));
  EXPECT_THAT(Lines(), ElementsAre(kDescriptionLine, kServiceLine, kBlockNotFound));
  EXPECT_THAT(Kept(), ElementsAre("1234", "4.8", "567", "4.7", "", ""));
  EXPECT_THAT(window.messages, ::testing::IsEmpty());
}

TEST_F(QuerySellerRatingsTest, EmptyAccountGivesTheMessageAndNothingElse) {
  LocalSite site;
  Box(Control::标签5) = kDescriptionLine;
  Box(Control::标签6) = kServiceLine;
  Box(Control::标签7) = kBlockNotFound;
  Box(Control::标签11) = "所需5分单数：7";
  Keep({"1234", "4.8", "567", "4.7", "", ""});

  QuerySellerRatings();

  EXPECT_THAT(window.messages, ElementsAre("请先输入要查询的淘宝卖家帐号名称！"));
  EXPECT_THAT(site.Received(), ::testing::IsEmpty());
  EXPECT_THAT(Lines(), ElementsAre(kDescriptionLine, kServiceLine, kBlockNotFound));
  EXPECT_EQ(Box(Control::标签11), "所需5分单数：7");
  EXPECT_THAT(Kept(), ElementsAre("1234", "4.8", "567", "4.7", "", ""));
}

TEST_F(QuerySellerRatingsTest, FailedRequestsReplaceEverythingWithEmptyReadings) {
  LocalSite site;
  site.RefuseConnections();
  Keep({"1234", "4.8", "567", "4.7", "89", "4.6"});
  Box(Control::编辑框1) = "someone";

  QuerySellerRatings();

  EXPECT_THAT(Lines(), ElementsAre(kNoConnection, kNoConnection, kNoConnection));
  EXPECT_THAT(Kept(), ElementsAre("", "", "", "", "", ""));
  EXPECT_THAT(window.messages, ::testing::IsEmpty());
}

TEST_F(QuerySellerRatingsTest, CutsTheRatingPageIdFromTheProfilePage) {
  struct Case {
    const char* name;
    std::string account;
    std::string sentAccount;                 // as the server sees it
    std::optional<std::string> profilePage;  // none: 404 without a body
    std::string ratingTarget;
    std::string line;  // of every row: no rating page is served
  };
  const std::string prefix = RatingAddressPrefix();
  const Case cases[] = {
      {"no profile page", "a", "a", std::nullopt, RatingTarget(""), kNoConnection},
      {"no link on the page", "a", "a", "<html>没有此用户</html>", RatingTarget(""),
       kSellerNotFound},
      {"link with another scheme", "a", "a",
       "<a href=\"https://" + std::string(kRatingHost) + "/user-rate-X1.htm\">", RatingTarget(""),
       kSellerNotFound},
      {"first of two links", "a", "a", ProfilePage("X1") + ProfilePage("X2"), RatingTarget("X1"),
       kNoConnection},
      {"first .htm far on", "a", "a", "<a href=\"" + prefix + "X1\">x</a><a href=\"/b.htm\">",
       RatingTarget("X1\">x</a><a%20href=\"/b"), kNoConnection},
      {"account of spaces", "  ", "%20%20", ProfilePage("X3"), RatingTarget("X3"), kNoConnection},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LocalSite site;
    if (c.profilePage) site.Serve(ProfileTarget(c.sentAccount), *c.profilePage);
    Box(Control::编辑框1) = c.account;
    QuerySellerRatings();
    EXPECT_THAT(site.Targets(), ElementsAre(ProfileTarget(c.sentAccount), c.ratingTarget));
    EXPECT_THAT(Lines(), ElementsAre(c.line, c.line, c.line));
  }
}

TEST_F(QuerySellerRatingsTest, NestedQueryRunsInsideTheFirstFetchAndTheOuterOneRemains) {
  LocalSite site;
  site.Serve(ProfileTarget("outer"), ProfilePage("OUT"));
  site.Serve(RatingTarget("OUT"), kRatingPage);
  site.Serve(ProfileTarget("inner"), ProfilePage("IN"));
  site.Serve(RatingTarget("IN"), Block("卖家发货的速度", "4.9", "10", true, "1.00"));
  Box(Control::编辑框1) = "outer";
  std::vector<Text> innerLines;
  window.pendingEvents.push_back([&] {
    Box(Control::编辑框1) = "inner";
    QuerySellerRatings();
    innerLines = Lines();
  });

  QuerySellerRatings();

  EXPECT_THAT(innerLines,
              ElementsAre(kBlockNotFound, kBlockNotFound, "4.9分--10人--高于同行业1.00"));
  EXPECT_THAT(site.Targets(), ElementsAre(ProfileTarget("outer"), ProfileTarget("inner"),
                                          RatingTarget("IN"), RatingTarget("OUT")));
  EXPECT_THAT(Lines(), ElementsAre(kDescriptionLine, kServiceLine, kBlockNotFound));
  EXPECT_THAT(Kept(), ElementsAre("1234", "4.8", "567", "4.7", "", ""));
}

TEST_F(QuerySellerRatingsTest, CalculationDuringAQuerySeesTheLastFinishedQuery) {
  LocalSite site;
  site.Serve(ProfileTarget("first"), ProfilePage("F"));
  site.Serve(RatingTarget("F"), Block("宝贝与描述相符", "4.8", "1000", true, "1") +
                                    Block("卖家的服务态度", "4.7", "100", true, "1") +
                                    Block("卖家发货的速度", "4.95", "12345", true, "1"));
  site.Serve(ProfileTarget("second"), ProfilePage("S"));
  site.Serve(RatingTarget("S"), kRatingPage);

  // During the first query nothing has been shown yet.
  Box(Control::编辑框1) = "first";
  window.pendingEvents.push_back([] { ComputeFiveStarNeeds(); });
  QuerySellerRatings();
  EXPECT_THAT(window.messages, ElementsAre("先点击查询后在点击计算喔！"));
  EXPECT_EQ(Box(Control::标签11), "");

  // During the second query the first one's readings count.
  Box(Control::编辑框1) = "second";
  Box(Control::编辑框3) = "4.8";
  std::vector<Text> seen;
  window.pendingEvents.push_back([&] {
    ComputeFiveStarNeeds();
    seen = {Box(Control::标签11), Box(Control::标签12), Box(Control::标签13)};
  });
  QuerySellerRatings();
  EXPECT_THAT(seen, ElementsAre("所需5分单数：19000", "所需5分单数：50", "所需5分单数：49380"));
  EXPECT_THAT(Lines(), ElementsAre(kDescriptionLine, kServiceLine, kBlockNotFound));
  // The second seller's lines stand without the first one's counts.
  EXPECT_THAT(Needed(), ElementsAre("", "", ""));
  EXPECT_THAT(window.messages, ::testing::SizeIs(1));
}

TEST_F(QuerySellerRatingsTest, FetchSellerReadingsSaysWhyEachRowIsEmpty) {
  LocalSite site;
  site.Serve(ProfileTarget("shop"), ProfilePage("S1"));
  site.Serve(RatingTarget("S1"), kRatingPage);
  site.Serve(ProfileTarget("nolink"), "<html>没有此用户</html>");
  site.Serve(ProfileTarget("gone"), ProfilePage("GONE"));
  site.Serve(ProfileTarget("other"), ProfilePage("O1"));
  site.Serve(RatingTarget("O1"), "<html>另一种页面</html>");
  const auto textsBefore = window.texts;
  using F = QueryFailure;
  const struct {
    const char* account;
    std::array<QueryFailure, 3> failures;
  } cases[] = {
      {"shop", {F::None, F::None, F::BlockNotFound}},
      {"nobody", {F::NoConnection, F::NoConnection, F::NoConnection}},  // 404 without a body
      {"nolink", {F::SellerNotFound, F::SellerNotFound, F::SellerNotFound}},
      {"gone", {F::NoConnection, F::NoConnection, F::NoConnection}},  // rating page empty
      {"other", {F::BlockNotFound, F::BlockNotFound, F::BlockNotFound}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.account);
    const SellerQueryResult r = FetchSellerReadings(c.account);
    EXPECT_EQ(r.failures, c.failures);
  }
  EXPECT_EQ(FetchSellerReadings("shop").readings[1].comparison, "低于同行业5.67");
  // No window operation but the fetch's own; nothing kept.
  EXPECT_EQ(window.texts, textsBefore);
  EXPECT_THAT(window.messages, ::testing::IsEmpty());
  EXPECT_THAT(Kept(), ElementsAre("", "", "", "", "", ""));
}

TEST(FormatResultLine, FailureLinesAndAComparisonWithoutAFigure) {
  const struct {
    DsrReading reading;
    QueryFailure failure;
    const char* line;
  } cases[] = {
      {{"4.8", "1234", "高于同行业12.34%"}, QueryFailure::None, "4.8分--1234人--高于同行业12.34%"},
      {{"4.8", "1234", "高于同行业"}, QueryFailure::None, "4.8分--1234人"},
      {{"4.8", "", "低于同行业"}, QueryFailure::None, "4.8分--人"},
      {{"", "", "低于同行业"}, QueryFailure::NoConnection, "无法连接淘宝网，请检查网络连接"},
      {{"", "", "低于同行业"}, QueryFailure::SellerNotFound, "找不到该卖家，请检查帐号名称"},
      {{"", "1234", "低于同行业1"},
       QueryFailure::BlockNotFound,
       "无法读取评分，页面格式可能已改变"},
      {{"", "", "低于同行业"}, QueryFailure::None, "无法读取评分，页面格式可能已改变"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatResultLine(c.reading, c.failure), c.line) << c.line;
  }
}

TEST(ReleaseSessionValues, EmptiesAllSixTexts) {
  CurrentSessionReadings() = {"1", "2", "3", "4", "5", "6"};
  ReleaseSessionValues();
  const SessionReadings& r = CurrentSessionReadings();
  for (const Text* t : {&r.descriptionRaterCount, &r.descriptionScore, &r.serviceRaterCount,
                        &r.serviceScore, &r.shippingRaterCount, &r.shippingScore}) {
    EXPECT_EQ(*t, "");
  }
}

// As the program does it: registered before anything else, then readings are
// kept, then the program ends. A handler registered before it runs after it
// and reports what it left.
TEST(ReleaseSessionValues, RunsSafelyAtExitAfterAQuery) {
  const auto run = [] {
    std::atexit([] {
      const SessionReadings& r = CurrentSessionReadings();
      std::fprintf(stderr, "left at exit: [%s]\n",
                   (r.descriptionRaterCount + r.descriptionScore + r.shippingScore).c_str());
    });
    std::atexit(ReleaseSessionValues);
    SessionReadings& kept = CurrentSessionReadings();
    kept.descriptionRaterCount = std::string(100, '1');
    kept.descriptionScore = "4.8";
    kept.shippingScore = "4.9";
    std::exit(0);
  };
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(run(), ::testing::ExitedWithCode(0), "left at exit: \\[\\]");
}

}  // namespace
}  // namespace dsr

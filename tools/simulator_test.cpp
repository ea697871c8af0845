// The simulator's pages are read by the tool as seeded: the profile page
// leads to the rating page, the rating page gives the seeded ratings, the
// announcement page gives its record back; the server answers by account.
#include <gtest/gtest.h>

#include "ratings/dsr.h"
#include "text/between.h"
#include "tools/simulator_site.h"

namespace dsr {
namespace {

TEST(SimulatorPages, RatingPageReadsAsSeeded) {
  for (const SimulatedSeller& seller : SeededSellers()) {
    const Text page = RatingPage(seller);
    for (size_t i = 0; i < kDsrDimensions.size(); ++i) {
      const SimulatedRating& r = seller.ratings[i];
      const DsrReading reading = ExtractDsrReading(page, kDsrDimensions[i].dimension);
      if (!seller.showsRatings) {
        EXPECT_EQ(reading.score, "") << seller.account << " " << i;
        continue;
      }
      EXPECT_EQ(reading.score, r.score) << seller.account << " " << i;
      EXPECT_EQ(reading.raterCount, r.raterCount) << seller.account << " " << i;
      EXPECT_EQ(reading.comparison, (r.higher ? "高于同行业" : "低于同行业") + r.difference)
          << seller.account << " " << i;
    }
  }
}

TEST(SimulatorPages, ProfilePageLinksTheRatingPage) {
  for (const SimulatedSeller& seller : SeededSellers()) {
    const Text page = ProfilePage(seller, "rate.example:8080");
    EXPECT_EQ(TextBetween(page, "http://rate.example:8080/user-rate-", ".htm"), seller.ratingId);
  }
  EXPECT_EQ(TextBetween(UnknownAccountPage("nobody<b>"), "/user-rate-", ".htm"), "");
  EXPECT_EQ(UnknownAccountPage("<b>").find("<b>"), std::string::npos);
}

TEST(SimulatorPages, AnnouncementPageGivesItsRecordBack) {
  const AnnouncementRecord records[] = {
      DefaultAnnouncement(),
      {"2", "请升级到新版本", "0", "", ""},
      {"0", "", "1", "ABC", ""},
  };
  for (const AnnouncementRecord& record : records) {
    EXPECT_EQ(ReadAnnouncement(AnnouncementPage(record)), record) << record.notice;
  }
}

TEST(SimulatorPages, PercentDecodeKeepsWhatIsNotAnEscape) {
  EXPECT_EQ(PercentDecode("%D5%C5a%2"),
            "\xD5\xC5"
            "a%2");
  EXPECT_EQ(PercentDecode("a+b%zz"), "a+b%zz");
}

TEST(SimulatorServer, AnswersByAccountRawOrEscaped) {
  SimulatorOptions options;
  options.port = 0;
  options.ratingHost = "rate.example";
  SimulatorThread simulator(options);
  ASSERT_GT(simulator.Port(), 0);
  httplib::Client client("127.0.0.1", simulator.Port());

  const SimulatedSeller& chinese = SeededSellers()[1];
  ASSERT_EQ(chinese.account, "张记小铺");
  struct Case {
    std::string target;
    int status;
    std::string id;
  } cases[] = {
      {"/member/userProfile.jhtml?&userID=vrenlo_shop", 200, "10001"},
      {"/member/userProfile.jhtml?&userID=" + chinese.account, 200, "20002"},
      {"/member/userProfile.jhtml?&userID=%D5%C5%BC%C7%D0%A1%C6%CC", 200, "20002"},
      {"/member/userProfile.jhtml?&userID=nobody", 404, ""},
  };
  for (const Case& c : cases) {
    auto res = client.Get(c.target);
    ASSERT_TRUE(res) << c.target;
    EXPECT_EQ(res->status, c.status) << c.target;
    EXPECT_EQ(TextBetween(res->body, "http://rate.example/user-rate-", ".htm"), c.id) << c.target;
  }

  auto rating = client.Get("/user-rate-20002.htm");
  ASSERT_TRUE(rating);
  EXPECT_EQ(rating->body, RatingPage(chinese));
  auto unknown = client.Get("/user-rate-.htm");
  ASSERT_TRUE(unknown);
  EXPECT_EQ(unknown->status, 404);
  auto announce = client.Get("/announce.html");
  ASSERT_TRUE(announce);
  EXPECT_EQ(ReadAnnouncement(announce->body), DefaultAnnouncement());
}

TEST(SimulatorServer, RefusesAPortOnWhichAnotherListens) {
  SimulatorOptions options;
  options.port = 0;
  SimulatorThread first(options);
  ASSERT_GT(first.Port(), 0);
  options.port = first.Port();
  SimulatorThread second(options);
  EXPECT_EQ(second.Port(), -1);
  // The first one still answers.
  httplib::Client client("127.0.0.1", first.Port());
  auto res = client.Get("/announce.html");
  ASSERT_TRUE(res);
  EXPECT_EQ(res->status, 200);
}

}  // namespace
}  // namespace dsr

// The seller query and the readings it keeps for the calculation.
#include "ratings/query.h"

#include <array>

#include "app/addresses.h"
#include "app/controls.h"
#include "app/window_ops.h"
#include "text/between.h"
#include "web/fetch.h"

namespace dsr {

SessionReadings& CurrentSessionReadings() {
  // Never destroyed: `ReleaseSessionValues` runs at exit, after the
  // destructors of objects made after it was registered.
  static SessionReadings* const readings = new SessionReadings();
  return *readings;
}

void ReleaseSessionValues() {
  SessionReadings& r = CurrentSessionReadings();
  r.descriptionRaterCount.clear();
  r.descriptionScore.clear();
  r.serviceRaterCount.clear();
  r.serviceScore.clear();
  r.shippingRaterCount.clear();
  r.shippingScore.clear();
}

Text ProfileAddressPrefix() {
  return Join({"http://", kProfileHost, "/member/userProfile.jhtml?&userID="});
}

Text RatingAddressPrefix() { return Join({"http://", kRatingHost, "/user-rate-"}); }

SellerQueryResult FetchSellerReadings(const Text& account) {
  const Text ratingPrefix = RatingAddressPrefix();
  const Text profilePage = FetchPageText(ProfileAddressPrefix() + account);
  const Text id = TextBetween(profilePage, ratingPrefix, ".htm");
  const Text ratingPage = FetchPageText(Join({ratingPrefix, id, ".htm"}));

  QueryFailure pageFailure = QueryFailure::BlockNotFound;
  if (profilePage.empty() || (!id.empty() && ratingPage.empty())) {
    pageFailure = QueryFailure::NoConnection;
  } else if (id.empty()) {
    pageFailure = QueryFailure::SellerNotFound;
  }
  SellerQueryResult result;
  for (std::size_t i = 0; i < kDsrDimensions.size(); ++i) {
    result.readings[i] = ExtractDsrReading(ratingPage, kDsrDimensions[i].dimension);
    result.failures[i] = result.readings[i].score.empty() ? pageFailure : QueryFailure::None;
  }
  return result;
}

Text FormatResultLine(const DsrReading& reading, QueryFailure failure) {
  if (reading.score.empty()) {
    switch (failure) {
      case QueryFailure::NoConnection:
        return Text(kNoConnectionLine);
      case QueryFailure::SellerNotFound:
        return Text(kSellerNotFoundLine);
      case QueryFailure::None:
      case QueryFailure::BlockNotFound:
        break;
    }
    return Text(kBlockNotFoundLine);
  }
  // The comparison is its ten-byte prefix and the figure cut after it.
  constexpr std::size_t kComparisonPrefix = 10;
  if (reading.comparison.size() <= kComparisonPrefix) {
    return Join({reading.score, "分--", reading.raterCount, "人"});
  }
  return FormatReadingLine(reading);
}

void QuerySellerRatings() {
  const Text account = ReadEditText(Control::编辑框1);
  if (account.empty()) {
    ShowMessageBox("请先输入要查询的淘宝卖家帐号名称！");
    return;
  }
  const SellerQueryResult result = FetchSellerReadings(account);

  // From here on no window event runs: the readings and the lines are written
  // together, so a calculation never sees half of two queries.
  SessionReadings& session = CurrentSessionReadings();
  for (std::size_t i = 0; i < kDsrDimensions.size(); ++i) {
    const DsrDimension d = kDsrDimensions[i].dimension;
    RaterCountOf(session, d) = result.readings[i].raterCount;
    ScoreOf(session, d) = result.readings[i].score;
  }
  for (std::size_t i = 0; i < kDsrDimensions.size(); ++i) {
    SetLabelCaption(kDsrDimensions[i].resultLabel,
                    FormatResultLine(result.readings[i], result.failures[i]));
  }
  // The counts of an earlier seller no longer belong to these lines.
  for (const DsrDimensionRow& row : kDsrDimensions) SetLabelCaption(row.neededLabel, "");
}

}  // namespace dsr

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
  for (Text* field : {&r.descriptionRaterCount, &r.descriptionScore, &r.serviceRaterCount,
                      &r.serviceScore, &r.shippingRaterCount, &r.shippingScore}) {
    if (!field->empty()) Text().swap(*field);  // frees its storage too
  }
}

Text ProfileAddressPrefix() {
  return Join({"http://", kProfileHost, "/member/userProfile.jhtml?&userID="});
}

Text RatingAddressPrefix() { return Join({"http://", kRatingHost, "/user-rate-"}); }

void QuerySellerRatings() {
  const Text account = ReadEditText(Control::编辑框1);
  if (account.empty()) {
    ShowMessageBox("请先输入要查询的淘宝卖家帐号名称！");
    return;
  }
  const Text ratingPrefix = RatingAddressPrefix();
  const Text id =
      TextBetween(FetchPageText(ProfileAddressPrefix() + account), ratingPrefix, ".htm");
  const Text ratingPage = FetchPageText(Join({ratingPrefix, id, ".htm"}));

  // From here on no window event runs: the readings and the lines are written
  // together, so a calculation never sees half of two queries.
  std::array<DsrReading, kDsrDimensions.size()> readings;
  SessionReadings& session = CurrentSessionReadings();
  for (std::size_t i = 0; i < kDsrDimensions.size(); ++i) {
    const DsrDimensionRow& row = kDsrDimensions[i];
    readings[i] = ExtractDsrReading(ratingPage, row.dimension);
    RaterCountOf(session, row.dimension) = readings[i].raterCount;
    ScoreOf(session, row.dimension) = readings[i].score;
  }
  for (std::size_t i = 0; i < kDsrDimensions.size(); ++i) {
    SetLabelCaption(kDsrDimensions[i].resultLabel, FormatReadingLine(readings[i]));
  }
}

}  // namespace dsr

// The seller query of 按钮1: the member-profile page, the rating page, the
// three result lines, and the readings kept for the five-star calculation.
#pragma once

#include <array>
#include <string_view>

#include "ratings/dsr.h"
#include "text/text.h"

namespace dsr {

// The six texts kept from the last query that passed the empty-account test;
// all empty at start.
SessionReadings& CurrentSessionReadings();

// Empties the six texts, in field order. Registered to run at the end of the
// program.
void ReleaseSessionValues();

// "http://", the profile host and "/member/userProfile.jhtml?&userID=": the
// account name follows.
Text ProfileAddressPrefix();
// "http://", the rating host and "/user-rate-": the rating-page id follows,
// then ".htm". Also the left marker of that id in the profile page.
Text RatingAddressPrefix();

// Why a rating's score could not be read.
enum class QueryFailure {
  None,            // the score was read
  NoConnection,    // the profile page, or the rating page, came back empty
  SellerNotFound,  // the profile page held no rating-page id
  BlockNotFound,   // the rating page came back without the rating's block
};

// What a query for one account found: the three readings in the order of
// `kDsrDimensions`, and for each why its score is empty (`None` when it is
// not).
struct SellerQueryResult {
  std::array<DsrReading, kDsrDimensions.size()> readings;
  std::array<QueryFailure, kDsrDimensions.size()> failures{};
};

// Both requests of a query for `account`, sent as it is (no test for an
// empty one), and the three readings cut from the rating page. Touches no
// window and no kept value; the only window operation on the way is the
// page fetch's `RunPendingEvents`.
SellerQueryResult FetchSellerReadings(const Text& account);

// The lines shown for a failure in place of the result line.
inline constexpr std::string_view kNoConnectionLine = "无法连接淘宝网，请检查网络连接";
inline constexpr std::string_view kSellerNotFoundLine = "找不到该卖家，请检查帐号名称";
inline constexpr std::string_view kBlockNotFoundLine = "无法读取评分，页面格式可能已改变";

// The result line of one rating: the failure's line when the score is empty;
// score, "分--", rater count and "人" when the comparison holds no figure;
// else `FormatReadingLine`.
Text FormatResultLine(const DsrReading& reading, QueryFailure failure);

// Handler of 按钮1: reads the account name in 编辑框1 (an empty one gives a
// message and nothing else), runs `FetchSellerReadings`, stores the three
// readings, writes their lines to 标签5, 标签6, 标签7 and empties the
// needed counts in 标签11, 标签12, 标签13.
void QuerySellerRatings();

}  // namespace dsr

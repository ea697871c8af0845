// The seller query of 按钮1: the member-profile page, the rating page, the
// three result lines, and the readings kept for the five-star calculation.
#pragma once

#include "ratings/dsr.h"
#include "text/text.h"

namespace dsr {

// The six texts kept from the last query that passed the empty-account test;
// all empty at start.
SessionReadings& CurrentSessionReadings();

// Releases each of the six texts that holds one (empties it and frees its
// storage), in field order. Registered to run once, at the end of the program.
void ReleaseSessionValues();

// "http://", the profile host and "/member/userProfile.jhtml?&userID=": the
// account name follows.
Text ProfileAddressPrefix();
// "http://", the rating host and "/user-rate-": the rating-page id follows,
// then ".htm". Also the left marker of that id in the profile page.
Text RatingAddressPrefix();

// Handler of 按钮1: reads the account name in 编辑框1 (an empty one gives a
// message and nothing else), fetches the profile page and the rating page,
// stores the three readings and writes their lines to 标签5, 标签6, 标签7.
void QuerySellerRatings();

}  // namespace dsr

// The three Detailed Seller Ratings: their page markers and window rows,
// reading one of them out of a rating page, its result line, and the texts
// kept between a query and a calculation.
#pragma once

#include <array>
#include <string_view>

#include "app/controls.h"
#include "text/text.h"

namespace dsr {

// The three ratings, in their fixed order.
enum class DsrDimension { Description, Service, Shipping };

// What binds a rating to its page marker and to the controls of its row.
struct DsrDimensionRow {
  DsrDimension dimension;
  // GBK text that precedes the rating's values on the rating page.
  std::string_view marker;
  Control nameLabel;
  // Caption of `nameLabel`; it begins with `marker`.
  std::string_view nameCaption;
  Control resultLabel;
  Control expectedBox;
  Control neededLabel;
};

inline constexpr std::array<DsrDimensionRow, 3> kDsrDimensions{{
    {DsrDimension::Description, "宝贝与描述相符", Control::标签2, "宝贝与描述相符DSR当前值：",
     Control::标签5, Control::编辑框2, Control::标签11},
    {DsrDimension::Service, "卖家的服务态度", Control::标签3, "卖家的服务态度DSR当前值：",
     Control::标签6, Control::编辑框3, Control::标签12},
    {DsrDimension::Shipping, "卖家发货的速度", Control::标签4, "卖家发货的速度DSR当前值：",
     Control::标签7, Control::编辑框4, Control::标签13},
}};

// The row of a rating.
const DsrDimensionRow& DimensionRow(DsrDimension dimension);

// One rating as cut from the rating page, unconverted and untrimmed.
struct DsrReading {
  Text score;       // empty when its markers are missing
  Text raterCount;  // empty when its markers are missing
  // "高于同行业" or "低于同行业" followed directly by the cut value, which
  // may be empty; never empty itself.
  Text comparison;
};

// Reads one rating from the text of a rating page. Each rating is found from
// the first occurrence of its own marker; missing markers give empty fields.
DsrReading ExtractDsrReading(std::string_view page, DsrDimension dimension);

// score, "分--", raterCount, "人--", comparison, with nothing between them.
Text FormatReadingLine(const DsrReading& reading);

// The texts kept from the last query: for each rating its rater count and
// its score, as cut from the page.
struct SessionReadings {
  Text descriptionRaterCount;
  Text descriptionScore;
  Text serviceRaterCount;
  Text serviceScore;
  Text shippingRaterCount;
  Text shippingScore;
};

// The rater count / score field of a rating.
Text& RaterCountOf(SessionReadings& readings, DsrDimension dimension);
const Text& RaterCountOf(const SessionReadings& readings, DsrDimension dimension);
Text& ScoreOf(SessionReadings& readings, DsrDimension dimension);
const Text& ScoreOf(const SessionReadings& readings, DsrDimension dimension);

}  // namespace dsr

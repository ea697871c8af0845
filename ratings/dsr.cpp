// Reading the three ratings out of a rating page, and their result lines.
#include "ratings/dsr.h"

#include "text/between.h"

namespace dsr {
namespace {

constexpr std::string_view kBlockEnd = "人";
constexpr std::string_view kRaterCountLeft = "共<span>";
constexpr std::string_view kRaterCountRight = "</span>";
constexpr std::string_view kScoreLeft = "title=\"";
constexpr std::string_view kScoreRight = "分";
constexpr std::string_view kComparisonEnd = "/strong";
constexpr std::string_view kHigherTest = "店铺得分-同行业平均分";
constexpr std::string_view kOverLeft = " over\">";
constexpr std::string_view kLowerLeft = " lower\">";
constexpr std::string_view kValueRight = "<";
constexpr std::string_view kHigherPrefix = "高于同行业";
constexpr std::string_view kLowerPrefix = "低于同行业";

// The part of `rest` before the first occurrence of `right`, searched from the
// first byte of `rest`; empty when it does not occur.
std::string_view Before(std::string_view rest, std::string_view right) {
  const int q = PositionOf(rest, right);
  if (q == -1) return {};
  return rest.substr(0, static_cast<std::size_t>(q) - 1);
}

}  // namespace

const DsrDimensionRow& DimensionRow(DsrDimension dimension) {
  for (const DsrDimensionRow& row : kDsrDimensions) {
    if (row.dimension == dimension) return row;
  }
  return kDsrDimensions[0];
}

DsrReading ExtractDsrReading(std::string_view page, DsrDimension dimension) {
  const std::string_view marker = DimensionRow(dimension).marker;
  // Both blocks run from the end of the first occurrence of the marker; the
  // page is searched for it once. The page ends at its first zero byte, which
  // then lies inside `rest` and ends the searches there too.
  std::string_view dimensionBlock;
  std::string_view comparisonBlock;
  const int p = PositionOf(page, marker);
  if (p != -1) {
    const std::string_view rest = page.substr(static_cast<std::size_t>(p) - 1 + marker.size());
    dimensionBlock = Before(rest, kBlockEnd);
    comparisonBlock = Before(rest, kComparisonEnd);
  }

  DsrReading reading;
  reading.raterCount = TextBetween(dimensionBlock, kRaterCountLeft, kRaterCountRight);
  reading.score = TextBetween(dimensionBlock, kScoreLeft, kScoreRight);
  if (PositionOf(comparisonBlock, kHigherTest) != -1) {
    reading.comparison =
        Join({kHigherPrefix, TextBetween(comparisonBlock, kOverLeft, kValueRight)});
  } else {
    reading.comparison =
        Join({kLowerPrefix, TextBetween(comparisonBlock, kLowerLeft, kValueRight)});
  }
  return reading;
}

Text FormatReadingLine(const DsrReading& reading) {
  return Join({reading.score, "分--", reading.raterCount, "人--", reading.comparison});
}

Text& RaterCountOf(SessionReadings& readings, DsrDimension dimension) {
  switch (dimension) {
    case DsrDimension::Service:
      return readings.serviceRaterCount;
    case DsrDimension::Shipping:
      return readings.shippingRaterCount;
    case DsrDimension::Description:
      break;
  }
  return readings.descriptionRaterCount;
}

const Text& RaterCountOf(const SessionReadings& readings, DsrDimension dimension) {
  return RaterCountOf(const_cast<SessionReadings&>(readings), dimension);
}

Text& ScoreOf(SessionReadings& readings, DsrDimension dimension) {
  switch (dimension) {
    case DsrDimension::Service:
      return readings.serviceScore;
    case DsrDimension::Shipping:
      return readings.shippingScore;
    case DsrDimension::Description:
      break;
  }
  return readings.descriptionScore;
}

const Text& ScoreOf(const SessionReadings& readings, DsrDimension dimension) {
  return ScoreOf(const_cast<SessionReadings&>(readings), dimension);
}

}  // namespace dsr

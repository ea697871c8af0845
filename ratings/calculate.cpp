// The five-star calculation over the readings of the last query.
#include "ratings/calculate.h"

#include <array>

#include "app/controls.h"
#include "app/window_ops.h"
#include "ratings/dsr.h"
#include "ratings/five_star.h"
#include "ratings/query.h"

namespace dsr {

void ComputeFiveStarNeeds() {
  if (ReadLabelCaption(Control::标签5).empty()) {
    ShowMessageBox("先点击查询后在点击计算喔！");
    return;
  }
  std::array<Text, kDsrDimensions.size()> expected;
  for (std::size_t i = 0; i < kDsrDimensions.size(); ++i) {
    expected[i] = ReadEditText(kDsrDimensions[i].expectedBox);
    if (ParseInteger(expected[i]) >= 5) {
      ShowMessageBox("预估值不能为5或超过5，希望达到5分请输入4.99即可！！！");
      return;
    }
  }
  const SessionReadings& session = CurrentSessionReadings();
  std::array<Text, kDsrDimensions.size()> lines;
  for (std::size_t i = 0; i < kDsrDimensions.size(); ++i) {
    const DsrDimension d = kDsrDimensions[i].dimension;
    const Text& score = ScoreOf(session, d);
    const Text& raterCount = RaterCountOf(session, d);
    // A count from a reading that is not there would answer nothing.
    lines[i] = score.empty() || raterCount.empty()
                   ? Text(kNoDataLine)
                   : FormatNeededLine(FiveStarsNeeded(score, raterCount, expected[i]));
  }
  for (std::size_t i = 0; i < kDsrDimensions.size(); ++i) {
    SetLabelCaption(kDsrDimensions[i].neededLabel, lines[i]);
  }
}

}  // namespace dsr

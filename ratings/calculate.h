// The five-star calculation of 按钮2.
#pragma once

namespace dsr {

// Handler of 按钮2: after two guards (a query has run; no expected value of
// 5 or more), works out for each rating how many five-star ratings lift the
// kept score to the expected value in 编辑框2, 编辑框3, 编辑框4, and writes
// the counts to 标签11, 标签12, 标签13; a rating whose score or rater count
// was not read gets "所需5分单数：无数据".
void ComputeFiveStarNeeds();

}  // namespace dsr

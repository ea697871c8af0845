// The controls of the main window, by the names of the window's control table.
#pragma once

namespace dsr {

enum class Control {
  标签1,
  编辑框1,
  按钮1,
  按钮2,
  按钮3,
  标签2,
  标签5,
  标签8,
  编辑框2,
  标签11,
  标签3,
  标签6,
  标签9,
  编辑框3,
  标签12,
  标签4,
  标签7,
  标签10,
  编辑框4,
  标签13,
  标签20,
};

inline constexpr int kControlCount = 21;

}  // namespace dsr

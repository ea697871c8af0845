// The controls of the main window, by the names of the window's control table.
#pragma once

#include <array>
#include <string_view>

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

enum class ControlKind { Label, EditBox, Button };

// One row of the window's control table: position and size in pixels from the
// top-left corner of the client area, start text (GBK), whether the control
// is shown at start and whether Tab gives it the keyboard focus.
struct ControlInfo {
  Control control;
  ControlKind kind;
  int left, top, width, height;
  std::string_view startText;
  bool shown;
  bool focus;
};

// clang-format off
inline constexpr std::array<ControlInfo, kControlCount> kControlTable = {{
    {Control::标签1, ControlKind::Label, 69, 18, 62, 16, "卖家帐号：", true, false},
    {Control::编辑框1, ControlKind::EditBox, 139, 13, 112, 24, "", true, true},
    {Control::按钮1, ControlKind::Button, 260, 13, 72, 24, "1.查询", true, true},
    {Control::按钮2, ControlKind::Button, 352, 13, 64, 24, "2.计算", true, true},
    {Control::按钮3, ControlKind::Button, 444, 13, 160, 24, "点击进入Vrenlo官网", true, true},
    {Control::标签2, ControlKind::Label, 13, 63, 154, 24, "宝贝与描述相符DSR当前值：", true, false},
    {Control::标签5, ControlKind::Label, 171, 63, 229, 24, "", true, false},
    {Control::标签8, ControlKind::Label, 406, 63, 48, 24, "预期值：", true, false},
    {Control::编辑框2, ControlKind::EditBox, 459, 63, 70, 24, "4.99", true, true},
    {Control::标签11, ControlKind::Label, 540, 64, 108, 24, "", true, false},
    {Control::标签3, ControlKind::Label, 13, 105, 154, 24, "卖家的服务态度DSR当前值：", true, false},
    {Control::标签6, ControlKind::Label, 171, 105, 229, 24, "", true, false},
    {Control::标签9, ControlKind::Label, 406, 105, 48, 24, "预期值：", true, false},
    {Control::编辑框3, ControlKind::EditBox, 459, 105, 70, 24, "4.99", true, true},
    {Control::标签12, ControlKind::Label, 540, 104, 108, 24, "", true, false},
    {Control::标签4, ControlKind::Label, 13, 145, 154, 24, "卖家发货的速度DSR当前值：", true, false},
    {Control::标签7, ControlKind::Label, 171, 145, 229, 24, "", true, false},
    {Control::标签10, ControlKind::Label, 406, 145, 48, 24, "预期值：", true, false},
    {Control::编辑框4, ControlKind::EditBox, 459, 145, 70, 24, "4.99", true, true},
    {Control::标签13, ControlKind::Label, 540, 144, 108, 24, "", true, false},
    {Control::标签20, ControlKind::Label, 15, 176, 632, 16, "", false, false},
}};
// clang-format on

// The row of `c`; the table is in enum order.
constexpr const ControlInfo& InfoOf(Control c) { return kControlTable[static_cast<int>(c)]; }

}  // namespace dsr

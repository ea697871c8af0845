// The Win32 window under Wine: every control at its table place with its
// start text, style and visibility; frame, size and centring at the screen's
// DPI; texts through code page 936; labels that show their whole text; and,
// with a simulator on 127.0.0.1 (DSR_SIMULATOR_PORT), a query, the
// calculation and a close during a query through the real window.
#include "app/win32_window.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/addresses.h"
#include "app/window_ops.h"
#include "ratings/query.h"
#include "web/transport.h"
#include "web/url.h"
#include "web/wininet_transport.h"

namespace dsr {
namespace {

RECT ClientRectOf(HWND control, HWND parent) {
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::wstring WindowText(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), text.size())));
  return text;
}

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  return name;
}

void DrainMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

struct Win32WindowTest : testing::Test {
  void SetUp() override {
    ASSERT_TRUE(CreateMainWindow(w, GetModuleHandleW(nullptr)));
    WindowOperations ops = Win32WindowOperations(w);
    ops.showMessageBox = [this](std::string_view text) { messages.emplace_back(text); };
    UseWindowOperations(ops);
    ShowControls(w);
    ShowCentred(w);
    DrainMessages();
  }
  void TearDown() override {
    UseWindowOperations(WindowOperations{});
    if (IsWindow(w.window)) DestroyWindow(w.window);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
  HWND Of(Control c) const { return ControlWindow(w, c); }
  int S(int length) const { return Scaled(length, w.dpi); }
  void Type(Control box, const wchar_t* text) { SetWindowTextW(Of(box), text); }
  void Click(Control button) { SendMessageW(Of(button), BM_CLICK, 0, 0); }

  MainWindow w;
  std::vector<std::string> messages;
};

TEST_F(Win32WindowTest, ControlsStandAtTheTablePlacesWithStartTextsAndStyles) {
  for (const ControlInfo& info : kControlTable) {
    SCOPED_TRACE(ShownText(info.startText).size());
    HWND c = Of(info.control);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(GetParent(c), w.window);
    const RECT r = ClientRectOf(c, w.window);
    EXPECT_EQ(r.left, S(info.left));
    EXPECT_EQ(r.top, S(info.top));
    EXPECT_EQ(r.right - r.left, S(info.width));
    EXPECT_EQ(r.bottom - r.top, S(info.height));
    EXPECT_EQ(WindowText(c), ShownText(info.startText));
    EXPECT_EQ(IsWindowVisible(c) != FALSE, info.shown);
    const LONG style = GetWindowLongW(c, GWL_STYLE);
    EXPECT_EQ((style & WS_TABSTOP) != 0, info.focus);
    switch (info.kind) {
      case ControlKind::Label:
        EXPECT_EQ(ClassOf(c), L"Static");
        EXPECT_NE(style & SS_NOPREFIX, 0);
        EXPECT_EQ(style & SS_TYPEMASK, SS_LEFTNOWORDWRAP);
        break;
      case ControlKind::EditBox:
        EXPECT_EQ(ClassOf(c), L"Edit");
        EXPECT_NE(style & ES_AUTOHSCROLL, 0);
        EXPECT_EQ(style & (ES_MULTILINE | ES_PASSWORD | ES_UPPERCASE | ES_LOWERCASE), 0);
        break;
      case ControlKind::Button:
        EXPECT_EQ(ClassOf(c), L"Button");
        EXPECT_EQ(style & BS_TYPEMASK, BS_PUSHBUTTON);
        break;
    }
  }
}

TEST_F(Win32WindowTest, FixedFrameOfTheOuterSizeCentredOnTheScreen) {
  if (const char* expected = std::getenv("DSR_EXPECT_DPI")) {
    EXPECT_EQ(w.dpi, std::atoi(expected));
  }
  RECT r{};
  GetWindowRect(w.window, &r);
  EXPECT_EQ(r.right - r.left, S(kWindowWidth));
  EXPECT_EQ(r.bottom - r.top, S(kWindowHeight));
  EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - S(kWindowWidth)) / 2);
  EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - S(kWindowHeight)) / 2);
  const LONG style = GetWindowLongW(w.window, GWL_STYLE);
  EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU), WS_CAPTION | WS_SYSMENU);
  EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
  EXPECT_EQ(WindowText(w.window), ShownText(WindowCaption()));
}

TEST_F(Win32WindowTest, NeededCountLabelsAreRedAndTheOthersBlack) {
  HDC dc = CreateCompatibleDC(nullptr);
  for (const ControlInfo& info : kControlTable) {
    if (info.kind != ControlKind::Label) continue;
    SendMessageW(w.window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(Of(info.control)));
    const bool red = info.control == Control::标签11 || info.control == Control::标签12 ||
                     info.control == Control::标签13;
    EXPECT_EQ(GetTextColor(dc), red ? RGB(255, 0, 0) : RGB(0, 0, 0));
  }
  DeleteDC(dc);
}

TEST_F(Win32WindowTest, TextsPassThroughCodePage936BothWays) {
  SetLabelCaption(Control::标签5, "a&b\r\nc\xFF");
  EXPECT_EQ(WindowText(Of(Control::标签5)), L"a&b c\uFFFD");
  EXPECT_EQ(ReadLabelCaption(Control::标签5), "a&b\r\nc\xFF");
  Type(Control::编辑框1, L"张记小铺 \U0001F600x");
  EXPECT_EQ(ReadEditText(Control::编辑框1), "张记小铺 ?x");
  Type(Control::编辑框1, L"");
  EXPECT_EQ(ReadEditText(Control::编辑框1), "");
  // No length limit of the box's own: 40000 characters come in as typed.
  const std::wstring longName(40000, L'x');
  SendMessageW(Of(Control::编辑框1), EM_REPLACESEL, FALSE,
               reinterpret_cast<LPARAM>(longName.c_str()));
  EXPECT_EQ(ReadEditText(Control::编辑框1).size(), longName.size());
  SetLabelVisible(Control::标签20, true);
  EXPECT_TRUE(IsWindowVisible(Of(Control::标签20)));
}

TEST_F(Win32WindowTest, TabMovesTheFocusThroughTheFocusColumn) {
  SetForegroundWindow(w.window);
  SetFocus(Of(Control::编辑框1));
  ASSERT_EQ(GetFocus(), Of(Control::编辑框1));
  // A Tab waiting in the queue, run as a fetch runs waiting events.
  PostMessageW(Of(Control::编辑框1), WM_KEYDOWN, VK_TAB, 0);
  RunPendingEvents();
  EXPECT_EQ(GetFocus(), Of(Control::按钮1));
  PostMessageW(Of(Control::按钮3), WM_KEYDOWN, VK_TAB, 0);
  SetFocus(Of(Control::按钮3));
  RunPendingEvents();
  EXPECT_EQ(GetFocus(), Of(Control::编辑框2));  // past the labels between
}

// The width of the label's text at the label's own font.
int TextWidth(HWND label) {
  HDC dc = GetDC(label);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
  const std::wstring text = WindowText(label);
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(label, dc);
  return size.cx;
}

// The text of the label's tooltip; empty when it has none.
std::wstring TooltipText(const MainWindow& w, HWND label) {
  if (w.tooltip == nullptr) return L"";
  wchar_t text[1024] = {};  // the longest text a tooltip gives back
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = w.window;
  tool.uId = reinterpret_cast<UINT_PTR>(label);
  tool.lpszText = text;
  if (!SendMessageW(w.tooltip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool))) return L"";
  SendMessageW(w.tooltip, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&tool));
  return text;
}

TEST_F(Win32WindowTest, LabelsShowTheWidestTextsWholeOrCutWithATooltip) {
  const struct {
    Control label;
    std::string text;
  } cases[] = {
      {Control::标签11, "所需5分单数：9223372036854775807"},
      {Control::标签12, "所需5分单数：无法达到"},
      {Control::标签5, "4.99分--2345664人--高于同行业100.00%"},
      {Control::标签6, "无法读取评分，页面格式可能已改变"},
      {Control::标签7, "找不到该卖家，请检查帐号名称"},
      {Control::标签20,
       std::string(35, 'W') + "演示模式：数据来自本机的淘宝模拟站点，均为虚构演示"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.label));
    SetLabelCaption(c.label, c.text);
    HWND label = Of(c.label);
    RECT box{};
    GetClientRect(label, &box);
    const RECT placed = ClientRectOf(label, w.window);
    RECT client{};
    GetClientRect(w.window, &client);
    EXPECT_LE(placed.right, client.right);
    const std::wstring shown = WindowText(label);
    if (!shown.empty() && shown.back() == L'\u2026') {
      EXPECT_EQ(TooltipText(w, label), ShownLine(c.text));
    } else {
      EXPECT_EQ(shown, ShownText(c.text));
      EXPECT_LE(TextWidth(label), box.right);
    }
  }
}

// A label that grew, shrank its font or was cut, then gets a short text, is
// back at its table box and start font, without a tooltip; a second cut text
// replaces the first one's tooltip.
TEST_F(Win32WindowTest, ALabelGivenAShortTextAgainLosesItsGrownBoxSmallFontAndTooltip) {
  const HFONT startFont =
      reinterpret_cast<HFONT>(SendMessageW(Of(Control::标签1), WM_GETFONT, 0, 0));
  const struct {
    Control label;
    std::string longText;
  } cases[] = {
      {Control::标签5, "4.99分--2345664人--高于同行业100.00%"},
      {Control::标签11, "所需5分单数：9223372036854775807"},
      {Control::标签20, std::string(200, 'W')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.label));
    const ControlInfo& info = InfoOf(c.label);
    HWND label = Of(c.label);
    SetLabelCaption(c.label, c.longText);
    SetLabelCaption(c.label, c.longText + "W");
    const std::wstring shown = WindowText(label);
    const bool cut = !shown.empty() && shown.back() == L'\u2026';
    EXPECT_EQ(TooltipText(w, label), cut ? ShownLine(c.longText + "W") : L"");
    SetLabelCaption(c.label, "短");
    EXPECT_EQ(WindowText(label), L"短");
    const RECT r = ClientRectOf(label, w.window);
    EXPECT_EQ(r.right - r.left, S(info.width));
    EXPECT_EQ(r.bottom - r.top, S(info.height));
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)), startFont);
    EXPECT_EQ(TooltipText(w, label), L"");
  }
}

// With the simulator: the configured hosts routed to it.
struct Win32QueryTest : Win32WindowTest {
  void SetUp() override {
    const char* port = std::getenv("DSR_SIMULATOR_PORT");
    if (port == nullptr) GTEST_SKIP() << "DSR_SIMULATOR_PORT is not set";
    const std::string to = std::string(":127.0.0.1:") + port;
    const auto rule = [&to](std::string_view address) {
      return UrlHost(address, false) + ":" + std::to_string(UrlPort(address)) + to;
    };
    UseTransport(WinInetTransport());
    SetWinInetConnectTo({rule("http://" + std::string(kProfileHost) + "/"),
                         rule("http://" + std::string(kRatingHost) + "/")});
    Win32WindowTest::SetUp();
  }
  void TearDown() override {
    SetWinInetConnectTo({});
    Win32WindowTest::TearDown();
  }
};

TEST_F(Win32QueryTest, QueryThenCalculationThroughTheWindow) {
  Click(Control::按钮2);
  Click(Control::按钮1);
  ASSERT_EQ(messages, (std::vector<std::string>{"先点击查询后在点击计算喔！",
                                                "请先输入要查询的淘宝卖家帐号名称！"}));
  Type(Control::编辑框1, L"vrenlo_shop");
  Click(Control::按钮1);
  EXPECT_EQ(WindowText(Of(Control::标签5)), ShownText("4.8分--1234人--高于同行业12.34%"));
  EXPECT_EQ(WindowText(Of(Control::标签6)), ShownText("4.7分--1230人--低于同行业5.67%"));
  EXPECT_EQ(WindowText(Of(Control::标签7)), ShownText("4.9分--1229人--高于同行业20.01%"));
  Click(Control::按钮2);
  EXPECT_EQ(WindowText(Of(Control::标签11)), ShownText("所需5分单数：23446"));
  Type(Control::编辑框3, L"5");
  Click(Control::按钮2);
  EXPECT_EQ(messages.back(), "预估值不能为5或超过5，希望达到5分请输入4.99即可！！！");
}

TEST_F(Win32QueryTest, ClosingDuringAQueryLetsItFinishThenEndsTheLoop) {
  Type(Control::编辑框1, L"vrenlo_shop");
  PostMessageW(w.window, WM_CLOSE, 0, 0);
  Click(Control::按钮1);
  // The query ran to its end on the hidden window; then the window went.
  EXPECT_EQ(ReadLabelCaption(Control::标签5), "4.8分--1234人--高于同行业12.34%");
  EXPECT_FALSE(IsWindow(w.window));
  MSG msg;
  EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
}

}  // namespace
}  // namespace dsr

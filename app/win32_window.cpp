// The main window on Win32: controls from the control table at the screen's
// DPI, plain-text single-line labels, red needed-count labels, a fixed frame
// without minimise and maximise boxes; its window operations and start-up.
#include "app/win32_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstdlib>
#include <map>
#include <string>

#include "announce/announcement.h"
#include "app/addresses.h"
#include "app/gbk.h"
#include "app/label_fit.h"
#include "app/open_maker_site.h"
#include "ratings/calculate.h"
#include "ratings/query.h"
#include "web/transport.h"
#include "web/wininet_transport.h"

namespace dsr {
namespace {

constexpr wchar_t kClassName[] = L"DsrscopeMainWindow";
constexpr DWORD kFrameStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr int kFirstControlId = 100;
// The font's em height in pixels at 96 DPI: as in the Qt window, 11 pixels
// keep a five-digit count and the longest row caption inside their boxes.
constexpr int kFontPixels = 11;

MainWindow* g_window = nullptr;  // the window whose procedure runs

bool IsRed(Control c) {
  return c == Control::标签11 || c == Control::标签12 || c == Control::标签13;
}

int IndexOf(Control c) { return static_cast<int>(c); }

// Microsoft YaHei UI (微软雅黑) is the face of the Chinese Windows user
// interface since Vista and holds every text of the window; asking for the
// GB2312 character set lets the font mapper choose another face that holds
// the Chinese texts where it is missing (under Wine: Noto Sans CJK SC).
HFONT CreateWindowFont(int pixels, int dpi) {
  LOGFONTW f{};
  f.lfHeight = -Scaled(pixels, dpi);
  f.lfWeight = FW_NORMAL;
  f.lfCharSet = GB2312_CHARSET;
  f.lfQuality = DEFAULT_QUALITY;
  f.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  wcscpy(f.lfFaceName, L"Microsoft YaHei UI");
  return CreateFontIndirectW(&f);
}

// The window's font at `pixels` (at 96 DPI), made once.
HFONT FontAt(MainWindow& w, int pixels) {
  static std::map<int, HFONT> fonts;
  HFONT& font = fonts[Scaled(pixels, w.dpi)];
  if (font == nullptr) font = CreateWindowFont(pixels, w.dpi);
  return font;
}

// The width of `text` at `pixels`, in pixels at 96 DPI, rounded up. One
// memory DC, made at the first text, serves every measurement: a window's DC
// would be fetched and released each time and gives the same widths.
int MeasureAt(MainWindow& w, std::u16string_view text, int pixels) {
  if (text.empty()) return 0;
  if (w.measureDc == nullptr) w.measureDc = CreateCompatibleDC(nullptr);
  SelectObject(w.measureDc, FontAt(w, pixels));
  SIZE size{};
  GetTextExtentPoint32W(w.measureDc, reinterpret_cast<const wchar_t*>(text.data()),
                        static_cast<int>(text.size()), &size);
  return (size.cx * 96 + w.dpi - 1) / w.dpi;
}

// The client area's width in pixels at 96 DPI.
int ClientWidth(const MainWindow& w) {
  RECT client{};
  GetClientRect(w.window, &client);
  return MulDiv(client.right, 96, w.dpi);
}

// `text` (GBK) on one line, fitted to `label` by the label-fitting rule.
struct FittedText {
  std::u16string line;  // the whole text
  LabelFit fit;
  std::u16string shown;  // what the label shows
};

FittedText FitOnLabel(MainWindow& w, Control label, std::string_view text) {
  FittedText f;
  f.line = OneLine(GbkToUtf16(text));
  f.fit = FitLabel(label, f.line, w.clientWidth, kFontPixels,
                   [&w](std::u16string_view t, int pixels) { return MeasureAt(w, t, pixels); });
  f.shown = ShownLabelText(f.line, f.fit);
  return f;
}

// The tooltip control, made the first time a label's text is cut.
HWND Tooltip(MainWindow& w) {
  if (w.tooltip == nullptr) {
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&classes);
    w.tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                w.window, nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  return w.tooltip;
}

// The whole text of `label` as its tooltip while it is cut, no tooltip else.
void SetLabelTip(MainWindow& w, Control label, const FittedText& now, bool wasCut) {
  if (!wasCut && !now.fit.elided) return;
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = w.window;
  tool.uId = reinterpret_cast<UINT_PTR>(w.controls[static_cast<int>(label)]);
  if (wasCut) SendMessageW(w.tooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  if (now.fit.elided) {
    std::wstring whole(now.line.begin(), now.line.end());
    tool.lpszText = whole.data();
    SendMessageW(Tooltip(w), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

// Shows `text` (GBK) on `label` by the label-fitting rule: box, font and, when
// it is cut, the whole text as tooltip. Box and font change only where the
// fit differs from the label's last one.
void ShowOnLabel(MainWindow& w, Control label, std::string_view text) {
  const FittedText now = FitOnLabel(w, label, text);
  LabelFit& last = w.fits[static_cast<int>(label)];
  HWND control = w.controls[static_cast<int>(label)];
  if (now.fit.width != last.width) {
    SetWindowPos(control, nullptr, 0, 0, Scaled(now.fit.width, w.dpi),
                 Scaled(InfoOf(label).height, w.dpi), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (now.fit.fontPx != last.fontPx) {
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontAt(w, now.fit.fontPx)), FALSE);
  }
  SetWindowTextW(control, reinterpret_cast<const wchar_t*>(now.shown.c_str()));
  SetLabelTip(w, label, now, last.elided);
  last = now.fit;
}

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

// The control of `info`, hidden, `width` wide (at 96 DPI), showing `text`.
HWND CreateControl(const ControlInfo& info, int width, const wchar_t* text, HWND parent, int dpi) {
  const wchar_t* className = L"STATIC";
  DWORD style = WS_CHILD;
  DWORD exStyle = 0;
  switch (info.kind) {
    case ControlKind::Label:
      // One line, vertically centred, "&" shown as it is.
      // SS_NOTIFY: the label gets the mouse, for its tooltip.
      style |= SS_LEFTNOWORDWRAP | SS_CENTERIMAGE | SS_NOPREFIX | SS_NOTIFY;
      break;
    case ControlKind::EditBox:
      className = L"EDIT";
      style |= ES_LEFT | ES_AUTOHSCROLL;
      exStyle = WS_EX_CLIENTEDGE;
      break;
    case ControlKind::Button:
      className = L"BUTTON";
      style |= BS_PUSHBUTTON | BS_CENTER | BS_VCENTER;
      break;
  }
  if (info.focus) style |= WS_TABSTOP;
  const auto id = static_cast<INT_PTR>(kFirstControlId + IndexOf(info.control));
  return CreateWindowExW(exStyle, className, text, style, Scaled(info.left, dpi),
                         Scaled(info.top, dpi), Scaled(width, dpi), Scaled(info.height, dpi),
                         parent, reinterpret_cast<HMENU>(id), GetModuleHandleW(nullptr), nullptr);
}

void RunBusy(MainWindow& w, void (*handler)()) {
  if (w.busyDepth++ == 0) SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  handler();
  if (--w.busyDepth == 0) {
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    if (w.closeWaiting) DestroyWindow(w.window);
  }
}

void OnCommand(MainWindow& w, int id, int code) {
  if (code != BN_CLICKED) return;
  const int index = id - kFirstControlId;
  if (index == IndexOf(Control::按钮1)) {
    RunBusy(w, QuerySellerRatings);
  } else if (index == IndexOf(Control::按钮2)) {
    RunBusy(w, ComputeFiveStarNeeds);
  } else if (index == IndexOf(Control::按钮3)) {
    OpenMakerSite();
  }
}

LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  MainWindow* w = g_window;
  if (w == nullptr || w->window != hwnd) return DefWindowProcW(hwnd, message, wParam, lParam);
  switch (message) {
    case WM_COMMAND:
      OnCommand(*w, LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      const auto control = reinterpret_cast<HWND>(lParam);
      const int index = GetDlgCtrlID(control) - kFirstControlId;
      const bool red = index >= 0 && index < kControlCount && w->controls[index] == control &&
                       IsRed(kControlTable[index].control);
      SetTextColor(dc, red ? RGB(255, 0, 0) : RGB(0, 0, 0));
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_SETCURSOR:
      if (w->busyDepth > 0 && w->messageBoxDepth == 0) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case WM_CLOSE:
      // A running handler keeps its controls: the window goes once it is done.
      if (w->busyDepth > 0) {
        w->closeWaiting = true;
        ShowWindow(hwnd, SW_HIDE);
        return 0;
      }
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      if (w->measureDc != nullptr) DeleteDC(w->measureDc);
      w->measureDc = nullptr;
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

void RunOneMessage(MainWindow& w, MSG& msg) {
  if (w.window != nullptr && IsWindow(w.window) && IsDialogMessageW(w.window, &msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

// Runs once however the program ends: at EndProgram, or at exit after the
// message loop.
void ExitRoutine() {
  static bool done = false;
  if (done) return;
  done = true;
  ReleaseSessionValues();
}

}  // namespace

Text WindowCaption() {
  return std::string("Kestrin Vrenlo出品（") + std::string(kMakerForumHost) + ") →" +
         std::string(kMakerContact);
}

std::wstring ShownText(std::string_view gbk) {
  const std::u16string utf16 = GbkToUtf16(gbk);
  return std::wstring(utf16.begin(), utf16.end());
}

Text TypedText(std::wstring_view shown) {
  return Utf16ToGbk(std::u16string(shown.begin(), shown.end()));
}

std::wstring ShownLine(std::string_view gbk) {
  const std::u16string line = OneLine(GbkToUtf16(gbk));
  return std::wstring(line.begin(), line.end());
}

int Scaled(int length, int dpi) { return MulDiv(length, dpi, 96); }

bool CreateMainWindow(MainWindow& w, HINSTANCE instance) {
  static const bool registered = [instance] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WindowProcedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc) != 0;
  }();
  if (!registered) return false;
  w.dpi = ScreenDpi();
  g_window = &w;
  const std::wstring caption = ShownText(WindowCaption());
  w.window = CreateWindowExW(0, kClassName, caption.c_str(), kFrameStyle, 0, 0,
                             Scaled(kWindowWidth, w.dpi), Scaled(kWindowHeight, w.dpi), nullptr,
                             nullptr, instance, nullptr);
  if (w.window == nullptr) return false;
  // The frame is fixed: the client area keeps its width.
  w.clientWidth = ClientWidth(w);
  for (const ControlInfo& info : kControlTable) {
    const int index = IndexOf(info.control);
    w.captions[index] = Text(info.startText);
    // A label is made at once with the box, font and text of its fit.
    FittedText start;
    if (info.kind == ControlKind::Label) {
      start = FitOnLabel(w, info.control, info.startText);
    } else {
      start.fit = {info.width, kFontPixels, false, 0};
      start.shown = GbkToUtf16(info.startText);
    }
    HWND control =
        CreateControl(info, start.fit.width, reinterpret_cast<const wchar_t*>(start.shown.c_str()),
                      w.window, w.dpi);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontAt(w, start.fit.fontPx)), FALSE);
    // No length limit of the box's own (the default is 32767 characters).
    if (info.kind == ControlKind::EditBox) SendMessageW(control, EM_SETLIMITTEXT, 0, 0);
    w.controls[index] = control;
    w.fits[index] = start.fit;
    if (info.kind == ControlKind::Label) SetLabelTip(w, info.control, start, false);
  }
  return true;
}

void ShowControls(MainWindow& w) {
  for (const ControlInfo& info : kControlTable) {
    if (info.control != Control::标签20) ShowWindow(w.controls[IndexOf(info.control)], SW_SHOW);
  }
}

void ShowCentred(MainWindow& w) {
  const int width = Scaled(kWindowWidth, w.dpi);
  const int height = Scaled(kWindowHeight, w.dpi);
  const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  SetWindowPos(w.window, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(w.window, SW_SHOWNORMAL);
  UpdateWindow(w.window);
}

HWND ControlWindow(const MainWindow& w, Control c) { return w.controls[IndexOf(c)]; }

void SetCaption(MainWindow& w, Control label, std::string_view text) {
  if (InfoOf(label).kind != ControlKind::Label) return;
  w.captions[IndexOf(label)] = Text(text);
  ShowOnLabel(w, label, text);
}

void ShowInfoBox(std::string_view text) {
  MessageBoxW(nullptr, ShownText(text).c_str(), ShownText("信息：").c_str(), MB_OK | MB_TASKMODAL);
}

WindowOperations Win32WindowOperations(MainWindow& w) {
  WindowOperations ops;
  ops.readEditText = [&w](Control box) {
    if (InfoOf(box).kind != ControlKind::EditBox) return Text();
    HWND edit = ControlWindow(w, box);
    std::wstring shown(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
    shown.resize(static_cast<std::size_t>(
        GetWindowTextW(edit, shown.data(), static_cast<int>(shown.size()))));
    return TypedText(shown);
  };
  ops.readLabelCaption = [&w](Control label) { return w.captions[IndexOf(label)]; };
  ops.setLabelCaption = [&w](Control label, std::string_view text) { SetCaption(w, label, text); };
  ops.setLabelVisible = [&w](Control label, bool visible) {
    if (InfoOf(label).kind == ControlKind::Label) {
      ShowWindow(ControlWindow(w, label), visible ? SW_SHOW : SW_HIDE);
    }
  };
  ops.showMessageBox = [&w](std::string_view text) {
    ++w.messageBoxDepth;
    ShowInfoBox(text);
    --w.messageBoxDepth;
  };
  ops.endProgram = [] {
    ExitRoutine();
    ExitProcess(0);
  };
  // A WM_QUIT met here stays in the queue for the message loop.
  ops.runPendingEvents = [&w] {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message != WM_QUIT) {
      if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) break;
      if (msg.message == WM_QUIT) {  // came in between the two looks: put it back
        PostQuitMessage(static_cast<int>(msg.wParam));
        break;
      }
      RunOneMessage(w, msg);
    }
  };
  ops.openAddress = [](std::string_view address) {
    HWND owner = FindWindowExW(nullptr, nullptr, nullptr, L"Microsoft Internet Explorer");
    ShellExecuteW(owner, L"open", ShownText(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  };
  return ops;
}

void RunMessageLoop(MainWindow& w) {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) RunOneMessage(w, msg);
}

int RunProgram(HINSTANCE instance) {
  // First of all, so that every way of ending runs it, once.
  std::atexit(ExitRoutine);

  UseTransport(WinInetTransport());
  // Kept until the message loop has returned: a query that is still waiting
  // when the window is closed finishes on the hidden window.
  static MainWindow window;
  if (!CreateMainWindow(window, instance)) return 0;
  UseWindowOperations(Win32WindowOperations(window));
  ShowControls(window);

  CheckAnnouncement();

  ShowCentred(window);
  RunMessageLoop(window);
  UseWindowOperations(WindowOperations());
  return 0;
}

}  // namespace dsr

// The tool's one window on Win32: its twenty-one controls built from the
// control table and scaled by the screen's DPI, the window operations over
// them, and the start-up of the windowed program.
#pragma once

#include <windows.h>

#include <array>
#include <string>
#include <string_view>

#include "app/controls.h"
#include "app/label_fit.h"
#include "app/window_ops.h"
#include "text/text.h"

namespace dsr {

// Outer size of the window at 96 DPI, frame and title bar included.
inline constexpr int kWindowWidth = 671;
inline constexpr int kWindowHeight = 227;

// The caption: the maker's name, the forum host and the contact handle (GBK).
Text WindowCaption();

// A GBK text as the window shows it (UTF-16), and what the user typed as GBK.
std::wstring ShownText(std::string_view gbk);
Text TypedText(std::wstring_view shown);
// A label's text on one line: each line break shown as a space.
std::wstring ShownLine(std::string_view gbk);

// A length at 96 DPI at `dpi`.
int Scaled(int length, int dpi);

struct MainWindow {
  HWND window = nullptr;
  std::array<HWND, kControlCount> controls{};
  // The caption last set on a label, else its start text, byte for byte.
  std::array<Text, kControlCount> captions{};
  // The fit each label shows (for the other controls: table width, start font).
  std::array<LabelFit, kControlCount> fits{};
  // The whole text of a label whose text is cut; made for the first such text.
  HWND tooltip = nullptr;
  HDC measureDc = nullptr;  // where label texts are measured
  int dpi = 96;
  int clientWidth = 0;  // of the client area, at 96 DPI
  int busyDepth = 0;
  int messageBoxDepth = 0;
  // The close box was pressed while a handler ran: the window is destroyed
  // once the outermost handler has returned.
  bool closeWaiting = false;
};

// The window and its controls, hidden, with the start texts, at the screen's
// DPI; false when Windows refuses the window.
bool CreateMainWindow(MainWindow& w, HINSTANCE instance);
// Every control but 标签20 made visible inside the (still hidden) window.
void ShowControls(MainWindow& w);
// Shows the window at the centre of the primary screen.
void ShowCentred(MainWindow& w);
void SetCaption(MainWindow& w, Control label, std::string_view text);
HWND ControlWindow(const MainWindow& w, Control c);

// MessageBoxW with no owner, the caption "信息：", MB_OK | MB_TASKMODAL.
void ShowInfoBox(std::string_view text);

// The window operations over `w`; `showMessageBox` is ShowInfoBox unless a
// test hands another one.
WindowOperations Win32WindowOperations(MainWindow& w);

// Runs messages until WM_QUIT, each through IsDialogMessageW first so that
// Tab moves the focus.
void RunMessageLoop(MainWindow& w);

// Registers the exit routine, builds the window hidden, runs the start-up
// announcement, shows the window centred and runs the message loop until the
// window is closed. Returns the exit code, 0.
int RunProgram(HINSTANCE instance);

}  // namespace dsr

// Runs the windowed program as it starts for the user, with the configured
// hosts routed to a simulator on 127.0.0.1:DSR_SIMULATOR_PORT, and reports on
// standard output (UTF-8) what a user would have seen:
//
//   win32_startup_driver          "message: TEXT" for each message box, which
//                                 is answered with OK, and "window: shown"
//   win32_startup_driver probe    ends with exit code 0 once the window has
//                                 painted itself for the first time, with
//                                 exit code 1 if a message box comes first
//
// The program itself runs unchanged. A CBT hook waits for the main window to
// be created, subclasses that one window and removes itself, so no other
// message of the thread passes through the driver; a thread timer looks for
// message boxes.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/addresses.h"
#include "app/gbk.h"
#include "app/win32_window.h"
#include "web/url.h"
#include "web/wininet_transport.h"

namespace {

constexpr wchar_t kMainWindowClass[] = L"DsrscopeMainWindow";

bool probe = false;
bool shown = false;
HHOOK creationHook = nullptr;
WNDPROC mainProcedure = nullptr;

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  return name;
}

void Say(const char* what, const std::string& utf8) {
  std::printf("%s: %s\n", what, utf8.c_str());
  std::fflush(stdout);
}

// Every 10 ms: an open message box of the thread shows its text, then OK. A
// probe ends there instead: the window did not come first.
void CALLBACK AnswerBoxes(HWND, UINT, UINT_PTR, DWORD) {
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND box, LPARAM) {
        static HWND answered = nullptr;
        if (box == answered || ClassOf(box) != L"#32770" || !IsWindowVisible(box)) return TRUE;
        answered = box;
        wchar_t text[1024] = {};
        GetDlgItemTextW(box, 0xFFFF, text, 1024);
        Say("message",
            dsr::GbkToUtf8(dsr::Utf16ToGbk(std::u16string(text, text + std::wcslen(text)))));
        if (probe) ExitProcess(1);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return TRUE;
      },
      0);
}

// In front of the main window's own procedure: the window once shown, and,
// for a probe, the end once it has painted.
LRESULT CALLBACK WatchMainWindow(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SHOWWINDOW && wParam && !shown) {
    shown = true;
    Say("window", "shown");
  }
  const LRESULT result = CallWindowProcW(mainProcedure, hwnd, message, wParam, lParam);
  if (message == WM_PAINT && probe) ExitProcess(0);
  return result;
}

// Window creation on the thread, until the main window comes.
LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam) {
  const auto hwnd = reinterpret_cast<HWND>(wParam);
  if (code == HCBT_CREATEWND && mainProcedure == nullptr && ClassOf(hwnd) == kMainWindowClass) {
    mainProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchMainWindow)));
    const LRESULT result = CallNextHookEx(creationHook, code, wParam, lParam);
    UnhookWindowsHookEx(creationHook);
    return result;
  }
  return CallNextHookEx(creationHook, code, wParam, lParam);
}

std::string RouteRule(std::string_view address, const std::string& port) {
  return dsr::UrlHost(address, false) + ":" + std::to_string(dsr::UrlPort(address)) +
         ":127.0.0.1:" + port;
}

}  // namespace

int main(int argc, char** argv) {
  probe = argc > 1 && std::strcmp(argv[1], "probe") == 0;
  if (const char* port = std::getenv("DSR_SIMULATOR_PORT")) {
    dsr::SetWinInetConnectTo({RouteRule("http://" + std::string(dsr::kProfileHost) + "/", port),
                              RouteRule("http://" + std::string(dsr::kRatingHost) + "/", port),
                              RouteRule(dsr::kAnnouncementAddress, port)});
  }
  SetTimer(nullptr, 0, 10, AnswerBoxes);
  creationHook = SetWindowsHookExW(WH_CBT, OnCbt, nullptr, GetCurrentThreadId());
  return dsr::RunProgram(GetModuleHandleW(nullptr));
}

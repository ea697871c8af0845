// Runs the windowed program as it starts for the user, with the configured
// hosts routed to a simulator on 127.0.0.1:DSR_SIMULATOR_PORT, and reports on
// standard output (UTF-8) what a user would have seen:
//
//   win32_startup_driver          "message: TEXT" for each message box, which
//                                 is answered with OK, and "window: shown"
//   win32_startup_driver probe    ends with exit code 0 once the window has
//                                 painted itself for the first time
//
// A timer and a hook watch the thread's windows, so the program itself runs unchanged.
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

bool probe = false;
bool shown = false;

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  return name;
}

void Say(const char* what, const std::string& utf8) {
  std::printf("%s: %s\n", what, utf8.c_str());
  std::fflush(stdout);
}

// Every 10 ms: an open message box of the thread shows its text, then OK.
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
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return TRUE;
      },
      0);
}

// The main window once shown, and once it has painted.
LRESULT CALLBACK OnMessageDone(int code, WPARAM wParam, LPARAM lParam) {
  const auto* m = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
  if (code == HC_ACTION && ClassOf(m->hwnd) == L"DsrscopeMainWindow") {
    if (m->message == WM_SHOWWINDOW && m->wParam && !shown) {
      shown = true;
      Say("window", "shown");
    }
    if (m->message == WM_PAINT && probe) ExitProcess(0);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
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
  SetWindowsHookExW(WH_CALLWNDPROCRET, OnMessageDone, nullptr, GetCurrentThreadId());
  return dsr::RunProgram(GetModuleHandleW(nullptr));
}

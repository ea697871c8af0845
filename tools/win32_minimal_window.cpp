// The baseline of the start-up timing on Windows: a window of the tool's
// outer size with one label, ending once it has painted itself.
#include <windows.h>

namespace {

LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    BeginPaint(hwnd, &paint);
    EndPaint(hwnd, &paint);
    ExitProcess(0);
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int main() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = Procedure;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = L"MinimalWindow";
  RegisterClassW(&wc);
  HWND window =
      CreateWindowExW(0, wc.lpszClassName, L"minimal", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 100,
                      100, 671, 227, nullptr, nullptr, wc.hInstance, nullptr);
  CreateWindowExW(0, L"STATIC", L"label", WS_CHILD | WS_VISIBLE, 13, 63, 154, 24, window, nullptr,
                  wc.hInstance, nullptr);
  ShowWindow(window, SW_SHOWNORMAL);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}

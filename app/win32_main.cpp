// dsrscope.exe: the windowed tool on Windows.
#include <windows.h>

#include "app/win32_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { return dsr::RunProgram(instance); }

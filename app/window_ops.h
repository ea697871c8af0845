// The window operations: the only way the tool's logic touches the window.
//
// A `WindowOperations` record of functions is bound once per process with
// `UseWindowOperations`; the free functions below call the bound record. The
// Qt window binds its own; `HeadlessWindow` (headless_window.h) binds one held
// in memory, for tests and the command line. Texts are GBK bytes throughout.
#pragma once

#include <functional>
#include <string_view>

#include "app/controls.h"
#include "text/text.h"

namespace dsr {

struct WindowOperations {
  // The box's content exactly as typed; empty for an empty box.
  std::function<Text(Control box)> readEditText;
  // The text last set, else the label's start text.
  std::function<Text(Control label)> readLabelCaption;
  std::function<void(Control label, std::string_view text)> setLabelCaption;
  std::function<void(Control label, bool visible)> setLabelVisible;
  // A modal box with the caption "信息：" and one OK button; returns when the
  // user has closed it.
  std::function<void(std::string_view text)> showMessageBox;
  // Runs `ReleaseSessionValues` and ends the process with exit code 0.
  std::function<void()> endProgram;
  // Hands every waiting window event to its handler, until none is waiting or
  // the next one is the request to end the event loop, which stays waiting.
  std::function<void()> runPendingEvents;
  // Opens the address with the desktop's default program; returns at once.
  std::function<void(std::string_view address)> openAddress;
};

// Binds `ops` for the whole process; an unbound process has operations that
// read empty texts and do nothing.
void UseWindowOperations(WindowOperations ops);

Text ReadEditText(Control box);
Text ReadLabelCaption(Control label);
void SetLabelCaption(Control label, std::string_view text);
void SetLabelVisible(Control label, bool visible);
void ShowMessageBox(std::string_view text);
// Does not return. (The headless window throws `ProgramEnded` instead, so that
// a test sees the end without its own process ending.)
[[noreturn]] void EndProgram();
void RunPendingEvents();
void OpenAddress(std::string_view address);

}  // namespace dsr

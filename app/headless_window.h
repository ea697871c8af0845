// A window held in memory: the window operations without a screen, for tests
// and the command line.
#pragma once

#include <array>
#include <deque>
#include <functional>
#include <vector>

#include "app/controls.h"
#include "app/window_ops.h"
#include "text/text.h"

namespace dsr {

// Thrown by the headless `EndProgram`, so that the end is seen without the
// process ending.
struct ProgramEnded {};

struct HeadlessWindow {
  // Every control with its start text and start visibility.
  HeadlessWindow();

  // Operations that work on this window; bind them with `UseWindowOperations`.
  // The window must outlive the binding.
  WindowOperations Operations();

  // Edit box contents and label captions, by control.
  std::array<Text, kControlCount> texts;
  std::array<bool, kControlCount> visible;
  // Every message box shown, in order.
  std::vector<Text> messages;
  // Every address opened, in order.
  std::vector<Text> openedAddresses;
  // Window events waiting: `RunPendingEvents` runs them in order, including
  // any queued while it runs, until none is left.
  std::deque<std::function<void()>> pendingEvents;
  // Runs while a message box is "open", before it returns (a test may type
  // here); empty by default.
  std::function<void(std::string_view text)> onMessageBox;
  int runPendingEventsCalls = 0;
  bool ended = false;

  Text& TextOf(Control c) { return texts[static_cast<int>(c)]; }
  bool& VisibleOf(Control c) { return visible[static_cast<int>(c)]; }
};

}  // namespace dsr

// The headless window: operations on texts held in memory.
#include "app/headless_window.h"

#include <string>

namespace dsr {

HeadlessWindow::HeadlessWindow() {
  for (const ControlInfo& info : kControlTable) {
    TextOf(info.control) = Text(info.startText);
    VisibleOf(info.control) = info.shown;
  }
}

WindowOperations HeadlessWindow::Operations() {
  WindowOperations ops;
  ops.readEditText = [this](Control c) { return TextOf(c); };
  ops.readLabelCaption = [this](Control c) { return TextOf(c); };
  ops.setLabelCaption = [this](Control c, std::string_view t) { TextOf(c) = Text(t); };
  ops.setLabelVisible = [this](Control c, bool v) { VisibleOf(c) = v; };
  ops.showMessageBox = [this](std::string_view t) {
    messages.emplace_back(t);
    if (onMessageBox) onMessageBox(t);
  };
  ops.endProgram = [this] {
    ended = true;
    throw ProgramEnded{};
  };
  ops.runPendingEvents = [this] {
    ++runPendingEventsCalls;
    while (!pendingEvents.empty()) {
      std::function<void()> event = std::move(pendingEvents.front());
      pendingEvents.pop_front();
      event();
    }
  };
  ops.openAddress = [this](std::string_view a) { openedAddresses.emplace_back(a); };
  return ops;
}

}  // namespace dsr

// Start-up and shut-down of the windowed program.
#pragma once

namespace dsr {

// Registers the exit routine, builds the window hidden, runs the start-up
// announcement, shows the window centred and runs the event loop until the
// window is closed. Returns the exit code, 0. Of the command line only the
// program name is handed to Qt.
int RunProgram(int argc, char** argv);

}  // namespace dsr

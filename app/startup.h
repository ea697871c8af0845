// Start-up and shut-down of the windowed program.
#pragma once

namespace dsr {

// Registers the exit routine, builds the window hidden, runs the start-up
// announcement, shows the window centred and runs the event loop until the
// window is closed. Returns the exit code, 0.
int RunProgram(int argc, char** argv);

}  // namespace dsr

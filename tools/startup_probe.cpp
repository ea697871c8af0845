// dsrscope-startup-probe: the windowed program, unchanged, with the start-up
// timing hook of first_exposure.h; ends once its window has been exposed.
#include "app/startup.h"
#include "tools/first_exposure.h"

namespace {
void InstallReporter() { dsr::InstallFirstExposureReporter(); }
}  // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallReporter)

int main(int argc, char** argv) { return dsr::RunProgram(argc, argv); }

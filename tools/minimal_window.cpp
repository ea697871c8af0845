// dsrscope-minimal-window: the smallest Qt Widgets program that shows a
// window of the tool's size, with the start-up timing hook of
// first_exposure.h; the yardstick for the tool's start-up time.
#include <QApplication>
#include <QWidget>

#include "tools/first_exposure.h"

namespace {
void InstallReporter() { dsr::InstallFirstExposureReporter(); }
}  // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallReporter)

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.resize(671, 227);
  window.show();
  return app.exec();
}

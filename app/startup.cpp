// The windowed program from start to end, in the order of its start-up.
#include "app/startup.h"

#include <QApplication>
#include <cstdlib>

#include "announce/announcement.h"
#include "app/main_window.h"
#include "app/open_maker_site.h"
#include "app/qt_window_ops.h"
#include "ratings/calculate.h"
#include "ratings/query.h"
#include "web/curl_transport.h"
#include "web/transport.h"

namespace dsr {

int RunProgram(int argc, char** argv) {
  // First of all, so that every way of ending runs it, once.
  std::atexit(ReleaseSessionValues);

  // The tool takes no command line: Qt gets the program name only, so that
  // options such as -reverse or -stylesheet FILE do nothing.
  static char fallbackName[] = "dsrscope";
  char* qtArgv[] = {argc > 0 && argv[0] != nullptr ? argv[0] : fallbackName, nullptr};
  int qtArgc = 1;
  QApplication app(qtArgc, qtArgv);
  UseTransport(CurlTransport());

  // Kept until the event loop has returned: a query that is still waiting
  // when the window is closed finishes on the hidden window.
  MainWindow window;
  UseWindowOperations(QtWindowOperations(window));
  QObject::connect(window.按钮1, &QPushButton::clicked, &window,
                   [&window] { window.RunBusy(QuerySellerRatings); });
  QObject::connect(window.按钮2, &QPushButton::clicked, &window, [] { ComputeFiveStarNeeds(); });
  QObject::connect(window.按钮3, &QPushButton::clicked, &window, [] { OpenMakerSite(); });
  window.ShowControls();

  CheckAnnouncement();

  window.ShowCentred();
  app.exec();
  UseWindowOperations(WindowOperations());
  return 0;
}

}  // namespace dsr

// Runs the windowed program as it starts for the user, against a simulator of
// its own, and reports what a user would have seen on standard output (UTF-8):
//
//   startup_driver stop                the announcement says stop
//   startup_driver close               the window is closed as soon as it is shown
//   startup_driver close-during-query  the window is closed while a query waits
//   startup_driver qt-options          Qt's own options on the command line
//
// Message boxes are answered with OK as soon as they are open. The hooks are
// installed when the application object is made, so the program itself runs
// unchanged.
//
// The exit routine is watched from outside: the link wraps
// dsr::ReleaseSessionValues (--wrap), and the wrapper counts its runs and
// watches the heap blocks of the texts it finds stored, so that the order in
// which they are freed is seen. The last thing the process prints, from an
// exit handler registered before the program starts, is what was seen.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "app/gbk.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "ratings/query.h"
#include "tools/simulator_site.h"

// The exit routine itself, reached through the wrapper below.
void RealReleaseSessionValues() asm("__real__ZN3dsr20ReleaseSessionValuesEv");
void WatchedReleaseSessionValues() asm("__wrap__ZN3dsr20ReleaseSessionValuesEv");

namespace {

std::string scenario;
bool windowShown = false;

// What the wrapped exit routine did: how often it ran, and which of the six
// texts (by field index) had their storage freed while it ran, in order.
int exitRoutineRuns = 0;
const void* watchedBlocks[6] = {};
bool watching = false;
int freedFields[6];
int freedCount = 0;

void Say(const std::string& what, const QString& text) {
  std::printf("%s: %s\n", what.c_str(), text.toStdString().c_str());
  std::fflush(stdout);
}

// With the window just shown: an account typed, 按钮1 pressed, and the window
// closed by an event that the query's page fetch hands out.
void CloseDuringQuery(dsr::MainWindow* window) {
  window->编辑框1->setText(QString::fromUtf16(u"vrenlo_shop"));
  QTimer::singleShot(0, window, [window] { Say("closed", window->close() ? "yes" : "no"); });
  window->按钮1->click();
  Say("label5", window->标签5->text());
  Say("visible-after-query", window->isVisible() ? "yes" : "no");
}

class Watcher : public QObject {
 public:
  bool eventFilter(QObject* object, QEvent* event) override {
    if (event->type() == QEvent::Show) {
      if (auto* window = dynamic_cast<dsr::MainWindow*>(object); window && !windowShown) {
        windowShown = true;
        Say("window", "shown");
        if (scenario == "close-during-query") {
          QTimer::singleShot(0, window, [window] { CloseDuringQuery(window); });
        } else if (scenario == "close") {
          QTimer::singleShot(0, window, [window] { window->close(); });
        } else if (scenario == "qt-options") {
          Say("direction", qApp->layoutDirection() == Qt::RightToLeft ? "rtl" : "ltr");
          Say("arguments", QString::number(QCoreApplication::arguments().size()));
          QTimer::singleShot(0, window, [window] { window->close(); });
        }
      }
    }
    return false;
  }
};

// After the exit routine and everything else: what was seen of it.
void ReportExitRoutine() {
  const dsr::SessionReadings& r = dsr::CurrentSessionReadings();
  const bool empty = (r.descriptionRaterCount + r.descriptionScore + r.serviceRaterCount +
                      r.serviceScore + r.shippingRaterCount + r.shippingScore)
                         .empty();
  std::printf("exit-routine-runs: %d\nfreed-fields:", exitRoutineRuns);
  for (int i = 0; i < freedCount; ++i) std::printf(" %d", freedFields[i]);
  std::printf("%s\nsession-after-exit: %s\n", freedCount == 0 ? " none" : "",
              empty ? "empty" : "not empty");
  std::fflush(stdout);
}

void InstallHooks() {
  auto* watcher = new Watcher;
  watcher->setParent(qApp);
  qApp->installEventFilter(watcher);
  auto* poll = new QTimer(qApp);
  QObject::connect(poll, &QTimer::timeout, [] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      Say("message", box->text());
      box->button(QMessageBox::Ok)->click();
    }
  });
  poll->start(10);
  std::atexit([] { Say("window-ever-shown", windowShown ? "yes" : "no"); });
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallHooks)

void WatchedReleaseSessionValues() {
  ++exitRoutineRuns;
  dsr::SessionReadings& r = dsr::CurrentSessionReadings();
  dsr::Text* fields[] = {&r.descriptionRaterCount, &r.descriptionScore,   &r.serviceRaterCount,
                         &r.serviceScore,          &r.shippingRaterCount, &r.shippingScore};
  int stored = 0;
  for (int i = 0; i < 6; ++i) {
    watchedBlocks[i] = nullptr;
    if (fields[i]->empty()) continue;
    ++stored;
    fields[i]->reserve(64);  // a heap block of its own, whatever its length
    watchedBlocks[i] = fields[i]->data();
  }
  std::printf("exit-routine: run %d, %d texts stored\n", exitRoutineRuns, stored);
  watching = true;
  RealReleaseSessionValues();
  watching = false;
}

// Every allocation goes through malloc and free, so that a freed block of a
// watched text is seen.
void* operator new(std::size_t size) {
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}

void operator delete(void* p) noexcept {
  if (watching && p != nullptr) {
    for (int i = 0; i < 6; ++i) {
      if (p == watchedBlocks[i] && freedCount < 6) {
        freedFields[freedCount++] = i;
        watchedBlocks[i] = nullptr;
      }
    }
  }
  std::free(p);
}

void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  scenario = argv[1];
  dsr::SimulatorOptions options;
  options.port = 0;
  if (scenario == "stop") {
    options.announcement = {"2", "请升级到新版本", "1", "不应显示", ""};
  } else if (scenario != "close-during-query" && scenario != "close" && scenario != "qt-options") {
    return 2;
  }
  // Never destroyed: the program may end through std::exit.
  auto* simulator = new dsr::SimulatorThread(options);
  if (simulator->Port() <= 0) return 3;
  simulator->RouteConfiguredHosts();
  std::atexit(ReportExitRoutine);
  static char reverse[] = "-reverse";
  char* qtArgv[] = {argv[0], scenario == "qt-options" ? reverse : nullptr, nullptr};
  int qtArgc = scenario == "qt-options" ? 2 : 1;
  return dsr::RunProgram(qtArgc, qtArgv);
}

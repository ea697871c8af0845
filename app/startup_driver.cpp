// Runs the windowed program as it starts for the user, against a simulator of
// its own, and reports what a user would have seen on standard output (UTF-8):
//
//   startup_driver stop                the announcement says stop
//   startup_driver close-during-query  the window is closed while a query waits
//   startup_driver qt-options          Qt's own options on the command line
//
// Message boxes are answered with OK as soon as they are open. The hooks are
// installed when the application object is made, so the program itself runs
// unchanged.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/gbk.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "tools/simulator_site.h"

namespace {

std::string scenario;
bool windowShown = false;

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

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  scenario = argv[1];
  dsr::SimulatorOptions options;
  options.port = 0;
  if (scenario == "stop") {
    options.announcement = {"2", "请升级到新版本", "1", "不应显示", ""};
  } else if (scenario != "close-during-query" && scenario != "qt-options") {
    return 2;
  }
  // Never destroyed: the program may end through std::exit.
  auto* simulator = new dsr::SimulatorThread(options);
  if (simulator->Port() <= 0) return 3;
  simulator->RouteConfiguredHosts();
  static char reverse[] = "-reverse";
  char* qtArgv[] = {argv[0], scenario == "qt-options" ? reverse : nullptr, nullptr};
  int qtArgc = scenario == "qt-options" ? 2 : 1;
  return dsr::RunProgram(qtArgc, qtArgv);
}

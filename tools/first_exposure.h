// Start-up timing: installed when the application object is made, prints
// "shown <microseconds since the epoch>" when the first window is exposed on
// screen, then closes every window so that the program ends its usual way.
#pragma once

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWindow>
#include <chrono>
#include <cstdio>

namespace dsr {

class FirstExposureReporter : public QObject {
 public:
  bool eventFilter(QObject* object, QEvent* event) override {
    if (!reported_ && event->type() == QEvent::Expose) {
      auto* window = qobject_cast<QWindow*>(object);
      if (window != nullptr && window->isExposed()) {
        reported_ = true;
        const auto now = std::chrono::system_clock::now().time_since_epoch();
        std::printf("shown %lld\n",
                    static_cast<long long>(
                        std::chrono::duration_cast<std::chrono::microseconds>(now).count()));
        std::fflush(stdout);
        QTimer::singleShot(0, qApp, [] { QApplication::closeAllWindows(); });
      }
    }
    return false;
  }

 private:
  bool reported_ = false;
};

inline void InstallFirstExposureReporter() { qApp->installEventFilter(new FirstExposureReporter); }

}  // namespace dsr

#include "support/wait.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

namespace tornavo::testing {

bool WaitUntil(const std::function<bool()>& condition, int timeout_ms) {
  QDeadlineTimer deadline(timeout_ms);
  while (!condition()) {
    if (deadline.hasExpired()) return condition();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::msleep(1);
  }
  return true;
}

void Pump(int ms) {
  QDeadlineTimer deadline(ms);
  while (!deadline.hasExpired()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::msleep(1);
  }
}

}  // namespace tornavo::testing

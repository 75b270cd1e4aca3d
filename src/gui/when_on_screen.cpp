#include "gui/when_on_screen.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace tornavo {

namespace {

// Watches the window's first expose, then hands the work to the event loop and goes.
class ExposeWatch : public QObject {
 public:
  ExposeWatch(QWidget* window, std::function<void()> work)
      : QObject(window), window_(window), work_(std::move(work)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Expose && window_->windowHandle() == watched &&
        window_->windowHandle()->isExposed()) {
      watched->removeEventFilter(this);
      // Queued on the window, so that it is dropped if the window goes before it runs.
      QMetaObject::invokeMethod(window_, std::move(work_), Qt::QueuedConnection);
      deleteLater();
    }
    return false;
  }

 private:
  QWidget* window_;
  std::function<void()> work_;
};

}  // namespace

void WhenOnScreen(QWidget* window, std::function<void()> work) {
  QWindow* handle = window->windowHandle();
  if (!window->isVisible() || !handle || handle->isExposed()) {
    work();
    return;
  }
  handle->installEventFilter(new ExposeWatch(window, std::move(work)));
}

}  // namespace tornavo

#pragma once

#include <QObject>

namespace tornavo {

// Lists, spin boxes and sliders take the mouse wheel only once they have focus (clicked or
// reached with Tab). Over one without focus the wheel goes on to what holds it, so the page
// scrolls and no value changes by accident. Installed on the application, it serves every
// page and dialog, those built later included.
class WheelGuard : public QObject {
 public:
  explicit WheelGuard(QObject* parent) : QObject(parent) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace tornavo

#include "gui/wheel_guard.h"

#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QEvent>
#include <QScrollBar>

namespace tornavo {

namespace {

// The controls whose value a wheel turn changes; scroll bars are there to scroll.
QWidget* ValueControl(QObject* object) {
  if (qobject_cast<QScrollBar*>(object)) return nullptr;
  if (qobject_cast<QComboBox*>(object) || qobject_cast<QAbstractSpinBox*>(object) ||
      qobject_cast<QAbstractSlider*>(object))
    return static_cast<QWidget*>(object);
  return nullptr;
}

}  // namespace

bool WheelGuard::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::Polish:
      // The wheel alone gives them no focus: it would then go on to change the value.
      if (QWidget* control = ValueControl(watched);
          control && control->focusPolicy() == Qt::WheelFocus)
        control->setFocusPolicy(Qt::StrongFocus);
      break;
    case QEvent::Wheel:
      if (QWidget* control = ValueControl(watched); control && !control->hasFocus()) {
        // Handled here but not accepted: Qt passes it on to the parents.
        event->ignore();
        return true;
      }
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace tornavo

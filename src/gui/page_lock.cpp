#include "gui/page_lock.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QSlider>
#include <QTabBar>

#include "gui/log_view.h"
#include "gui/status_panel.h"

namespace tornavo {

namespace {

// Set on a control while a lock holds it: whether its page wants it enabled.
constexpr char kWantedEnabled[] = "tornavo_wanted_enabled";

bool InsideWatchedPart(const QWidget* widget) {
  for (const QWidget* w = widget; w; w = w->parentWidget())
    if (qobject_cast<const LogView*>(w) || qobject_cast<const StatusPanel*>(w) ||
        qobject_cast<const QProgressBar*>(w))
      return true;
  return false;
}

// An input inside another input (a spin box's line, a view's editor) follows that input.
bool InsideInput(const QWidget* widget, const QWidget* page) {
  for (const QWidget* w = widget->parentWidget(); w && w != page; w = w->parentWidget())
    if (PageLock::IsInput(w)) return true;
  return false;
}

}  // namespace

bool PageLock::IsInput(const QWidget* widget) {
  if (InsideWatchedPart(widget)) return false;
  // A combo box's own line edit follows the box; a tab bar's scroll arrows only move the tabs
  // (and the bar enables them as it needs).
  if (qobject_cast<const QLineEdit*>(widget) &&
      qobject_cast<const QComboBox*>(widget->parentWidget()))
    return false;
  if (qobject_cast<const QTabBar*>(widget->parentWidget())) return false;
  return qobject_cast<const QAbstractButton*>(widget) || qobject_cast<const QComboBox*>(widget) ||
         qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QAbstractSpinBox*>(widget) ||
         qobject_cast<const QSlider*>(widget) || qobject_cast<const QAbstractItemView*>(widget);
}

void PageLock::SetEnabled(QWidget* widget, bool enabled) {
  if (widget->property(kWantedEnabled).isValid())
    widget->setProperty(kWantedEnabled, enabled);
  else
    widget->setEnabled(enabled);
}

void PageLock::Lock(const QList<QWidget*>& pages) {
  if (depth_++ > 0) return;
  for (QWidget* page : pages) LockInputs(page);
}

void PageLock::AddPage(QWidget* page) {
  if (locked()) LockInputs(page);
}

void PageLock::LockInputs(QWidget* page) {
  for (QWidget* widget : page->findChildren<QWidget*>()) {
    if (!IsInput(widget) || InsideInput(widget, page) || widget->property(kWantedEnabled).isValid())
      continue;
    // The control's own state, whatever its parents' is.
    widget->setProperty(kWantedEnabled, !widget->testAttribute(Qt::WA_ForceDisabled));
    widget->setEnabled(false);
    held_.append(widget);
  }
}

void PageLock::Unlock() {
  if (depth_ == 0 || --depth_ > 0) return;
  for (const QPointer<QWidget>& widget : held_) {
    if (!widget) continue;
    const bool wanted = widget->property(kWantedEnabled).toBool();
    widget->setProperty(kWantedEnabled, QVariant());
    widget->setEnabled(wanted);
  }
  held_.clear();
}

}  // namespace tornavo

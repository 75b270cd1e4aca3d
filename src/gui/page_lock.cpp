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

bool InsideWatchedPart(const QWidget* widget) {
  for (const QWidget* w = widget; w; w = w->parentWidget())
    if (qobject_cast<const LogView*>(w) || qobject_cast<const StatusPanel*>(w) ||
        qobject_cast<const QProgressBar*>(w))
      return true;
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

void PageLock::Lock(const QList<QWidget*>& pages) {
  if (locked_) return;
  locked_ = true;
  for (QWidget* page : pages) LockInputs(page);
}

void PageLock::AddPage(QWidget* page) {
  if (locked_) LockInputs(page);
}

void PageLock::LockInputs(QWidget* page) {
  for (QWidget* widget : page->findChildren<QWidget*>()) {
    // Parents come before their children: what lies inside a disabled view is skipped.
    if (!widget->isEnabledTo(page) || !IsInput(widget)) continue;
    widget->setEnabled(false);
    disabled_.append(widget);
  }
}

void PageLock::Unlock() {
  if (!locked_) return;
  locked_ = false;
  for (const QPointer<QWidget>& widget : disabled_)
    if (widget) widget->setEnabled(true);
  disabled_.clear();
}

}  // namespace tornavo

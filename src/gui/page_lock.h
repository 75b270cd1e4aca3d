#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

namespace tornavo {

// Takes the input away from pages while an operation runs: the controls that start or change
// something are disabled, while what the technician watches (status panels, progress bars,
// logs, the pages' tabs) stays enabled and readable.
//
// Locks nest: a short operation that locks and unlocks inside a longer one leaves the pages
// locked until the longer one unlocks too. While locked, a page sets its controls' enabling
// through SetEnabled, which keeps the wish for the unlock; the unlock then leaves each control
// as its page last wanted it.
class PageLock {
 public:
  void Lock(const QList<QWidget*>& pages);
  // Releases one Lock; the last one gives the input back. One too many does nothing.
  void Unlock();
  // A page built while locked is locked with the others.
  void AddPage(QWidget* page);
  bool locked() const { return depth_ > 0; }

  // Whether the widget is one that starts or changes something.
  static bool IsInput(const QWidget* widget);
  // How a page enables or disables one of its controls: at once, or, while a lock holds the
  // control, at the unlock.
  static void SetEnabled(QWidget* widget, bool enabled);

 private:
  void LockInputs(QWidget* page);

  int depth_ = 0;
  QList<QPointer<QWidget>> held_;
};

}  // namespace tornavo

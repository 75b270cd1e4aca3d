#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

namespace tornavo {

// Takes the input away from pages while an operation runs: the controls that start or change
// something are disabled, while what the technician watches (status panels, progress bars,
// logs, the pages' tabs) stays enabled and readable. Only the controls it disabled are
// enabled again, so a control a page keeps disabled for its own reasons stays so.
class PageLock {
 public:
  void Lock(const QList<QWidget*>& pages);
  void Unlock();
  // A page built while locked is locked with the others.
  void AddPage(QWidget* page);
  bool locked() const { return locked_; }

  // Whether the widget is one that starts or changes something.
  static bool IsInput(const QWidget* widget);

 private:
  void LockInputs(QWidget* page);

  bool locked_ = false;
  QList<QPointer<QWidget>> disabled_;
};

}  // namespace tornavo

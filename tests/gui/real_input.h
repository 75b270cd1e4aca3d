#pragma once

#include <gtest/gtest.h>

#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QSpontaneKeyEvent>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <functional>

namespace tornavo::testing {

// One notch of the mouse wheel over a widget, delivered as the system delivers it: to the
// deepest widget under the cursor and marked as coming from outside, so that Qt gives focus
// by wheel and hands an unwanted turn on to the parents. Negative notches turn towards the
// user (down the page).
inline void WheelOver(QWidget* widget, int notches) {
  QWidget* window = widget->window();
  const QPoint in_window = widget->mapTo(window, widget->rect().center());
  QWidget* target = window->childAt(in_window);
  if (!target) target = window;
  QWheelEvent event(target->mapFrom(window, in_window), window->mapToGlobal(in_window), QPoint(),
                    QPoint(0, 120 * notches), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                    false);
  // As QTest sends its keys: sendEvent would clear the mark.
  QSpontaneKeyEvent::setSpontaneous(&event);
  qApp->notify(target, &event);
}

// Selects a box's text and types over it, as a technician does (an empty text erases it);
// gives the text the box shows then.
inline QString TypeOver(QLineEdit* box, const QString& text) {
  box->setFocus();
  box->selectAll();
  if (text.isEmpty())
    QTest::keyClick(box, Qt::Key_Backspace);
  else
    QTest::keyClicks(box, text);
  return box->text();
}

// Types into a grid's cell (row and column from 1) as a technician does: the cell chosen, the
// first key opening its editor, the rest typed into it and `end` closing it. False, with the
// reason added to the test's failures, when the editor did not open or did not close.
inline bool TypeIntoCell(QTableView* grid, int row, int column, const QString& keys,
                         Qt::Key end = Qt::Key_Return) {
  grid->setFocus();
  grid->setCurrentIndex(grid->model()->index(row - 1, column - 1));
  QTest::keyClicks(grid, keys.left(1));
  auto* editor = grid->viewport()->findChild<QLineEdit*>();
  if (!editor) {
    ADD_FAILURE() << "typing did not open the cell editor";
    return false;
  }
  QTest::keyClicks(editor, keys.mid(1));
  QTest::keyClick(editor, end);
  // The delegate commits and closes its editor from the event loop.
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  if (grid->viewport()->findChild<QLineEdit*>()) {
    ADD_FAILURE() << "the editor stayed open";
    return false;
  }
  return true;
}

// Reaches a widget with the Tab key from the focusable widget before it.
inline bool TabInto(QWidget* widget) {
  QWidget* before = widget->previousInFocusChain();
  while (before != widget && !(before->isVisible() && before->isEnabled() &&
                               (before->focusPolicy() & Qt::TabFocus) == Qt::TabFocus))
    before = before->previousInFocusChain();
  before->setFocus(Qt::OtherFocusReason);
  QTest::keyClick(before, Qt::Key_Tab);
  return widget->hasFocus();
}

// What a wheel would change on the controls that take it: a list's entry, a spin box's or a
// slider's value. Scroll bars are not among them: they are there to scroll.
inline bool WheelEditable(const QWidget* widget) {
  if (qobject_cast<const QScrollBar*>(widget)) return false;
  return qobject_cast<const QComboBox*>(widget) || qobject_cast<const QAbstractSpinBox*>(widget) ||
         qobject_cast<const QAbstractSlider*>(widget);
}

inline QString ValueOf(const QWidget* widget) {
  if (auto* list = qobject_cast<const QComboBox*>(widget)) return list->currentText();
  if (auto* spin = qobject_cast<const QAbstractSpinBox*>(widget)) return spin->text();
  if (auto* slider = qobject_cast<const QAbstractSlider*>(widget))
    return QString::number(slider->value());
  return {};
}

// With TORNAVO_SHOTS_DIR naming a folder, a widget as it looks is saved there as <name>.png,
// to be looked at.
inline void SaveShot(QWidget* widget, const QString& name) {
  const QString folder = qEnvironmentVariable("TORNAVO_SHOTS_DIR");
  if (!folder.isEmpty() && QDir().mkpath(folder))
    widget->grab().save(QDir(folder).filePath(name + ".png"));
}

// Clicks a check box or radio button on its round mark: a short caption leaves the middle of
// a wide button unclickable.
inline void ClickMark(QAbstractButton* button) {
  QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

// Answers the program's own message boxes as a person does, with one key or with `answer`, and
// notes what each said, which button Enter and Escape would press and how its check box came.
// With TORNAVO_SHOTS_DIR set, the first box is saved there as <shot>.png.
class BoxWatcher {
 public:
  struct Seen {
    QString text;
    bool cancel_is_default = false;  // Enter and Escape both answer Cancel (or No)
    QString cancel_caption;          // as the button shows it, without its mnemonic
    bool has_option = false;         // the box has a check box
    QString option;                  // its caption
    bool option_ticked = false;
  };

  BoxWatcher(Qt::Key key, QString shot = {})
      : BoxWatcher([key](QMessageBox* box) { QTest::keyClick(box, key); }, std::move(shot)) {}
  BoxWatcher(std::function<void(QMessageBox*)> answer, QString shot = {})
      : answer_(std::move(answer)), shot_(std::move(shot)) {
    QObject::connect(&poll_, &QTimer::timeout, [this] { Answer(); });
    poll_.start(10);
  }
  QList<Seen> seen;

 private:
  void Answer() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) return;
    QAbstractButton* cancel = box->button(QMessageBox::Cancel);
    if (!cancel) cancel = box->button(QMessageBox::No);
    QCheckBox* option = box->checkBox();
    seen << Seen{box->text(),
                 cancel && box->defaultButton() == cancel && box->escapeButton() == cancel,
                 cancel ? cancel->text().remove(u'&') : QString(),
                 option != nullptr,
                 option ? option->text() : QString(),
                 option && option->isChecked()};
    if (seen.size() == 1 && !shot_.isEmpty()) SaveShot(box, shot_);
    answer_(box);
  }

  std::function<void(QMessageBox*)> answer_;
  QString shot_;
  QTimer poll_;
};

}  // namespace tornavo::testing

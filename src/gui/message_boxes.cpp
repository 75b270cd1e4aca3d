#include "gui/message_boxes.h"

#include <QMessageBox>

namespace tornavo {

namespace {
QString Title() { return QString::fromLatin1(QtMessageBoxes::kTitle); }
}  // namespace

void QtMessageBoxes::ShowError(const QString& text) {
  QMessageBox::critical(parent_, Title(), text, QMessageBox::Ok);
}

void QtMessageBoxes::ShowInformation(const QString& text) {
  QMessageBox::information(parent_, Title(), text, QMessageBox::Ok);
}

Answer QtMessageBoxes::Ask(Question question, const QString& text) {
  if (question == Question::kOkCancel) {
    return QMessageBox::warning(parent_, Title(), text, QMessageBox::Ok | QMessageBox::Cancel) ==
                   QMessageBox::Ok
               ? Answer::kOk
               : Answer::kCancel;
  }
  switch (QMessageBox::critical(parent_, Title(), text,
                                QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore)) {
    case QMessageBox::Retry:
      return Answer::kRetry;
    case QMessageBox::Ignore:
      return Answer::kIgnore;
    default:
      return Answer::kAbort;
  }
}

}  // namespace tornavo

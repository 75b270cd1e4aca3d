#include "gui/message_boxes.h"

#include <QMessageBox>

namespace tornavo {

void QtMessageBoxes::ShowError(const QString& text) {
  QMessageBox::critical(parent_, QString(), text, QMessageBox::Ok);
}

void QtMessageBoxes::ShowInformation(const QString& text) {
  QMessageBox::information(parent_, QString(), text, QMessageBox::Ok);
}

Answer QtMessageBoxes::Ask(Question question, const QString& text) {
  if (question == Question::kOkCancel) {
    return QMessageBox::warning(parent_, QString(), text, QMessageBox::Ok | QMessageBox::Cancel) ==
                   QMessageBox::Ok
               ? Answer::kOk
               : Answer::kCancel;
  }
  switch (QMessageBox::critical(parent_, QString(), text,
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

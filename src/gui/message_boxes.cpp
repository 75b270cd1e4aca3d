#include "gui/message_boxes.h"

#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

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
    // Asked before something that cannot be undone: Enter and Escape both answer Cancel, and a
    // text that says to press CANCEL names the button as it reads.
    QMessageBox box(QMessageBox::Warning, Title(), text, QMessageBox::Ok | QMessageBox::Cancel,
                    parent_);
    box.setDefaultButton(QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel);
    static const QRegularExpression kCancelWord(QStringLiteral("\\bCANCEL\\b"));
    box.setText(
        QString(text).replace(kCancelWord, box.button(QMessageBox::Cancel)->text().remove(u'&')));
    return box.exec() == QMessageBox::Ok ? Answer::kOk : Answer::kCancel;
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

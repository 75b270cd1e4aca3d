#include "gui/message_boxes.h"

#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

namespace tornavo {

namespace {

QString Title() { return QString::fromLatin1(QtMessageBoxes::kTitle); }

// Asked before something that cannot be undone: Enter and Escape both answer Cancel, and a text
// that says to press CANCEL names the button as it reads.
void MakeCancelTheAnswer(QMessageBox& box) {
  box.setDefaultButton(QMessageBox::Cancel);
  box.setEscapeButton(QMessageBox::Cancel);
  static const QRegularExpression kCancelWord(QStringLiteral("\\bCANCEL\\b"));
  box.setText(
      box.text().replace(kCancelWord, box.button(QMessageBox::Cancel)->text().remove(u'&')));
}

}  // namespace

void QtMessageBoxes::ShowError(const QString& text) {
  QMessageBox::critical(parent_, Title(), text, QMessageBox::Ok);
}

void QtMessageBoxes::ShowInformation(const QString& text) {
  QMessageBox::information(parent_, Title(), text, QMessageBox::Ok);
}

Answer QtMessageBoxes::Ask(Question question, const QString& text) {
  if (question == Question::kOkCancel) {
    QMessageBox box(QMessageBox::Warning, Title(), text, QMessageBox::Ok | QMessageBox::Cancel,
                    parent_);
    MakeCancelTheAnswer(box);
    return box.exec() == QMessageBox::Ok ? Answer::kOk : Answer::kCancel;
  }
  if (question == Question::kSaveDiscardCancel) {
    QMessageBox box(QMessageBox::Warning, Title(), text,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent_);
    MakeCancelTheAnswer(box);
    switch (box.exec()) {
      case QMessageBox::Save:
        return Answer::kSave;
      case QMessageBox::Discard:
        return Answer::kDiscard;
      default:
        return Answer::kCancel;
    }
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

bool QtMessageBoxes::ConfirmWithOption(const QString& text, const QString& option,
                                       bool* option_checked) {
  QMessageBox box(QMessageBox::Warning, Title(), text, QMessageBox::Ok | QMessageBox::Cancel,
                  parent_);
  MakeCancelTheAnswer(box);
  auto* check = new QCheckBox(option, &box);
  check->setChecked(*option_checked);
  box.setCheckBox(check);
  const bool ok = box.exec() == QMessageBox::Ok;
  *option_checked = check->isChecked();
  return ok;
}

}  // namespace tornavo

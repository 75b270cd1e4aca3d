#include "gui/message_boxes.h"

#include <QMessageBox>

namespace tornavo {

void QtMessageBoxes::ShowError(const QString& text) {
  QMessageBox::critical(parent_, QString(), text, QMessageBox::Ok);
}

void QtMessageBoxes::ShowInformation(const QString& text) {
  QMessageBox::information(parent_, QString(), text, QMessageBox::Ok);
}

bool QtMessageBoxes::Confirm(const QString& text) {
  return QMessageBox::warning(parent_, QString(), text, QMessageBox::Ok | QMessageBox::Cancel,
                              QMessageBox::Cancel) == QMessageBox::Ok;
}

}  // namespace tornavo

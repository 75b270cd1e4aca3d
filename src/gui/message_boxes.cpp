#include "gui/message_boxes.h"

#include <QMessageBox>

namespace tornavo {

void QtMessageBoxes::ShowError(const QString& text) {
  QMessageBox::critical(parent_, QString(), text, QMessageBox::Ok);
}

void QtMessageBoxes::ShowInformation(const QString& text) {
  QMessageBox::information(parent_, QString(), text, QMessageBox::Ok);
}

}  // namespace tornavo

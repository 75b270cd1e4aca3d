#pragma once

#include <QWidget>
#include <functional>

#include "core/eeprom/eeprom_transfer.h"

class QGroupBox;
class QPushButton;
class QRadioButton;

namespace tornavo {

class Texts;

// "Recibir", "Enviar", "Verificar" and the " Longitud " choice of the page "Eeprom".
class EepromTransferControls : public QWidget {
  Q_OBJECT

 public:
  EepromTransferControls(const Texts& texts, EepromTransfer& transfer, QWidget* parent);
  void ApplyTexts();
  EepromRange range() const;
  // Asked before "Recibir" or "Enviar" starts, which change the grid or the receiver; false
  // keeps it from starting.
  void SetGuard(std::function<bool(EepromTask, EepromRange)> guard) { guard_ = std::move(guard); }

  QPushButton* read_button() const { return read_; }
  QPushButton* write_button() const { return write_; }
  QPushButton* verify_button() const { return verify_; }
  QRadioButton* range_button(EepromRange range) const;

 private:
  const Texts& texts_;
  EepromTransfer& transfer_;
  std::function<bool(EepromTask, EepromRange)> guard_;
  QPushButton* read_;
  QPushButton* write_;
  QPushButton* verify_;
  QGroupBox* range_group_;
  QRadioButton* all_;
  QRadioButton* first_;
  QRadioButton* row_;
};

}  // namespace tornavo

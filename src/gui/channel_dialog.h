#pragma once

#include <QDialog>
#include <array>

#include "gui/app_services.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tornavo {

class TransponderChannelsList;

// "Información del canal": the fields of one channel row, its status, its transponder and the
// channels that share it. "Ok" writes the row back as one undoable step.
class TForm2 : public QDialog {
  Q_OBJECT

 public:
  TForm2(AppServices& services, QWidget* parent);
  void ApplyTexts();
  // Fills the dialog from the row and shows it modally.
  void Mostrar(int row);
  // Fills the dialog from the row (Mostrar without showing).
  void Fill(int row);

  // Nombre, Transpondedor, Service ID, Video PID, Audio PID, Video ECM, Audio ECM, PCR PID.
  QLineEdit* box(int index) const { return boxes_[static_cast<size_t>(index)]; }
  QCheckBox* status_box(int index) const { return status_[static_cast<size_t>(index)]; }
  QComboBox* encryption() const { return encryption_; }
  QPushButton* ok_button() const { return ok_; }
  TransponderChannelsList* channels_list() const { return list_; }
  QLabel* transponder_value(int index) const { return values_[static_cast<size_t>(index)]; }

 signals:
  // "Ok" wrote the row.
  void RowWritten(int row);

 protected:
  void showEvent(QShowEvent* event) override;
  void done(int result) override;

 private:
  void ShowTransponder();
  void WriteRow();

  AppServices& services_;
  int row_ = 1;
  std::array<QLabel*, 8> labels_{};
  std::array<QLineEdit*, 8> boxes_{};
  std::array<QCheckBox*, 4> status_{};  // Activo, Bloqueo Parental, Favorito, Desconocido
  QLabel* encryption_label_;
  QComboBox* encryption_;
  QGroupBox* status_group_;
  QGroupBox* transponder_group_;
  std::array<QLabel*, 3> value_labels_{};
  std::array<QLabel*, 3> values_{};  // Frecuencia, Polarización, Satélite
  QLabel* list_label_;
  TransponderChannelsList* list_;
  QPushButton* ok_;
  QPushButton* cancel_;
};

}  // namespace tornavo

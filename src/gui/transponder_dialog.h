#pragma once

#include <QDialog>
#include <array>

#include "gui/app_services.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tornavo {

class TransponderChannelsList;

// "Información de los Transpondedores": the fields of one transponder row and its channels.
// "Ok" writes the row back, and a new satellite name to its channels, as one undoable step.
class TForm3 : public QDialog {
  Q_OBJECT

 public:
  TForm3(AppServices& services, QWidget* parent);
  void ApplyTexts();
  void Mostrar(int row);
  void Fill(int row);

  QLineEdit* frequency_box() const { return frequency_; }
  QLabel* transponder_frequency() const { return shown_frequency_; }
  QLineEdit* id_box() const { return id_; }
  QLineEdit* network_box() const { return network_; }
  QLineEdit* channels_box() const { return channels_; }
  QComboBox* fec() const { return fec_; }
  QComboBox* polarity() const { return polarity_; }
  QComboBox* tone() const { return tone_; }
  QComboBox* symbol_rate() const { return symbol_rate_; }
  QComboBox* band() const { return band_; }
  QComboBox* satellite() const { return satellite_; }
  QPushButton* ok_button() const { return ok_; }
  TransponderChannelsList* channels_list() const { return list_; }

 signals:
  void RowWritten(int row);

 protected:
  void showEvent(QShowEvent* event) override;
  void done(int result) override;

 private:
  int Lnb() const;
  void CheckFrequency();
  void WriteRow();

  AppServices& services_;
  int row_ = 1;
  std::array<QLabel*, 11> labels_{};
  QLabel* shown_frequency_;
  QLineEdit* frequency_;
  QLineEdit* id_;
  QLineEdit* network_;
  QLineEdit* channels_;
  QComboBox* fec_;
  QComboBox* polarity_;
  QComboBox* tone_;
  QComboBox* symbol_rate_;
  QComboBox* band_;
  QComboBox* satellite_;
  QLabel* list_label_;
  TransponderChannelsList* list_;
  QPushButton* ok_;
  QPushButton* cancel_;
};

}  // namespace tornavo

#pragma once

#include <QWidget>

#include "gui/app_services.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QScrollArea;

namespace tornavo {

class JtagGroup;
class ParallelGroup;
class PictureGroup;
class PortChoices;
class SerialGroup;
class TuningGroup;

// Page "Configuración": the settings groups, each applying its changes at once.
class ConfigPage : public QWidget {
  Q_OBJECT

 public:
  ConfigPage(AppServices& services, PortChoices& port_choices, QWidget* parent);
  void ApplyTexts();
  // Shows the settings as they stand without running any change handler.
  void ShowSettings();
  // The serial port list again, when the system's ports have arrived.
  void ShowPortNames();
  // "Valores por Defecto".
  void ApplyDefaults();

  SerialGroup* serial_group() const { return serial_; }
  ParallelGroup* parallel_group() const { return parallel_; }
  TuningGroup* tuning_group() const { return tuning_; }
  JtagGroup* jtag_group() const { return jtag_; }
  PictureGroup* picture_group() const { return picture_; }
  QComboBox* language_list() const { return language_; }
  QCheckBox* checksum_box() const { return checksum_; }
  // "Copia de seguridad antes de cada escritura".
  QCheckBox* backup_box() const { return backup_; }
  QPushButton* defaults_button() const { return defaults_; }
  // The groups' area; it scrolls only when the window is smaller than the page needs.
  QScrollArea* scroll_area() const { return scroll_; }
  QWidget* groups() const { return content_; }

 signals:
  // The user chose another language: a language file's index in the settings' list, or -1 for
  // the built-in language.
  void LanguageChosen(int language);
  void TableSizesChanged();
  void SatelliteRenamed(int satellite, const QString& old_name, const QString& new_name);

 protected:
  // Leaving the page applies the satellite names to the tables.
  void hideEvent(QHideEvent* event) override;

 private:
  void ArrangeGroups();

  AppServices& services_;
  PortChoices& port_choices_;
  QScrollArea* scroll_;
  QWidget* content_;
  SerialGroup* serial_;
  ParallelGroup* parallel_;
  TuningGroup* tuning_;
  JtagGroup* jtag_;
  PictureGroup* picture_;
  QGroupBox* language_group_;
  QLabel* language_label_;
  QComboBox* language_;
  QGroupBox* terminal_group_;
  QCheckBox* checksum_;
  QCheckBox* backup_;
  QPushButton* defaults_;
};

}  // namespace tornavo

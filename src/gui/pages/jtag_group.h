#pragma once

#include <QGroupBox>

#include "gui/app_services.h"

class QCheckBox;
class QComboBox;
class QLabel;

namespace tornavo {

class SettingSlider;

// " JTag " of the configuration page: TCK length, trap address, the receiver model and the
// two flash chips, the flash write options and the WaitStart length.
class JtagGroup : public QGroupBox {
  Q_OBJECT

 public:
  JtagGroup(AppServices& services, QWidget* parent);
  void ApplyTexts();
  void ShowSettings();

  SettingSlider* tck_slider() const { return tck_; }
  SettingSlider* wait_start_slider() const { return wait_start_; }
  QComboBox* trap_list() const { return trap_; }
  QComboBox* model_list() const { return model_; }
  QComboBox* flash_start_list(int chip) const { return chips_[chip].start; }
  QComboBox* flash_type_list(int chip) const { return chips_[chip].type; }
  QCheckBox* verify_box() const { return checks_[0]; }
  QCheckBox* force_box() const { return checks_[1]; }
  QCheckBox* crc_box() const { return checks_[2]; }

 private:
  struct ChipBoxes {
    QGroupBox* group;
    QLabel* start_label;
    QComboBox* start;
    QLabel* type_label;
    QComboBox* type;
  };

  void AddChip(int chip, QWidget* parent);
  void ShowFlashFields();
  void FilterTrapText(const QString& text);
  void RoundTrapAddressOnLeaving();
  void ChooseModel(int index);

  AppServices& services_;
  SettingSlider* tck_;
  SettingSlider* wait_start_;
  QLabel* trap_label_;
  QComboBox* trap_;
  QLabel* model_label_;
  QComboBox* model_;
  ChipBoxes chips_[2];
  QCheckBox* checks_[3];
};

}  // namespace tornavo

#pragma once

#include <QGroupBox>

#include "gui/app_services.h"

class QComboBox;
class QLabel;
class QRadioButton;

namespace tornavo {

class SettingSlider;

// " Imagen " of the configuration page: JPEG quality, capture size and picture format.
class PictureGroup : public QGroupBox {
  Q_OBJECT

 public:
  PictureGroup(AppServices& services, QWidget* parent);
  void ApplyTexts();
  void ShowSettings();

  SettingSlider* quality_slider() const { return quality_; }
  QComboBox* size_list() const { return size_; }
  // 0 "16:9", 1 "4:3", 2 "No cambiar el formato".
  QRadioButton* format_choice(int i) const { return formats_[i]; }

 private:
  AppServices& services_;
  SettingSlider* quality_;
  QLabel* size_label_;
  QComboBox* size_;
  QLabel* format_label_;
  QRadioButton* formats_[3];
};

}  // namespace tornavo

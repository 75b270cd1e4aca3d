#pragma once

#include <QGroupBox>
#include <functional>
#include <vector>

#include "core/settings/settings_keys.h"
#include "gui/app_services.h"

class QComboBox;
class QGridLayout;
class QLabel;
class QSlider;
class QSpinBox;

namespace tornavo {

class Settings;

// A setting slider with its caption, its value in decimal and its unit (when it has one).
// Moving it stores the value at once; the value can also be typed exactly into its box,
// which the slider then follows.
class SettingSlider : public QObject {
  Q_OBJECT

 public:
  // Adds the row's widgets to the grid at the row given (the caption in column 0, unless the
  // caller places it elsewhere). `moved` runs after each change.
  SettingSlider(Settings& settings, Key key, QGridLayout* grid, int row, QWidget* parent,
                std::function<void()> moved = {});
  void SetTexts(const QString& caption, const QString& unit);
  // Shows the stored value without running the change.
  void ShowSetting();

  QSlider* slider() const { return slider_; }
  QLabel* caption() const { return caption_; }
  QSpinBox* value_box() const { return value_; }
  Key key() const { return key_; }

 private:
  void StoreMovedValue(int value);

  Settings& settings_;
  Key key_;
  std::function<void()> moved_;
  QLabel* caption_;
  QSlider* slider_;
  QSpinBox* value_;
  QLabel* unit_;
};

// " Puerto Paralelo ": the port's address range and the thirteen delays of the parallel link.
class ParallelGroup : public QGroupBox {
  Q_OBJECT

 public:
  ParallelGroup(AppServices& services, QWidget* parent);
  void ApplyTexts();
  void ShowSettings();

  // The backend list: each ppdev device present, direct I/O at the address above, and the
  // virtual receiver when the window has one. The choice is stored as a port locator text.
  void SetBackendChoices(const QStringList& ppdev_locators, bool virtual_receiver);

  QComboBox* address_list() const { return address_; }
  QComboBox* access_list() const { return access_; }
  const std::vector<SettingSlider*>& sliders() const { return sliders_; }

 private:
  void StoreAccess();
  QString DirectLocator() const;
  void ShowAccessCaptions();
  // The entry of a stored ppdev device that is not present, added when missing, with why.
  int MissingDeviceEntry(const QString& locator);
  // The chosen entry's reason it cannot be used, on the list, as the serial port list does.
  void ShowAccessDiagnosis();

  AppServices& services_;
  QLabel* address_label_;
  QComboBox* address_;
  QLabel* access_label_;
  QComboBox* access_;
  QStringList ppdev_locators_;
  bool virtual_receiver_ = false;
  std::vector<SettingSlider*> sliders_;
};

// Shared look of the page's groups: tight rows so that the page fits the window.
QGridLayout* CompactGrid(QWidget* group);

}  // namespace tornavo

#pragma once

#include <QByteArray>

#include "gui/pages/log_task_page.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace tornavo {

class FirmwareUpgrade;
class ParallelCheck;
struct FirmwareOptions;

// "Firmware (Paralelo+Serie)": the upgrade over the serial and parallel ports and the
// receiver's parallel-port check, with the page's log and task status panel.
class FirmwarePage : public LogTaskPage {
  Q_OBJECT

 public:
  FirmwarePage(AppServices& services, FirmwareUpgrade& upgrade, ParallelCheck& check,
               QWidget* parent);
  void ApplyTexts();
  void ShowSettings();
  // "Enviar" and "Comprobar LPT".
  void StartUpgrade();
  void CheckParallelPort();

  QComboBox* address() const { return address_; }
  QRadioButton* command(int index) const { return commands_[index]; }
  QRadioButton* flash_source() const { return use_flash_; }
  QRadioButton* file_source() const { return use_file_; }
  QCheckBox* phases() const { return phases_; }
  QCheckBox* progress() const { return progress_check_; }
  QPushButton* send_button() const { return send_; }
  QPushButton* check_button() const { return check_button_; }

 private:
  void ChooseAddress(int index);
  void StoreChoices();
  FirmwareOptions Options() const;
  // The "Tabla canales FLASH" source: the held flash image brought up to date with the edited
  // tables, or false after telling the user why there is nothing to send.
  bool TakeFlashImage(QByteArray* data);

  FirmwareUpgrade& upgrade_;
  ParallelCheck& check_;
  QLabel* address_label_;
  QComboBox* address_;
  QGroupBox* command_group_;
  QRadioButton* commands_[3];
  QGroupBox* use_group_;
  QRadioButton* use_flash_;
  QRadioButton* use_file_;
  QCheckBox* phases_;
  QCheckBox* progress_check_;
  QPushButton* send_;
  QPushButton* check_button_;
};

}  // namespace tornavo

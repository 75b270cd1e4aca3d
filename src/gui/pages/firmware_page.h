#pragma once

#include <QByteArray>
#include <functional>

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

// The held flash image for the "Tabla canales FLASH" source: true with the bytes to send,
// or false with the message slot that says why there are none.
using FlashImageSource = std::function<bool(QByteArray* image, int* message_slot)>;

// "Firmware (Paralelo+Serie)": the upgrade over the serial and parallel ports and the
// receiver's parallel-port check, with the page's log and task status panel.
class FirmwarePage : public LogTaskPage {
  Q_OBJECT

 public:
  FirmwarePage(AppServices& services, FirmwareUpgrade& upgrade, ParallelCheck& check,
               QWidget* parent);
  void ApplyTexts();
  void ShowSettings();
  // Until a channel list can be held, the source reports that none is loaded.
  void SetFlashImageSource(FlashImageSource source) { flash_source_ = std::move(source); }

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

  FirmwareUpgrade& upgrade_;
  ParallelCheck& check_;
  FlashImageSource flash_source_;
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

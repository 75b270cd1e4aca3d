#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "core/jtag/flash_programming.h"
#include "core/jtag/jtag_dump.h"
#include "core/jtag/jtag_state.h"
#include "core/lpt/port_locator.h"
#include "core/settings/flash_chip.h"
#include "gui/pages/log_task_page.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace tornavo {

class BlockingRunner;
class JtagService;
class PortRegisters;

// What the page needs from the window: the runner its operations go through, the JTAG
// service that opens the port and builds each operation, and the pages a completed dump hands
// its bytes to.
struct JtagPageLinks {
  BlockingRunner& runner;
  JtagService& jtag;
  // On the window's thread, after a dump that read all it was asked for, before the port is
  // closed.
  std::function<void(const JtagDumpRequest&, const JtagDumpResult&)> hand_over;
  // The locator of the port the settings name, for the questions.
  std::function<QString()> port_name;
  // Asked before a dump starts whose bytes would replace what a page holds; false keeps it
  // from starting.
  std::function<bool(const JtagDumpRequest&)> before_dump;
  // Asked before "Enviar" writes the EEPROM grid into the receiver; false sends nothing.
  std::function<bool(const JtagSendRequest&)> before_eeprom_send;
};

// "Firmware (JTag)": reads target memory through the JTAG cable and hands it to the page
// that understands it (channel tables, picture, EEPROM) or to a file; "Código de la CPU"
// names the CPU; "Enviar" writes what the chosen source names into the receiver and
// "Borrar Chip" erases a whole flash chip.
class JtagDumpPage : public LogTaskPage {
  Q_OBJECT

 public:
  JtagDumpPage(AppServices& services, JtagPageLinks links, QWidget* parent);
  ~JtagDumpPage() override;
  void ApplyTexts();
  void ShowSettings();

  // "Recibir" and "Código de la CPU".
  void StartDump();
  void IdentifyTargetCpu();
  // "Enviar" and "Borrar Chip".
  void StartSend();
  void EraseFlashChip();

  // The request the fields and the chosen source make, the fields rewritten first.
  JtagDumpRequest Request();
  JtagState& jtag_state();

  QComboBox* address() const { return address_; }
  QComboBox* length() const { return length_; }
  QRadioButton* source(DumpSource source) const { return sources_[static_cast<int>(source)]; }
  QPushButton* receive_button() const { return receive_; }
  QPushButton* cpu_button() const { return cpu_; }
  QPushButton* send_button() const { return send_; }
  QPushButton* erase_button() const { return erase_; }
  QRadioButton* erase_method(EraseMethod method) const {
    return erase_methods_[static_cast<int>(method)];
  }

 private:
  void FilterField(QComboBox* box, bool address);
  void LeaveField(QComboBox* box, bool address);
  void ChooseSource(DumpSource source);
  void StoreFields();
  DumpSource ChosenSource() const;
  // The fields, the trap and the flash settings as they stand, for "Enviar" and "Borrar Chip".
  JtagSendRequest SendRequest();
  // What the chosen source sends; false when the user cancelled or an error was shown.
  bool GatherSendInputs(JtagSendSource source, JtagSendInputs* inputs);
  // Runs one send or erase on the port the settings name.
  void RunOnPort(std::function<void(JtagSession&)> operation);
  // The port the settings name, its virtual chips laid out for an operation that changes the
  // flash; null, with the reason shown, when it cannot be had.
  // The port the settings choose; none, with *error, when its locator names no port.
  std::optional<PortLocator> ChosenPort(QString* error) const;
  std::shared_ptr<PortRegisters> OpenPort(bool changes_flash);

  JtagPageLinks links_;
  QLabel* address_label_;
  QComboBox* address_;
  QLabel* length_label_;
  QComboBox* length_;
  QGroupBox* use_group_;
  QRadioButton* sources_[5];
  QPushButton* cpu_;
  QPushButton* receive_;
  QPushButton* send_;
  QPushButton* erase_;
  QGroupBox* erase_group_;
  QRadioButton* erase_methods_[2];
};

}  // namespace tornavo

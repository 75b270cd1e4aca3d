#pragma once

#include <functional>
#include <memory>

#include "core/jtag/jtag_dump.h"
#include "core/jtag/jtag_state.h"
#include "gui/pages/log_task_page.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace tornavo {

class BlockingRunner;
class PortRegisters;

// What the page needs from the window: the runner its operations go through, the port the
// settings name, and the pages a completed dump hands its bytes to.
struct JtagPageLinks {
  BlockingRunner& runner;
  std::function<std::unique_ptr<PortRegisters>(QString* error)> open_port;
  // On the window's thread, after a dump that read all it was asked for.
  std::function<void(const JtagDumpRequest&, const JtagDumpResult&)> hand_over;
  // Tried after the places of the real trap routine; empty but with the virtual receiver.
  QString trap_stand_in;
};

// "Firmware (JTag)": reads target memory through the JTAG cable and hands it to the page
// that understands it (channel tables, picture, EEPROM) or to a file; "Código de la CPU"
// names the CPU.
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

  // The request the fields and the chosen source make, the fields rewritten first.
  JtagDumpRequest Request();
  JtagState& jtag_state() { return state_; }

  QComboBox* address() const { return address_; }
  QComboBox* length() const { return length_; }
  QRadioButton* source(DumpSource source) const { return sources_[static_cast<int>(source)]; }
  QPushButton* receive_button() const { return receive_; }
  QPushButton* cpu_button() const { return cpu_; }

 private:
  void FilterField(QComboBox* box, bool address);
  void LeaveField(QComboBox* box, bool address);
  void ChooseSource(DumpSource source);
  void StoreFields();
  DumpSource ChosenSource() const;
  JtagTiming Timing() const;

  JtagPageLinks links_;
  JtagState state_;
  QLabel* address_label_;
  QComboBox* address_;
  QLabel* length_label_;
  QComboBox* length_;
  QGroupBox* use_group_;
  QRadioButton* sources_[5];
  QPushButton* cpu_;
  QPushButton* receive_;
};

}  // namespace tornavo

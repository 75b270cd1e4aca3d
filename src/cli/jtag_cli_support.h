#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <memory>

#include "cli/console.h"
#include "core/jtag/jtag_state.h"
#include "core/lpt/port_registers.h"
#include "core/lpt/virtual_cable.h"
#include "core/settings/settings.h"

namespace tornavo::cli {

// JTAG log lines on stdout as they come; errors on stderr.
class JtagConsoleHost : public ConsoleHost {
 public:
  explicit JtagConsoleHost(bool progress) : progress_(progress) {}
  void AppendLog(LogId log, const QString& line) override;
  // Success boxes repeat the log line just printed.
  void ShowInformation(const QString& text) override;
  void SetProgressMaximum(StatusPage, int maximum) override { maximum_ = maximum; }
  void SetProgress(StatusPage, int position) override;

 private:
  bool progress_;
  int maximum_ = 0;
  QString last_line_;
};

struct JtagSetup {
  // --parallel virtual: the target, made for this command.
  std::unique_ptr<VirtualCable> cable;
  std::unique_ptr<PortRegisters> port;
};

// --parallel, --ini-dir and --fault.
void AddJtagCommonOptions(QCommandLineParser& parser);
// Opens the port the options name; prints the reason and returns the exit status on failure.
int OpenJtagPort(const QCommandLineParser& parser, const QString& name,
                 const VirtualCableMaker& make_virtual_cable, JtagSetup* setup);
JtagTiming JtagTimingOf(const Settings& settings);
// The places the trap routine is looked for: --trap, or for the virtual receiver its
// stand-in, or beside the program and in the settings folder. Prints the reason and returns
// false when the stand-in cannot be written.
bool JtagTrapPlaces(const QCommandLineParser& parser, const JtagSetup& setup,
                    const QString& ini_folder, const QString& name, QStringList* places);

}  // namespace tornavo::cli

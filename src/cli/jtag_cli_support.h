#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "cli/console.h"
#include "core/jtag/jtag_state.h"
#include "core/lpt/port_registers.h"
#include "core/lpt/virtual_cable.h"
#include "core/session/jtag_service.h"
#include "core/settings/settings.h"

namespace tornavo::cli {

// JTAG log lines on stdout as they come; errors on stderr.
class JtagConsoleHost : public ConsoleHost {
 public:
  explicit JtagConsoleHost(bool progress) : progress_(progress) {}
  void AppendLog(LogId log, const QString& line) override;
  // A success is printed once, as the log line it is; a failure also on stderr.
  void Log(LogId log, LogLevel level, const QString& line) override;

 protected:
  void ShowProgress(StatusPage page, const TaskPanel& panel) override;

 private:
  bool progress_;
};

// The port the options name and the JTAG service over it, for one command.
class JtagSetup {
 public:
  // Opens the port of --parallel, with the --fault values on a virtual target (whose chips
  // are laid out as the settings describe them when the operation changes_flash). Prints the
  // reason and returns the exit status on failure. settings and texts outlive the setup.
  int Open(const QCommandLineParser& parser, const QString& name,
           const VirtualCableMaker& make_virtual_cable, const Settings& settings,
           const Texts& texts, bool changes_flash);
  JtagService& service() { return *service_; }
  // The places the trap routine is looked for: --trap, or as the service finds them. Prints
  // the reason and returns false when there are none.
  bool TrapPlaces(const QCommandLineParser& parser, QStringList* places) const;
  // One operation on the open port.
  void Run(OperationHost& host, std::function<void(JtagSession&)> operation);

 private:
  QString name_;
  PortLocator locator_;
  // --parallel virtual: the target, made for this command.
  std::unique_ptr<VirtualCable> cable_;
  std::unique_ptr<JtagService> service_;
  std::shared_ptr<PortRegisters> port_;
};

// --parallel, --ini-dir and --fault.
void AddJtagCommonOptions(QCommandLineParser& parser);

}  // namespace tornavo::cli

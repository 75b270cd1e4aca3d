#include "cli/jtag_cli_support.h"

#include "core/lpt/port_locator.h"

namespace tornavo::cli {

void JtagConsoleHost::AppendLog(LogId log, const QString& line) {
  ConsoleHost::AppendLog(log, line);
  if (log == LogId::kJtag) Out(line);
}

void JtagConsoleHost::Log(LogId log, LogLevel level, const QString& line) {
  AppendLog(log, line);
  if (level == LogLevel::kFailure) ShowError(line);
}

void JtagConsoleHost::ShowProgress(StatusPage, const TaskPanel& panel) {
  if (progress_) Err(QStringLiteral("%1/%2").arg(panel.done).arg(panel.total));
}

void AddJtagCommonOptions(QCommandLineParser& parser) {
  parser.addOptions({
      {"parallel",
       "The port: ppdev:/dev/parportN, direct:HEX (278, 378, 3BC, A068), socket:PATH or "
       "virtual (an in-process virtual receiver).",
       "PORT"},
      {"ini-dir", "Folder of the settings and catalogue files.", "DIR"},
      {"fault",
       "With --parallel virtual: a fault of the virtual target (jtag-none, "
       "jtag-tdo-low, jtag-no-ack, jtag-slow-start, jtag-short-read:N (N = 4 ... 252, a multiple "
       "of 4), "
       "jtag-trap-silent, jtag-erase-fail:N, jtag-program-fail:N, jtag-verify-fail:N, "
       "jtag-read-fail:N, "
       "jtag-sti5512...). Repeatable.",
       "NAME"},
  });
}

int JtagSetup::Open(const QCommandLineParser& parser, const QString& name,
                    const VirtualCableMaker& make_virtual_cable, const Settings& settings,
                    const Texts& texts, bool changes_flash) {
  name_ = name;
  PortLocator& locator = locator_;
  QString error;
  if (!ParsePortLocator(parser.value("parallel"), &locator, &error)) {
    Err(name + (parser.value("parallel").isEmpty() ? QStringLiteral("--parallel PORT is required.")
                                                   : error));
    return kExitUsage;
  }
  const QStringList faults = parser.values("fault");
  if (locator.kind == PortLocator::Kind::kVirtual && make_virtual_cable) {
    QString unknown;
    cable_ = make_virtual_cable(faults, &unknown);
    if (!cable_) {
      // The port is virtual: the name, or the value after it, is what the target lacks.
      Err(name + QStringLiteral("unknown fault '%1': the virtual target has no fault of that name "
                                "and value (--help lists them).")
                     .arg(unknown));
      return kExitUsage;
    }
  } else if (!faults.isEmpty()) {
    Err(name +
        QStringLiteral("unknown fault '%1' (faults need --parallel virtual).").arg(faults.first()));
    return kExitUsage;
  }
  service_ = std::make_unique<JtagService>(settings, texts, PortBackends(cable_.get()));
  port_ = service_->OpenPort(locator, changes_flash, &error);
  if (!port_) {
    Err(name + error);
    return kExitPortRefused;
  }
  return kExitOk;
}

bool JtagSetup::TrapPlaces(const QCommandLineParser& parser, QStringList* places) const {
  QString error;
  *places = service_->TrapPlaces(parser.value("trap"), locator_, &error);
  if (places->isEmpty()) Err(name_ + error);
  return !places->isEmpty();
}

void JtagSetup::Run(OperationHost& host, std::function<void(JtagSession&)> operation) {
  InlineRunner runner(host);
  (void)service_->Start(runner, host, port_, std::move(operation));
}

}  // namespace tornavo::cli

#include "cli/jtag_cli_support.h"

#include <QCoreApplication>

#include "core/jtag/debug_unit.h"
#include "core/lpt/port_backends.h"
#include "core/lpt/port_locator.h"
#include "core/runtime/text_file.h"

namespace tornavo::cli {

void JtagConsoleHost::AppendLog(LogId log, const QString& line) {
  ConsoleHost::AppendLog(log, line);
  if (log == LogId::kJtag) {
    Out(line);
    last_line_ = line;
  }
}

void JtagConsoleHost::ShowInformation(const QString& text) {
  if (text != last_line_) ConsoleHost::ShowInformation(text);
}

void JtagConsoleHost::SetProgress(StatusPage, int position) {
  if (progress_ && position > 0 && NewProgress(position))
    Err(QStringLiteral("%1/%2").arg(position).arg(maximum_));
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
       "jtag-tdo-low, jtag-no-ack, jtag-slow-start, jtag-short-read:N, "
       "jtag-trap-silent, jtag-erase-fail:N, jtag-program-fail:N, jtag-verify-fail:N, "
       "jtag-sti5512...). Repeatable.",
       "NAME"},
  });
}

int OpenJtagPort(const QCommandLineParser& parser, const QString& name,
                 const VirtualCableMaker& make_virtual_cable, JtagSetup* setup) {
  PortLocator locator;
  QString error;
  if (!ParsePortLocator(parser.value("parallel"), &locator, &error)) {
    Err(name + (parser.value("parallel").isEmpty() ? QStringLiteral("--parallel PORT is required.")
                                                   : error));
    return kExitUsage;
  }
  const QStringList faults = parser.values("fault");
  if (locator.kind == PortLocator::Kind::kVirtual && make_virtual_cable) {
    QString unknown;
    setup->cable = make_virtual_cable(faults, &unknown);
    if (!setup->cable) {
      Err(name +
          QStringLiteral("unknown fault '%1' (faults need --parallel virtual).").arg(unknown));
      return kExitUsage;
    }
  } else if (!faults.isEmpty()) {
    Err(name +
        QStringLiteral("unknown fault '%1' (faults need --parallel virtual).").arg(faults.first()));
    return kExitUsage;
  }
  setup->port = PortBackends(setup->cable.get()).Make(locator, &error);
  if (!setup->port) {
    Err(name + error);
    return kExitPortRefused;
  }
  return kExitOk;
}

JtagTiming JtagTimingOf(const Settings& settings) {
  JtagTiming timing;
  timing.tck_cycles = settings.Int(Key::kDuracionTck);
  timing.wait_start_bits = static_cast<int32_t>(settings.Int(Key::kWStartBits));
  return timing;
}

bool JtagTrapPlaces(const QCommandLineParser& parser, const JtagSetup& setup,
                    const QString& ini_folder, const QString& name, QStringList* places) {
  if (parser.isSet("trap")) {
    *places = TrapFilePlaces({}, {}, parser.value("trap"));
  } else if (setup.cable) {
    // The virtual receiver gets its stand-in, never a real routine.
    QString error;
    const QString path = setup.cable->TrapStandIn(&error);
    if (path.isEmpty()) {
      Err(name + error);
      return false;
    }
    *places = {path};
  } else {
    *places = TrapFilePlaces(QCoreApplication::applicationDirPath(), ini_folder);
  }
  return true;
}

}  // namespace tornavo::cli

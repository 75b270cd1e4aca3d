#include <QCommandLineParser>
#include <QEventLoop>
#include <QRegularExpression>

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/serial_options.h"
#include "core/lpt/firmware_settings.h"
#include "core/lpt/port_backends.h"
#include "core/lpt/port_locator.h"
#include "core/runtime/clock.h"
#include "core/serial/qt_serial_transport.h"
#include "core/session/service_session.h"
#include "core/settings/settings.h"
#include "core/texts/texts.h"

namespace tornavo::cli {

namespace {

// Firmware log lines as they happen, and with --progress a line for every progress step;
// boxes as ConsoleHost shows them.
class FirmwareConsole : public ConsoleHost {
 public:
  explicit FirmwareConsole(bool progress = false) : progress_(progress) {}

  void AppendLog(LogId log, const QString& line) override {
    if (log != LogId::kFirmware) return;
    QString text = line;
    while (text.endsWith('\r')) text.chop(1);
    Out(text.replace('\r', '\n'));
  }

 protected:
  void ShowProgress(StatusPage page, const TaskPanel& panel) override {
    if (!progress_ || page != StatusPage::kFirmware) return;
    Out(QStringLiteral("%1 / %2  %3  %4")
            .arg(panel.done)
            .arg(panel.total)
            .arg(panel.Text(StatusField::kSpeed), panel.Text(StatusField::kRemaining))
            .trimmed());
  }

 private:
  bool progress_;
};

// --address, --command, --no-phase2 and --progress over the settings' delays; false with
// *error for an address or command outside their forms.
bool ReadUpgradeOptions(const QCommandLineParser& parser, const Settings& settings,
                        FirmwareOptions* options, QString* error) {
  *options = FirmwareOptionsOf(settings);
  options->address = parser.value("address").toUpper();
  static const QRegularExpression kHexAddress(QStringLiteral("^[0-9A-F]{1,8}$"));
  if (!kHexAddress.match(options->address).hasMatch()) {
    *error = QStringLiteral("--address: up to 8 hexadecimal digits.");
    return false;
  }
  options->command = FirmwareCommand::kDL;
  options->phases = true;
  AddressPreset(options->address, &options->command, &options->phases);
  if (parser.isSet("command")) {
    const int index = static_cast<int>(
        QStringList({"DL", "PL", "FL"}).indexOf(parser.value("command").toUpper()));
    if (index < 0) {
      *error = QStringLiteral("--command must be DL, PL or FL.");
      return false;
    }
    options->command = static_cast<FirmwareCommand>(index);
  }
  if (parser.isSet("no-phase2")) options->phases = false;
  options->show_progress = parser.isSet("progress");
  return true;
}

int Send(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Upgrades the receiver's firmware with FILE: the command over the serial port, the bytes\n"
      "over the parallel port, then the receiver's verification. An --address from the page's\n"
      "list (7FE00000, 60000000, FFF90000, FFF82000) chooses the command and the phases as the\n"
      "page does; --command and --no-phase2 override.\n"
      "Exit: 0 verified; 2 bad usage or unreadable file; 3 no answer; 4 refused, reported\n"
      "failed or parallel transfer failed; 5 parallel port access refused."));
  AddSerialOptions(parser);
  parser.addOptions({
      {"parallel", "The parallel port: ppdev:/dev/parportN, direct:378, socket:PATH.", "PORT"},
      {"command", "DL, PL or FL.", "CMD"},
      {"address", "Destination address, up to 8 hexadecimal digits (default 7FE00000).", "HEX",
       "7FE00000"},
      {"no-phase2", "Ask for the verification right after the transfer."},
      {"progress", "Show the progress every 12287 bytes."},
  });
  parser.addPositionalArgument("FILE", "the firmware image");
  if (!Parse(parser, arguments)) return kExitUsage;
  const QString name = QStringLiteral("tornavo firmware send: ");
  auto usage = [&](const QString& text) {
    Err(name + text);
    return kExitUsage;
  };

  SymbolRateTable symbol_rates{};
  PictureOptions picture_options;
  Settings settings(symbol_rates, picture_options);
  PortSettings line;
  double timeout_scale = 1.0;
  QString error;
  LoadSettingsFolder(parser, settings);
  if (!ReadSerialOptions(parser, settings, &line, &timeout_scale, &error)) return usage(error);
  if (parser.positionalArguments().size() != 1) return usage(QStringLiteral("give one FILE."));
  PortLocator locator;
  if (!ParsePortLocator(parser.value("parallel"), &locator, &error) ||
      locator.kind == PortLocator::Kind::kVirtual)
    return usage(QStringLiteral("--parallel: ") + error);

  FirmwareOptions options;
  if (!ReadUpgradeOptions(parser, settings, &options, &error)) return usage(error);

  QByteArray data;
  if (!ReadFirmwareFile(parser.positionalArguments()[0], settings, &data, &error))
    return usage(error);

  QtSerialTransport transport;
  if (!OpenSerialLine(line, transport)) return kExitBadInput;
  FirmwareConsole host(options.show_progress);
  Texts texts;
  SteadyClock clock;
  ServiceSession session(transport, host, texts, clock);
  session.link().SetTimeoutScale(timeout_scale);
  FirmwareUpgrade& upgrade = session.firmware_upgrade();
  upgrade.SetPortOpener([locator](QString* error) { return PortBackends().Make(locator, error); });
  QEventLoop loop;
  upgrade.SetOnFinished([&loop] { loop.quit(); });
  upgrade.Start(data, options);
  if (upgrade.running()) loop.exec();
  switch (upgrade.outcome()) {
    case FirmwareOutcome::kSucceeded:
      return kExitOk;
    case FirmwareOutcome::kNoReply:
      return kExitNoReply;
    case FirmwareOutcome::kPortRefused:
      return kExitPortRefused;
    default:
      return kExitFailed;
  }
}

int CheckLpt(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("Asks the receiver to check its parallel port (%PR?).\n"
                     "Exit: 0 the port is in order; 4 the receiver reports a fault; 3 no answer."));
  AddSerialOptions(parser);
  if (!Parse(parser, arguments)) return kExitUsage;
  PortSettings line;
  double timeout_scale = 1.0;
  QString error;
  if (!ReadSerialOptions(parser, &line, &timeout_scale, &error)) {
    Err(QStringLiteral("tornavo firmware check-lpt: ") + error);
    return kExitUsage;
  }
  if (!parser.positionalArguments().isEmpty()) {
    Err(QStringLiteral("tornavo firmware check-lpt: no argument besides the options."));
    return kExitUsage;
  }
  QtSerialTransport transport;
  if (!OpenSerialLine(line, transport)) return kExitBadInput;
  FirmwareConsole host;
  Texts texts;
  SteadyClock clock;
  ServiceSession session(transport, host, texts, clock);
  session.link().SetTimeoutScale(timeout_scale);
  ParallelCheck& check = session.parallel_check();
  QEventLoop loop;
  check.SetOnFinished([&loop] { loop.quit(); });
  check.Start();
  loop.exec();
  switch (check.outcome()) {
    case FirmwareOutcome::kSucceeded:
      return kExitOk;
    case FirmwareOutcome::kNoReply:
      return kExitNoReply;
    default:
      return kExitFailed;
  }
}

}  // namespace

int RunFirmwareCommand(const QStringList& arguments) {
  const QString verb = arguments.value(1);
  QStringList rest = arguments.mid(2);
  rest.prepend(arguments.value(0) + ' ' + verb);
  if (verb == QLatin1String("send")) return Send(rest);
  if (verb == QLatin1String("check-lpt")) return CheckLpt(rest);
  if (verb == QLatin1String("--help") || verb == QLatin1String("-h")) {
    Out(
        QStringLiteral("Usage: tornavo firmware send|check-lpt [options] [--help]\n\n"
                       "  send        upgrade the firmware over the parallel and serial ports\n"
                       "  check-lpt   ask the receiver to check its parallel port"));
    return kExitOk;
  }
  Err(QStringLiteral("tornavo firmware: give send or check-lpt. Try 'tornavo firmware --help'."));
  return kExitUsage;
}

}  // namespace tornavo::cli

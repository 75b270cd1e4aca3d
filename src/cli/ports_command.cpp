#include <QCommandLineParser>
#include <QCoreApplication>

#include "cli/commands.h"
#include "cli/console.h"
#include "core/port/port_diagnosis.h"
#include "core/settings/shipped_languages.h"
#include "core/texts/texts.h"

namespace tornavo::cli {

namespace {

void Print(const PortDiagnosis& port) {
  const QString indent(4, u' ');
  Out(QStringLiteral("  %1%2")
          .arg(port.device)
          .arg(port.description.isEmpty() ? QString() : QStringLiteral("  ") + port.description));
  for (const QString& alias : port.aliases) Out(indent + QStringLiteral("also ") + alias);
  if (port.usable) {
    Out(indent + QStringLiteral("can be opened now"));
    return;
  }
  Out(indent + QStringLiteral("cannot be opened: ") + port.reason);
  if (!port.remedy.isEmpty()) Out(indent + QStringLiteral("what to do: ") + port.remedy);
}

}  // namespace

int RunPortsCommand(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Lists every serial device (USB adapters with vendor, product and serial number), every\n"
      "parallel port and direct I/O, and says for each whether you can open it now; if not,\n"
      "why and what to do. Given DEVICEs, checks only those, and exits with 5 when one of\n"
      "them is no port or cannot be opened."));
  parser.addPositionalArgument(QStringLiteral("DEVICE"),
                               QStringLiteral("a serial device to check, such as /dev/ttyUSB0"),
                               QStringLiteral("[DEVICE...]"));
  // Another system tree in place of /, for checking the diagnosis itself.
  QCommandLineOption root_option(QStringLiteral("root"), QStringLiteral("system tree"),
                                 QStringLiteral("DIR"), QStringLiteral("/"));
  root_option.setFlags(QCommandLineOption::HiddenFromHelp);
  parser.addOption(root_option);
  if (!Parse(parser, arguments)) return kExitUsage;

  // Like the rest of this listing, the reasons and remedies are in English.
  Texts english;
  LoadShippedEnglish(QCoreApplication::applicationDirPath(), english);
  const PortInspector inspector(parser.value(root_option), CurrentUser(), english);
  const QStringList devices = parser.positionalArguments();
  if (!devices.isEmpty()) {
    bool all_usable = true;
    for (const QString& device : devices) {
      // "ttyUSB0" means the device of that name.
      const PortDiagnosis port = inspector.Device(
          device.contains(u'/') || device.isEmpty() ? device : QStringLiteral("/dev/") + device);
      Print(port);
      all_usable = all_usable && port.usable;
    }
    return all_usable ? kExitOk : kExitPortRefused;
  }
  Out(QStringLiteral("Serial ports:"));
  const auto serial = inspector.SerialPorts();
  if (serial.empty()) Out(QStringLiteral("  none found (plug in the USB adapter?)"));
  for (const PortDiagnosis& port : serial) Print(port);
  Out(QStringLiteral("Parallel ports:"));
  for (const PortDiagnosis& port : inspector.ParallelPorts()) Print(port);
  Out(QStringLiteral("Direct I/O:"));
  Print(inspector.DirectIo());
  return kExitOk;
}

}  // namespace tornavo::cli

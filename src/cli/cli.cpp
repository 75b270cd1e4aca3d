#include "cli/cli.h"

#include <QCoreApplication>
#include <QStringList>
#include <vector>

#include "cli/commands.h"
#include "cli/console.h"

namespace tornavo::cli {

namespace {

struct Subcommand {
  const char* name;
  const char* summary;
  std::function<int(const QStringList&)> run;
};

std::vector<Subcommand> Subcommands(const CommandLineLinks& links) {
  return {
      {"frame", "print a command text with its checksum appended", RunFrameCommand},
      {"send", "send one service command and print the reply", RunSendCommand},
      {"virtual-receiver", "run the virtual receiver and print its serial device",
       links.run_virtual_receiver},
      {"eeprom", "EEPROM files and transfers (convert, show, edit, read, write, verify)",
       RunEepromCommand},
      {"capture", "convert a captured frame to a picture", RunCaptureCommand},
      {"settings", "show the settings as they load, or their defaults", RunSettingsCommand},
      {"ports", "list the ports and say why one cannot be opened", RunPortsCommand},
      {"channels", "channel and transponder tables of an image (list, export, edit)",
       RunChannelsCommand},
      {"firmware", "upgrade the firmware over parallel + serial, check the parallel port",
       RunFirmwareCommand},
      {"jtag", "JTAG: identify the CPU, dump target memory",
       [&links](const QStringList& arguments) {
         return RunJtagCommand(arguments, links.make_virtual_cable);
       }},
  };
}

// The commands report their own failures; Qt's warnings about the same things (a file
// that cannot be opened, say) would only repeat them in another voice.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) Err(message);
}

void PrintUsage(const std::vector<Subcommand>& commands) {
  Out(
      QStringLiteral("Usage: tornavo [window options]\n"
                     "       tornavo COMMAND [options] [--help]\n\n"
                     "Without a command the window opens. Window options:\n"
                     "  --virtual-receiver   connect to a virtual receiver (no hardware needed)\n"
                     "  --eeprom FILE        start the virtual receiver's EEPROM from a BIN file\n"
                     "  --fault FAULT        switch on a virtual receiver fault\n"
                     "  --port DEVICE        add a serial device to the port list and select it\n"
                     "  --ini-dir DIR        folder of the settings and catalogue files\n"
                     "  --version            print the version and exit\n\n"
                     "Commands:"));
  for (const Subcommand& command : commands)
    Out(QStringLiteral("  %1%2")
            .arg(QString::fromLatin1(command.name), -18)
            .arg(QString::fromLatin1(command.summary)));
}

QString FirstArgument(int argc, char** argv) {
  return argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
}

bool AsksForHelp(const QString& first) {
  return first == QLatin1String("--help") || first == QLatin1String("-h") ||
         first == QLatin1String("help");
}

bool AsksForVersion(const QString& first) { return first == QLatin1String("--version"); }

}  // namespace

bool OpensWindow(int argc, char** argv) {
  const QString first = FirstArgument(argc, argv);
  if (AsksForHelp(first) || AsksForVersion(first)) return false;
  return first.isEmpty() || first.startsWith(QLatin1String("--"));
}

int Main(int argc, char** argv, const CommandLineLinks& links) {
  const QString first = FirstArgument(argc, argv);
  const std::vector<Subcommand> commands = Subcommands(links);
  if (AsksForHelp(first)) {
    PrintUsage(commands);
    return kExitOk;
  }
  if (AsksForVersion(first)) {
    Out(QStringLiteral("tornavo " TORNAVO_VERSION));
    return kExitOk;
  }
  for (const Subcommand& command : commands) {
    if (first != QLatin1String(command.name) || !command.run) continue;
    qInstallMessageHandler(QuietQtMessages);
    QCoreApplication app(argc, argv);
    QStringList arguments = app.arguments();
    arguments.removeFirst();
    arguments[0] = QStringLiteral("tornavo ") + arguments[0];
    return command.run(arguments);
  }
  Err(QStringLiteral("tornavo: unknown command '%1'. Try 'tornavo --help'.").arg(first));
  return kExitUsage;
}

}  // namespace tornavo::cli

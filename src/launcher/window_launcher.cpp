#include "launcher/window_launcher.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <cstdio>

#include "cli/exit_codes.h"
#include "core/serial/serial_transport.h"
#include "core/settings/ini_folder.h"
#include "core/settings/settings.h"
#include "core/settings/shipped_languages.h"
#include "gui/file_dialogs.h"
#include "gui/main_window.h"
#include "gui/message_boxes.h"
#include "sim/jtag_target.h"
#include "sim/shared_cable_port.h"
#include "sim/target_cable.h"
#include "sim/virtual_catalogue.h"
#include "sim/virtual_receiver.h"

namespace tornavo {

namespace {

// A new settings folder gets the language files that come with the program; English is
// chosen when the system's locale is English, else the built-in Spanish stays.
void InstallFirstStartLanguages(const QString& ini_folder) {
  QString error;
  const bool english =
      LocaleIsEnglish(qEnvironmentVariable("LC_ALL"), qEnvironmentVariable("LC_MESSAGES"),
                      qEnvironmentVariable("LANG"));
  if (!InstallShippedLanguages(ini_folder,
                               ShippedLanguageFolder(QCoreApplication::applicationDirPath()),
                               english, &error))
    std::fprintf(stderr, "%s\n", error.toUtf8().constData());
}

// The window's options, with --help.
void DescribeWindow(QCommandLineParser& parser) {
  parser.addOptions({
      {"virtual-receiver", "Connect to a virtual receiver."},
      {"eeprom", "Start the virtual receiver's EEPROM from a BIN file.", "FILE"},
      {"fault",
       "Switch on a fault of the virtual receiver, as tornavo virtual-receiver --fault does "
       "(jtag-program-fail:1 asks Abort/Retry/Ignore on the next flash block). Repeatable.",
       "FAULT"},
      {"port", "Add a serial device to the port list and select it.", "DEVICE"},
      {"ini-dir",
       "Folder of the settings and catalogue files. With --virtual-receiver the default is the\n"
       "virtual receiver's own folder, which it fills with its flash type and model files;\n"
       "in a folder given here it adds only files that are absent.",
       "DIR"},
  });
  parser.addHelpOption();
}

}  // namespace

std::optional<int> WindowOptionsEnd(const QStringList& arguments) {
  QCommandLineParser parser;
  DescribeWindow(parser);
  if (!parser.parse(arguments)) {
    std::fprintf(stderr, "tornavo: %s Try 'tornavo --help'.\n", qPrintable(parser.errorText()));
    return cli::kExitUsage;
  }
  if (!parser.isSet("help")) return std::nullopt;
  // No application object exists yet to name the program.
  QString help = parser.helpText();
  help.replace(QStringLiteral("<executable_name>"), QStringLiteral("tornavo"));
  std::fprintf(stdout, "%s", qPrintable(help));
  return cli::kExitOk;
}

int RunWindow(const QStringList& arguments) {
  if (const std::optional<int> end = WindowOptionsEnd(arguments)) return *end;
  QCommandLineParser parser;
  DescribeWindow(parser);
  parser.parse(arguments);

  WindowOptions options;
  options.extra_ports = parser.values("port");
  if (!options.extra_ports.isEmpty()) options.select_port = options.extra_ports.last();
  options.list_ports_in_background = true;
  const bool with_receiver =
      parser.isSet("virtual-receiver") || parser.isSet("eeprom") || parser.isSet("fault");
  options.ini_dir =
      ResolveIniFolder(parser.isSet("ini-dir") || !with_receiver ? parser.value("ini-dir")
                                                                 : sim::VirtualReceiverIniFolder(),
                       QCoreApplication::applicationDirPath());
  // Looked at before the virtual receiver adds its files there.
  const bool first_start =
      !QFileInfo::exists(options.ini_dir + QString::fromLatin1(Settings::kFileName));

  sim::VirtualReceiver receiver;
  // One parallel port, as on the bench: the JTAG adapter and the receiver's own cable share it,
  // and the JTAG trap reaches the same EEPROM the serial side serves.
  sim::JtagTarget jtag;
  sim::ShareEeprom(jtag, receiver);
  sim::SharedCablePort port(jtag, receiver.parallel());
  sim::TargetCable cable(jtag, port, sim::TargetCable::Chips::kKeepBytes);
  if (with_receiver) {
    QString error;
    if (QString fault; !sim::ApplyFaults(parser.values("fault"), receiver, jtag, &fault)) {
      std::fprintf(stderr, "unknown fault '%s'\n", fault.toUtf8().constData());
      return cli::kExitUsage;
    }
    if (parser.isSet("eeprom") && !receiver.LoadEepromFile(parser.value("eeprom"), &error)) {
      std::fprintf(stderr, "%s\n", error.toUtf8().constData());
      return cli::kExitBadInput;
    }
    if (!receiver.Start(&error)) {
      std::fprintf(stderr, "%s\n", error.toUtf8().constData());
      return cli::kExitBadInput;
    }
    options.extra_ports << receiver.device_path();
    options.virtual_cable = &cable;
    // Its own flash type and model files, so that flash programming works without hardware;
    // a technician's files are never replaced.
    if (!sim::InstallVirtualCatalogue(options.ini_dir, nullptr, &error))
      std::fprintf(stderr, "%s\n", error.toUtf8().constData());
    options.select_port = receiver.device_path();
  }

  if (first_start) InstallFirstStartLanguages(options.ini_dir);

  TForm1 window(std::move(options));
  window.show();
  return QApplication::exec();
}

}  // namespace tornavo

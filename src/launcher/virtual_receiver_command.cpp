#include "launcher/virtual_receiver_command.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <csignal>

#include "cli/console.h"
#include "cli/exit_codes.h"
#include "core/settings/ini_folder.h"
#include "core/settings/settings.h"
#include "sim/jtag_target.h"
#include "sim/parallel_socket_server.h"
#include "sim/shared_cable_port.h"
#include "sim/target_cable.h"
#include "sim/virtual_catalogue.h"
#include "sim/virtual_receiver.h"

namespace tornavo {

using cli::Err;
using cli::Out;

namespace {
void Quit(int) { QCoreApplication::quit(); }

// The command's help text and options.
void DescribeVirtualReceiver(QCommandLineParser& parser) {
  parser.setApplicationDescription(QStringLiteral(
      "Runs a virtual receiver in service mode on a pseudo-terminal and prints the device to\n"
      "open as its serial port (and, with --parallel-socket, the socket of its parallel port\n"
      "on a second line). Runs until interrupted."));
  parser.addOptions({
      {"eeprom", "Start the EEPROM from a 2048-byte BIN file.", "FILE"},
      {"baud", "Line rate the replies are paced to (default 9600).", "N", "9600"},
      {"no-pacing", "Answer at once instead of at the line rate."},
      {"fault",
       "Switch on a fault: reject:N, silent, silent:N (after N replies), split:N, merge, "
       "delay:MS,\n"
       "corrupt, refuse-upgrade, "
       "refuse-check; on the parallel side busy, ack-low:K, paper-end, data, silent-event2,\n"
       "ack-low-event6, select-high-event6; on the JTAG side jtag-none, jtag-tdo-low, "
       "jtag-no-ack,\n"
       "jtag-late-ack, jtag-slow-start[:N], jtag-busy:N, jtag-short-read:N, jtag-trap-silent,\n"
       "jtag-trap-late:N, jtag-erase-fail:N, jtag-program-fail:N, jtag-verify-fail:N, "
       "jtag-read-fail:N, "
       "jtag-sti5512.",
       "FAULT"},
      {"ini-dir",
       "Settings folder whose flash type files lay out the JTAG target's flash chips (default:\n"
       "the virtual receiver's own). The virtual receiver adds its flash type and model files\n"
       "where absent; give the same folder to the jtag commands.",
       "DIR"},
      {"parallel-socket",
       "Also serve the parallel side on a Unix socket at PATH (for --parallel socket:PATH).",
       "PATH"},
  });
}

// Lays out the JTAG target's flash chips as the flash type files of ini_folder describe them.
void FollowSettingsChips(const QString& ini_folder, sim::JtagTarget& jtag) {
  SymbolRateTable symbol_rates{};
  PictureOptions picture_options;
  Settings settings(symbol_rates, picture_options);
  settings.Load(ini_folder, {});
  sim::FollowFlashChips(jtag, {settings.flash_chip(0), settings.flash_chip(1)});
}

}  // namespace

int RunVirtualReceiverCommand(const QStringList& arguments) {
  QCommandLineParser parser;
  DescribeVirtualReceiver(parser);
  if (!cli::Parse(parser, arguments)) return cli::kExitUsage;

  sim::VirtualReceiver receiver;
  // The JTAG adapter shares the parallel port with the receiver's own cable, and its trap
  // reaches the EEPROM the serial side serves.
  sim::JtagTarget jtag;
  sim::ShareEeprom(jtag, receiver);
  sim::SharedCablePort port(jtag, receiver.parallel());
  QString error;
  if (parser.isSet("eeprom") && !receiver.LoadEepromFile(parser.value("eeprom"), &error)) {
    Err(error);
    return cli::kExitBadInput;
  }
  PortSettings line;
  bool ok = false;
  line.baud = parser.value("baud").toInt(&ok);
  if (!ok || line.baud <= 0) {
    Err(QStringLiteral("tornavo virtual-receiver: --baud must be a positive number."));
    return cli::kExitUsage;
  }
  receiver.SetLineSettings(line);
  receiver.SetPacing(!parser.isSet("no-pacing"));
  if (QString fault; !sim::ApplyFaults(parser.values("fault"), receiver, jtag, &fault)) {
    Err(QStringLiteral("tornavo virtual-receiver: unknown fault '%1'.").arg(fault));
    return cli::kExitUsage;
  }
  const QString ini_folder = parser.isSet("ini-dir")
                                 ? ResolveIniFolder(parser.value("ini-dir"), QString())
                                 : sim::VirtualReceiverIniFolder();
  if (!sim::InstallVirtualCatalogue(ini_folder, nullptr, &error)) {
    Err(error);
    return cli::kExitBadInput;
  }
  FollowSettingsChips(ini_folder, jtag);
  if (!receiver.Start(&error)) {
    Err(error);
    return cli::kExitBadInput;
  }
  sim::ParallelSocketServer parallel(port);
  if (parser.isSet("parallel-socket") && !parallel.Start(parser.value("parallel-socket"), &error)) {
    Err(error);
    return cli::kExitBadInput;
  }
  Out(receiver.device_path());
  if (parser.isSet("parallel-socket")) Out(parser.value("parallel-socket"));
  Err(QStringLiteral("settings folder: ") + ini_folder);
  std::signal(SIGINT, Quit);
  std::signal(SIGTERM, Quit);
  return QCoreApplication::exec();
}

}  // namespace tornavo

namespace tornavo {

cli::CommandLineLinks VirtualReceiverLinks() {
  return {RunVirtualReceiverCommand, sim::MakeCommandTargetCable};
}

}  // namespace tornavo

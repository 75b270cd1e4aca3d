#include <QCommandLineParser>
#include <QCoreApplication>

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/jtag_cli_support.h"
#include "cli/section_options.h"
#include "core/eeprom/eeprom_files.h"
#include "core/eeprom/eeprom_image.h"
#include "core/jtag/firmware_crc.h"
#include "core/jtag/flash_programming.h"
#include "core/runtime/text_file.h"
#include "core/serial/qt_serial_transport.h"
#include "core/session/channel_service.h"
#include "core/settings/flash_chip.h"
#include "core/settings/ini_folder.h"
#include "core/settings/settings.h"

namespace tornavo::cli {

namespace {

// Answers the questions of the operations from the options: the Abort/Retry/Ignore box from
// --on-error, the erase warning from --yes. Questions are shown on stderr.
class AnsweringConsoleHost : public JtagConsoleHost {
 public:
  AnsweringConsoleHost(Answer on_error, int retries, bool yes)
      : JtagConsoleHost(false), on_error_(on_error), retries_(retries), yes_(yes) {}
  Answer Ask(Question question, const QString& text) override {
    if (question == Question::kOkCancel) return yes_ ? Answer::kOk : Answer::kCancel;
    Err(text);
    if (on_error_ != Answer::kRetry) return on_error_;
    if (retries_ <= 0) return Answer::kAbort;
    --retries_;
    return Answer::kRetry;
  }

 private:
  Answer on_error_;
  int retries_;
  bool yes_;
};

bool ParseOnError(const QString& text, Answer* answer, int* retries) {
  *retries = 0;
  if (text.isEmpty() || text == QLatin1String("abort")) {
    *answer = Answer::kAbort;
    return true;
  }
  if (text == QLatin1String("ignore")) {
    *answer = Answer::kIgnore;
    return true;
  }
  if (!text.startsWith(QLatin1String("retry:"))) return false;
  bool ok = false;
  *retries = text.mid(6).toInt(&ok);
  *answer = Answer::kRetry;
  return ok && *retries >= 0;
}

// The settings the JTAG operations read, with the virtual target's chips laid out as the
// flash type files describe them.
struct JtagRun {
  explicit JtagRun(const QString& command) : name(command + QStringLiteral(": ")) {}

  void LoadSettings(const QCommandLineParser& parser) {
    settings.Load(ResolveIniFolder(parser.value("ini-dir"), QCoreApplication::applicationDirPath()),
                  QtSerialTransport::AvailablePorts());
    // The option wins over the settings folder's choice.
    TakeSendSettings(settings, !parser.isSet("no-backup"), &request);
    request.port = parser.value("parallel");
  }

  // Opens the port; for the virtual receiver its chips follow the settings.
  int Open(const QCommandLineParser& parser, const VirtualCableMaker& make_virtual_cable) {
    if (const int status = setup.Open(parser, name, make_virtual_cable, settings, texts, true);
        status != kExitOk)
      return status;
    request.trap_address = setup.service().TrapAddress();
    return setup.TrapPlaces(parser, &request.trap_places) ? kExitOk : kExitFailed;
  }

  // The operation on the open port; its outcome as the exit status.
  int Run(OperationHost& host, const std::function<JtagSendResult(JtagSession&)>& operation) {
    JtagSendResult result;
    setup.Run(host, [&](JtagSession& session) { result = operation(session); });
    return ExitOf(result);
  }

  int ExitOf(const JtagSendResult& result) const {
    switch (result.outcome) {
      case SendOutcome::kPortFailed:
        return kExitPortRefused;  // the reason is on stderr already
      case SendOutcome::kRefused:
        return kExitUsage;
      case SendOutcome::kFailed:
        return kExitFailed;
      case SendOutcome::kDone:
        break;
    }
    return kExitOk;
  }

  QString name;
  Texts texts;
  SymbolRateTable symbol_rates{};
  PictureOptions picture_options;
  Settings settings{symbol_rates, picture_options};
  JtagSetup setup;
  JtagSendRequest request;
};

QCommandLineOption NoBackupOption() {
  return {"no-backup",
          "Keep no backup of what is overwritten (as CopiaSeguridad=0 in the settings does)."};
}

// The help's lines on backups: the folder as it stands, and how a copy is put back.
QString BackupHelp(const char* before, const char* restore) {
  return QStringLiteral(
             "Before %1, what is there is read and kept in a file in\n  %2\n"
             "(the output names it); %3 restores it.\n--no-backup keeps none.\n")
      .arg(QString::fromLatin1(before), DefaultBackupFolder(), QString::fromLatin1(restore));
}

bool ParseAddressOption(const QCommandLineParser& parser, const char* option, uint32_t* value) {
  return parser.isSet(option) && ParseHexAddress(parser.value(option), value);
}

// The send's help text and options.
void DescribeJtagSend(QCommandLineParser& parser) {
  parser.setApplicationDescription(
      QStringLiteral(
          "Writes into the receiver through the JTAG cable, as \"Enviar\" of the page \"Firmware "
          "(JTag)\" does.\n"
          "  file     FILE is programmed into the flash chip holding --address (the firmware chip\n"
          "           first), or written into RAM when neither chip holds it\n"
          "  flash    FILE is loaded as the channel-list flash image, its tables brought up to\n"
          "           date, and programmed into the channel-list chip (--section-tcs and\n"
          "           --section-tpt pick the sections of an image that holds several)\n"
          "  ram      FILE is loaded as a RAM channel table and written into RAM\n"
          "  eeprom   FILE is loaded as an EEPROM image; --length bytes from --address are\n"
          "           written into the serial EEPROM (default: up to its end)\n"
          "--force, --no-verify and --crc override the settings; --on-error answers the\n"
          "Abort/Retry/Ignore question of a failed block.\n") +
      BackupHelp("flash blocks are erased or the EEPROM is written",
                 "sending that file to the address in its name\n(an EEPROM copy: --source eeprom "
                 "--format own)") +
      QStringLiteral(
          "Exit status 0 on success, 2 for bad usage or input, 4 when the target failed or a\n"
          "byte was not sent, 5 when the port cannot be opened."));
  AddJtagCommonOptions(parser);
  parser.addPositionalArgument("FILE", "the file to send");
  parser.addOptions({
      {"source", "file, flash, ram or eeprom.", "SOURCE"},
      {"address", "Destination address, hexadecimal.", "HEX"},
      {"length", "EEPROM source: bytes to write, hexadecimal.", "HEX"},
      {"force", "Program every block, also those the flash already holds."},
      {"no-verify", "Do not read programmed blocks back."},
      {"crc", "Put the firmware CRC block into files for the firmware chip."},
      {"on-error", "abort (default), ignore or retry:N (N retries, then abort).", "ANSWER"},
      {"trap",
       "The trap routine (default: trap.bin beside the program, then in the settings "
       "folder).",
       "FILE"},
      {"format", "EEPROM source: own, kvl or bin (default bin).", "FORMAT"},
      {"allow-partial", "EEPROM source: send the bytes even of rows FILE does not define (as FF)."},
      NoBackupOption(),
  });
  AddSectionOptions(parser);
}

// Reads FILE as --source says into what the send writes. Errors are printed.
bool LoadSendInputs(const QCommandLineParser& parser, JtagRun& run, JtagConsoleHost& host,
                    const QString& path, EepromFormat format, JtagSendSource* send_source,
                    JtagSendInputs* inputs) {
  const QString source = parser.value("source");
  if (source == QLatin1String("eeprom")) {
    *send_source = JtagSendSource::kEeprom;
    EepromImage image;
    EepromRows file_rows;
    if (!LoadEepromFile(path, format, run.texts, host, image, &file_rows) ||
        !FileDefinesRows(run.name, path, file_rows,
                         RowsOfAddresses(run.request.destination, run.request.length),
                         RowUse::kSend, parser.isSet("allow-partial")))
      return false;
    const auto bytes = image.Bytes();
    inputs->eeprom = QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                static_cast<qsizetype>(bytes.size()));
    return true;
  }
  QByteArray bytes;
  QString error;
  if (!ReadWholeFile(path, &bytes, &error)) {
    Err(run.name + error);
    return false;
  }
  if (bytes.isEmpty()) {
    Err(run.name + path + QStringLiteral(": the file is empty."));
    return false;
  }
  if (source == QLatin1String("file")) {
    inputs->file = bytes;
    return true;
  }
  const bool ram = source == QLatin1String("ram");
  *send_source = ram ? JtagSendSource::kRamTable : JtagSendSource::kFlashTable;
  ChannelService channels(run.settings, run.symbol_rates, run.texts);
  channels.ApplyTableSettings();
  OptionChooser chooser(parser);
  const ChannelLoad loaded =
      channels.LoadImage(bytes, ram ? ChannelFileKind::kRam : ChannelFileKind::kFlash, chooser);
  if (!loaded) {
    Err(run.name + path + QStringLiteral(": ") + chooser.Problem(loaded));
    return false;
  }
  // The tables are written into the image as they stand, in the blocks they came from.
  QByteArray& table = ram ? inputs->ram_table : inputs->flash_image;
  table =
      ram ? channels.RamSendBuffer(&error) : channels.FlashSendImage(channels.LiveBlocks(), &error);
  if (table.isEmpty()) Err(run.name + error);
  return !table.isEmpty();
}

}  // namespace

int RunJtagSendCommand(const QStringList& arguments, const VirtualCableMaker& make_virtual_cable) {
  QCommandLineParser parser;
  DescribeJtagSend(parser);
  if (!Parse(parser, arguments)) return kExitUsage;
  JtagRun run(arguments.value(0));
  const QString source = parser.value("source");
  const QStringList positional = parser.positionalArguments();
  const bool eeprom = source == QLatin1String("eeprom");
  if (source != QLatin1String("file") && source != QLatin1String("flash") &&
      source != QLatin1String("ram") && !eeprom) {
    Err(run.name + QStringLiteral("--source must be file, flash, ram or eeprom."));
    return kExitUsage;
  }
  if (positional.size() != 1 || !ParseAddressOption(parser, "address", &run.request.destination)) {
    Err(run.name + QStringLiteral("give FILE and --address HEX."));
    return kExitUsage;
  }
  Answer on_error = Answer::kAbort;
  int retries = 0;
  if (!ParseOnError(parser.value("on-error"), &on_error, &retries)) {
    Err(run.name + QStringLiteral("--on-error must be abort, ignore or retry:N."));
    return kExitUsage;
  }
  EepromFormat format = EepromFormat::kBin;
  if (parser.isSet("format") && !EepromFormatOfName(parser.value("format"), &format)) {
    Err(run.name + QStringLiteral("--format must be own, kvl or bin."));
    return kExitUsage;
  }
  if (eeprom) {
    run.request.length = run.request.destination < 0x800 ? 0x800 - run.request.destination : 0;
    if (parser.isSet("length") && !ParseAddressOption(parser, "length", &run.request.length)) {
      Err(run.name + QStringLiteral("--length must be hexadecimal."));
      return kExitUsage;
    }
  }
  run.LoadSettings(parser);
  if (parser.isSet("force")) run.request.options.force = true;
  if (parser.isSet("no-verify")) run.request.options.verify = false;
  if (parser.isSet("crc")) run.request.options.add_crc = true;

  AnsweringConsoleHost host(on_error, retries, false);
  JtagSendInputs inputs;
  JtagSendSource send_source = JtagSendSource::kFile;
  if (!LoadSendInputs(parser, run, host, positional[0], format, &send_source, &inputs))
    return kExitUsage;
  if (const int status = run.Open(parser, make_virtual_cable); status != kExitOk) return status;
  return run.Run(host, [&](JtagSession& session) {
    return StartJtagSend(session, run.request, send_source, inputs);
  });
}

int RunJtagAddCrcCommand(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Writes IN to OUT with the firmware CRC block (twenty CRC-32 values at 13FC00) in place,\n"
      "as a send to the firmware chip adds it, and prints the values.\n"
      "IN must hold at least 13FC50 bytes. Exit status 0 on success, 2 for bad usage or input,\n"
      "4 when OUT cannot be written."));
  parser.addPositionalArgument("IN", "the firmware file");
  parser.addPositionalArgument("OUT", "the file to write (- for standard output)");
  if (!Parse(parser, arguments)) return kExitUsage;
  const QString name = arguments.value(0) + QStringLiteral(": ");
  const QStringList positional = parser.positionalArguments();
  if (positional.size() != 2) {
    Err(name + QStringLiteral("give IN and OUT."));
    return kExitUsage;
  }
  QByteArray image;
  QString error;
  if (!ReadWholeFile(positional[0], &image, &error)) {
    Err(name + error);
    return kExitUsage;
  }
  FirmwareCrcs crcs;
  if (!AddFirmwareCrcBlock(&image, &crcs)) {
    Err(name + QStringLiteral("%1 holds %2 bytes; the CRC block needs at least %3.")
                   .arg(positional[0])
                   .arg(image.size())
                   .arg(kFirmwareCrcMinimumSize));
    return kExitUsage;
  }
  const bool to_stdout = positional[1] == QLatin1String(kStandardOutput);
  if (!WriteOutput(positional[1], image, &error)) {
    Err(name + error);
    return kExitFailed;
  }
  for (const QString& line : crcs.LogLines()) (to_stdout ? Err : Out)(line);
  return kExitOk;
}

int RunJtagEraseChipCommand(const QStringList& arguments,
                            const VirtualCableMaker& make_virtual_cable) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral(
          "Erases a whole flash chip, as \"Borrar Chip\" of the page \"Firmware (JTag)\" does.\n"
          "--address must be the start of one of the two chips of the settings. Without --yes\n"
          "the warning is printed and nothing is done.\n") +
      BackupHelp("the chip is erased", "sending that file to the chip's start") +
      QStringLiteral(
          "Exit status 0 on success, 2 for bad usage, a refused address or no --yes, 4 when the\n"
          "target failed, 5 when the port cannot be opened."));
  AddJtagCommonOptions(parser);
  parser.addOptions({
      {"address", "Start address of the chip, hexadecimal.", "HEX"},
      {"method", "blocks (one erase per block) or single (one command).", "METHOD"},
      {"yes", "Answer the warning with OK."},
      NoBackupOption(),
      {"trap",
       "The trap routine (default: trap.bin beside the program, then in the settings "
       "folder).",
       "FILE"},
  });
  if (!Parse(parser, arguments)) return kExitUsage;
  JtagRun run(arguments.value(0));
  const QString method_name = parser.value("method");
  if (method_name != QLatin1String("blocks") && method_name != QLatin1String("single")) {
    Err(run.name + QStringLiteral("--method must be blocks or single."));
    return kExitUsage;
  }
  if (!ParseAddressOption(parser, "address", &run.request.destination)) {
    Err(run.name + QStringLiteral("--address HEX is required."));
    return kExitUsage;
  }
  run.LoadSettings(parser);
  if (!parser.isSet("yes")) {
    // The warning names the chip the address starts; any other address is refused anyway.
    const uint32_t address = run.request.destination;
    const int chip = address == run.request.chips[0].start   ? 0
                     : address == run.request.chips[1].start ? 1
                                                             : -1;
    if (chip >= 0)
      Err(EraseChipWarning(run.texts, run.request, chip)
              .replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    Err(run.name + QStringLiteral("nothing erased; give --yes to erase."));
    return kExitUsage;
  }
  const EraseMethod method =
      method_name == QLatin1String("blocks") ? EraseMethod::kBlocks : EraseMethod::kSingleCommand;
  // A start address of neither chip is refused before the port is acquired.
  if (const int status = run.Open(parser, make_virtual_cable); status != kExitOk) return status;
  AnsweringConsoleHost host(Answer::kAbort, 0, true);
  return run.Run(host,
                 [&](JtagSession& session) { return EraseChip(session, run.request, method); });
}

}  // namespace tornavo::cli

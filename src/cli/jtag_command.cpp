#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <memory>
#include <utility>

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/jtag_cli_support.h"
#include "cli/section_options.h"
#include "core/capture/picture_file.h"
#include "core/eeprom/eeprom_files.h"
#include "core/eeprom/eeprom_image.h"
#include "core/jtag/debug_unit.h"
#include "core/jtag/dump_hand_over.h"
#include "core/jtag/jtag_dump.h"
#include "core/jtag/jtag_texts.h"
#include "core/lpt/port_locator.h"
#include "core/runtime/text_file.h"
#include "core/serial/qt_serial_transport.h"
#include "core/session/channel_service.h"
#include "core/session/picture_service.h"
#include "core/settings/flash_chip.h"
#include "core/settings/ini_folder.h"
#include "core/settings/settings.h"
#include "core/texts/text_names.h"

namespace tornavo::cli {

namespace {

QString Hex8(uint64_t value) {
  return QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0')).toUpper();
}

// The range to read for --address and --length: widened to whole words (the cable reads no
// less), and said so on stderr. False, with the reason and the nearest range that can be read
// on stderr, for a range that cannot be read at all.
bool DumpRange(const QCommandLineParser& parser, const QString& name, DumpSource source,
               const DumpFlashChip& chip, uint32_t* address, uint32_t* length) {
  static const QRegularExpression kHex(QStringLiteral("^[0-9A-Fa-f]{1,8}$"));
  const QString address_text = parser.value("address");
  const QString length_text = parser.value("length");
  if (!kHex.match(address_text).hasMatch() || !kHex.match(length_text).hasMatch()) {
    Err(name + QStringLiteral("--address and --length take up to 8 hexadecimal digits."));
    return false;
  }
  const uint64_t asked_address = address_text.toULongLong(nullptr, 16);
  const uint64_t asked_length = length_text.toULongLong(nullptr, 16);
  constexpr uint64_t kMaximum = 0xFFFFFC;  // six digits of whole words, as the page takes
  const uint64_t start = asked_address & ~uint64_t{3};
  const uint64_t end = (asked_address + asked_length + 3) & ~uint64_t{3};
  uint64_t nearest = 0;
  QString problem;
  if (asked_length == 0) {
    problem = QStringLiteral("nothing to read");
    nearest = 4;
  } else if (end - start > kMaximum) {
    problem = QStringLiteral("at most FFFFFC bytes are read at once");
    nearest = kMaximum;
  } else if (end > (uint64_t{1} << 32)) {
    problem = QStringLiteral("the range runs past the end of the address space");
    nearest = ((uint64_t{1} << 32) - start);
  }
  if (!problem.isEmpty()) {
    Err(name + QStringLiteral("%1 bytes from %2 cannot be read: %3; the nearest range that can "
                              "be read: --address %2 --length %4")
                   .arg(length_text.toUpper(), Hex8(asked_address), problem,
                        QString::number(nearest, 16).toUpper()));
    return false;
  }
  *address = static_cast<uint32_t>(start);
  *length = static_cast<uint32_t>(end - start);
  if (!DumpRangeAccepted(source, *address, *length, chip)) {
    Err(Texts().Slot(jtag_slot::kBadAddressLength));
    uint32_t near_address = *address;
    uint32_t near_length = *length;
    if (NearestAcceptedRange(source, chip, &near_address, &near_length))
      Err(name + QStringLiteral("the nearest range that can be read: --address %1 --length %2")
                     .arg(QString::number(near_address, 16).toUpper(),
                          QString::number(near_length, 16).toUpper()));
    return false;
  }
  if (*address != asked_address || *length != asked_length)
    Err(name + QStringLiteral("the cable reads whole words, so %1 bytes are read from %2 "
                              "(asked: %3 from %4); the file holds them all.")
                   .arg(*length)
                   .arg(Hex8(*address))
                   .arg(asked_length)
                   .arg(Hex8(asked_address)));
  return true;
}

bool DumpSourceOf(const QString& source_name, DumpSource* source) {
  if (source_name == QLatin1String("ram")) {
    *source = DumpSource::kRam;
  } else if (source_name == QLatin1String("flash")) {
    *source = DumpSource::kFlash;
  } else if (source_name == QLatin1String("eeprom")) {
    *source = DumpSource::kEeprom;
  } else if (source_name == QLatin1String("image")) {
    *source = DumpSource::kImage;
  } else if (source_name == QLatin1String("file")) {
    *source = DumpSource::kFile;
  } else {
    return false;
  }
  return true;
}

// The picture format OUT's extension names; false for an extension no format has.
bool PictureTypeOfName(const QString& out, PictureFileType* type) {
  const QString suffix = QFileInfo(out).suffix().toLower();
  if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg")) {
    *type = PictureFileType::kJpeg;
    return true;
  }
  *type = PictureFileType::kBmp;
  return suffix == QLatin1String("bmp");
}

// The command line's end of a dump: whatever the source, it lands in OUT. The channel tables
// are found and saved as the tuning page saves them; a failure leaves its reason on stderr
// and its exit status in status().
class FileDumpReceiver : public DumpReceiver {
 public:
  FileDumpReceiver(const Settings& settings, const SymbolRateTable& symbol_rates,
                   OptionChooser& chooser, PictureService& pictures, PictureFileType picture_type,
                   JtagConsoleHost& host, QString out, QString name)
      : settings_(settings),
        symbol_rates_(symbol_rates),
        chooser_(chooser),
        pictures_(pictures),
        picture_type_(picture_type),
        host_(host),
        out_(std::move(out)),
        name_(std::move(name)) {}

  int status() const { return status_; }

  void TakeChannelDump(const JtagDumpRequest& request, const JtagDumpResult& result) override {
    ChannelService channels(settings_, symbol_rates_, texts_);
    channels.ApplyTableSettings();
    const ChannelLoad loaded = channels.TakeDump(request, result, chooser_);
    if (!loaded)
      return Fail(loaded.kind == ChannelLoad::Kind::kGivenUp ? kExitUsage : kExitFailed,
                  chooser_.Problem(loaded));
    QString error;
    if (!channels.SaveImageFile(out_, channels.LiveBlocks(), &error)) Fail(kExitFailed, error);
  }

  void TakePicture(const QByteArray& bytes) override {
    QString error;
    if (!pictures_.TakeCapture(bytes, &error) ||
        !pictures_.SavePicture(out_, picture_type_, &error))
      Fail(kExitFailed, error);
  }

  void TakeEeprom(uint32_t address, const QByteArray& bytes) override {
    EepromImage image;
    image.PlaceReceived(address, bytes);
    // The save prints its own reason.
    if (!SaveEepromFile(out_, EepromFormat::kBin, image, host_)) status_ = kExitFailed;
  }

  void TakeRawBytes(const QByteArray& bytes) override {
    QString error;
    if (!WriteFileAtomically(out_, bytes, &error)) Fail(kExitFailed, error);
  }

 private:
  void Fail(int status, const QString& reason) {
    Err(name_ + reason);
    status_ = status;
  }

  const Settings& settings_;
  const SymbolRateTable& symbol_rates_;
  OptionChooser& chooser_;
  PictureService& pictures_;
  PictureFileType picture_type_;
  JtagConsoleHost& host_;
  const QString out_;
  const QString name_;
  Texts texts_;
  int status_ = kExitOk;
};

int RunIdcode(const QStringList& arguments, const VirtualCableMaker& make_virtual_cable) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Reads the CPU's identification code through the JTAG cable and names the CPU.\n"
      "Exit status 0 when the code names a CPU, 4 otherwise, 5 when the port cannot be opened."));
  AddJtagCommonOptions(parser);
  if (!Parse(parser, arguments)) return kExitUsage;
  const QString name = QStringLiteral("tornavo jtag idcode: ");
  SymbolRateTable symbol_rates{};
  PictureOptions picture_options;
  Settings settings(symbol_rates, picture_options);
  settings.Load(ResolveIniFolder(parser.value("ini-dir"), QCoreApplication::applicationDirPath()),
                QtSerialTransport::AvailablePorts());
  Texts texts;
  JtagSetup setup;
  if (const int status = setup.Open(parser, name, make_virtual_cable, settings, texts, false);
      status != kExitOk)
    return status;

  JtagConsoleHost host(false);
  CpuIdentity identity;
  // Every failure is on stderr already, with its reason.
  setup.Run(host, [&](JtagSession& session) {
    identity = IdentifyCpu(session, texts.Key(jtag_slot::kCpuCodeCaptionKey));
  });
  if (identity.kind == CpuKind::kNoPort) return kExitPortRefused;
  if (identity.kind == CpuKind::kSti5510 || identity.kind == CpuKind::kSti5512) return kExitOk;
  // A code that names no CPU is only a log line so far; as a failure it goes to stderr too.
  if (identity.kind == CpuKind::kWrongCode)
    Err(texts.Slot(jtag_slot::kCpuCodeWrong));
  else if (identity.kind == CpuKind::kUnknown)
    Err(texts.Slot(jtag_slot::kCpuCodeUnknown));
  return kExitFailed;
}

// The dump's help text and options.
void DescribeDump(QCommandLineParser& parser) {
  parser.setApplicationDescription(QStringLiteral(
      "Dumps target memory through the JTAG cable, as \"Recibir\" of the page \"Firmware "
      "(JTag)\" does.\n"
      "  ram      OUT receives the RAM channel table read, as the tuning page saves it\n"
      "  flash    OUT receives the flash image read, as the tuning page saves it, once its\n"
      "           channel and transponder tables are found\n"
      "  file     OUT receives the requested bytes\n"
      "  eeprom   OUT receives the 2048-byte EEPROM image (BIN) with the bytes read placed\n"
      "  image    OUT receives the picture on screen, BMP or JPEG by its extension, as the\n"
      "           page \"Imagen\" saves it\n"
      "Exit status 2 for bad usage or a range the source refuses, 4 when the target fails, 5 "
      "when the port cannot be opened."));
  AddJtagCommonOptions(parser);
  parser.addOptions({
      {"source", "ram, flash, image, eeprom or file.", "SOURCE"},
      {"address", "Start address, hexadecimal.", "HEX"},
      {"length", "Length, hexadecimal.", "HEX"},
      {{"o", "output"}, "The file to write.", "OUT"},
      {"trap",
       "The trap routine (default: trap.bin beside the program, then in the settings "
       "folder).",
       "FILE"},
      {"progress", "Show the bytes read so far on stderr."},
      {"section-tcs", "flash: the channel section to use when there are several.", "HEX"},
      {"section-tpt", "flash: the transponder section to use when there are several.", "HEX"},
  });
}

int RunDump(const QStringList& arguments, const VirtualCableMaker& make_virtual_cable) {
  QCommandLineParser parser;
  DescribeDump(parser);
  if (!Parse(parser, arguments)) return kExitUsage;
  const QString name = QStringLiteral("tornavo jtag dump: ");
  DumpSource source = DumpSource::kFile;
  if (!DumpSourceOf(parser.value("source"), &source)) {
    Err(name + QStringLiteral("--source must be ram, flash, image, eeprom or file."));
    return kExitUsage;
  }
  const QString out = parser.value("output");
  if (out.isEmpty() || !parser.isSet("address") || !parser.isSet("length")) {
    Err(name + QStringLiteral("--address, --length and -o OUT are required."));
    return kExitUsage;
  }
  // A dump is not spent on a file that cannot be written.
  if (QString error; !FileCanBeWritten(out, &error)) {
    Err(name + error);
    return kExitBadInput;
  }
  PictureFileType picture_type = PictureFileType::kBmp;
  if (source == DumpSource::kImage && !PictureTypeOfName(out, &picture_type)) {
    Err(name + QStringLiteral("OUT must end in .bmp, .jpg or .jpeg for the image source."));
    return kExitUsage;
  }
  SymbolRateTable symbol_rates{};
  PictureService pictures;
  Settings settings(symbol_rates, pictures.options());
  const QString ini_folder =
      ResolveIniFolder(parser.value("ini-dir"), QCoreApplication::applicationDirPath());
  settings.Load(ini_folder, QtSerialTransport::AvailablePorts());
  uint32_t address = 0, length = 0;
  if (!DumpRange(parser, name, source, ChannelChipOf(settings), &address, &length))
    return kExitUsage;
  Texts texts;
  JtagSetup setup;
  if (const int status = setup.Open(parser, name, make_virtual_cable, settings, texts, false);
      status != kExitOk)
    return status;
  QStringList trap_places;
  if (!setup.TrapPlaces(parser, &trap_places)) return kExitFailed;
  const JtagDumpRequest request =
      setup.service().DumpRequest(source, address, length, std::move(trap_places));

  JtagConsoleHost host(parser.isSet("progress"));
  JtagDumpResult result;
  setup.Run(host, [&](JtagSession& session) { result = RunJtagDump(session, request); });
  switch (result.outcome) {
    case DumpOutcome::kPortFailed:
      return kExitPortRefused;
    case DumpOutcome::kBadRange:
      return kExitUsage;
    case DumpOutcome::kReadFailed:
      return kExitFailed;
    case DumpOutcome::kDone:
      break;
  }
  OptionChooser chooser(parser);
  FileDumpReceiver receiver(settings, symbol_rates, chooser, pictures, picture_type, host, out,
                            name);
  RouteDump(request, result, receiver);
  return receiver.status();
}

}  // namespace

int RunJtagCommand(const QStringList& arguments, const VirtualCableMaker& make_virtual_cable) {
  const QString verb = arguments.value(1);
  QStringList rest = arguments.mid(1);
  if (!rest.isEmpty()) rest[0] = arguments.value(0) + QLatin1Char(' ') + verb;
  if (verb == QLatin1String("idcode")) return RunIdcode(rest, make_virtual_cable);
  if (verb == QLatin1String("dump")) return RunDump(rest, make_virtual_cable);
  if (verb == QLatin1String("send")) return RunJtagSendCommand(rest, make_virtual_cable);
  if (verb == QLatin1String("add-crc")) return RunJtagAddCrcCommand(rest);
  if (verb == QLatin1String("erase-chip")) return RunJtagEraseChipCommand(rest, make_virtual_cable);
  if (verb == QLatin1String("--help") || verb == QLatin1String("-h")) {
    Out(QStringLiteral(
        "Usage: tornavo jtag idcode|dump|send|add-crc|erase-chip [options] [--help]\n\n"
        "  idcode      read the CPU's identification code and name the CPU\n"
        "  dump        dump target memory: channel tables, picture, EEPROM or raw bytes\n"
        "  send        program a file, channel list or EEPROM image into the target\n"
        "  add-crc     write a firmware file with its CRC block in place\n"
        "  erase-chip  erase a whole flash chip"));
    return kExitOk;
  }
  Err(
      QStringLiteral("tornavo jtag: give idcode, dump, send, add-crc or erase-chip. Try 'tornavo "
                     "jtag --help'."));
  return kExitUsage;
}

}  // namespace tornavo::cli

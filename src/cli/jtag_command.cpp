#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <memory>

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/section_options.h"
#include "core/app/flash_chip.h"
#include "core/app/ini_folder.h"
#include "core/app/settings.h"
#include "core/app/text_file.h"
#include "core/capture/convert_capture.h"
#include "core/capture/picture_file.h"
#include "core/channels/table_settings.h"
#include "core/eeprom/eeprom_files.h"
#include "core/eeprom/eeprom_image.h"
#include "core/jtag/debug_unit.h"
#include "core/jtag/dump_hand_over.h"
#include "core/jtag/jtag_dump.h"
#include "core/jtag/jtag_texts.h"
#include "core/lpt/port_locator.h"
#include "core/serial/qt_serial_transport.h"
#include "sim/jtag_target.h"
#include "sim/trap_stand_in.h"

namespace tornavo::cli {

namespace {

// Exit statuses of the JTAG commands.
constexpr int kExitJtagUsage = 2;
constexpr int kExitJtagFailed = 4;
constexpr int kExitJtagPort = 5;

// JTAG log lines on stdout as they come; errors on stderr.
class JtagConsoleHost : public ConsoleHost {
 public:
  explicit JtagConsoleHost(bool progress) : progress_(progress) {}
  void AppendLog(LogId log, const QString& line) override {
    ConsoleHost::AppendLog(log, line);
    if (log == LogId::kJtag) {
      Out(line);
      last_line_ = line;
    }
  }
  // Success boxes repeat the log line just printed.
  void ShowInformation(const QString& text) override {
    if (text != last_line_) ConsoleHost::ShowInformation(text);
  }
  void SetProgressMaximum(StatusPage, int maximum) override { maximum_ = maximum; }
  void SetProgress(StatusPage, int position) override {
    if (progress_ && position > 0) Err(QStringLiteral("%1/%2").arg(position).arg(maximum_));
  }

 private:
  bool progress_;
  int maximum_ = 0;
  QString last_line_;
};

struct JtagSetup {
  Settings* settings = nullptr;
  sim::JtagTarget virtual_target;
  std::unique_ptr<PortRegisters> port;
  bool is_virtual = false;
};

void AddCommonOptions(QCommandLineParser& parser) {
  parser.addOptions({
      {"parallel",
       "The port: ppdev:/dev/parportN, direct:HEX (278, 378, 3BC, A068), socket:PATH or "
       "virtual (an in-process virtual receiver).",
       "PORT"},
      {"ini-dir", "Folder of the settings and catalogue files.", "DIR"},
      {"fault",
       "With --parallel virtual: a fault of the virtual target (jtag-none, "
       "jtag-tdo-low, jtag-no-ack, jtag-slow-start, jtag-short-read:N, "
       "jtag-trap-silent, jtag-sti5512...). Repeatable.",
       "NAME"},
  });
}

// Opens the port the options name; prints the reason and returns the exit status on failure.
int OpenPort(const QCommandLineParser& parser, const QString& name, JtagSetup* setup) {
  PortLocator locator;
  QString error;
  if (!ParsePortLocator(parser.value("parallel"), &locator, &error)) {
    Err(name + (parser.value("parallel").isEmpty() ? QStringLiteral("--parallel PORT is required.")
                                                   : error));
    return kExitJtagUsage;
  }
  setup->is_virtual = locator.kind == PortLocator::Kind::kVirtual;
  for (const QString& fault : parser.values("fault")) {
    if (!setup->is_virtual || !setup->virtual_target.ApplyFault(fault)) {
      Err(name + QStringLiteral("unknown fault '%1' (faults need --parallel virtual).").arg(fault));
      return kExitJtagUsage;
    }
  }
  setup->port = MakePortBackend(locator, &setup->virtual_target, &error);
  if (!setup->port) {
    Err(name + error);
    return kExitJtagPort;
  }
  return kExitOk;
}

JtagTiming TimingOf(const Settings& settings) {
  JtagTiming timing;
  timing.tck_cycles = settings.Int(Key::kDuracionTck);
  timing.wait_start_bits = static_cast<int32_t>(settings.Int(Key::kWStartBits));
  return timing;
}

int RunIdcode(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Reads the CPU's identification code through the JTAG cable and names the CPU.\n"
      "Exit status 0 when the code names a CPU, 4 otherwise, 5 when the port cannot be opened."));
  AddCommonOptions(parser);
  if (!Parse(parser, arguments)) return kExitJtagUsage;
  const QString name = QStringLiteral("tornavo jtag idcode: ");
  SymbolRateTable symbol_rates{};
  PictureOptions picture_options;
  Settings settings(symbol_rates, picture_options);
  settings.Load(ResolveIniFolder(parser.value("ini-dir"), QCoreApplication::applicationDirPath()),
                QtSerialTransport::AvailablePorts());
  JtagSetup setup;
  if (const int status = OpenPort(parser, name, &setup); status != kExitOk) return status;

  JtagConsoleHost host(false);
  Texts texts;
  JtagState state;
  SteadyMonotonicClock clock;
  JtagSession session{*setup.port, clock, host, texts, state, TimingOf(settings)};
  const CpuIdentity identity = IdentifyCpu(session, texts.Key(jtag_slot::kCpuCodeCaptionKey));
  if (identity.kind == CpuKind::kNoPort) {
    Err(name + identity.port_error);
    return kExitJtagPort;
  }
  return identity.kind == CpuKind::kSti5510 || identity.kind == CpuKind::kSti5512 ? kExitOk
                                                                                  : kExitJtagFailed;
}

int RunDump(const QStringList& arguments) {
  QCommandLineParser parser;
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
  AddCommonOptions(parser);
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
  if (!Parse(parser, arguments)) return kExitJtagUsage;
  const QString name = QStringLiteral("tornavo jtag dump: ");
  const QString source_name = parser.value("source");
  DumpSource source = DumpSource::kFile;
  if (source_name == QLatin1String("ram")) {
    source = DumpSource::kRam;
  } else if (source_name == QLatin1String("flash")) {
    source = DumpSource::kFlash;
  } else if (source_name == QLatin1String("eeprom")) {
    source = DumpSource::kEeprom;
  } else if (source_name == QLatin1String("image")) {
    source = DumpSource::kImage;
  } else if (source_name != QLatin1String("file")) {
    Err(name + QStringLiteral("--source must be ram, flash, image, eeprom or file."));
    return kExitJtagUsage;
  }
  const QString out = parser.value("output");
  if (out.isEmpty() || !parser.isSet("address") || !parser.isSet("length")) {
    Err(name + QStringLiteral("--address, --length and -o OUT are required."));
    return kExitJtagUsage;
  }
  PictureFileType picture_type = PictureFileType::kBmp;
  if (source == DumpSource::kImage) {
    const QString suffix = QFileInfo(out).suffix().toLower();
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg")) {
      picture_type = PictureFileType::kJpeg;
    } else if (suffix != QLatin1String("bmp")) {
      Err(name + QStringLiteral("OUT must end in .bmp, .jpg or .jpeg for the image source."));
      return kExitJtagUsage;
    }
  }
  SymbolRateTable symbol_rates{};
  PictureOptions picture_options;
  Settings settings(symbol_rates, picture_options);
  const QString ini_folder =
      ResolveIniFolder(parser.value("ini-dir"), QCoreApplication::applicationDirPath());
  settings.Load(ini_folder, QtSerialTransport::AvailablePorts());
  JtagSetup setup;
  if (const int status = OpenPort(parser, name, &setup); status != kExitOk) return status;

  JtagDumpRequest request;
  request.source = source;
  // The boxes' own rewrites, as on leaving them.
  request.address = LeaveDumpAddress(parser.value("address")).toUInt(nullptr, 16);
  request.length = LeaveDumpLength(parser.value("length")).toUInt(nullptr, 16);
  // The FLASH source reads the chip of the group " Integrado con Lista de Canales ".
  const FlashChipDescription channel_chip = settings.flash_chip(0);
  request.flash_chip = {channel_chip.start, channel_chip.size()};
  if (!ParseHexAddress(settings.Text(Key::kTrapAdr), &request.trap_address))
    request.trap_address = 0x40010000;
  request.trap_address &= ~3u;
  QTemporaryDir stand_in_dir;
  if (parser.isSet("trap")) {
    request.trap_places = TrapFilePlaces({}, {}, parser.value("trap"));
  } else if (setup.is_virtual) {
    // The virtual receiver runs any 696 bytes; it gets its stand-in, never a real routine.
    const QString path = stand_in_dir.filePath(QStringLiteral("trap.bin"));
    QString error;
    if (!WriteFileAtomically(path, sim::TrapStandIn(), &error)) {
      Err(name + error);
      return kExitJtagFailed;
    }
    request.trap_places = {path};
  } else {
    request.trap_places = TrapFilePlaces(QCoreApplication::applicationDirPath(), ini_folder);
  }

  JtagConsoleHost host(parser.isSet("progress"));
  Texts texts;
  JtagState state;
  SteadyMonotonicClock clock;
  JtagSession session{*setup.port, clock, host, texts, state, TimingOf(settings)};
  const JtagDumpResult result = RunJtagDump(session, request);
  switch (result.outcome) {
    case DumpOutcome::kPortFailed:
      Err(name + result.port_error);
      return kExitJtagPort;
    case DumpOutcome::kBadRange:
      return kExitJtagUsage;
    case DumpOutcome::kReadFailed:
      return kExitJtagFailed;
    case DumpOutcome::kDone:
      break;
  }
  if (source == DumpSource::kRam || source == DumpSource::kFlash) {
    // The tuning page's hand-over, then its "Guardar como...".
    ChannelList list;
    list.SetContext(TableContextOf(settings, symbol_rates));
    list.ApplyChannelTableSize(ChannelRowsOf(settings));
    list.ApplyTransponderTableSize(TransponderRowsOf(settings));
    OptionChooser chooser(parser.value("section-tcs"), parser.value("section-tpt"));
    switch (HandOverChannelDump(request, result, list, chooser).value_or(LoadResult::kNoChoice)) {
      case LoadResult::kOk:
        break;
      case LoadResult::kNoChannelTable:
        Err(name + texts.Slot(113));
        return kExitJtagFailed;
      case LoadResult::kNoTransponderTable:
        Err(name + texts.Slot(112));
        return kExitJtagFailed;
      case LoadResult::kNoChoice:
        Err(name + chooser.problem());
        return kExitJtagUsage;
    }
    ChannelError error;
    if (!list.SaveChannelImage(out, list.tcs_block(), list.tpt_block(), &error)) {
      Err(name + list.ErrorText(error));
      return kExitJtagFailed;
    }
    return kExitOk;
  }
  if (source == DumpSource::kImage) {
    const QImage picture = MakeShownPicture(
        result.buffer.left(static_cast<qsizetype>(RoundedDumpLength(request.length))),
        picture_options);
    QString error;
    if (!WritePictureFile(out, picture, picture_type, picture_options.jpeg_quality, &error)) {
      Err(name + error);
      return kExitJtagFailed;
    }
    return kExitOk;
  }
  if (source == DumpSource::kEeprom) {
    EepromImage image;
    image.PlaceBytes(reinterpret_cast<const uint8_t*>(result.buffer.constData()),
                     static_cast<int>(request.address),
                     static_cast<int>(RoundedDumpLength(request.length)));
    return SaveEepromFile(out, EepromFormat::kBin, image, host) ? kExitOk : kExitJtagFailed;
  }
  QString error;
  if (!WriteFileAtomically(out, result.buffer.left(static_cast<qsizetype>(request.length)),
                           &error)) {
    Err(name + error);
    return kExitJtagFailed;
  }
  return kExitOk;
}

}  // namespace

int RunJtagCommand(const QStringList& arguments) {
  const QString verb = arguments.value(1);
  QStringList rest = arguments.mid(1);
  if (!rest.isEmpty()) rest[0] = arguments.value(0) + QLatin1Char(' ') + verb;
  if (verb == QLatin1String("idcode")) return RunIdcode(rest);
  if (verb == QLatin1String("dump")) return RunDump(rest);
  if (verb == QLatin1String("--help") || verb == QLatin1String("-h")) {
    Out(QStringLiteral(
        "Usage: tornavo jtag idcode|dump [options] [--help]\n\n"
        "  idcode   read the CPU's identification code and name the CPU\n"
        "  dump     dump target memory: channel tables, picture, EEPROM or raw bytes"));
    return kExitOk;
  }
  Err(QStringLiteral("tornavo jtag: give idcode or dump. Try 'tornavo jtag --help'."));
  return kExitJtagUsage;
}

}  // namespace tornavo::cli

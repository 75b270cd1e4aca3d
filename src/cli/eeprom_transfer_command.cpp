#include <QCommandLineParser>
#include <QEventLoop>
#include <QRegularExpression>
#include <QScopeGuard>

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/serial_options.h"
#include "core/eeprom/eeprom_files.h"
#include "core/eeprom/eeprom_transfer.h"
#include "core/runtime/clock.h"
#include "core/serial/qt_serial_transport.h"
#include "core/session/service_session.h"
#include "core/settings/settings.h"
#include "core/texts/texts.h"

namespace tornavo::cli {

namespace {

// "all", "first" (0x000 -> 0x0AF) or "row:NN" with NN a row 00 ... 7F in hexadecimal.
bool ParseRange(const QString& text, EepromRange* range, int* row) {
  if (text == QLatin1String("all")) {
    *range = EepromRange::kAll;
    return true;
  }
  if (text == QLatin1String("first")) {
    *range = EepromRange::kFirst176;
    return true;
  }
  // Two digits, no sign or blank, which toInt would let through.
  static const QRegularExpression kRow(QStringLiteral("^row:[0-9A-Fa-f]{2}$"));
  if (!kRow.match(text).hasMatch()) return false;
  *row = text.mid(4).toInt(nullptr, 16);
  *range = EepromRange::kSelectedRow;
  return *row < kEepromRows;
}

// The help text and options of read, write or verify.
void DescribeEepromTransfer(QCommandLineParser& parser, const QString& verb) {
  const bool read = verb == QLatin1String("read");
  parser.setApplicationDescription(
      read ? QStringLiteral("Reads the receiver's EEPROM into FILE.")
      : verb == QLatin1String("write")
          ? QStringLiteral(
                "Writes FILE into the receiver's EEPROM. First the rows the range covers are\n"
                "read and kept in a backup file, printed as \"Copia de seguridad : PATH\", under\n"
                "$XDG_DATA_HOME/tornavo/backups (~/.local/share/tornavo/backups); then only the\n"
                "rows that differ are sent. 'tornavo eeprom write --format own PATH' restores\n"
                "them.")
          : QStringLiteral("Compares the receiver's EEPROM with FILE, row by row."));
  AddSerialOptions(parser);
  parser.addOptions({
      {"range", "all, first (0x000 -> 0x0AF) or row:NN (NN = 00 ... 7F; default all).", "R", "all"},
      {"format", "File format: own, kvl or bin (default bin).", "F", "bin"},
      {"verbose", "Show every frame and reply."},
  });
  if (read) {
    parser.addOption({{"o", "output"}, "The file to write; - for standard output.", "FILE"});
    parser.addOption({"base",
                      "With a partial --range in bin or kvl: the file (same format) that gives "
                      "the rows not read.",
                      "FILE"});
  } else {
    parser.addPositionalArgument("FILE", "the EEPROM file");
  }
  if (verb == QLatin1String("write")) {
    parser.addOption(
        {"allow-partial", "Send the range even where FILE defines no rows (they go as FF)."});
    parser.addOption({"no-backup",
                      "Send every row of the range without reading and keeping them first (as "
                      "CopiaSeguridad=0 in the settings file does)."});
  }
}

// Loads the rows a partial read does not cover from --base into image. Errors are printed; the
// exit status on failure, kExitOk otherwise.
int LoadBaseRows(const QCommandLineParser& parser, const QString& name, EepromFormat format,
                 const EepromRows& range_rows, const Texts& texts, ConsoleHost& host,
                 EepromImage& image) {
  const QString base = parser.value("base");
  if (base.isEmpty()) {
    Err(name + QStringLiteral("a partial --range in bin or kvl needs --base FILE for the rows "
                              "not read (or --format own, which holds only the rows read)."));
    return kExitUsage;
  }
  EepromRows base_rows;
  if (!LoadEepromFile(base, format, texts, host, image, &base_rows)) return kExitBadInput;
  const EepromRows base_lacking = ~range_rows & ~base_rows;
  if (base_lacking.any()) {
    Err(name + QStringLiteral("%1 lacks rows %2.").arg(base, RowRangesText(base_lacking)));
    return kExitBadInput;
  }
  return kExitOk;
}

// Opens the serial port, runs the read, write or verify of range on the session's image and
// closes the port again. Errors are printed; returns the exit status.
int RunEepromSession(const QString& verb, EepromRange range, const PortSettings& settings,
                     double timeout_scale, bool backup, QtSerialTransport& transport,
                     ServiceSession& session) {
  const bool read = verb == QLatin1String("read");
  if (!OpenSerialLine(settings, transport)) return kExitBadInput;
  const auto close_port = qScopeGuard([&transport] { transport.Close(); });
  session.link().SetTimeoutScale(timeout_scale);
  EepromTransfer& transfer = session.eeprom_transfer();
  QEventLoop loop;
  transfer.SetOnFinished([&loop] { loop.quit(); });
  transfer.SetBackups([backup] { return BackupsWhen(backup); });
  transfer.SetOnNote([](const QString& line) { Out(line); });

  const bool started = read                             ? transfer.StartEepromRead(range)
                       : verb == QLatin1String("write") ? transfer.StartEepromWrite(range)
                                                        : transfer.StartEepromVerify(range);
  if (!started) return kExitBadInput;
  loop.exec();

  switch (transfer.outcome()) {
    case TransferOutcome::kNoReply:
      return kExitNoReply;
    case TransferOutcome::kDone:
      break;
    default:
      // Retry limit, backup failed, port failed: nothing else may pass for success.
      return kExitFailed;
  }
  if (!transfer.differing_rows().isEmpty()) {
    QStringList rows;
    for (int differing : transfer.differing_rows())
      rows << QStringLiteral("%1").arg(differing * 16, 3, 16, QLatin1Char('0')).toUpper();
    Err(QStringLiteral("Differing rows: ") + rows.join(' '));
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace

bool FileDefinesRows(const QString& name, const QString& file, const EepromRows& file_rows,
                     const EepromRows& used_rows, RowUse use, bool allow_partial) {
  const EepromRows lacking = used_rows & ~file_rows;
  if (lacking.none() || allow_partial) return true;
  const char* verb = "send";
  const char* nothing = "Nothing was sent (--allow-partial sends them as FF).";
  if (use == RowUse::kCompare) {
    verb = "compare";
    nothing = "Nothing was compared (give a --range within the rows it defines).";
  } else if (use == RowUse::kWriteBack) {
    verb = "write back";
    nothing = "Nothing was written (--allow-partial writes them as FF).";
  }
  Err(name + QStringLiteral("%1 defines %2 of the %3 rows to %4; it lacks rows %5. %6")
                 .arg(file)
                 .arg((used_rows & file_rows).count())
                 .arg(used_rows.count())
                 .arg(QLatin1String(verb), RowRangesText(lacking), QLatin1String(nothing)));
  return false;
}

int RunEepromTransferCommand(const QString& verb, const QStringList& arguments) {
  const bool read = verb == QLatin1String("read");
  QCommandLineParser parser;
  DescribeEepromTransfer(parser, verb);
  if (!Parse(parser, arguments)) return kExitUsage;

  const QString name = QStringLiteral("tornavo eeprom ") + verb + QStringLiteral(": ");
  PortSettings settings;
  double timeout_scale = 1.0;
  QString error;
  EepromFormat format = EepromFormat::kBin;
  EepromRange range = EepromRange::kAll;
  int row = 0;
  SymbolRateTable symbol_rates{};
  PictureOptions picture_options;
  Settings stored(symbol_rates, picture_options);
  LoadSettingsFolder(parser, stored);
  if (!ReadSerialOptions(parser, stored, &settings, &timeout_scale, &error)) {
    Err(name + error);
    return kExitUsage;
  }
  if (!EepromFormatOfName(parser.value("format"), &format) ||
      !ParseRange(parser.value("range"), &range, &row)) {
    Err(name + QStringLiteral("--format must be own, kvl or bin; --range all, first or row:NN."));
    return kExitUsage;
  }
  const QString file = read ? parser.value("output") : parser.positionalArguments().value(0);
  if (file.isEmpty() || (!read && parser.positionalArguments().size() != 1)) {
    Err(name + (read ? QStringLiteral("-o FILE is required.") : QStringLiteral("give one FILE.")));
    return kExitUsage;
  }
  // A whole read is not spent on a file that cannot be written.
  if (read && !OutputCanBeWritten(file, &error)) {
    Err(error);
    return kExitBadInput;
  }

  Texts texts;
  ConsoleHost host(parser.isSet("verbose"));
  host.set_information_to_stderr(read && file == QLatin1String(kStandardOutput));
  QtSerialTransport transport;
  SteadyClock clock;
  ServiceSession session(transport, host, texts, clock);
  EepromImage& image = session.image();
  const EepromRows range_rows = RowsOfRange(range, row);
  EepromRows file_rows;
  if (!read && !LoadEepromFile(file, format, texts, host, image, &file_rows)) return kExitBadInput;
  // A verify has no --allow-partial: rows it took as FF could only be reported as differing.
  const bool write = verb == QLatin1String("write");
  if (!read &&
      !FileDefinesRows(name, file, file_rows, range_rows, write ? RowUse::kSend : RowUse::kCompare,
                       write && parser.isSet("allow-partial")))
    return kExitBadInput;
  // A partial read in a format that holds all 128 rows takes the others from a base file;
  // the own format holds only the rows read.
  const bool partial = range != EepromRange::kAll;
  EepromRows saved_rows = EepromRows().set();
  if (read && partial && format == EepromFormat::kOwn) saved_rows = range_rows;
  if (read && partial && format != EepromFormat::kOwn) {
    if (const int status = LoadBaseRows(parser, name, format, range_rows, texts, host, image);
        status != kExitOk)
      return status;
  }
  image.set_selected_row(row + 1);

  const bool backup = stored.Bool(Key::kCopiaSeguridad) && !parser.isSet("no-backup");
  if (const int status =
          RunEepromSession(verb, range, settings, timeout_scale, backup, transport, session);
      status != kExitOk)
    return status;
  if (read && !WriteOutput(file, EncodeEepromFile(format, image, saved_rows), &error)) {
    Err(error);
    return kExitBadInput;
  }
  return kExitOk;
}

}  // namespace tornavo::cli

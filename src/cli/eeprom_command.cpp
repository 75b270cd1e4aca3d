#include <QCommandLineParser>
#include <QFileInfo>

#include "cli/commands.h"
#include "cli/console.h"
#include "core/eeprom/eeprom_files.h"
#include "core/eeprom/interpreted_view.h"
#include "core/settings/symbol_rate_table.h"
#include "core/texts/texts.h"

namespace tornavo::cli {

namespace {

const QString kFormatHelp = QStringLiteral("File format: own, kvl or bin (default bin).");

void PrintVerbs() {
  Out(QStringLiteral(
      "Usage: tornavo eeprom VERB [options] [--help]\n\n"
      "Verbs:\n"
      "  convert IN OUT --from F --to F   read a file in one format, write it in another\n"
      "  show FILE [--format F]           print every interpreted field\n"
      "  edit FILE [--format F] \"CAPTION=VALUE\" ...\n"
      "                                   change fields as the page does, then write FILE back\n"
      "  read, write, verify              transfers with the receiver over the serial port\n\n"
      "Formats: own (command text), kvl (KVL5208 text), bin (2048 bytes; the default)."));
}

// Loads a file for a verb: reader and file errors are printed and give false.
bool Load(const QString& path, EepromFormat format, const Texts& texts, EepromImage& image,
          EepromRows* rows = nullptr) {
  ConsoleHost host;
  return LoadEepromFile(path, format, texts, host, image, rows);
}

// A file's image with its interpreted fields built as the page builds them.
struct LoadedFields {
  bool Load(const QString& path, EepromFormat format) {
    if (!cli::Load(path, format, texts, image, &rows)) return false;
    view.RefreshInterpretedView();
    return true;
  }

  Texts texts;
  EepromImage image;
  EepromRows rows;  // the rows the file defined
  const SymbolRateTable rates{};
  InterpretedView view{image, texts, rates};
};

int RunConvert(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("Reads IN in one format and writes OUT in another."));
  parser.addPositionalArgument("IN", "the file to read");
  parser.addPositionalArgument("OUT", "the file to write");
  parser.addOptions({{"from", "Format of IN: own, kvl or bin.", "F"},
                     {"to", "Format of OUT: own, kvl or bin; OUT - is standard output.", "F"},
                     {"allow-partial",
                      "Write a bin or kvl OUT even when IN defines only some rows (the others "
                      "as FF)."}});
  if (!Parse(parser, arguments)) return kExitUsage;
  EepromFormat from;
  EepromFormat to;
  const QStringList files = parser.positionalArguments();
  if (files.size() != 2 || !EepromFormatOfName(parser.value("from"), &from) ||
      !EepromFormatOfName(parser.value("to"), &to)) {
    Err(QStringLiteral("tornavo eeprom convert: give IN OUT --from own|kvl|bin --to own|kvl|bin."));
    return kExitUsage;
  }
  Texts texts;
  EepromImage image;
  EepromRows rows;
  if (!Load(files[0], from, texts, image, &rows)) return kExitBadInput;
  // The own format keeps to the rows IN defined; the others would fill the rest with FF,
  // and such a file written back whole blanks those rows.
  if (to != EepromFormat::kOwn && !rows.all() && !parser.isSet("allow-partial")) {
    Err(QStringLiteral("tornavo eeprom convert: %1 lacks rows %2; convert to own, or give "
                       "--allow-partial.")
            .arg(files[0], RowRangesText(~rows)));
    return kExitBadInput;
  }
  QString error;
  if (!WriteOutput(files[1], EncodeEepromFile(to, image, rows), &error)) {
    Err(error);
    return kExitBadInput;
  }
  return kExitOk;
}

// show and edit share the FILE and --format arguments.
bool ParseFileAndFormat(QCommandLineParser& parser, const QStringList& arguments,
                        const QString& name, int minimum, QString* file, EepromFormat* format) {
  parser.addOption({"format", kFormatHelp, "F", "bin"});
  if (!Parse(parser, arguments)) return false;
  const QStringList positional = parser.positionalArguments();
  if (!EepromFormatOfName(parser.value("format"), format)) {
    Err(name + QStringLiteral("--format must be own, kvl or bin."));
    return false;
  }
  if (positional.size() < minimum || (minimum == 1 && positional.size() != 1)) {
    Err(name + QStringLiteral("give FILE%1.").arg(minimum > 1 ? " and CAPTION=VALUE" : ""));
    return false;
  }
  *file = positional[0];
  return true;
}

int RunShow(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Prints every interpreted field of FILE as caption, shown value and raw box text, "
      "separated by tabs, in the order of the page."));
  parser.addPositionalArgument("FILE", "the EEPROM file");
  QString file;
  EepromFormat format;
  if (!ParseFileAndFormat(parser, arguments, "tornavo eeprom show: ", 1, &file, &format))
    return kExitUsage;
  LoadedFields fields;
  if (!fields.Load(file, format)) return kExitBadInput;
  const InterpretedView& view = fields.view;
  for (int f = 0; f < InterpretedView::FieldCount(); ++f)
    Out(view.FullCaption(f) + '\t' + view.state(f).text + '\t' + view.state(f).raw);
  return kExitOk;
}

int RunEdit(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Changes fields of FILE as the page \"Datos Interpretados\" does and writes FILE back in "
      "its format. CAPTION is the caption 'tornavo eeprom show' prints; VALUE a list entry, "
      "the hex text of a raw box (the list then shows \"otro\") or the text of a box."));
  parser.addPositionalArgument("FILE", "the EEPROM file");
  parser.addPositionalArgument("CAPTION=VALUE", "the edits, applied in order", "CAPTION=VALUE...");
  parser.addOption({"allow-partial",
                    "Write FILE back even when it lacks rows the edits change (own) or any row "
                    "(kvl): they go as FF."});
  const QString name = QStringLiteral("tornavo eeprom edit: ");
  QString file;
  EepromFormat format;
  if (!ParseFileAndFormat(parser, arguments, name, 2, &file, &format)) return kExitUsage;
  LoadedFields fields;
  if (!fields.Load(file, format)) return kExitBadInput;
  InterpretedView& view = fields.view;
  const std::array<QString, kEepromBytes> before = fields.image.cells();
  for (const QString& edit : parser.positionalArguments().mid(1)) {
    const qsizetype equals = edit.indexOf('=');
    const int field = equals < 0 ? -1 : view.FindField(edit.left(equals));
    if (field < 0) {
      Err(name + QStringLiteral("no field \"%1\"; 'tornavo eeprom show' lists them.")
                     .arg(edit.left(equals)));
      return kExitBadInput;
    }
    QString error;
    if (!view.ApplyEdit(field, edit.mid(equals + 1), &error)) {
      Err(name + error);
      return kExitBadInput;
    }
  }
  // An own-format file keeps to its rows and those the edits changed; the other formats hold
  // all 128. Rows the file did not define would go back as FF, as convert refuses to write.
  EepromRows written = fields.rows;
  if (format == EepromFormat::kOwn) {
    for (int a = 0; a < kEepromBytes; ++a)
      if (fields.image.cells()[a] != before[a]) written.set(a / kEepromColumns);
  } else {
    written.set();
  }
  if (!FileDefinesRows(name, file, fields.rows, written, RowUse::kWriteBack,
                       parser.isSet("allow-partial")))
    return kExitBadInput;
  ConsoleHost host;
  return SaveEepromFile(file, format, fields.image, host, written) ? kExitOk : kExitBadInput;
}

}  // namespace

bool EepromFormatOfName(const QString& name, EepromFormat* format) {
  const QStringList names = {"own", "kvl", "bin"};
  return FormatOfFilterIndex(static_cast<int>(names.indexOf(name)) + 1, format);
}

int RunEepromCommand(const QStringList& arguments) {
  const QString verb = arguments.value(1);
  QStringList rest = arguments.mid(2);
  rest.prepend(arguments.value(0) + ' ' + verb);
  if (verb == QLatin1String("convert")) return RunConvert(rest);
  if (verb == QLatin1String("show")) return RunShow(rest);
  if (verb == QLatin1String("edit")) return RunEdit(rest);
  if (verb == QLatin1String("read") || verb == QLatin1String("write") ||
      verb == QLatin1String("verify"))
    return RunEepromTransferCommand(verb, rest);
  if (verb == QLatin1String("--help") || verb == QLatin1String("-h")) {
    PrintVerbs();
    return kExitOk;
  }
  Err(verb.isEmpty() ? QStringLiteral("tornavo eeprom: give a verb.")
                     : QStringLiteral("tornavo eeprom: unknown verb '%1'.").arg(verb));
  Err(QStringLiteral("Try 'tornavo eeprom --help'."));
  return kExitUsage;
}

}  // namespace tornavo::cli

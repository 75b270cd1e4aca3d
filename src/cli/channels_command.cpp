#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>
#include <cstdio>

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/section_options.h"
#include "core/channels/channel_list.h"
#include "core/channels/clipboard_text.h"
#include "core/session/channel_service.h"
#include "core/settings/ini_folder.h"
#include "core/settings/settings.h"
#include "core/texts/texts.h"

namespace tornavo::cli {

namespace {

void PrintVerbs() {
  Out(QStringLiteral(
      "Usage: tornavo channels VERB [options] [--help]\n\n"
      "Verbs:\n"
      "  list IMAGE                     print both tables as the text export writes them\n"
      "  export IMAGE OUT --txt|--html  write one table as text or HTML\n"
      "  edit IMAGE OUT OPERATION ...   edit the tables as the tuning page does, save to OUT\n\n"
      "IMAGE is a flash image (bin, rcu, rcs) or, with --ram, a RAM channel table. Table sizes,\n"
      "symbol rates, satellite names and LNB frequencies come from the settings folder."));
}

// The options every verb shares, and the list loaded as they say.
struct Session {
  explicit Session(const QString& verb) : name(QStringLiteral("tornavo channels %1: ").arg(verb)) {}

  void AddOptions(QCommandLineParser& parser) {
    parser.addOptions({{"ram", "IMAGE is a RAM channel table."},
                       {"ini-dir", "Folder of the settings and catalogue files.", "DIR"}});
    AddSectionOptions(parser);
  }

  void LoadSettings(const QCommandLineParser& parser) {
    settings.Load(ResolveIniFolder(parser.value("ini-dir"), QCoreApplication::applicationDirPath()),
                  {});
    channels.ApplyTableSettings();
  }

  // Loads a further image too when append is true. Errors are printed.
  bool Load(const QCommandLineParser& parser, const QString& path, bool append) {
    OptionChooser chooser(parser);
    const ChannelFileKind kind = append                ? ChannelFileKind::kAddedFlash
                                 : parser.isSet("ram") ? ChannelFileKind::kRam
                                                       : ChannelFileKind::kFlash;
    const ChannelLoad loaded = channels.OpenImageFile(path, kind, chooser);
    if (loaded) return true;
    Err(name + (loaded.kind == ChannelLoad::Kind::kUnreadable
                    ? loaded.error
                    : path + ": " + chooser.Problem(loaded)));
    return false;
  }

  QString name;
  Texts texts;
  SymbolRateTable symbol_rates{};
  PictureOptions picture_options;
  Settings settings{symbol_rates, picture_options};
  ChannelService channels{settings, symbol_rates, texts};
  ChannelList& list = channels.list();
};

int RunList(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Prints the channel table and, after an empty line, the transponder table: every row from\n"
      "the headings on, columns 0 to 10, a TAB after each cell and CR LF after each row."));
  parser.addPositionalArgument("IMAGE", "the flash or RAM image");
  Session session("list");
  session.AddOptions(parser);
  if (!Parse(parser, arguments)) return kExitUsage;
  if (parser.positionalArguments().size() != 1) {
    Err(session.name + QStringLiteral("give IMAGE. Try 'tornavo channels list --help'."));
    return kExitUsage;
  }
  session.LoadSettings(parser);
  if (!session.Load(parser, parser.positionalArguments()[0], false)) return kExitBadInput;
  const QString text = GridText(session.list.channels()) + QStringLiteral("\r\n") +
                       GridText(session.list.transponders());
  std::fputs(text.toUtf8().constData(), stdout);
  std::fflush(stdout);
  return kExitOk;
}

int RunExport(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Writes the channel table (or with --transponders the transponder table) to OUT as the\n"
      "page's \"Guardar como...\" does for \"Archivo de Texto (TXT)\" or \"Archivo HTML (HTM)\"."));
  parser.addPositionalArgument("IMAGE", "the flash or RAM image");
  parser.addPositionalArgument("OUT", "the file to write");
  Session session("export");
  session.AddOptions(parser);
  parser.addOptions({{"txt", "Tab-separated text."},
                     {"html", "One HTML table."},
                     {"transponders", "The transponder table instead of the channel table."}});
  if (!Parse(parser, arguments)) return kExitUsage;
  const QStringList files = parser.positionalArguments();
  if (files.size() != 2 || parser.isSet("txt") == parser.isSet("html")) {
    Err(session.name + QStringLiteral("give IMAGE OUT and one of --txt or --html."));
    return kExitUsage;
  }
  session.LoadSettings(parser);
  if (!session.Load(parser, files[0], false)) return kExitBadInput;
  QString error;
  if (!session.channels.ExportTable(files[1], parser.isSet("transponders"), parser.isSet("html"),
                                    &error)) {
    Err(session.name + error);
    return kExitBadInput;
  }
  return kExitOk;
}

// "FIRST-LAST" or "FIRST-LAST:TARGET" (the target's form given by target_hex).
bool ParseRange(const QString& text, bool with_target, bool target_hex, int* first, int* last,
                int* target) {
  static const QRegularExpression range("^(\\d{1,5})(?:-(\\d{1,5}))?(?::([0-9A-Fa-f]{1,5}))?$");
  const QRegularExpressionMatch match = range.match(text);
  if (!match.hasMatch() || match.hasCaptured(3) != with_target) return false;
  *first = match.captured(1).toInt();
  *last = match.hasCaptured(2) ? match.captured(2).toInt() : *first;
  if (with_target) {
    bool ok = false;
    *target = match.captured(3).toInt(&ok, target_hex ? 16 : 10);
    if (!ok) return false;
  }
  return *first >= 1 && *first <= *last;
}

// The edit's help text and arguments.
void DescribeEdit(QCommandLineParser& parser) {
  parser.setApplicationDescription(QStringLiteral(
      "Applies the operations in order, as the tuning page does, then saves the image to OUT.\n"
      "Operations:\n"
      "  move-channels FIRST-LAST:TARGET      move-transponders FIRST-LAST:TARGET\n"
      "  delete-channels FIRST-LAST           delete-transponders FIRST-LAST\n"
      "  copy-channels FIRST-LAST             paste-channels ROW\n"
      "  copy-transponders FIRST-LAST         paste-transponders ROW\n"
      "  encrypt FIRST-LAST:VALUE (hex)       add IMAGE2\n"
      "  tcs-block HEX                        tpt-block HEX  (move a table to that block)\n"
      "Rows are numbered as the tables show them. A paste that would push a row in use off\n"
      "the end of its table is refused. A failed load, a refused paste, a cell that does not\n"
      "convert, or a save that would write over a live table or past a table's block or the\n"
      "image end leaves OUT uncreated (exit status 2)."));
  parser.addPositionalArgument("IMAGE", "the flash or RAM image");
  parser.addPositionalArgument("OUT", "the file to write");
  parser.addPositionalArgument("OPERATION", "operations with their argument", "OPERATION ARG...");
}

// What the operations of one edit carry from one to the next.
struct EditState {
  int64_t tcs_block = 0;
  int64_t tpt_block = 0;
  QString clipboard;
};

// A row past the table's end, said on stderr: the list would cut a range short there without
// a word.
bool PastTableEnd(const Session& session, int rows, int row, const QString& argument,
                  const QString& operation) {
  if (row <= rows) return false;
  Err(session.name + QStringLiteral("rows '%1' of %2 go past the table (1 ... %3).")
                         .arg(argument, operation)
                         .arg(rows));
  return true;
}

// Applies one operation with its argument to the session's list. Errors are printed; the exit
// status on failure, kExitOk otherwise.
int ApplyEditOperation(const QCommandLineParser& parser, Session& session, const QString& operation,
                       const QString& argument, EditState& edit) {
  ChannelList& list = session.list;
  int first = 0, last = 0, target = 0;
  auto usage = [&] {
    Err(session.name + QStringLiteral("bad argument '%1' for %2. Try 'tornavo channels edit "
                                      "--help'.")
                           .arg(argument, operation));
    return kExitUsage;
  };
  const bool transponders = operation.endsWith("-transponders");
  if (transponders && list.ram()) {
    Err(session.name + QStringLiteral("a RAM channel table has no transponders."));
    return kExitBadInput;
  }
  const int rows = (transponders ? list.transponders() : list.channels()).rows() - 1;
  auto past_end = [&](int row) { return PastTableEnd(session, rows, row, argument, operation); };
  if (operation == "move-channels" || operation == "move-transponders") {
    if (!ParseRange(argument, true, false, &first, &last, &target)) return usage();
    if (past_end(last)) return kExitBadInput;
    // The list would take a target outside the table as row 1.
    if (target < 1 || target > rows) {
      Err(session.name + QStringLiteral("target row %1 of %2 is not in the table (1 ... %3).")
                             .arg(target)
                             .arg(operation)
                             .arg(rows));
      return kExitBadInput;
    }
    transponders ? list.MoveTransponders(first, last, target)
                 : list.MoveChannels(first, last, target);
  } else if (operation == "delete-channels" || operation == "delete-transponders") {
    if (!ParseRange(argument, false, false, &first, &last, &target)) return usage();
    if (past_end(last)) return kExitBadInput;
    transponders ? list.DeleteTransponders(first, last) : list.DeleteChannels(first, last);
  } else if (operation == "copy-channels" || operation == "copy-transponders") {
    if (!ParseRange(argument, false, false, &first, &last, &target)) return usage();
    if (past_end(last)) return kExitBadInput;
    edit.clipboard = list.CopyRows(transponders, first, last);
  } else if (operation == "paste-channels" || operation == "paste-transponders") {
    if (!ParseRange(argument, false, false, &first, &last, &target) || first != last)
      return usage();
    if (past_end(first)) return kExitBadInput;
    const PasteResult pasted = transponders ? list.PasteTransponders(first, edit.clipboard)
                                            : list.PasteChannels(first, edit.clipboard);
    if (pasted.kind == PasteResult::Kind::kNotThisTable) {
      Err(session.name +
          QStringLiteral("nothing of that table was copied before %1.").arg(operation));
      return kExitUsage;
    }
    if (!pasted) {
      Err(session.name + list.PasteRefusalText(transponders, pasted, session.texts));
      return kExitBadInput;
    }
  } else if (operation == "encrypt") {
    if (!ParseRange(argument, true, true, &first, &last, &target) || (target & 0x0F) != 0 ||
        target > 0xF0)
      return usage();
    if (past_end(last)) return kExitBadInput;
    list.SetEncryption(first, last, target);
  } else if (operation == "tcs-block" || operation == "tpt-block") {
    bool ok = false;
    const int64_t block = argument.toLongLong(&ok, 16);
    if (!ok || block < 0 || block % kBlockSize != 0) return usage();
    (operation == "tcs-block" ? edit.tcs_block : edit.tpt_block) = block;
  } else if (operation == "add") {
    if (list.ram()) {
      Err(session.name + QStringLiteral("tables can be added to a flash image only."));
      return kExitBadInput;
    }
    if (!session.Load(parser, argument, true)) return kExitBadInput;
  } else {
    Err(session.name + QStringLiteral("unknown operation '%1'.").arg(operation));
    return kExitUsage;
  }
  return kExitOk;
}

int RunEdit(const QStringList& arguments) {
  QCommandLineParser parser;
  DescribeEdit(parser);
  Session session("edit");
  session.AddOptions(parser);
  if (!Parse(parser, arguments)) return kExitUsage;
  const QStringList positional = parser.positionalArguments();
  if (positional.size() < 2 || positional.size() % 2 != 0) {
    Err(session.name + QStringLiteral("give IMAGE OUT and operations, each with its argument."));
    return kExitUsage;
  }
  session.LoadSettings(parser);
  ChannelList& list = session.list;
  if (!session.Load(parser, positional[0], false)) return kExitBadInput;
  EditState edit{list.tcs_block(), list.tpt_block(), {}};
  for (qsizetype i = 2; i < positional.size(); i += 2) {
    const QString& operation = positional[i];
    const QString& argument = positional[i + 1];
    if (const int status = ApplyEditOperation(parser, session, operation, argument, edit);
        status != kExitOk)
      return status;
  }
  QString error;
  if (!session.channels.SaveImageFile(positional[1], {edit.tcs_block, edit.tpt_block}, &error)) {
    Err(session.name + error);
    return kExitBadInput;
  }
  return kExitOk;
}

}  // namespace

int RunChannelsCommand(const QStringList& arguments) {
  const QString verb = arguments.value(1);
  QStringList rest = arguments.mid(2);
  rest.prepend(arguments.value(0) + ' ' + verb);
  if (verb == QLatin1String("list")) return RunList(rest);
  if (verb == QLatin1String("export")) return RunExport(rest);
  if (verb == QLatin1String("edit")) return RunEdit(rest);
  if (verb == QLatin1String("--help") || verb == QLatin1String("-h")) {
    PrintVerbs();
    return kExitOk;
  }
  Err(verb.isEmpty() ? QStringLiteral("tornavo channels: give a verb.")
                     : QStringLiteral("tornavo channels: unknown verb '%1'.").arg(verb));
  Err(QStringLiteral("Try 'tornavo channels --help'."));
  return kExitUsage;
}

}  // namespace tornavo::cli

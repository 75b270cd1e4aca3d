#include "cli/console.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

namespace tornavo::cli {

void Out(const QString& line) {
  std::fputs((line + '\n').toUtf8().constData(), stdout);
  std::fflush(stdout);
}

void Err(const QString& line) {
  std::fputs((line + '\n').toUtf8().constData(), stderr);
  std::fflush(stderr);
}

bool Parse(QCommandLineParser& parser, const QStringList& arguments) {
  parser.addHelpOption();
  if (!parser.parse(arguments)) {
    Err(parser.errorText());
    Err(QStringLiteral("Try '%1 --help'.").arg(arguments.value(0)));
    return false;
  }
  if (parser.isSet(QStringLiteral("help"))) {
    // The usage line names the subcommand, not the path the program was started by.
    QString help = parser.helpText();
    help.replace(QCoreApplication::arguments().value(0), arguments.value(0));
    std::fputs(help.toUtf8().constData(), stdout);
    std::exit(kExitOk);
  }
  return true;
}

void ConsoleHost::AppendLog(LogId log, const QString& line) {
  logs_[static_cast<int>(log)] << line;
  if (!verbose_) return;
  QString shown = line;
  while (shown.endsWith('\r')) shown.chop(1);
  Err(shown);
}

void ConsoleHost::ShowError(const QString& text) {
  had_error_ = true;
  Err(text);
}

void ConsoleHost::ShowInformation(const QString& text) { Out(text); }

}  // namespace tornavo::cli

#include "cli/console.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/runtime/text_file.h"

namespace tornavo::cli {

void Out(const QString& line) {
  std::fputs((line + '\n').toUtf8().constData(), stdout);
  std::fflush(stdout);
}

void Err(const QString& line) {
  std::fputs((line + '\n').toUtf8().constData(), stderr);
  std::fflush(stderr);
}

bool WriteOutput(const QString& path, const QByteArray& bytes, QString* error) {
  if (path != QLatin1String(kStandardOutput)) return WriteFileAtomically(path, bytes, error);
  if (std::fwrite(bytes.constData(), 1, bytes.size(), stdout) !=
          static_cast<size_t>(bytes.size()) ||
      std::fflush(stdout) != 0) {
    if (error)
      *error = QStringLiteral("standard output: ") + QString::fromLocal8Bit(std::strerror(errno));
    return false;
  }
  return true;
}

bool OutputCanBeWritten(const QString& path, QString* error) {
  return path == QLatin1String(kStandardOutput) || FileCanBeWritten(path, error);
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

void ConsoleHost::Report(StatusPage page, const ProgressReport& report) {
  TaskPanel& panel = panels_[static_cast<int>(page)];
  panel.Apply(report);
  if (!report.done() || *report.done() <= 0 || *report.done() == shown_progress_) return;
  shown_progress_ = *report.done();
  ShowProgress(page, panel);
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

void ConsoleHost::ShowInformation(const QString& text) {
  if (information_to_stderr_)
    Err(text);
  else
    Out(text);
}

}  // namespace tornavo::cli

#pragma once

#include <QString>
#include <QStringList>
#include <array>

#include "cli/exit_codes.h"
#include "core/runtime/operation_host.h"

class QCommandLineParser;

namespace tornavo::cli {

// UTF-8 lines on the terminal.
void Out(const QString& line);
void Err(const QString& line);

// The name that stands for standard output where a command writes a file.
inline constexpr char kStandardOutput[] = "-";
// Writes a command's output file: "-" to standard output, anything else through
// WriteFileAtomically. On failure returns false with the reason in *error.
bool WriteOutput(const QString& path, const QByteArray& bytes, QString* error);
// Whether WriteOutput could write path, asked before a command's long work: false, with the
// reason in *error, when the file could not be written anyway.
bool OutputCanBeWritten(const QString& path, QString* error);

// Parses a subcommand's arguments (the first is the program and subcommand name, for the
// usage text). Prints the error and returns false on unknown options; --help prints the
// help and exits.
bool Parse(QCommandLineParser& parser, const QStringList& arguments);

// An operation host for the command line: information boxes on stdout, error boxes on
// stderr, logs only with --verbose. It keeps each task panel as the reports leave it, and
// hands a command each new step forward to print as it likes.
class ConsoleHost : public OperationHost {
 public:
  explicit ConsoleHost(bool verbose = false) : verbose_(verbose) {}
  // While standard output carries a file, information goes to standard error.
  void set_information_to_stderr(bool to_stderr) { information_to_stderr_ = to_stderr; }

  void AppendLog(LogId log, const QString& line) override;
  void Report(StatusPage page, const ProgressReport& report) override;
  void ShowError(const QString& text) override;
  void ShowInformation(const QString& text) override;
  void DisablePages() override {}
  void EnablePages() override {}

  bool had_error() const { return had_error_; }
  const QStringList& log(LogId id) const { return logs_[static_cast<int>(id)]; }

 protected:
  // A step forward on a page's panel, once per position: an operation's last step and its
  // closing position are often the same. Nothing is printed unless a command asks.
  virtual void ShowProgress(StatusPage page, const TaskPanel& panel) {
    (void)page;
    (void)panel;
  }

 private:
  std::array<TaskPanel, kStatusPageCount> panels_;
  int shown_progress_ = -1;
  bool verbose_;
  bool information_to_stderr_ = false;
  bool had_error_ = false;
  QStringList logs_[kLogCount];
};

}  // namespace tornavo::cli

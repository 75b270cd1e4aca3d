#pragma once

#include <QString>
#include <QStringList>

namespace tornavo {

// The commands typed in the terminal, oldest first, each once, at most kLimit of them. Up and
// Down walk it as a shell's history does: back from the line being typed, which comes back at
// the end. It lives in a file of the settings folder, so that it outlasts the run.
class CommandHistory {
 public:
  static constexpr int kLimit = 100;
  static constexpr const char* kFileName = "HistorialTerminal.txt";

  // Reads the file (UTF-8, a command a line); a missing or unreadable file gives an empty
  // history.
  void Load(const QString& path);
  // Replaces the file atomically; false, with the system's text in *error, on failure.
  bool Save(QString* error) const;

  // A command sent: it becomes the newest (an earlier copy goes), and the walk starts again
  // from the line being typed.
  void Add(const QString& command);
  // Up from the line shown (`typed` is kept when the walk leaves it); the oldest stays.
  QString Older(const QString& typed);
  // Down; past the newest, the line that was being typed.
  QString Newer();

  const QStringList& commands() const { return commands_; }

 private:
  QString path_;
  QStringList commands_;
  qsizetype at_ = 0;  // commands_.size() while no earlier command is shown
  QString typed_;
};

}  // namespace tornavo

#include "core/serial/command_history.h"

#include <QDir>
#include <QFileInfo>

#include "core/runtime/text_file.h"

namespace tornavo {

void CommandHistory::Load(const QString& path) {
  path_ = path;
  commands_.clear();
  QByteArray bytes;
  QString error;
  if (ReadWholeFile(path, &bytes, &error)) {
    for (QString line : QString::fromUtf8(bytes).split(u'\n')) {
      // Commands are kept as typed, blanks included; only the line ends go.
      if (line.endsWith(u'\r')) line.chop(1);
      Add(line);
    }
  }
  at_ = commands_.size();
}

bool CommandHistory::Save(QString* error) const {
  // The settings folder of a first run is made when the settings are stored, at the end.
  QDir().mkpath(QFileInfo(path_).absolutePath());
  return WriteFileAtomically(path_, EncodeLinesUtf8(commands_), error);
}

void CommandHistory::Add(const QString& command) {
  if (command.isEmpty()) return;
  commands_.removeAll(command);
  commands_ << command;
  if (commands_.size() > kLimit) commands_.remove(0, commands_.size() - kLimit);
  at_ = commands_.size();
  typed_.clear();
}

QString CommandHistory::Older(const QString& typed) {
  if (at_ == commands_.size()) typed_ = typed;
  if (at_ > 0) --at_;
  return at_ < commands_.size() ? commands_[at_] : typed_;
}

QString CommandHistory::Newer() {
  if (at_ < commands_.size()) ++at_;
  return at_ < commands_.size() ? commands_[at_] : typed_;
}

}  // namespace tornavo

#include "core/runtime/backup_store.h"

#include <QDir>
#include <QFileInfo>

#include "core/runtime/text_file.h"

namespace tornavo {

QString DataHome() {
  // A relative XDG_DATA_HOME is invalid and ignored, as the base directory rules say.
  const QString data = qEnvironmentVariable("XDG_DATA_HOME");
  if (data.isEmpty() || QDir::isRelativePath(data))
    return QDir::homePath() + QStringLiteral("/.local/share");
  return data;
}

QString DefaultBackupFolder() { return DataHome() + QStringLiteral("/tornavo/backups"); }

QString BackupFileName(const QDateTime& when, const QString& operation, uint32_t address,
                       const QString& extension) {
  const QString hex = QString::number(address, 16).toUpper().rightJustified(8, QLatin1Char('0'));
  return QStringLiteral("%1_%2_%3.%4")
      .arg(when.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")), operation, hex, extension);
}

std::optional<BackupStore> BackupsWhen(bool on) {
  if (!on) return std::nullopt;
  return BackupStore();
}

BackupStore::BackupStore(QString folder, Now now)
    : folder_(std::move(folder)),
      now_(now ? std::move(now) : [] { return QDateTime::currentDateTime(); }) {}

BackupResult BackupStore::Save(const QString& operation, uint32_t address,
                               const QByteArray& contents, const QString& extension) const {
  BackupResult result;
  if (!QFileInfo(folder_).isDir() && !QDir().mkpath(folder_)) {
    result.error = QStringLiteral("%1: the folder could not be created").arg(folder_);
    return result;
  }
  const QString name = BackupFileName(now_(), operation, address, extension);
  QString path = QDir(folder_).filePath(name);
  // Two operations in the same second keep both backups.
  for (int n = 2; QFileInfo::exists(path); ++n)
    path = QDir(folder_).filePath(
        QStringLiteral("%1-%2.%3").arg(name.chopped(extension.size() + 1)).arg(n).arg(extension));
  if (!WriteFileAtomically(path, contents, &result.error)) return result;
  result.saved = true;
  result.path = path;
  return result;
}

}  // namespace tornavo

#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

namespace tornavo {

// $XDG_DATA_HOME when it is set and absolute, else ~/.local/share.
QString DataHome();
// Where backups go: <data home>/tornavo/backups.
QString DefaultBackupFolder();

// "2026-12-07_16-05-12_eeprom-send_00000000.bin": sorts by time, names what was about to be
// overwritten and where it starts.
QString BackupFileName(const QDateTime& when, const QString& operation, uint32_t address,
                       const QString& extension);

struct BackupResult {
  bool saved = false;
  QString path;   // the file written, when saved
  QString error;  // why nothing was written, otherwise
};

// Keeps what a destructive write is about to replace, one file per operation. A file is
// written whole or not at all, and never over an earlier backup.
class BackupStore {
 public:
  using Now = std::function<QDateTime()>;

  explicit BackupStore(QString folder = DefaultBackupFolder(), Now now = nullptr);

  const QString& folder() const { return folder_; }

  // `operation` is a short lower-case name ("eeprom-send", "flash-erase"); `extension` is
  // the file format's, without the dot.
  BackupResult Save(const QString& operation, uint32_t address, const QByteArray& contents,
                    const QString& extension) const;

 private:
  QString folder_;
  Now now_;
};

// The store in the default folder when backups are on; none when they are off.
std::optional<BackupStore> BackupsWhen(bool on);

}  // namespace tornavo

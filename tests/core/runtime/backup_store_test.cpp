#include "core/runtime/backup_store.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "core/settings/file_bytes.h"
#include "support/scoped_env.h"

namespace tornavo {
namespace {

TEST(BackupStoreTest, EachOperationGetsItsOwnWholeFileNamedForWhatItReplaces) {
  QTemporaryDir dir;
  const QString folder = dir.filePath("data/tornavo/backups");  // made on first use
  const QDateTime when(QDate(2026, 12, 7), QTime(9, 5, 3));
  BackupStore store(folder, [&] { return when; });
  const QByteArray first("\x00\xff\x10", 3);
  const BackupResult a = store.Save("flash-erase", 0x7f800000u, first, "bin");
  ASSERT_TRUE(a.saved) << a.error.toStdString();
  EXPECT_EQ(QFileInfo(a.path).fileName(), "2026-12-07_09-05-03_flash-erase_7F800000.bin");
  // The same second again keeps the first backup and adds a second one.
  const BackupResult b = store.Save("flash-erase", 0x7f800000u, "other", "bin");
  ASSERT_TRUE(b.saved);
  EXPECT_EQ(QFileInfo(b.path).fileName(), "2026-12-07_09-05-03_flash-erase_7F800000-2.bin");
  EXPECT_EQ(ReadBytes(a.path), first);
  EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 2);

  // A folder that cannot be made writes nothing and says why.
  ASSERT_TRUE(WriteBytes(dir.filePath("plain"), ""));
  const BackupResult c =
      BackupStore(dir.filePath("plain/backups")).Save("eeprom-send", 0, "x", "txt");
  EXPECT_FALSE(c.saved);
  EXPECT_TRUE(c.path.isEmpty());
  EXPECT_FALSE(c.error.isEmpty());
}

TEST(BackupStoreTest, OnlyAnAbsoluteDataHomeIsUsed) {
  tornavo::testing::ScopedEnv data_home("XDG_DATA_HOME", "/srv/data");
  EXPECT_EQ(DefaultBackupFolder(), "/srv/data/tornavo/backups");
  data_home.Set("relative/data");
  EXPECT_EQ(DefaultBackupFolder(), QDir::homePath() + "/.local/share/tornavo/backups");
}

}  // namespace
}  // namespace tornavo

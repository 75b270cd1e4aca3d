#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "core/settings/settings_keys.h"
#include "tornavo_process.h"

namespace {

using tornavo::testing::RunTornavo;

QStringList Lines(const tornavo::testing::RunResult& result) {
  return result.out.split('\n', Qt::SkipEmptyParts);
}

TEST(SettingsCommandTest, ShowAndDefaultsPrintTheStoredOrder) {
  QTemporaryDir dir;
  QFile file(dir.filePath("Tornavo.ini"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("[TForm1]\r\nRetardoBusy=5000\r\nSat-A=Espa\361a\r\nTamano=0\r\n");
  file.close();

  const auto show = RunTornavo({"settings", "show", "--ini-dir", dir.path()});
  ASSERT_EQ(show.exit_code, 0) << show.err.toStdString();
  const QStringList shown = Lines(show);
  EXPECT_EQ(shown.first(), "Top=0");
  EXPECT_EQ(shown.last(), "ForzarJtag=0");
  EXPECT_TRUE(shown.contains("RetardoBusy=700"));
  EXPECT_TRUE(shown.contains(QString::fromUtf8("Sat-A=España")));
  EXPECT_TRUE(shown.contains("Tamano=0"));

  const auto defaults = RunTornavo({"settings", "defaults", "--ini-dir", dir.path()});
  ASSERT_EQ(defaults.exit_code, 0);
  const QStringList reset = Lines(defaults);
  EXPECT_EQ(reset.size(), shown.size());
  EXPECT_TRUE(reset.contains("RetardoBusy=500"));
  EXPECT_TRUE(reset.contains("Tamano=1"));
  EXPECT_TRUE(reset.contains(QString::fromUtf8("Sat-A=España")));
}

TEST(SettingsCommandTest, EmptyConfigFolderAndBadUsage) {
  QTemporaryDir dir;
  // Without --ini-dir the folder under XDG_CONFIG_HOME is used; showing creates nothing.
  qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
  const auto show = RunTornavo({"settings", "show"});
  const auto bad = RunTornavo({"settings", "erase"});
  qunsetenv("XDG_CONFIG_HOME");
  ASSERT_EQ(show.exit_code, 0) << show.err.toStdString();
  EXPECT_EQ(Lines(show).size(), tornavo::kSettingCount);
  EXPECT_TRUE(Lines(show).contains("WindowWidth=736"));
  EXPECT_FALSE(QFile::exists(dir.filePath("tornavo")));
  EXPECT_EQ(bad.exit_code, 2);
  EXPECT_TRUE(bad.out.isEmpty());
  EXPECT_FALSE(bad.err.isEmpty());
}

TEST(SettingsCommandTest, AFolderThatDoesNotExistIsNamedOnStderr) {
  QTemporaryDir dir;
  const QString missing = dir.filePath("no-such-folder");
  const auto show = RunTornavo({"settings", "show", "--ini-dir", missing});
  EXPECT_EQ(show.exit_code, 0);
  EXPECT_TRUE(show.err.contains(missing)) << show.err.toStdString();
  EXPECT_TRUE(Lines(show).contains("Velocidad=6"));
}

TEST(SettingsCommandTest, LanguagePrintsEverySlotAsTheWindowHoldsIt) {
  QTemporaryDir dir;
  QFile file(dir.filePath("English.ini"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("[English]\r\ntraduc4=  Reads\r\ntraduc0=\r\ntraduc269=Custom\r\n");
  file.close();

  const auto english =
      RunTornavo({"settings", "show", "--ini-dir", dir.path(), "--language", "English"});
  ASSERT_EQ(english.exit_code, 0) << english.err.toStdString();
  EXPECT_TRUE(english.err.isEmpty());
  const QStringList lines = english.out.split('\n');
  ASSERT_EQ(lines.size(), 202);  // 201 slots and the final line break
  EXPECT_EQ(lines[4], "slot4\tReads");
  EXPECT_EQ(lines[5], QString::fromUtf8("slot5\tEnvía"));  // not in the file: built in
  EXPECT_EQ(lines[154], "slot154\tCustom");

  // A language without its file: the built-in texts, and stderr says so.
  const auto missing =
      RunTornavo({"settings", "show", "--ini-dir", dir.path(), "--language", "Klingon"});
  EXPECT_EQ(missing.exit_code, 0);
  EXPECT_TRUE(missing.err.contains("Klingon.ini"));
  EXPECT_TRUE(missing.out.contains("slot4\tRecibe\n"));
  const auto misused = RunTornavo({"settings", "defaults", "--language", "English"});
  EXPECT_EQ(misused.exit_code, 2);
  EXPECT_TRUE(misused.out.isEmpty());
}

}  // namespace

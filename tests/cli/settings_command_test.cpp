#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "core/settings/settings_keys.h"
#include "support/scoped_env.h"
#include "tornavo_process.h"

namespace {

using tornavo::testing::Lines;
using tornavo::testing::RunTornavo;
using tornavo::testing::WriteFile;

// Show and defaults print every setting in the stored order; a folder that does not exist is
// named on stderr, and without --ini-dir the one under XDG_CONFIG_HOME is read, not created.
TEST(SettingsCommandTest, ShowAndDefaultsPrintTheStoredOrder) {
  QTemporaryDir dir;
  WriteFile(dir.filePath("Tornavo.ini"), "[TForm1]\r\nRetardoBusy=5000\r\nSat-A=Espa\361a\r\n");
  const auto show = RunTornavo({"settings", "show", "--ini-dir", dir.path()});
  ASSERT_EQ(show.exit_code, 0) << show.err.toStdString();
  const QStringList shown = Lines(show.out);
  EXPECT_EQ(shown.size(), tornavo::kSettingCount);
  EXPECT_TRUE(shown.contains("RetardoBusy=700"));
  EXPECT_TRUE(shown.contains(QString::fromUtf8("Sat-A=España")));
  const QStringList reset =
      Lines(RunTornavo({"settings", "defaults", "--ini-dir", dir.path()}).out);
  EXPECT_TRUE(reset.contains("RetardoBusy=500"));
  EXPECT_TRUE(reset.contains(QString::fromUtf8("Sat-A=España")));

  const QString missing = dir.filePath("no-such-folder");
  const auto absent = RunTornavo({"settings", "show", "--ini-dir", missing});
  EXPECT_EQ(absent.exit_code, 0);
  EXPECT_TRUE(absent.err.contains(missing)) << absent.err.toStdString();
  EXPECT_TRUE(Lines(absent.out).contains("Velocidad=6"));
  tornavo::testing::ScopedEnv config_home("XDG_CONFIG_HOME", missing.toUtf8());
  const auto config = RunTornavo({"settings", "show"});
  const auto bad = RunTornavo({"settings", "erase"});
  EXPECT_TRUE(Lines(config.out).contains("WindowWidth=736"));
  EXPECT_FALSE(QFile::exists(missing));
  EXPECT_EQ(bad.exit_code, 2);
  EXPECT_TRUE(bad.out.isEmpty());
}

TEST(SettingsCommandTest, LanguagePrintsEverySlotAsTheWindowHoldsIt) {
  QTemporaryDir dir;
  WriteFile(dir.filePath("English.ini"), "[English]\r\ntraduc269=Custom\r\n");
  const auto english =
      RunTornavo({"settings", "show", "--ini-dir", dir.path(), "--language", "English"});
  ASSERT_EQ(english.exit_code, 0) << english.err.toStdString();
  EXPECT_TRUE(english.err.isEmpty());
  const QStringList lines = english.out.split('\n');
  ASSERT_EQ(lines.size(), 202);                            // 201 slots and the final line break
  EXPECT_EQ(lines[5], QString::fromUtf8("slot5\tEnvía"));  // not in the file: built in
  EXPECT_EQ(lines[154], "slot154\tCustom");

  // A language without its file: the built-in texts, and stderr says so.
  const auto missing =
      RunTornavo({"settings", "show", "--ini-dir", dir.path(), "--language", "Klingon"});
  EXPECT_EQ(missing.exit_code, 0);
  EXPECT_TRUE(missing.err.contains("Klingon.ini"));
  EXPECT_TRUE(missing.out.contains("slot4\tRecibe\n"));
  EXPECT_EQ(RunTornavo({"settings", "defaults", "--language", "English"}).exit_code, 2);
}

}  // namespace

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "tornavo_process.h"

namespace {

struct RunResult {
  int exit_code;
  QStringList lines;
  QString errors;
};

RunResult RunTornavo(const QStringList& arguments, const QString& config_home) {
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("XDG_CONFIG_HOME", config_home);
  process.setProcessEnvironment(environment);
  process.start(tornavo::testing::TornavoPath(), arguments);
  EXPECT_TRUE(process.waitForFinished(30000));
  const QString out = QString::fromUtf8(process.readAllStandardOutput());
  return {process.exitCode(), out.split('\n', Qt::SkipEmptyParts),
          QString::fromUtf8(process.readAllStandardError())};
}

TEST(SettingsCommandTest, ShowAndDefaultsPrintTheStoredOrder) {
  QTemporaryDir dir;
  QFile file(dir.filePath("Tornavo.ini"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(
      "[TForm1]\r\nRetardoBusy=5000\r\nSat-A=Espa\xF1"
      "a\r\nTamano=0\r\n");
  file.close();

  const RunResult show =
      RunTornavo({"settings", "show", "--ini-dir", dir.path()}, dir.filePath("x"));
  ASSERT_EQ(show.exit_code, 0) << show.errors.toStdString();
  EXPECT_EQ(show.lines.first(), "Top=0");
  EXPECT_EQ(show.lines.last(), "ForzarJtag=0");
  EXPECT_TRUE(show.lines.contains("RetardoBusy=700"));
  EXPECT_TRUE(show.lines.contains(QString::fromUtf8("Sat-A=España")));
  EXPECT_TRUE(show.lines.contains(QString::fromUtf8("PestañaActiva=0")));
  EXPECT_TRUE(show.lines.contains("Tamano=0"));

  const RunResult defaults =
      RunTornavo({"settings", "defaults", "--ini-dir", dir.path()}, dir.filePath("x"));
  ASSERT_EQ(defaults.exit_code, 0);
  EXPECT_EQ(defaults.lines.size(), show.lines.size());
  EXPECT_TRUE(defaults.lines.contains("RetardoBusy=500"));
  EXPECT_TRUE(defaults.lines.contains("Tamano=1"));
  EXPECT_TRUE(defaults.lines.contains(QString::fromUtf8("Sat-A=España")));
}

TEST(SettingsCommandTest, EmptyConfigFolderAndBadUsage) {
  QTemporaryDir dir;
  // Without --ini-dir the folder under XDG_CONFIG_HOME is used; showing creates nothing.
  const RunResult show = RunTornavo({"settings", "show"}, dir.path());
  ASSERT_EQ(show.exit_code, 0) << show.errors.toStdString();
  EXPECT_TRUE(show.lines.contains("WindowWidth=736"));
  EXPECT_TRUE(show.lines.contains("TrapAdr=40010000"));
  EXPECT_FALSE(QFile::exists(dir.filePath("tornavo")));

  const RunResult bad = RunTornavo({"settings", "erase"}, dir.path());
  EXPECT_EQ(bad.exit_code, 1);
  EXPECT_TRUE(bad.lines.isEmpty());
  EXPECT_FALSE(bad.errors.isEmpty());
}

}  // namespace

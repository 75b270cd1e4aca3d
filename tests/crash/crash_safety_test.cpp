// Kills a program in the middle of saving, at random moments, for every kind of file the
// tool saves: what is left is always the old file or the new one, whole. A save killed in
// the instant between naming its finished temporary and renaming it leaves that temporary
// (itself whole); the next save of the file removes it, so nothing stray outlives it.
#include <gtest/gtest.h>
#include <signal.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <random>

namespace {

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList Kinds() {
  QProcess lister;
  lister.start(QStringLiteral(CRASH_SAVER_PATH), {"--list"});
  lister.waitForFinished(10000);
  return QString::fromLatin1(lister.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

// The settings save writes key after key, each write a whole file: a file between the two
// versions holds whole lines of one or the other.
bool IsBetween(const QByteArray& file, const QByteArray& a, const QByteArray& b) {
  if (file == a || file == b) return true;
  const QList<QByteArray> lines = file.split('\n');
  const QList<QByteArray> a_lines = a.split('\n'), b_lines = b.split('\n');
  if (lines.size() != a_lines.size()) return false;
  for (const QByteArray& line : lines)
    if (!a_lines.contains(line) && !b_lines.contains(line)) return false;
  return true;
}

TEST(CrashSafetyTest, AKilledSaveLeavesTheOldOrTheNewFileAndNothingOutlivesTheNextSave) {
  const QStringList kinds = Kinds();
  ASSERT_GE(kinds.size(), 7) << "the saver lists its kinds";
  std::mt19937 random(7);
  int kills_per_kind = qEnvironmentVariableIntValue("TORNAVO_CRASH_KILLS");
  if (kills_per_kind <= 0) kills_per_kind = 12;
  for (const QString& kind : kinds) {
    int moved_on = 0;  // kills that found something other than the first save
    int temporaries_left = 0;
    for (int kill = 0; kill < kills_per_kind; ++kill) {
      SCOPED_TRACE(kind.toStdString() + " kill " + std::to_string(kill));
      QTemporaryDir work;
      QTemporaryDir refs;
      const QString out_dir = work.filePath("out");
      QDir().mkdir(out_dir);
      const QString name = kind == "settings" ? "Tornavo.ini" : "saved";
      const QString path = QDir(out_dir).filePath(name);
      QProcess saver;
      saver.start(QStringLiteral(CRASH_SAVER_PATH), {kind, path, refs.path()});
      // After none, one or two further saves (however long a save takes on this machine),
      // a random moment.
      int saves = 0;
      bool ready = false;
      while (!ready || saves < kill % 3) {
        ASSERT_TRUE(saver.canReadLine() || saver.waitForReadyRead(30000))
            << saver.readAllStandardError().toStdString();
        while (saver.canReadLine()) {
          const QByteArray line = saver.readLine().trimmed();
          ready = ready || line == "ready";
          saves += line == "saved";
        }
      }
      QThread::usleep(static_cast<unsigned long>(random() % 20000));
      ::kill(static_cast<pid_t>(saver.processId()), SIGKILL);
      ASSERT_TRUE(saver.waitForFinished(10000));

      const QByteArray a = ReadAll(refs.filePath("a")), b = ReadAll(refs.filePath("b"));
      ASSERT_FALSE(a.isEmpty());
      ASSERT_NE(a, b);
      const QByteArray left = ReadAll(path);
      if (kind == "settings")
        EXPECT_TRUE(IsBetween(left, a, b)) << left.toStdString();
      else
        EXPECT_TRUE(left == a || left == b) << left.size() << " bytes";
      moved_on += left != a;
      const QDir::Filters all =
          QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
      for (const QString& entry : QDir(out_dir).entryList(all)) {
        if (entry == name) continue;
        ++temporaries_left;
        EXPECT_TRUE(entry.startsWith("." + name + ".tornavo-save-")) << entry.toStdString();
        const QByteArray temporary = ReadAll(QDir(out_dir).filePath(entry));
        EXPECT_TRUE(temporary == a || temporary == b || IsBetween(temporary, a, b));
      }
      QProcess again;
      again.start(QStringLiteral(CRASH_SAVER_PATH), {"--once", kind, path});
      ASSERT_TRUE(again.waitForFinished(30000));
      EXPECT_EQ(again.exitCode(), 0);
      EXPECT_EQ(QDir(out_dir).entryList(all), QStringList{name});
    }
    // The kills fell among the later saves, not only before the second one began.
    EXPECT_GT(moved_on, 0) << kind.toStdString();
    std::printf("%s: %d kills, %d left the file's finished temporary\n", qPrintable(kind),
                kills_per_kind, temporaries_left);
  }
}

}  // namespace

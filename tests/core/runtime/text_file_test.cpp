#include "core/runtime/text_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <thread>

#include "core/settings/file_bytes.h"

namespace tornavo {
namespace {

TEST(TextFileTest, AFifoIsWrittenInPlaceAndALinkKeepsBeingALink) {
  QTemporaryDir dir;
  const QString fifo = dir.filePath("pipe");
  ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  QByteArray received;
  std::thread reader([&] { received = ReadBytes(fifo); });
  QString error;
  EXPECT_TRUE(WriteFileAtomically(fifo, "through the pipe", &error)) << error.toStdString();
  reader.join();
  EXPECT_EQ(received, "through the pipe");
  struct stat st;
  ASSERT_EQ(stat(QFile::encodeName(fifo).constData(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));

  const QString target = dir.filePath("target.txt");
  const QString link = dir.filePath("link.txt");
  ASSERT_TRUE(WriteFileAtomically(target, "old", &error));
  ASSERT_TRUE(QFile::link(target, link));
  ASSERT_TRUE(WriteFileAtomically(link, "new", &error)) << error.toStdString();
  EXPECT_TRUE(QFileInfo(link).isSymLink());
  EXPECT_EQ(ReadBytes(target), "new");
  // Nothing else was left behind.
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::System | QDir::Hidden).size(), 3);

  // A link whose target is missing, through a second link: the target is created.
  QDir().mkpath(dir.filePath("sub"));
  ASSERT_TRUE(QFile::link("sub/made.txt", dir.filePath("middle.txt")));
  ASSERT_TRUE(QFile::link("middle.txt", dir.filePath("dangling.txt")));
  ASSERT_TRUE(WriteFileAtomically(dir.filePath("dangling.txt"), "made", &error))
      << error.toStdString();
  EXPECT_TRUE(QFileInfo(dir.filePath("dangling.txt")).isSymLink());
  EXPECT_TRUE(QFileInfo(dir.filePath("middle.txt")).isSymLink());
  EXPECT_EQ(ReadBytes(dir.filePath("sub/made.txt")), "made");
}

TEST(TextFileTest, ReadsStopAtTheLimitWhateverTheFileIs) {
  QTemporaryDir dir;
  const QString big = dir.filePath("big");
  QString error;
  ASSERT_TRUE(WriteFileAtomically(big, QByteArray(101, 'x'), &error));
  QByteArray bytes = "kept";
  bool too_long = false;
  EXPECT_FALSE(ReadWholeFile(big, &bytes, &error, 100, &too_long));
  EXPECT_TRUE(too_long);
  EXPECT_EQ(bytes, "kept");
  EXPECT_TRUE(ReadWholeFile(big, &bytes, &error, 101, &too_long));
  EXPECT_FALSE(too_long);
  EXPECT_EQ(bytes.size(), 101);
  // A device that never ends.
  EXPECT_FALSE(ReadWholeFile("/dev/zero", &bytes, &error, 4096, &too_long));
  EXPECT_TRUE(too_long);
  // No name: refused with a reason, not a warning.
  EXPECT_FALSE(ReadWholeFile("", &bytes, &error, 100, &too_long));
  EXPECT_FALSE(too_long);
  EXPECT_FALSE(error.isEmpty());
  EXPECT_FALSE(WriteFileAtomically("", "x", &error));
}

TEST(TextFileTest, ASaveKeepsPermissionsAndClearsOnlyItsOwnLeftovers) {
  QTemporaryDir dir;
  const QString path = dir.filePath("e.bin");
  QString error;
  ASSERT_TRUE(WriteFileAtomically(path, "old", &error));
  ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
  // What a save killed between naming its temporary and the rename leaves, and files of the
  // user's that merely look alike.
  for (const char* name : {".e.bin.tornavo-save-Ab12cD", "e.bin.backup", ".e.bin.tornavo-save-x"})
    ASSERT_TRUE(WriteFileAtomically(dir.filePath(name), "x", &error));
  ASSERT_TRUE(WriteFileAtomically(path, "new", &error));
  EXPECT_EQ(ReadBytes(path), "new");
  struct stat st;
  ASSERT_EQ(stat(QFile::encodeName(path).constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
            (QStringList{".e.bin.tornavo-save-x", "e.bin", "e.bin.backup"}));
}

// Asking first gives the answer the save gives, and the same reason when it fails.
TEST(TextFileTest, TheQuestionBeforeASaveAgreesWithTheSave) {
  QTemporaryDir dir;
  QString error;
  ASSERT_TRUE(WriteFileAtomically(dir.filePath("held.bin"), "held", &error));
  ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
  ASSERT_TRUE(QFile::link("missing/target.bin", dir.filePath("into-nowhere.bin")));
  ASSERT_TRUE(QFile::link("made.bin", dir.filePath("dangling.bin")));
  for (const QString& path :
       {dir.filePath("new.bin"), dir.filePath("held.bin"), dir.filePath("dangling.bin"),
        QStringLiteral("/dev/null"), dir.filePath("missing/new.bin"),
        dir.filePath("into-nowhere.bin"), dir.filePath("folder"), QString()}) {
    QString asked, saved;
    const bool can = FileCanBeWritten(path, &asked);
    EXPECT_EQ(can, WriteFileAtomically(path, "new", &saved)) << path.toStdString();
    if (!can) {
      EXPECT_EQ(asked, saved);
    }
  }
  EXPECT_EQ(ReadBytes(dir.filePath("made.bin")), "new");
}

}  // namespace
}  // namespace tornavo

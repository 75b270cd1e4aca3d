#include "core/app/ini_file.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace tornavo {
namespace {

class IniFileTest : public ::testing::Test {
 protected:
  QString Write(const QByteArray& bytes) {
    QFile file(path_);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path_;
  }
  QByteArray Bytes() const {
    QFile file(path_);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  QTemporaryDir dir_;
  QString path_ = dir_.filePath("Tornavo.ini");
};

TEST_F(IniFileTest, IntegersInDecimalDollarAndZeroXHexadecimal) {
  Write(
      "[TForm1]\r\nA=0x6\r\nB=$A\r\nC=abc\r\nD=\r\nE=-12\r\nF=$FFFFFFFF\r\nG=0x\r\n"
      "H=4294967296\r\nI=0XfF\r\nJ= 7 \r\n");
  const TIniFile32 ini(path_);
  EXPECT_EQ(ini.ReadInteger("TForm1", "A", 6), 6);
  EXPECT_EQ(ini.ReadInteger("TForm1", "B", 6), 10);
  EXPECT_EQ(ini.ReadInteger("TForm1", "C", 6), 6);
  EXPECT_EQ(ini.ReadInteger("TForm1", "D", 6), 6);
  EXPECT_EQ(ini.ReadInteger("TForm1", "E", 0), -12);
  EXPECT_EQ(ini.ReadInteger("TForm1", "F", 0), -1);
  EXPECT_EQ(ini.ReadInteger("TForm1", "G", 9), 9);
  EXPECT_EQ(ini.ReadInteger("TForm1", "H", 9), 9);
  EXPECT_EQ(ini.ReadInteger("TForm1", "I", 0), 255);
  EXPECT_EQ(ini.ReadInteger("TForm1", "J", 0), 7);
  EXPECT_TRUE(ini.ReadBool("TForm1", "B", false));
  EXPECT_FALSE(ini.ReadBool("TForm1", "Missing", false));
}

TEST_F(IniFileTest, SectionAndEntryMatching) {
  Write(
      "junk=1\r\n[tform1]\r\npuerto=3\r\n  Velocidad  =  abc def  \r\nno equals\r\n"
      "Velocidad=second\r\n=orphan\r\n[Other]\r\nPuerto=9\r\n[TForm1] \r\nPuerto=7\r\n");
  const TIniFile32 ini(path_);
  // Headers match ignoring case, names match exactly, the first match wins, values are trimmed.
  EXPECT_EQ(ini.ReadString("TForm1", "Velocidad", "x"), "abc def");
  EXPECT_EQ(ini.ReadInteger("TForm1", "Puerto", 0), 0);
  EXPECT_EQ(ini.ReadString("Other", "Puerto", "x"), "9");
  EXPECT_EQ(ini.ReadString("TForm1", "", "x"), "x");
  EXPECT_EQ(ini.ReadString("Missing", "Puerto", "x"), "x");
  // A header with a blank after it is not the section's header.
  Write("[Solo] \r\nk=1\r\n");
  EXPECT_EQ(TIniFile32(path_).ReadString("Solo", "k", "x"), "x");
}

TEST_F(IniFileTest, NewFileLayout) {
  TIniFile32 ini(path_);
  ASSERT_TRUE(ini.WriteString("TForm1", "Top", "0"));
  ASSERT_TRUE(ini.WriteInteger("TForm1", "Left", -3));
  ASSERT_TRUE(ini.WriteBool("Other", "Flag", true));
  ASSERT_TRUE(ini.WriteString("TForm1", "Top", "12"));
  EXPECT_EQ(Bytes(), QByteArray("\r\n[TForm1]\r\nTop=12\r\nLeft=-3\r\n\r\n[Other]\r\nFlag=1\r\n"));
}

TEST_F(IniFileTest, NewEntriesGoBeforeTheNextHeader) {
  Write("[A]\nx=1\n\n[B]\ny=2\n");
  TIniFile32 ini(path_);
  ASSERT_TRUE(ini.WriteString("A", "z", "3"));
  ASSERT_TRUE(ini.WriteString("B", "w", "4"));
  ASSERT_TRUE(ini.WriteString("A", "", "ignored"));
  // Line breaks of the file are kept.
  EXPECT_EQ(Bytes(), QByteArray("[A]\nx=1\n\nz=3\n[B]\ny=2\nw=4\n"));
}

TEST_F(IniFileTest, Windows1252FileStaysWindows1252) {
  Write(
      "[TForm1]\r\nPesta\xF1"
      "aActiva=3\r\nSat-A=Espa\xF1"
      "a\r\n");
  TIniFile32 ini(path_);
  EXPECT_EQ(ini.encoding(), TIniFile32::Encoding::kCp1252);
  EXPECT_EQ(ini.ReadInteger("TForm1", QString::fromUtf8("PestañaActiva"), 0), 3);
  ASSERT_TRUE(ini.WriteString("TForm1", "Sat-B", QString::fromUtf8("Señal")));
  EXPECT_EQ(Bytes(), QByteArray("[TForm1]\r\nPesta\xF1"
                                "aActiva=3\r\nSat-A=Espa\xF1"
                                "a\r\nSat-B=Se\xF1"
                                "al\r\n"));
}

TEST_F(IniFileTest, Utf8FileStaysUtf8) {
  Write(
      "[TForm1]\nPesta\xC3\xB1"
      "aActiva=5\nSat-A=A");
  TIniFile32 ini(path_);
  EXPECT_EQ(ini.encoding(), TIniFile32::Encoding::kUtf8);
  EXPECT_EQ(ini.ReadInteger("TForm1", QString::fromUtf8("PestañaActiva"), 0), 5);
  ASSERT_TRUE(ini.WriteString("TForm1", QString::fromUtf8("PestañaActiva"), "6"));
  // Encoding, line breaks and the missing final break survive the write.
  EXPECT_EQ(Bytes(), QByteArray("[TForm1]\nPesta\xC3\xB1"
                                "aActiva=6\nSat-A=A"));
}

TEST_F(IniFileTest, PlainAsciiFileGainsWindows1252Text) {
  Write("[TForm1]\r\nTop=1\r\n");
  TIniFile32 ini(path_);
  ASSERT_TRUE(ini.WriteInteger("TForm1", QString::fromUtf8("PestañaActiva"), 2));
  EXPECT_EQ(Bytes(), QByteArray("[TForm1]\r\nTop=1\r\nPesta\xF1"
                                "aActiva=2\r\n"));
}

TEST_F(IniFileTest, FailedStoreLeavesTheFileAndReportsIt) {
  TIniFile32 ini(dir_.filePath("missing-folder/Tornavo.ini"));
  QString error;
  EXPECT_FALSE(ini.WriteString("TForm1", "Top", "1", &error));
  EXPECT_TRUE(error.contains("missing-folder/Tornavo.ini")) << error.toStdString();
}

TEST_F(IniFileTest, UnreadableFileIsNeverOverwritten) {
  Write(QByteArray(TIniFile32::kMaximumFileSize + 1, 'x'));
  TIniFile32 ini(path_);
  EXPECT_FALSE(ini.readable());
  EXPECT_EQ(ini.ReadString("TForm1", "Top", "d"), "d");
  QString error;
  EXPECT_FALSE(ini.WriteString("TForm1", "Top", "1", &error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_EQ(QFileInfo(path_).size(), TIniFile32::kMaximumFileSize + 1);
}

}  // namespace
}  // namespace tornavo

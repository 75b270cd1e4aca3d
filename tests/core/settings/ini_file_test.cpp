#include "core/settings/ini_file.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace tornavo {
namespace {

// "ñ" is \361 in Windows-1252 and \303\261 in UTF-8.
class IniFileTest : public ::testing::Test {
 protected:
  void Write(const QByteArray& bytes) {
    QFile file(path_);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }
  QByteArray Bytes() const {
    QFile file(path_);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  QTemporaryDir dir_;
  QString path_ = dir_.filePath("Tornavo.ini");
};

TEST_F(IniFileTest, IntegersInDecimalDollarAndZeroXHexadecimal) {
  const std::pair<const char*, int> cases[] = {
      {"0x6", 6},    {"$A", 10},        {"abc", 9}, {"", 9},           {"-12", -12},
      {"0XfF", 255}, {"$FFFFFFFF", -1}, {"0x", 9},  {"4294967296", 9}, {" 7 ", 7}};
  QByteArray text = "[TForm1]\r\n";
  for (int i = 0; i < std::ssize(cases); ++i)
    text += "K" + QByteArray::number(i) + "=" + cases[i].first + "\r\n";
  Write(text);
  const TIniFile32 ini(path_);
  for (int i = 0; i < std::ssize(cases); ++i)
    EXPECT_EQ(ini.ReadInteger("TForm1", "K" + QString::number(i), 9), cases[i].second)
        << cases[i].first;
  EXPECT_TRUE(ini.ReadBool("TForm1", "K1", false));
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

TEST_F(IniFileTest, NewFileLayoutAndEntriesBeforeTheNextHeader) {
  TIniFile32 fresh(path_);
  ASSERT_TRUE(fresh.WriteString("TForm1", "Top", "0"));
  ASSERT_TRUE(fresh.WriteInteger("TForm1", "Left", -3));
  ASSERT_TRUE(fresh.WriteBool("Other", "Flag", true));
  ASSERT_TRUE(fresh.WriteString("TForm1", "Top", "12"));
  EXPECT_EQ(Bytes(), QByteArray("\r\n[TForm1]\r\nTop=12\r\nLeft=-3\r\n\r\n[Other]\r\nFlag=1\r\n"));

  Write("[A]\nx=1\n\n[B]\ny=2\n");
  TIniFile32 ini(path_);
  ASSERT_TRUE(ini.WriteString("A", "z", "3"));
  ASSERT_TRUE(ini.WriteString("B", "w", "4"));
  ASSERT_TRUE(ini.WriteString("A", "", "ignored"));
  // Line breaks of the file are kept.
  EXPECT_EQ(Bytes(), QByteArray("[A]\nx=1\n\nz=3\n[B]\ny=2\nw=4\n"));
}

TEST_F(IniFileTest, FilesKeepTheEncodingTheyWereReadIn) {
  const QString key = QString::fromUtf8("PestañaActiva");
  Write("[TForm1]\r\nPesta\361aActiva=3\r\nSat-A=Espa\361a\r\n");
  TIniFile32 cp1252(path_);
  EXPECT_EQ(cp1252.ReadInteger("TForm1", key, 0), 3);
  ASSERT_TRUE(cp1252.WriteString("TForm1", "Sat-B", QString::fromUtf8("Señal")));
  EXPECT_EQ(Bytes(),
            QByteArray("[TForm1]\r\nPesta\361aActiva=3\r\nSat-A=Espa\361a\r\nSat-B=Se\361al\r\n"));

  // Encoding, line breaks and the missing final break survive the write.
  Write("[TForm1]\nPesta\303\261aActiva=5\nSat-A=A");
  TIniFile32 utf8(path_);
  EXPECT_EQ(utf8.ReadInteger("TForm1", key, 0), 5);
  ASSERT_TRUE(utf8.WriteString("TForm1", key, "6"));
  EXPECT_EQ(Bytes(), QByteArray("[TForm1]\nPesta\303\261aActiva=6\nSat-A=A"));

  // A plain ASCII file gains Windows-1252 text.
  Write("[TForm1]\r\nTop=1\r\n");
  ASSERT_TRUE(TIniFile32(path_).WriteInteger("TForm1", key, 2));
  EXPECT_EQ(Bytes(), QByteArray("[TForm1]\r\nTop=1\r\nPesta\361aActiva=2\r\n"));
}

TEST_F(IniFileTest, FailedStoresReportAndNeverOverwrite) {
  QString error;
  EXPECT_FALSE(TIniFile32(dir_.filePath("missing-folder/Tornavo.ini"))
                   .WriteString("TForm1", "Top", "1", &error));
  EXPECT_TRUE(error.contains("missing-folder/Tornavo.ini")) << error.toStdString();
  // A file too large to read is never replaced.
  Write(QByteArray(TIniFile32::kMaximumFileSize + 1, 'x'));
  TIniFile32 ini(path_);
  EXPECT_EQ(ini.ReadString("TForm1", "Top", "d"), "d");
  error.clear();
  EXPECT_FALSE(ini.WriteString("TForm1", "Top", "1", &error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_EQ(QFileInfo(path_).size(), TIniFile32::kMaximumFileSize + 1);
}

}  // namespace
}  // namespace tornavo

#include "core/settings/ini_file.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>

#include "core/settings/file_bytes.h"

namespace tornavo {
namespace {

// "ñ" is \361 in Windows-1252 and \303\261 in UTF-8.
class IniFileTest : public ::testing::Test {
 protected:
  void Write(const QByteArray& bytes) { ASSERT_TRUE(WriteBytes(path_, bytes)); }
  QByteArray Bytes() const { return ReadBytes(path_); }

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

// Where entries go, and how sections and names match, is the indexed reader's property test;
// here, how numbers are written.
TEST_F(IniFileTest, NumbersAndFlagsAreWrittenInDecimal) {
  TIniFile32 fresh(path_);
  ASSERT_TRUE(fresh.WriteInteger("TForm1", "Left", -3));
  ASSERT_TRUE(fresh.WriteBool("TForm1", "Flag", true));
  EXPECT_EQ(Bytes(), QByteArray("\r\n[TForm1]\r\nLeft=-3\r\nFlag=1\r\n"));
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
  // A file as large as a file may be is read; one byte more, and it is never replaced.
  QByteArray largest = "[TForm1]\r\nTop=7\r\n;";
  Write(largest.leftJustified(TIniFile32::kMaximumFileSize, 'x'));
  EXPECT_EQ(TIniFile32(path_).ReadString("TForm1", "Top", "d"), "7");
  Write(largest.leftJustified(TIniFile32::kMaximumFileSize + 1, 'x'));
  TIniFile32 ini(path_);
  EXPECT_EQ(ini.ReadString("TForm1", "Top", "d"), "d");
  error.clear();
  EXPECT_FALSE(ini.WriteString("TForm1", "Top", "1", &error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_EQ(QFileInfo(path_).size(), TIniFile32::kMaximumFileSize + 1);
}

}  // namespace
}  // namespace tornavo

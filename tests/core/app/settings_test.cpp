#include "core/app/settings.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "core/app/ini_file.h"
#include "core/app/ini_folder.h"

namespace tornavo {
namespace {

class SettingsTest : public ::testing::Test {
 protected:
  QString Folder() const { return dir_.path() + "/"; }
  void WriteFile(const QString& name, const QByteArray& bytes) {
    QFile file(Folder() + name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }
  QByteArray ReadFile(const QString& name) const {
    QFile file(Folder() + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  void Load(const QStringList& ports = {}) { settings_.Load(Folder(), ports); }
  QString Line(Key key) const {
    const QString prefix = QString::fromUtf8(Spec(key).name) + "=";
    for (const QString& line : settings_.SaveLines())
      if (line.startsWith(prefix)) return line.mid(prefix.size());
    return "<absent>";
  }

  QTemporaryDir dir_;
  SymbolRateTable rates_{};
  PictureOptions picture_;
  Settings settings_{rates_, picture_};
};

TEST_F(SettingsTest, EmptyFolderGivesEveryDefault) {
  Load();
  const QStringList lines = settings_.SaveLines();
  ASSERT_EQ(lines.size(), kSettingCount);
  EXPECT_EQ(lines.first(), "Top=0");
  EXPECT_EQ(lines[2], "WindowWidth=736");
  EXPECT_EQ(lines[3], "WindowHeight=657");
  EXPECT_EQ(lines.last(), "ForzarJtag=0");
  // Lists without entries have no selection.
  EXPECT_EQ(Line(Key::kPuerto), "-1");
  EXPECT_EQ(Line(Key::kSr), "-1");
  EXPECT_EQ(Line(Key::kIdioma), "-1");
  EXPECT_EQ(Line(Key::kModel), "0");
  EXPECT_EQ(Line(Key::kVelocidad), "6");
  EXPECT_EQ(Line(Key::kRetardoBusy), "300");
  EXPECT_EQ(Line(Key::kRetardoComienzo), "2000");
  EXPECT_EQ(Line(Key::kTamano), "4");
  EXPECT_EQ(Line(Key::kTrapAdr), "40010000");
  EXPECT_EQ(Line(Key::kFlash1Start), "7FE00000");
  EXPECT_EQ(Line(Key::kLnbHigh), "10600");
  EXPECT_EQ(Line(Key::kPestanaActiva), "0");
  EXPECT_EQ(Line(Key::kOpenDlgInitialDir), "");
  EXPECT_EQ(settings_.DialogFolder(Key::kOpenDlgInitialDir), dir_.path());
  EXPECT_EQ(picture_.capture_width, 720);
  EXPECT_EQ(picture_.capture_height, 576);
  EXPECT_EQ(settings_.parallel_base(), 0x378);
}

TEST_F(SettingsTest, WidthsRangesAndMinimums) {
  WriteFile("Tornavo.ini",
            "[tform1]\r\nRetardoStrobe=300\r\nRetardoBusy=5000\r\nWindowWidth=500\r\n"
            "Form3Height=100\r\nRetardoNegociacion1=0\r\nCalidadJPEG=-1\r\nWStartBits=9000\r\n"
            "Velocidad=0x6\r\nBitsDatos=$2\r\nParidad=abc\r\nBitsParada=\r\npuerto=3\r\n"
            "Paralelo=7\r\nPesta\xF1"
            "aActiva=9\r\nTamano=2\r\nRetardoEntreBytes=-5\r\n");
  Load({"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS3"});
  EXPECT_EQ(settings_.Int(Key::kRetardoStrobe), 44);
  EXPECT_EQ(settings_.Int(Key::kRetardoBusy), 700);
  EXPECT_EQ(settings_.Int(Key::kWindowWidth), 736);
  EXPECT_EQ(settings_.Int(Key::kForm3Height), 358);
  EXPECT_EQ(settings_.Int(Key::kRetardoNegociacion1), 1);
  EXPECT_EQ(settings_.Int(Key::kCalidadJpeg), 100);  // 255 brought into 1 ... 100
  EXPECT_EQ(settings_.Int(Key::kWStartBits), 2048);
  EXPECT_EQ(settings_.Int(Key::kRetardoEntreBytes), 0);
  EXPECT_EQ(settings_.Int(Key::kVelocidad), 6);
  EXPECT_EQ(settings_.Int(Key::kBitsDatos), 2);
  EXPECT_EQ(settings_.Int(Key::kParidad), 2);
  EXPECT_EQ(settings_.Int(Key::kBitsParada), 0);
  EXPECT_EQ(settings_.Int(Key::kPuerto), 0);  // "puerto" is another key
  EXPECT_EQ(settings_.Int(Key::kParalelo), -1);
  EXPECT_EQ(settings_.parallel_base(), 0x378);
  EXPECT_EQ(settings_.Int(Key::kPestanaActiva), -1);
  EXPECT_EQ(picture_.capture_width, 544);
  EXPECT_EQ(picture_.capture_height, 576);
}

TEST_F(SettingsTest, CataloguesListOnlyEntriesWhoseFileExists) {
  WriteFile("Tornavo.ini",
            "[TForm1]\r\nIdioma0=English\r\nIdioma1=Missing\r\nIdiomaA=Catala\r\nIdioma=1\r\n"
            "FlashIC0=AM29F800\r\nModel1=K2002\r\nModel1E=K2501\r\nModel1F=TooFar\r\n"
            "SR0=Rates\r\nSR=0\r\nModel=2\r\nFlash1Start=11110000\r\n");
  for (const char* name : {"English", "Catala", "AM29F800", "K2002", "K2501", "TooFar"})
    WriteFile(QString(name) + ".ini", "");
  WriteFile("Rates.ini", "[Rates]\r\nvalue00=22000\r\nvalue0F=$6B6C\r\nvalue0f=1\r\n");
  WriteFile("K2501.ini", "[K2501]\r\nFlash1Start=7fe00000\r\nFlash2Type=0\r\nFlash1Type=4\r\n");
  Load();
  EXPECT_EQ(settings_.languages(), QStringList({"English", "Catala"}));
  EXPECT_EQ(settings_.Int(Key::kIdioma), 1);
  EXPECT_EQ(settings_.flash_types(), QStringList({"AM29F800"}));
  EXPECT_EQ(settings_.models(), QStringList({"K2002", "K2501"}));
  EXPECT_EQ(rates_[0], 22000);
  EXPECT_EQ(rates_[15], 0x6B6C);
  EXPECT_EQ(rates_[1], 0);
  // Model 2 fills the flash fields from its file; the stored ones are not read.
  EXPECT_TRUE(settings_.flash_fields_locked());
  EXPECT_EQ(settings_.Text(Key::kFlash1Start), "7fe00000");
  EXPECT_EQ(settings_.Int(Key::kFlash1Type), -1);
  EXPECT_EQ(settings_.Int(Key::kFlash2Type), 0);
  EXPECT_EQ(settings_.Text(Key::kFlash2Start), "60000000");
  EXPECT_EQ(settings_.flash_chip(0).start, 0x7FE00000u);
}

TEST_F(SettingsTest, SaveWithAModelLeavesTheFlashKeysAlone) {
  const QByteArray original =
      "[TForm1]\r\nModel1=K2002\r\nModel=1\r\nFlash1Start=12345678\r\n"
      "Flash1Type=3\r\nFlash2Start=ABCDEF00\r\nFlash2Type=2\r\n";
  WriteFile("Tornavo.ini", original);
  WriteFile("K2002.ini", "[K2002]\r\nFlash1Start=60000000\r\n");
  Load();
  ASSERT_TRUE(settings_.flash_fields_locked());
  QString error;
  ASSERT_TRUE(settings_.Save(&error)) << error.toStdString();
  const TIniFile32 saved(settings_.settings_path());
  EXPECT_EQ(saved.ReadString("TForm1", "Flash1Start", ""), "12345678");
  EXPECT_EQ(saved.ReadString("TForm1", "Flash1Type", ""), "3");
  EXPECT_EQ(saved.ReadString("TForm1", "Flash2Start", ""), "ABCDEF00");
  EXPECT_EQ(saved.ReadString("TForm1", "Flash2Type", ""), "2");
  EXPECT_EQ(saved.ReadString("TForm1", "Model", ""), "1");
  // The catalogue keys stay where they were.
  EXPECT_TRUE(ReadFile("Tornavo.ini").startsWith(original.left(34)));
}

TEST_F(SettingsTest, NewFileLayoutFollowsTheSavingOrder) {
  Load();
  settings_.SetText(Key::kSatA, QString::fromUtf8("Señal"));
  QString error;
  ASSERT_TRUE(settings_.Save(&error)) << error.toStdString();
  QByteArray expected = "\r\n[TForm1]\r\n";
  for (const QString& line : settings_.SaveLines()) {
    expected += line == QString::fromUtf8("Sat-A=Señal") ? QByteArray(
                                                               "Sat-A=Se\xF1"
                                                               "al")
                                                         : line.toLatin1();
    expected += "\r\n";
  }
  const QByteArray saved = ReadFile("Tornavo.ini");
  EXPECT_EQ(saved, expected);
  EXPECT_TRUE(
      saved.contains("\r\nPesta\xF1"
                     "aActiva=0\r\n"));
}

TEST_F(SettingsTest, LoadAndSaveKeepsAFileUnchanged) {
  Load();
  QString error;
  ASSERT_TRUE(settings_.Save(&error));
  // A hand-edited UTF-8 file with comments, another section and a value changed by the user.
  QByteArray text = QString::fromLatin1(ReadFile("Tornavo.ini")).toUtf8();
  text.replace("Sat-A=A", "Sat-A=Astra \xC3\xA9");
  text.prepend("; notes\r\n[Otra]\r\nk=v\r\n");
  WriteFile("Tornavo.ini", text);
  Load();
  EXPECT_EQ(settings_.Text(Key::kSatA), QString::fromUtf8("Astra é"));
  ASSERT_TRUE(settings_.Save(&error));
  EXPECT_EQ(ReadFile("Tornavo.ini"), text);
  settings_.SetInt(Key::kRetardoBusy, 450);
  ASSERT_TRUE(settings_.Save(&error));
  text.replace("RetardoBusy=300", "RetardoBusy=450");
  EXPECT_EQ(ReadFile("Tornavo.ini"), text);
}

TEST_F(SettingsTest, TextRulesAtLoad) {
  WriteFile("Tornavo.ini",
            "[TForm1]\r\nLNB-low=9a7b5c0\r\nLNB-high=xyz\r\nSat-A=Hot\r\n"
            "Sat-B=Hot\r\nFormato16:9=1\r\nFormatoOriginal=1\r\n");
  Load();
  EXPECT_EQ(settings_.Text(Key::kLnbLow), "9750");
  EXPECT_EQ(settings_.Text(Key::kLnbHigh), "10600");
  EXPECT_EQ(settings_.Text(Key::kSatA), "A");
  EXPECT_EQ(settings_.Text(Key::kSatB), "B");
  EXPECT_EQ(settings_.remembered_satellite(1), "B");
  // Choices of one group: the last one checked wins.
  EXPECT_FALSE(settings_.Bool(Key::kFormato4x3));
  EXPECT_FALSE(settings_.Bool(Key::kFormato16x9));
  EXPECT_TRUE(settings_.Bool(Key::kFormatoOriginal));
  EXPECT_EQ(picture_.format, PictureFormat::kOriginal);
}

TEST_F(SettingsTest, DefaultsActionSetsItsOwnValues) {
  WriteFile("Tornavo.ini",
            "[TForm1]\r\nRetardoBusy=60\r\nTamano=0\r\nTrapAdr=C0310000\r\n"
            "Checksum=0\r\nSat-A=Astra\r\nNumCanales=0\r\nTop=40\r\n");
  Load();
  settings_.ApplyDefaults();
  EXPECT_EQ(settings_.Int(Key::kRetardoBusy), 500);
  EXPECT_EQ(settings_.Int(Key::kRetardoComienzo), 3000);
  EXPECT_EQ(settings_.Int(Key::kTamano), 1);
  EXPECT_EQ(picture_.capture_width, 528);
  EXPECT_EQ(settings_.Int(Key::kNumCanales), 1);
  EXPECT_EQ(settings_.channel_table_size(), 2000);
  EXPECT_EQ(settings_.Text(Key::kTrapAdr), "40010000");
  EXPECT_EQ(settings_.Text(Key::kFlash1Start), "60000000");
  EXPECT_TRUE(settings_.Bool(Key::kChecksum));
  // Window, satellite names and the rest are left alone.
  EXPECT_EQ(settings_.Int(Key::kTop), 40);
  EXPECT_EQ(settings_.Text(Key::kSatA), "Astra");
}

TEST_F(SettingsTest, SaveThatCannotBeWrittenReportsTheFile) {
  // The settings file's place is taken by a folder: no one can replace it.
  QDir().mkpath(Folder() + "Tornavo.ini");
  Load();
  QString error;
  EXPECT_FALSE(settings_.Save(&error));
  EXPECT_TRUE(error.contains("Tornavo.ini")) << error.toStdString();
  // The folder of the settings cannot be created where a file stands.
  WriteFile("INIs", "not a folder");
  settings_.Load(Folder() + "INIs/", {});
  error.clear();
  EXPECT_FALSE(settings_.Save(&error));
  EXPECT_TRUE(error.contains("INIs")) << error.toStdString();
}

TEST_F(SettingsTest, FolderIsCreatedOnTheFirstSave) {
  const QString folder = dir_.filePath("config/tornavo/INIs/");
  settings_.Load(folder, {});
  EXPECT_FALSE(QFileInfo(folder).exists());
  QString error;
  ASSERT_TRUE(settings_.Save(&error)) << error.toStdString();
  EXPECT_TRUE(QFileInfo(folder + "Tornavo.ini").isFile());
}

TEST(IniFolderTest, GivenFolderThenBesideTheExecutableThenTheConfigFolder) {
  QTemporaryDir dir;
  const QString exe = dir.filePath("bin");
  QDir().mkpath(exe);
  qputenv("XDG_CONFIG_HOME", dir.filePath("cfg").toUtf8());
  EXPECT_EQ(ResolveIniFolder("", exe), dir.filePath("cfg/tornavo/INIs/"));
  qputenv("XDG_CONFIG_HOME", "relative/path");
  EXPECT_EQ(ResolveIniFolder("", exe), QDir::homePath() + "/.config/tornavo/INIs/");
  QDir().mkpath(exe + "/INIs");
  EXPECT_EQ(ResolveIniFolder("", exe), exe + "/INIs/");
  EXPECT_EQ(ResolveIniFolder(dir.filePath("mine"), exe), dir.filePath("mine") + "/");
  qunsetenv("XDG_CONFIG_HOME");
}

TEST(FlashTypeTest, ReadsTheTypeFileWithinBounds) {
  QTemporaryDir dir;
  QFile file(dir.filePath("AM29.ini"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(
      "[AM29]\r\nNumBlocks=5000\r\nErasureMode=$130\r\nblock1=10000\r\nblock2=zz\r\n"
      "block1024=FFFFFFFF\r\n");
  file.close();
  FlashChipDescription chip;
  chip.start = 0x60000000;
  LoadFlashType(dir.path() + "/", "AM29", &chip);
  EXPECT_EQ(chip.start, 0x60000000u);
  EXPECT_EQ(chip.num_blocks, FlashChipDescription::kMaximumBlocks);
  EXPECT_EQ(chip.erasure_mode, 0x30);
  EXPECT_EQ(chip.block_offsets[1], 0x10000u);
  EXPECT_EQ(chip.block_offsets[2], 0u);
  EXPECT_EQ(chip.size(), 0xFFFFFFFFu);
  LoadFlashType(dir.path() + "/", "Absent", &chip);
  EXPECT_EQ(chip.num_blocks, 1);
  EXPECT_EQ(chip.erasure_mode, 48);
  EXPECT_EQ(chip.size(), 0u);
}

}  // namespace
}  // namespace tornavo

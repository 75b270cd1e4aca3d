#include "core/settings/settings.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <tuple>

#include "core/settings/file_bytes.h"
#include "core/settings/ini_folder.h"
#include "core/texts/texts.h"
#include "support/scoped_env.h"

namespace tornavo {
namespace {

// "ñ" is \361 in Windows-1252 and \303\261 in UTF-8.
class SettingsTest : public ::testing::Test {
 protected:
  QString Folder() const { return dir_.path() + "/"; }
  void WriteFile(const QString& name, const QByteArray& bytes) {
    ASSERT_TRUE(WriteBytes(Folder() + name, bytes));
  }
  QByteArray ReadFile(const QString& name) const { return ReadBytes(Folder() + name); }
  void Load(const QStringList& ports = {}) { settings_.Load(Folder(), ports); }

  QTemporaryDir dir_;
  SymbolRateTable rates_{};
  PictureOptions picture_;
  Settings settings_{rates_, picture_};
  QString error_;
};

TEST_F(SettingsTest, LoadBringsValuesIntoTheirWidthsRangesAndRules) {
  WriteFile("Tornavo.ini",
            "[tform1]\r\nRetardoStrobe=300\r\nRetardoBusy=5000\r\nWindowWidth=500\r\n"
            "Form3Height=100\r\nRetardoNegociacion1=0\r\nCalidadJPEG=-1\r\nWStartBits=9000\r\n"
            "BitsDatos=$2\r\npuerto=3\r\nParalelo=7\r\nPesta\361aActiva=9\r\nTamano=2\r\n"
            "RetardoEntreBytes=-5\r\nLNB-low=9a7b5c0\r\nLNB-high=xyz\r\nSat-A=Hot\r\nSat-B=Hot\r\n"
            "Formato16:9=1\r\nFormatoOriginal=1\r\n");
  Load({"p0", "p1", "p2", "p3"});
  // Strobe is 8-bit modulo, JPEG quality -1 is 255 brought into 1 ... 100, "puerto" is another
  // key, and indexes outside their lists become -1.
  const std::pair<Key, int64_t> expected[] = {
      {Key::kRetardoStrobe, 44}, {Key::kRetardoBusy, 700},       {Key::kWindowWidth, 736},
      {Key::kForm3Height, 358},  {Key::kRetardoNegociacion1, 1}, {Key::kCalidadJpeg, 100},
      {Key::kWStartBits, 2048},  {Key::kRetardoEntreBytes, 0},   {Key::kBitsDatos, 2},
      {Key::kPuerto, 0},         {Key::kParalelo, -1},           {Key::kPestanaActiva, -1}};
  for (const auto& [key, value] : expected) EXPECT_EQ(settings_.Int(key), value) << Spec(key).name;
  EXPECT_EQ(settings_.parallel_base(), 0x378);
  EXPECT_EQ(picture_.capture_width, 544);
  EXPECT_EQ(picture_.capture_height, 576);
  const QStringList texts = {settings_.Text(Key::kLnbLow), settings_.Text(Key::kLnbHigh),
                             settings_.Text(Key::kSatA), settings_.Text(Key::kSatB)};
  EXPECT_EQ(texts, QStringList({"9750", "10600", "A", "B"}));
  // Choices of one group: the last one checked wins.
  EXPECT_FALSE(settings_.Bool(Key::kFormato4x3));
  EXPECT_FALSE(settings_.Bool(Key::kFormato16x9));
  EXPECT_TRUE(settings_.Bool(Key::kFormatoOriginal));
  EXPECT_EQ(picture_.format, PictureFormat::kOriginal);
}

TEST_F(SettingsTest, CataloguesListOnlyEntriesWhoseFileExistsAndAModelKeepsTheFlashKeys) {
  const QByteArray original =
      "[TForm1]\r\nIdioma0=English\r\nIdioma1=Missing\r\nIdiomaA=Catala\r\nIdioma=1\r\n"
      "FlashIC0=AM29F800\r\nModel1=K2002\r\nModel1E=K2501\r\nModel1F=TooFar\r\nSR0=Rates\r\n"
      "SR=0\r\nModel=2\r\nFlash1Start=11110000\r\nFlash1Type=3\r\nFlash2Start=ABCDEF00\r\n"
      "Flash2Type=2\r\n";
  WriteFile("Tornavo.ini", original);
  for (const char* name : {"English", "Catala", "AM29F800", "K2002", "K2501", "TooFar"})
    WriteFile(QString(name) + ".ini", "");
  WriteFile("Rates.ini", "[Rates]\r\nvalue00=22000\r\nvalue0F=$6B6C\r\nvalue0f=1\r\n");
  WriteFile("K2501.ini", "[K2501]\r\nFlash1Start=7fe00000\r\nFlash2Type=0\r\nFlash1Type=4\r\n");
  Load();
  EXPECT_EQ(settings_.languages(), QStringList({"English", "Catala"}));
  EXPECT_EQ(settings_.Int(Key::kIdioma), 1);
  EXPECT_EQ(settings_.language(), "Catala");
  EXPECT_EQ(settings_.flash_types(), QStringList({"AM29F800"}));
  EXPECT_EQ(settings_.models(), QStringList({"K2002", "K2501"}));
  EXPECT_EQ(rates_[0], 22000);
  EXPECT_EQ(rates_[15], 0x6B6C);
  EXPECT_EQ(rates_[1], 0);
  // Model 2 fills the flash fields from its file; the stored ones are not read.
  EXPECT_TRUE(settings_.flash_fields_locked());
  EXPECT_EQ(settings_.Text(Key::kFlash1Start), "7fe00000");
  EXPECT_EQ(settings_.flash_chip(0).start, 0x7FE00000u);
  EXPECT_EQ(settings_.Int(Key::kFlash1Type), -1);
  EXPECT_EQ(settings_.Int(Key::kFlash2Type), 0);
  // Nor written: every other key is added after these lines and none of them changes.
  ASSERT_TRUE(settings_.Save(&error_)) << error_.toStdString();
  EXPECT_TRUE(ReadFile("Tornavo.ini").startsWith(original));
}

TEST_F(SettingsTest, DialogFoldersHoldTheSettingsFolderUnlessOneIsStored) {
  WriteFile("Tornavo.ini", "[TForm1]\r\nSaveDLgInitialDir=/srv/capturas\r\nIdioma=0\r\n");
  Load();
  // Lists without entries have no selection: nothing selects a language.
  for (Key list : {Key::kPuerto, Key::kSr, Key::kIdioma}) EXPECT_EQ(settings_.Int(list), -1);
  EXPECT_EQ(settings_.language(), "");
  EXPECT_EQ(picture_.capture_width, 720);
  EXPECT_EQ(settings_.Text(Key::kOpenDlgInitialDir), dir_.path());
  EXPECT_EQ(settings_.Text(Key::kSaveDlgInitialDir), "/srv/capturas");
  EXPECT_TRUE(settings_.SaveLines().contains("OpenDLgInitialDir=" + dir_.path()));
  settings_.SetDialogFolder(Key::kSaveDlgInitialDir, "/home/tecnico");
  EXPECT_EQ(settings_.DialogFolder(Key::kSaveDlgInitialDir), "/home/tecnico");
  settings_.SetDialogFolder(Key::kSaveDlgInitialDir, "");
  EXPECT_EQ(settings_.DialogFolder(Key::kSaveDlgInitialDir), dir_.path());
}

TEST_F(SettingsTest, NewFileLayoutAndAHandEditedFileSurvivingLoadAndSave) {
  Load();
  settings_.SetText(Key::kSatA, QString::fromUtf8("Señal"));
  ASSERT_TRUE(settings_.Save(&error_)) << error_.toStdString();
  QByteArray expected = "\r\n[TForm1]\r\n";
  for (const QString& line : settings_.SaveLines()) expected += line.toLatin1() + "\r\n";
  const QByteArray saved = ReadFile("Tornavo.ini");
  EXPECT_EQ(saved, expected);
  EXPECT_TRUE(saved.contains("\r\nSat-A=Se\361al\r\n"));
  EXPECT_TRUE(saved.contains("\r\nPesta\361aActiva=0\r\n"));

  // The same file edited by hand in UTF-8, with comments, another section and a new name.
  QByteArray text = QString::fromLatin1(saved).toUtf8();
  text.replace("Sat-A=Se\303\261al", "Sat-A=Astra \303\251");
  text.prepend("; notes\r\n[Otra]\r\nk=v\r\n");
  WriteFile("Tornavo.ini", text);
  Load();
  EXPECT_EQ(settings_.Text(Key::kSatA), QString::fromUtf8("Astra é"));
  ASSERT_TRUE(settings_.Save(&error_));
  EXPECT_EQ(ReadFile("Tornavo.ini"), text);
  settings_.SetInt(Key::kRetardoBusy, 450);
  ASSERT_TRUE(settings_.Save(&error_));
  text.replace("RetardoBusy=300", "RetardoBusy=450");
  EXPECT_EQ(ReadFile("Tornavo.ini"), text);
}

TEST_F(SettingsTest, DefaultsActionSetsItsOwnValues) {
  WriteFile("Tornavo.ini",
            "[TForm1]\r\nRetardoBusy=60\r\nTamano=0\r\nTrapAdr=C0310000\r\n"
            "Checksum=0\r\nSat-A=Astra\r\nNumCanales=0\r\nTop=40\r\n");
  Load();
  settings_.ApplyDefaults();
  EXPECT_EQ(settings_.Int(Key::kRetardoBusy), 500);
  EXPECT_EQ(picture_.capture_width, 528);
  EXPECT_EQ(settings_.channel_table_size(), 2000);
  EXPECT_EQ(settings_.Text(Key::kTrapAdr), "40010000");
  EXPECT_TRUE(settings_.Bool(Key::kChecksum));
  // Window, satellite names and the rest are left alone.
  EXPECT_EQ(settings_.Int(Key::kTop), 40);
  EXPECT_EQ(settings_.Text(Key::kSatA), "Astra");
}

TEST_F(SettingsTest, SaveCreatesItsFolderOrReportsWhatFailed) {
  const QString folder = dir_.filePath("config/tornavo/INIs/");
  settings_.Load(folder, {});
  EXPECT_FALSE(QFileInfo(folder).exists());
  ASSERT_TRUE(settings_.Save(&error_)) << error_.toStdString();
  EXPECT_TRUE(QFileInfo(folder + "Tornavo.ini").isFile());
  // The settings file's place is taken by a folder: no one can replace it.
  QDir().mkpath(Folder() + "Tornavo.ini");
  Load();
  EXPECT_FALSE(settings_.Save(&error_));
  EXPECT_TRUE(error_.contains("Tornavo.ini")) << error_.toStdString();
  // The folder of the settings cannot be created where a file stands.
  WriteFile("INIs", "not a folder");
  settings_.Load(Folder() + "INIs/", {});
  EXPECT_FALSE(settings_.Save(&error_));
  EXPECT_TRUE(error_.contains("INIs")) << error_.toStdString();
}

// The flash chip fields compared at once: start, blocks, erasure mode, size.
auto Chip(const FlashChipDescription& chip) {
  return std::tuple(chip.start, chip.num_blocks, chip.erasure_mode, chip.size());
}

// The chip descriptions are ready for the first operation, before any list changes.
TEST_F(SettingsTest, FlashTypeFilesAreReadAtStartWithTheFirstModel) {
  WriteFile("Tornavo.ini",
            "[TForm1]\r\nFlashIC0=Small\r\nFlashIC1=Big\r\nModel=0\r\nFlash1Start=60000000\r\n"
            "Flash1Type=1\r\nFlash2Start=7FE00000\r\nFlash2Type=0\r\n");
  WriteFile("Small.ini", "[Small]\r\nNumBlocks=2\r\nblock1=8000\r\nblock2=10000\r\n");
  WriteFile("Big.ini", "[Big]\r\nNumBlocks=1\r\nErasureMode=7\r\nblock1=200000\r\n");
  Load();
  EXPECT_FALSE(settings_.flash_fields_locked());
  EXPECT_EQ(Chip(settings_.flash_chip(0)), std::tuple(0x60000000u, 1, uint8_t{7}, 0x200000u));
  EXPECT_EQ(Chip(settings_.flash_chip(1)), std::tuple(0x7FE00000u, 2, uint8_t{48}, 0x10000u));
}

TEST_F(SettingsTest, FlashTypeFileThatNoOperationMayUseIsRefusedByName) {
  FlashChipDescription chip;
  chip.start = 0x7FE00000;
  const Texts texts;
  const auto problem_of = [&](const QString& type, const QByteArray& keys) {
    WriteFile(type + ".ini", "[" + type.toUtf8() + "]\r\n" + keys);
    LoadFlashType(Folder(), type, &chip);
    return texts.Format(FlashChipProblem(chip));
  };
  // Read within bounds: the block count is capped, the erasure mode is a byte, a bad offset 0.
  problem_of("Wide",
             "NumBlocks=5000\r\nErasureMode=$130\r\nblock1=10000\r\nblock2=zz\r\n"
             "block1024=FFFFFFFF\r\n");
  EXPECT_EQ(Chip(chip), std::tuple(0x7FE00000u, 1024, uint8_t{0x30}, 0xFFFFFFFFu));
  EXPECT_EQ(chip.block_offsets[2], 0u);
  for (const QByteArray& keys :
       {QByteArray("NumBlocks=0\r\n"), QByteArray("NumBlocks=1025\r\nblock1=10\r\n"),
        QByteArray("NumBlocks=-3\r\n"),
        QByteArray("NumBlocks=3\r\nblock1=10000\r\nblock2=10000\r\nblock3=30000\r\n"),
        QByteArray("NumBlocks=2\r\nblock1=20000\r\nblock2=10000\r\n"),
        QByteArray("NumBlocks=1\r\n")}) {
    const QString problem = problem_of("Bad", keys);
    EXPECT_TRUE(problem.contains(Folder() + "Bad.ini"))
        << keys.toStdString() << problem.toStdString();
  }
  LoadFlashType(Folder(), "Absent", &chip);
  EXPECT_TRUE(texts.Format(FlashChipProblem(chip)).contains("Absent.ini"));
  EXPECT_EQ(Chip(chip), std::tuple(0x7FE00000u, 1, uint8_t{48}, 0u));
  LoadFlashType(Folder(), "", &chip);
  EXPECT_FALSE(FlashChipProblem(chip).empty());
  // A good table whose start pushes the chip past the address space.
  EXPECT_EQ(problem_of("Good", "NumBlocks=2\r\nblock1=10000\r\nblock2=20000\r\n"), "");
  chip.start = 0xFFFF0000;
  EXPECT_TRUE(texts.Format(FlashChipProblem(chip)).contains("FFFF0000"));
}

TEST(IniFolderTest, GivenFolderThenWritableBesideTheExecutableThenTheConfigFolder) {
  QTemporaryDir dir;
  const QString exe = dir.filePath("bin");
  QDir().mkpath(exe);
  tornavo::testing::ScopedEnv config_home("XDG_CONFIG_HOME", dir.filePath("cfg").toUtf8());
  EXPECT_EQ(ResolveIniFolder("", exe), dir.filePath("cfg/tornavo/INIs/"));
  config_home.Set("relative/path");
  EXPECT_EQ(ResolveIniFolder("", exe), QDir::homePath() + "/.config/tornavo/INIs/");
  QDir().mkpath(exe + "/INIs");
  EXPECT_EQ(ResolveIniFolder("", exe), exe + "/INIs/");
  // Settings are written at close: a folder this user may not write in (an installed
  // program's) is not used.
  const auto read_only = [](const QString&) { return false; };
  EXPECT_EQ(ResolveIniFolder("", exe, read_only), QDir::homePath() + "/.config/tornavo/INIs/");
  EXPECT_EQ(ResolveIniFolder(dir.filePath("mine"), exe), dir.filePath("mine") + "/");
}

}  // namespace
}  // namespace tornavo

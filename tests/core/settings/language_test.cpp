#include "core/settings/language.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "core/settings/file_bytes.h"
#include "core/texts/text_names.h"
#include "core/texts/texts.h"
#include "support/qt_printers.h"

namespace tornavo {
namespace {

class LanguageTest : public ::testing::Test {
 protected:
  QString Folder() const { return dir_.path() + "/"; }
  void WriteFile(const QString& name, const QByteArray& bytes) {
    ASSERT_TRUE(WriteBytes(Folder() + name, bytes));
  }
  // Keys whose text differs from the built-in one.
  std::vector<int> ChangedKeys() const {
    const Texts defaults;
    std::vector<int> changed;
    for (int key = 0; key < kKeyCount; ++key)
      if (texts_.Key(key) != defaults.Key(key)) changed.push_back(key);
    return changed;
  }

  QTemporaryDir dir_;
  Texts texts_;
};

TEST_F(LanguageTest, ValuesAreTrimmedAndEmptyOrMisplacedLinesKeepTheDefault) {
  // The header matches in any letter case; other sections, keys spelt otherwise, the three
  // numbers without a key and lines without "=" are ignored; the first line of a key wins.
  WriteFile("English.ini",
            "traduc5=Before any section\r\n"
            "[english]\r\n"
            "traduc0=\r\n"
            "traduc70=   State   \r\n"
            "  traduc47 =\tEeprom page\t\r\n"
            "Traduc48=Wrong case\r\n"
            "traduc57=No key\r\n"
            "traduc326=No key\r\n"
            "traduc66=Odd\r\n"
            "traduc66=Second\r\n"
            "just words\r\n"
            "[Other]\r\n"
            "traduc6=Other section\r\n");
  LoadLanguage(Folder(), "English", texts_);
  EXPECT_EQ(texts_.Slot(slot::kCodigo), ", código: ");      // "traduc0=" keeps the default
  EXPECT_EQ(texts_.Key(text_key::kEepromEstado), "State");  // the default is " Estado "
  EXPECT_EQ(texts_.Key(text_key::kEeprom), "Eeprom page");
  EXPECT_EQ(texts_.Key(text_key::kImpar), "Odd");
  EXPECT_EQ(texts_.Key(57), "");
  EXPECT_EQ(ChangedKeys(),
            (std::vector<int>{text_key::kEeprom, text_key::kImpar, text_key::kEepromEstado}));
}

// Each load starts from the built-in texts: a missing file, section or name leaves them.
TEST_F(LanguageTest, SwitchingLanguagesStartsFromTheDefaultsEachTime) {
  WriteFile("Solo.ini", "[Solo]\r\ntraduc4=Lee\r\n");
  WriteFile("A.ini", "[A]\r\ntraduc4=Lee\r\ntraduc5=Escribe\r\nQtIdioma=en\r\n");
  WriteFile("B.ini", "[B]\r\ntraduc5=Schreibt\r\nQtIdioma=de\r\n");
  WriteFile("Wrong.ini", "[Other]\r\ntraduc4=Lee\r\nQtIdioma=en\r\n");
  WriteFile(".ini", "[]\r\ntraduc4=Lee\r\n");
  // A file holding one key changes that text alone, its slot included, and keeps Qt Spanish;
  // each row loads after the one above it.
  struct Row {
    const char* name;
    bool read;
    std::vector<int> changed;
    const char* qt;
  };
  for (const Row& row : {Row{"Solo", true, {text_key::kRecibe}, "es"},
                         Row{"A", true, {text_key::kRecibe, text_key::kEnvia}, "en"},
                         Row{"B", true, {text_key::kEnvia}, "de"}, Row{"Absent", false, {}, "es"},
                         Row{"A", true, {text_key::kRecibe, text_key::kEnvia}, "en"},
                         Row{"Wrong", true, {}, "es"}, Row{"", false, {}, "es"}}) {
    SCOPED_TRACE(row.name);
    const LanguageLoad load = LoadLanguage(Folder(), row.name, texts_);
    EXPECT_EQ(load.file_read, row.read);
    EXPECT_EQ(ChangedKeys(), row.changed);
    EXPECT_EQ(load.qt_language, row.qt);
    EXPECT_EQ(texts_.qt_language(), row.qt);
  }
  LoadLanguage(Folder(), "Solo", texts_);
  EXPECT_EQ(texts_.Slot(slot::kRecibe), "Lee");
}

TEST_F(LanguageTest, QtLanguageCodeNamesNoOtherFile) {
  for (const char* good : {"es", "en", "pt_BR", "zh_TW", "ast"})
    EXPECT_TRUE(IsQtLanguageCode(good));
  for (const char* bad : {"", "e", "../es", "es/../../x", "es.qm", "espanol", "es_", "es BR"})
    EXPECT_FALSE(IsQtLanguageCode(bad)) << bad;
  WriteFile("X.ini", "[X]\r\nQtIdioma=../../etc/passwd\r\n");
  EXPECT_EQ(LoadLanguage(Folder(), "X", texts_).qt_language, "es");
  WriteFile("Y.ini", "[Y]\r\nQtIdioma= pt_BR \r\n");
  EXPECT_EQ(LoadLanguage(Folder(), "Y", texts_).qt_language, "pt_BR");
}

}  // namespace
}  // namespace tornavo

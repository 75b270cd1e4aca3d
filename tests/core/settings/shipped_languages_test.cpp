// The English language file that comes with the program, and a first start that puts it into
// a new settings folder and chooses it in an English locale.
#include "core/settings/shipped_languages.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <tuple>

#include "core/settings/file_bytes.h"
#include "core/settings/ini_file.h"
#include "core/settings/language.h"
#include "core/settings/settings.h"
#include "core/texts/text_table.h"
#include "core/texts/texts.h"
#include "support/qt_printers.h"

namespace tornavo {
namespace {

const QString kShipped = QStringLiteral(TORNAVO_SHARE_DIR "/");

QStringList Placeholders(const QString& text) {
  QStringList found;
  for (const auto& match : QRegularExpression("%\\d").globalMatch(text)) found << match.captured();
  found.sort();
  return found;
}

TEST(ShippedLanguages, EnglishGivesEveryTextItsOwnAndKeepsWhatTheProgramFillsIn) {
  const TIniFile32 file(kShipped + "English.ini");
  EXPECT_EQ(file.ReadString("English", "QtIdioma", ""), "en");
  const Texts spanish;
  Texts english;
  ASSERT_TRUE(LoadLanguage(kShipped, "English", english).file_read);
  for (const TextDefault& entry : DefaultTexts()) {
    const QString key = QStringLiteral("traduc%1").arg(entry.key);
    const QString es = spanish.Key(entry.key);
    const QString en = file.ReadString("English", key, "");
    ASSERT_FALSE(en.isEmpty()) << key.toStdString();
    // The values the program puts in, the file filters' shape and the blanks at either end.
    EXPECT_EQ(Placeholders(en), Placeholders(es)) << key.toStdString();
    EXPECT_EQ(en.count('|'), es.count('|')) << key.toStdString();
    EXPECT_EQ(english.Key(entry.key).front().isSpace(), es.front().isSpace()) << key.toStdString();
    EXPECT_EQ(english.Key(entry.key).back().isSpace(), es.back().isSpace()) << key.toStdString();
  }
  EXPECT_EQ(english.Slot(slot::kNoReply), "No answer from the receiver on this serial port!");
}

TEST(ShippedLanguages, FolderBesideTheProgramOrItsShareFolder) {
  QTemporaryDir root;
  const QString build = root.filePath("build");
  const QString installed = root.filePath("usr/bin");
  EXPECT_EQ(ShippedLanguageFolder(build), "");
  ASSERT_TRUE(QDir().mkpath(build + "/share/tornavo") && QDir().mkpath(installed) &&
              QDir().mkpath(root.filePath("usr/share/tornavo")));
  EXPECT_EQ(ShippedLanguageFolder(build), build + "/share/tornavo/");
  EXPECT_EQ(ShippedLanguageFolder(installed), root.filePath("usr/share/tornavo/"));
  EXPECT_EQ(ShippedLanguageFolder(""), "");
}

TEST(ShippedLanguages, TheFirstSetLocaleVariableDecides) {
  // LC_ALL, LC_MESSAGES, LANG: the first one set decides.
  for (auto [all, messages, lang, english] : {std::tuple{"", "", "en_GB.UTF-8", true},
                                              {"en_US.UTF-8", "", "es_ES.UTF-8", true},
                                              {"", "en", "de_DE", true},
                                              {"es_ES.UTF-8", "", "en_GB.UTF-8", false},
                                              {"", "C.UTF-8", "en_GB.UTF-8", false},
                                              {"", "", "", false},
                                              {"", "", "eng", false}})
    EXPECT_EQ(LocaleIsEnglish(all, messages, lang), english) << all << messages << lang;
}

class FirstStartTest : public ::testing::TestWithParam<bool> {};

// A new settings folder (here inside one that does not exist yet) gets the file and lists it;
// the settings then choose English in an English locale and the built-in Spanish otherwise.
TEST_P(FirstStartTest, NewFolderGetsTheFileListedAndChosenByTheLocale) {
  const bool english = GetParam();
  QTemporaryDir home;
  const QString folder = home.filePath("config/tornavo/INIs/");
  QString error;
  ASSERT_TRUE(InstallShippedLanguages(folder, kShipped, english, &error)) << error.toStdString();
  EXPECT_EQ(ReadBytes(folder + "English.ini"), ReadBytes(kShipped + "English.ini"));
  SymbolRateTable rates{};
  PictureOptions picture;
  Settings settings(rates, picture);
  settings.Load(folder, {});
  EXPECT_EQ(settings.languages(), QStringList{"English"});
  EXPECT_EQ(settings.language(), english ? "English" : "");
  Texts texts;
  LoadLanguage(folder, settings.language(), texts);
  EXPECT_EQ(texts.Slot(slot::kTaskRead), english ? "Read" : "Recibe");
}

// The virtual receiver's own settings lines written first stay; a language file the user
// already has there is never replaced.
TEST_P(FirstStartTest, WhatTheFolderHoldsStays) {
  QTemporaryDir folder;
  const QString path = folder.path() + '/';
  ASSERT_TRUE(WriteBytes(path + "English.ini", "[English]\r\ntraduc4=Mine\r\n"));
  ASSERT_TRUE(WriteBytes(path + "Tornavo.ini", "\r\n[TForm1]\r\nModel=1\r\n"));
  QString error;
  ASSERT_TRUE(InstallShippedLanguages(path, kShipped, GetParam(), &error));
  EXPECT_EQ(ReadBytes(path + "English.ini"), "[English]\r\ntraduc4=Mine\r\n");
  const QByteArray settings = ReadBytes(path + "Tornavo.ini");
  EXPECT_TRUE(settings.startsWith("\r\n[TForm1]\r\nModel=1\r\nIdioma0=English\r\nIdioma="))
      << settings.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Locales, FirstStartTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? "English" : "Other";
                         });

}  // namespace
}  // namespace tornavo

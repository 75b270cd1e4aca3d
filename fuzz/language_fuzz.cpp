// The language file load over a fuzzed file: whatever the file holds, every key keeps a
// text (its default when the file gives none), values come trimmed, the keys without a
// number stay empty and Qt's translation code never names a path.
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

#include "core/settings/language.h"
#include "core/texts/text_table.h"
#include "core/texts/texts.h"
#include "fuzz_check.h"

using namespace tornavo;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  static QCoreApplication app(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static QTemporaryDir folder;
  static const Texts kDefaults;
  {
    QFile file(folder.filePath(QStringLiteral("L.ini")));
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) ==
               static_cast<qint64>(size));
  }
  Texts texts;
  texts.Set(4, QStringLiteral("left over from another language"));
  const LanguageLoad load =
      LoadLanguage(folder.path() + QLatin1Char('/'), QStringLiteral("L"), texts);
  FUZZ_CHECK(load.file_read);  // the file is there, whatever it holds
  FUZZ_CHECK(IsQtLanguageCode(load.qt_language));
  FUZZ_CHECK(texts.qt_language() == load.qt_language);
  for (const TextDefault& entry : DefaultTexts()) {
    const QString text = texts.Key(entry.key);
    FUZZ_CHECK(!text.isEmpty());
    // A text from the file is trimmed of the characters the settings files count as blanks
    // (space and the control characters), not of every Unicode space: a no-break space
    // stays. The default may keep its blanks.
    if (text != kDefaults.Key(entry.key)) {
      FUZZ_CHECK(text.front().unicode() > 0x20 && text.back().unicode() > 0x20);
    }
  }
  for (int key : {57, 326, 327}) FUZZ_CHECK(texts.Key(key).isEmpty());
  for (int slot : {17, 18, 180, 200}) FUZZ_CHECK(texts.Slot(slot).isEmpty());
  return 0;
}

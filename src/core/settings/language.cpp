#include "core/settings/language.h"

#include <QFileInfo>
#include <QRegularExpression>

#include "core/settings/ini_file.h"
#include "core/texts/text_table.h"
#include "core/texts/texts.h"

namespace tornavo {

bool IsQtLanguageCode(const QString& code) {
  static const QRegularExpression kCode(QStringLiteral("^[A-Za-z]{2,3}(_[A-Za-z]{2,4})?$"));
  return kCode.match(code).hasMatch();
}

LanguageLoad LoadLanguage(const QString& ini_folder, const QString& name, Texts& texts) {
  texts.ResetToDefaults();
  LanguageLoad load;
  load.qt_language = QString::fromLatin1(kDefaultQtLanguage);
  // No language chosen: the built-in texts, whatever a file named ".ini" might hold.
  if (name.isEmpty()) return load;
  const TIniFile32 file(ini_folder + name + QStringLiteral(".ini"));
  const QFileInfo info(file.file_name());
  load.file_read = info.isFile() && info.isReadable() && file.readable();
  for (const TextDefault& entry : DefaultTexts()) {
    const QString key = QStringLiteral("traduc") + QString::number(entry.key);
    // The reader gives the default back for a missing key or an empty value.
    texts.Set(entry.key, file.ReadString(name, key, texts.Key(entry.key)));
  }
  const QString qt_language = file.ReadString(name, QStringLiteral("QtIdioma"), load.qt_language);
  if (IsQtLanguageCode(qt_language)) load.qt_language = qt_language;
  texts.SetQtLanguage(load.qt_language);
  return load;
}

}  // namespace tornavo

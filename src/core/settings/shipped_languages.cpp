#include "core/settings/shipped_languages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "core/runtime/text_file.h"
#include "core/settings/ini_file.h"
#include "core/settings/ini_folder.h"
#include "core/settings/language.h"
#include "core/settings/settings.h"

namespace tornavo {

QString ShippedLanguageFolder(const QString& executable_folder) {
  if (executable_folder.isEmpty()) return {};
  const QDir beside(executable_folder);
  for (const QString& relative :
       {QStringLiteral("share/tornavo"), QStringLiteral("../share/tornavo")}) {
    const QString folder = QDir::cleanPath(beside.filePath(relative));
    if (QFileInfo(folder).isDir()) return folder + u'/';
  }
  return {};
}

bool LocaleIsEnglish(const QString& lc_all, const QString& lc_messages, const QString& lang) {
  for (const QString& value : {lc_all, lc_messages, lang}) {
    if (value.isEmpty()) continue;
    // The language code "en", alone or followed by a territory, code set or modifier.
    static const QRegularExpression kEnglish(QStringLiteral("^en([_.@]|$)"));
    return kEnglish.match(value).hasMatch();
  }
  return false;
}

void LoadShippedEnglish(const QString& executable_folder, Texts& texts) {
  const QString folder = ShippedLanguageFolder(executable_folder);
  // Without the folder the name alone would be looked for in the working folder.
  LoadLanguage(folder, folder.isEmpty() ? QString() : QString::fromLatin1(kEnglishLanguage), texts);
}

bool InstallShippedLanguages(const QString& ini_folder, const QString& shipped_folder, bool english,
                             QString* error) {
  if (shipped_folder.isEmpty()) return true;
  if (!EnsureFolder(WithoutTrailingSeparator(ini_folder), error)) return false;
  const QStringList files =
      QDir(shipped_folder).entryList({QStringLiteral("*.ini")}, QDir::Files, QDir::Name);
  TIniFile32 settings(ini_folder + QString::fromLatin1(Settings::kFileName));
  const QString section = QString::fromLatin1(Settings::kSection);
  int listed = 0;
  int chosen = -1;
  for (const QString& file : files) {
    const QString target = ini_folder + file;
    if (!QFileInfo::exists(target)) {
      QByteArray bytes;
      if (!ReadWholeFile(shipped_folder + file, &bytes, error) ||
          !WriteFileAtomically(target, bytes, error))
        return false;
    }
    const QString name = QFileInfo(file).completeBaseName();
    if (name == QLatin1String(kEnglishLanguage)) chosen = listed;
    settings.SetString(section, QStringLiteral("Idioma") + QString::number(listed, 16).toUpper(),
                       name);
    ++listed;
  }
  // Index -1 is the built-in Spanish, which the language list offers first.
  settings.SetString(section, QStringLiteral("Idioma"), QString::number(english ? chosen : -1));
  return settings.Store(error);
}

}  // namespace tornavo

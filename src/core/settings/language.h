#pragma once

#include <QString>

namespace tornavo {

class Texts;

// What a language load found.
struct LanguageLoad {
  // The language file exists and could be read.
  bool file_read = false;
  // Code of Qt's own translation for the standard buttons and dialogs: the file's
  // "QtIdioma", or "es" when it has none or an unusable one.
  QString qt_language;
};

// The built-in language, as the language list names it: in its own words, whatever language
// the interface speaks.
inline constexpr const char* kBuiltInLanguageName = "Español";

// Sets every text to its built-in default, then takes each key traducN that the language
// file "<ini_folder><name>.ini" holds in its section [<name>] with a value that is not empty
// (values are trimmed). A missing file, a missing section or an empty name leave every
// default in place. The ini folder ends with a separator.
LanguageLoad LoadLanguage(const QString& ini_folder, const QString& name, Texts& texts);

// A Qt translation code as the language file may give it: two or three letters, optionally
// followed by "_" and a region ("es", "pt_BR"). Anything else is refused, so that the code
// never names a file outside Qt's translations folder.
bool IsQtLanguageCode(const QString& code);

}  // namespace tornavo

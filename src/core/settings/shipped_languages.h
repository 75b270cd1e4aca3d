#pragma once

#include <QString>

namespace tornavo {

class Texts;

// The language files that come with the program, "<name>.ini" each: in share/tornavo beside
// the program (a build folder) or in ../share/tornavo (an installed copy). The folder with
// its trailing separator, or empty when neither exists.
QString ShippedLanguageFolder(const QString& executable_folder);

// Whether the environment's locale is English ("en", "en_GB.UTF-8" ...): the first of LC_ALL,
// LC_MESSAGES and LANG that is set (and not empty) decides, as for any program's messages.
bool LocaleIsEnglish(const QString& lc_all, const QString& lc_messages, const QString& lang);

// The shipped English texts (the built-in ones when the file is not there): the command
// line speaks English.
void LoadShippedEnglish(const QString& executable_folder, Texts& texts);

// First start, for a settings folder that holds no settings file yet (the caller checks
// that before anything else writes there): copies each shipped language file the folder
// lacks (never replacing one), lists them as Idioma0, Idioma1 ... in the settings file and
// chooses English when `english` is set; otherwise the built-in Spanish stays chosen. Returns
// false with *error when a file could not be written.
bool InstallShippedLanguages(const QString& ini_folder, const QString& shipped_folder, bool english,
                             QString* error);

inline constexpr const char* kEnglishLanguage = "English";

}  // namespace tornavo

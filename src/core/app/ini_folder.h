#pragma once

#include <QString>

namespace tornavo {

// The folder of the settings and catalogue files, always with a trailing separator:
// - the folder given on the command line (--ini-dir), when there is one;
// - else the folder "INIs" beside the executable, when it exists (a portable copy);
// - else $XDG_CONFIG_HOME/tornavo/INIs/ (~/.config/tornavo/INIs/ when unset).
QString ResolveIniFolder(const QString& given_folder, const QString& executable_folder);

// The same folder without its trailing separator, as the file dialogs start in it.
QString WithoutTrailingSeparator(const QString& folder);

// Creates the folder (and its parents) when missing; sets *error on failure.
bool EnsureFolder(const QString& folder, QString* error);

}  // namespace tornavo

#pragma once

#include <QString>

namespace tornavo {

// The folder of the settings and catalogue files, always with a trailing separator:
// - the folder given on the command line (--ini-dir), when there is one;
// - else the folder "INIs" beside the executable, when it exists and this user may write
//   in it (a portable copy; an installed program's folder is not the user's to write);
// - else $XDG_CONFIG_HOME/tornavo/INIs/ (~/.config/tornavo/INIs/ when unset).
// `writable` answers whether this user may write in a folder (tests stand in for the system).
using FolderWritable = bool (*)(const QString& folder);
bool IsFolderWritable(const QString& folder);
QString ResolveIniFolder(const QString& given_folder, const QString& executable_folder,
                         FolderWritable writable = IsFolderWritable);

// $XDG_CONFIG_HOME when it is set and absolute, else ~/.config.
QString ConfigHome();

// The same folder without its trailing separator, as the file dialogs start in it.
QString WithoutTrailingSeparator(const QString& folder);

// Creates the folder (and its parents) when missing; sets *error on failure.
bool EnsureFolder(const QString& folder, QString* error);

}  // namespace tornavo

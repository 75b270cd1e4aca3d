#include "core/settings/ini_folder.h"

#include <QDir>
#include <QFileInfo>

namespace tornavo {

namespace {

QString WithTrailingSeparator(const QString& folder) {
  return folder.endsWith(u'/') ? folder : folder + QLatin1Char('/');
}

}  // namespace

bool IsFolderWritable(const QString& folder) { return QFileInfo(folder).isWritable(); }

QString ResolveIniFolder(const QString& given_folder, const QString& executable_folder,
                         FolderWritable writable) {
  if (!given_folder.isEmpty())
    return WithTrailingSeparator(QDir::cleanPath(QDir(given_folder).absolutePath()));
  const QString beside = QDir(executable_folder).filePath(QStringLiteral("INIs"));
  if (!executable_folder.isEmpty() && QFileInfo(beside).isDir() && writable(beside))
    return WithTrailingSeparator(QDir::cleanPath(beside));
  return WithTrailingSeparator(QDir::cleanPath(ConfigHome() + QStringLiteral("/tornavo/INIs")));
}

QString ConfigHome() {
  // A relative XDG_CONFIG_HOME is invalid and ignored, as the base directory rules say.
  const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (config.isEmpty() || QDir::isRelativePath(config))
    return QDir::homePath() + QStringLiteral("/.config");
  return config;
}

QString WithoutTrailingSeparator(const QString& folder) {
  return folder.size() > 1 && folder.endsWith(u'/') ? folder.chopped(1) : folder;
}

bool EnsureFolder(const QString& folder, QString* error) {
  if (QFileInfo(folder).isDir() || QDir().mkpath(folder)) return true;
  if (error) *error = QStringLiteral("%1: the folder could not be created").arg(folder);
  return false;
}

}  // namespace tornavo

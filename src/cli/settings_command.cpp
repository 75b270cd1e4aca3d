#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include "cli/commands.h"
#include "cli/console.h"
#include "core/app/ini_folder.h"
#include "core/app/settings.h"
#include "core/serial/qt_serial_transport.h"

namespace tornavo::cli {

int RunSettingsCommand(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Prints the settings as key=value lines, in the order the window stores them.\n"
      "  show       the settings as the window loads them\n"
      "  defaults   the same after \"Valores por Defecto\""));
  parser.addPositionalArgument(QStringLiteral("show|defaults"), QStringLiteral("what to print"));
  parser.addOption({QStringLiteral("ini-dir"),
                    QStringLiteral("Folder of the settings and catalogue files."),
                    QStringLiteral("DIR")});
  if (!Parse(parser, arguments)) return kExitUsage;
  const QStringList verbs = parser.positionalArguments();
  const QString verb = verbs.value(0);
  if (verbs.size() != 1 || (verb != QLatin1String("show") && verb != QLatin1String("defaults"))) {
    Err(QStringLiteral("tornavo settings: give show or defaults. Try 'tornavo settings --help'."));
    return kExitUsage;
  }
  const QString given = parser.value(QStringLiteral("ini-dir"));
  if (!given.isEmpty() && !QFileInfo(given).isDir())
    Err(QStringLiteral("tornavo settings: %1 is not a folder; showing the defaults.").arg(given));
  SymbolRateTable symbol_rates{};
  PictureOptions picture_options;
  Settings settings(symbol_rates, picture_options);
  settings.Load(ResolveIniFolder(given, QCoreApplication::applicationDirPath()),
                QtSerialTransport::AvailablePorts());
  if (verb == QLatin1String("defaults")) settings.ApplyDefaults();
  for (const QString& line : settings.SaveLines()) Out(line);
  return kExitOk;
}

}  // namespace tornavo::cli

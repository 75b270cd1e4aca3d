#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include "cli/commands.h"
#include "cli/console.h"
#include "core/serial/qt_serial_transport.h"
#include "core/settings/ini_folder.h"
#include "core/settings/language.h"
#include "core/settings/settings.h"
#include "core/texts/texts.h"

namespace tornavo::cli {

int RunSettingsCommand(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Prints the settings as key=value lines, in the order the window stores them.\n"
      "  show       the settings as the window loads them\n"
      "  defaults   the same after \"Valores por Defecto\"\n"
      "With --language, show prints instead every message slot as slotN<TAB>text, as the\n"
      "window holds them after loading that language's file NAME.ini."));
  parser.addPositionalArgument(QStringLiteral("show|defaults"), QStringLiteral("what to print"));
  parser.addOption({QStringLiteral("ini-dir"),
                    QStringLiteral("Folder of the settings and catalogue files."),
                    QStringLiteral("DIR")});
  parser.addOption({QStringLiteral("language"),
                    QStringLiteral("Print the message slots of this language (show only)."),
                    QStringLiteral("NAME")});
  if (!Parse(parser, arguments)) return kExitUsage;
  const QStringList verbs = parser.positionalArguments();
  const QString verb = verbs.value(0);
  if (verbs.size() != 1 || (verb != QLatin1String("show") && verb != QLatin1String("defaults"))) {
    Err(QStringLiteral("tornavo settings: give show or defaults. Try 'tornavo settings --help'."));
    return kExitUsage;
  }
  const bool language_given = parser.isSet(QStringLiteral("language"));
  if (language_given && verb != QLatin1String("show")) {
    Err(QStringLiteral("tornavo settings: --language goes with show."));
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
  if (language_given) {
    const QString name = parser.value(QStringLiteral("language"));
    Texts texts;
    if (!LoadLanguage(settings.ini_folder(), name, texts).file_read && !name.isEmpty())
      Err(QStringLiteral("tornavo settings: no language file %1%2.ini; showing the built-in "
                         "texts.")
              .arg(settings.ini_folder(), name));
    for (int slot = 0; slot < kSlotCount; ++slot)
      Out(QStringLiteral("slot%1\t%2").arg(slot).arg(texts.Slot(slot)));
    return kExitOk;
  }
  if (verb == QLatin1String("defaults")) settings.ApplyDefaults();
  for (const QString& line : settings.SaveLines()) Out(line);
  return kExitOk;
}

}  // namespace tornavo::cli

#include "cli/commands.h"
#include "cli/console.h"

namespace tornavo::cli {

int RunEepromTransferCommand(const QString& verb, const QStringList& arguments) {
  (void)arguments;
  Err(QStringLiteral("tornavo eeprom %1: not available yet.").arg(verb));
  return kExitUsage;
}

}  // namespace tornavo::cli

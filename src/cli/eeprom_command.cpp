#include "cli/commands.h"
#include "cli/console.h"

namespace tornavo::cli {

int RunEepromCommand(const QStringList& arguments) {
  (void)arguments;
  Err(QStringLiteral("tornavo eeprom: not available yet."));
  return kExitUsage;
}

}  // namespace tornavo::cli

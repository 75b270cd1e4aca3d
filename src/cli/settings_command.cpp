#include "cli/commands.h"
#include "cli/console.h"

namespace tornavo::cli {

int RunSettingsCommand(const QStringList& arguments) {
  (void)arguments;
  Err(QStringLiteral("tornavo settings: not available yet."));
  return kExitUsage;
}

}  // namespace tornavo::cli

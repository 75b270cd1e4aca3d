#include "cli/commands.h"
#include "cli/console.h"

namespace tornavo::cli {

int RunCaptureCommand(const QStringList& arguments) {
  (void)arguments;
  Err(QStringLiteral("tornavo capture: not available yet."));
  return kExitUsage;
}

}  // namespace tornavo::cli

#include <QCommandLineParser>

#include "cli/commands.h"
#include "cli/console.h"
#include "core/serial/checksum.h"

namespace tornavo::cli {

int RunFrameCommand(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Prints TEXT followed by its checksum."));
  parser.addPositionalArgument(QStringLiteral("TEXT"), QStringLiteral("the command text"));
  if (!Parse(parser, arguments)) return kExitUsage;
  if (parser.positionalArguments().size() != 1) {
    Err(QStringLiteral("tornavo frame: give exactly one TEXT."));
    return kExitUsage;
  }
  Out(QString::fromLatin1(AppendChecksum(parser.positionalArguments()[0].toLatin1())));
  return kExitOk;
}

}  // namespace tornavo::cli

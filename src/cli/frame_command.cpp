#include <QCommandLineParser>

#include "cli/commands.h"
#include "cli/console.h"
#include "core/runtime/cp1252.h"
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
  // The receiver reads 8-bit text: the checksum is over the Windows-1252 bytes.
  Out(FromCp1252(AppendChecksum(ToCp1252(parser.positionalArguments()[0]))));
  return kExitOk;
}

}  // namespace tornavo::cli

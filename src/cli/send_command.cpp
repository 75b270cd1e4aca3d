#include <QCommandLineParser>
#include <QCoreApplication>
#include <QEventLoop>

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/serial_options.h"
#include "core/runtime/cp1252.h"
#include "core/serial/checksum.h"
#include "core/serial/qt_serial_transport.h"
#include "core/serial/service_link.h"
#include "core/texts/texts.h"

namespace tornavo::cli {

namespace {

// Waits for the one reply of a hand-sent command.
class OneReply : public SerialOperation {
 public:
  explicit OneReply(QEventLoop& loop) : loop_(loop) {}
  void OnReply(const QByteArray& line) override {
    reply = line;
    loop_.quit();
  }
  void OnTimeout() override {
    timed_out = true;
    loop_.quit();
  }
  void OnPortFailure(const QString& message) override {
    port_failure = message;
    loop_.quit();
  }
  QByteArray reply;
  bool timed_out = false;
  QString port_failure;

 private:
  QEventLoop& loop_;
};

}  // namespace

int RunSendCommand(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("Sends TEXT (with its checksum unless --no-checksum) and prints the reply."));
  AddSerialOptions(parser);
  parser.addOption({"no-checksum", "Send TEXT exactly as given."});
  parser.addPositionalArgument("TEXT", "the command text, for example %EE?00010");
  if (!Parse(parser, arguments)) return kExitUsage;
  PortSettings settings;
  double timeout_scale = 1.0;
  QString error;
  if (!ReadSerialOptions(parser, &settings, &timeout_scale, &error)) {
    Err(QStringLiteral("tornavo send: ") + error);
    return kExitUsage;
  }
  if (parser.positionalArguments().size() != 1 || parser.positionalArguments()[0].isEmpty()) {
    Err(QStringLiteral("tornavo send: give exactly one TEXT."));
    return kExitUsage;
  }

  QtSerialTransport transport;
  if (!OpenSerialLine(settings, transport)) return kExitBadInput;
  ConsoleHost host;
  ServiceLink link(transport, host);
  link.SetTimeoutScale(timeout_scale);
  QEventLoop loop;
  OneReply reply(loop);
  link.SetTerminalRoute(&reply);
  link.Begin(opcode::kTerminal);
  const QByteArray text = ToCp1252(parser.positionalArguments()[0]);
  link.SendServiceCommand(parser.isSet("no-checksum") ? text : AppendChecksum(text));
  loop.exec();
  if (!reply.port_failure.isEmpty()) {
    Err(reply.port_failure);
    return kExitFailed;
  }
  if (reply.timed_out) {
    Err(Texts().Slot(slot::kNoReply) + QStringLiteral(" (%1)").arg(link.port_name()));
    return kExitNoReply;
  }
  QString line = FromCp1252(reply.reply);
  while (line.endsWith('\r')) line.chop(1);
  Out(line.replace('\r', '\n'));
  // "$?C0" and a reason: the receiver refused the request.
  return reply.reply.startsWith("$?C0") ? kExitFailed : kExitOk;
}

}  // namespace tornavo::cli

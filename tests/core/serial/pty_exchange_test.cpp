// The service link against the virtual receiver through a real pseudo-terminal.
#include <gtest/gtest.h>

#include "core/serial/checksum.h"
#include "core/serial/qt_serial_transport.h"
#include "core/texts/text_names.h"
#include "core/texts/texts.h"
#include "support/sim_link.h"
#include "support/wait.h"

namespace tornavo {
namespace {

using testing::SimLink;
using testing::WaitUntil;

// The receiver's row for a terminal command; split and merged replies are assembled by the
// last character; a wrong checksum is refused.
TEST(PtyExchange, TerminalCommandsGetTheReceiversReplies) {
  SimLink sim;
  ASSERT_TRUE(sim.ready) << sim.error.toStdString();
  sim::EepromBytes bytes{};
  for (int i = 0; i < sim::kEepromSize; ++i) bytes[i] = static_cast<uint8_t>(i * 7);
  sim.receiver.SetEeprom(bytes);
  const auto replies = [&](int n) {
    EXPECT_TRUE(WaitUntil([&] { return sim.host.Log(LogId::kTerminal).size() == n; }));
    return sim.host.Log(LogId::kTerminal);
  };
  sim.terminal.Submit("%EE?01010");
  QString expected;
  for (int i = 16; i < 32; ++i) expected += QString::asprintf("%02X", (i * 7) & 0xFF);
  EXPECT_EQ(replies(2).value(1), "$.EE" + expected + "\r");
  EXPECT_EQ(sim.receiver.ReceivedFrames(), QList<QByteArray>{AppendChecksum("%EE?01010")});

  sim.receiver.SplitNextReply(4);
  sim.terminal.Submit("%EE?01010");
  EXPECT_EQ(replies(4).value(3), replies(4).value(1));
  // Two commands before any reply: both replies reach the terminal as one text.
  sim.receiver.MergeNextTwoReplies();
  sim.terminal.Submit("%EE?00010");
  sim.terminal.Submit("%EE?7F010");
  EXPECT_EQ(replies(7).value(6).count('\r'), 2);
  sim.terminal.SetAppendChecksum(false);
  sim.terminal.Submit("%EE?0001000");
  EXPECT_TRUE(replies(9).value(8).startsWith("$?C0"));
}

// A receiver that goes away hangs up the line: the port closes at once, saying so under its
// name, rather than spinning on the dead line until the reply time-out; a port that is there
// again is opened by the next command.
TEST(PtyExchange, ALineThatHangsUpClosesThePortWithItsReasonAndTheNextCommandReopensIt) {
  SimLink sim;
  ASSERT_TRUE(sim.ready) << sim.error.toStdString();
  sim.SetTimeoutScale(100);
  const QString path = sim.receiver.device_path();
  int failures = 0;
  QObject::connect(&sim.transport, &SerialTransport::PortFailed, [&] { ++failures; });
  sim.receiver.SetSilent(true);
  sim.terminal.Submit("%EE?00010");
  sim.receiver.Stop();
  ASSERT_TRUE(WaitUntil([&] { return sim.host.Log(LogId::kTerminal).size() == 2; }));
  const QString failure = sim.host.Log(LogId::kTerminal)[1];
  // What follows the first line depends on whether the device name is free again.
  EXPECT_EQ(failure.section('\n', 0, 0), "read " + path + ": the device hung up");
  EXPECT_FALSE(sim.transport.IsOpen());
  testing::Pump(50);
  EXPECT_EQ(failures, 1);

  sim.receiver.SetSilent(false);
  ASSERT_TRUE(sim.receiver.Start(&sim.error)) << sim.error.toStdString();
  sim.transport.SetPortName(sim.receiver.device_path());
  sim.terminal.Submit("%EE?00010");
  ASSERT_TRUE(WaitUntil([&] { return sim.host.Log(LogId::kTerminal).size() == 4; }));
  EXPECT_TRUE(sim.host.Log(LogId::kTerminal)[3].startsWith("$.EE"));
}

TEST(PtyExchange, FailedOpenSaysWhatToDoAfterTheSystemsReasonInTheLanguageOfItsTexts) {
  Texts marked;
  marked.Set(text_key::kPuertoNoExiste, "<%1>");
  for (const Texts* texts :
       {static_cast<const Texts*>(nullptr), static_cast<const Texts*>(&marked)}) {
    QtSerialTransport transport(texts);
    transport.SetPortName("/dev/tornavo-missing-tty");
    QString error;
    ASSERT_FALSE(transport.Open(&error));
    const QStringList lines = error.split('\n');
    ASSERT_EQ(lines.size(), 3) << error.toStdString();
    EXPECT_TRUE(lines[0].startsWith("open /dev/tornavo-missing-tty: ")) << error.toStdString();
    EXPECT_EQ(lines[1],
              texts ? "</dev/tornavo-missing-tty>:" : "/dev/tornavo-missing-tty no existe:");
    EXPECT_EQ(lines[2], "comprueba el cable y que el adaptador esté conectado");
  }
}

}  // namespace
}  // namespace tornavo

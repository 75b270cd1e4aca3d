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

TEST(PtyExchange, TerminalCommandGetsTheReceiversRow) {
  SimLink sim;
  ASSERT_TRUE(sim.ready) << sim.error.toStdString();
  sim::EepromBytes bytes{};
  for (int i = 0; i < sim::kEepromSize; ++i) bytes[i] = static_cast<uint8_t>(i * 7);
  sim.receiver.SetEeprom(bytes);

  sim.terminal.Submit("%EE?01010");
  ASSERT_TRUE(WaitUntil([&] { return sim.host.Log(LogId::kTerminal).size() == 2; }));
  const QString reply = sim.host.Log(LogId::kTerminal)[1];
  QString expected;
  for (int i = 16; i < 32; ++i) expected += QString::asprintf("%02X", (i * 7) & 0xFF);
  EXPECT_EQ(reply.mid(4, 32), expected);
  EXPECT_TRUE(reply.endsWith('\r'));
  EXPECT_EQ(sim.receiver.ReceivedFrames(), QList<QByteArray>{AppendChecksum("%EE?01010")});
}

TEST(PtyExchange, SplitAndMergedRepliesAreAssembledByTheLastCharacter) {
  SimLink sim;
  ASSERT_TRUE(sim.ready) << sim.error.toStdString();
  sim.terminal.Submit("%EE?00010");
  ASSERT_TRUE(WaitUntil([&] { return sim.host.Log(LogId::kTerminal).size() == 2; }));
  sim.receiver.SplitNextReply(4);
  sim.terminal.Submit("%EE?00010");
  ASSERT_TRUE(WaitUntil([&] { return sim.host.Log(LogId::kTerminal).size() == 4; }));
  EXPECT_EQ(sim.host.Log(LogId::kTerminal)[3], sim.host.Log(LogId::kTerminal)[1]);

  // Two commands before any reply: both replies come in one piece and reach the terminal as
  // one text.
  sim.receiver.MergeNextTwoReplies();
  sim.terminal.Submit("%EE?00010");
  sim.terminal.Submit("%EE?7F010");
  ASSERT_TRUE(WaitUntil([&] { return sim.host.Log(LogId::kTerminal).size() == 7; }));
  EXPECT_EQ(sim.host.Log(LogId::kTerminal)[6].count('\r'), 2);
}

TEST(PtyExchange, WrongChecksumIsRejected) {
  SimLink sim;
  ASSERT_TRUE(sim.ready) << sim.error.toStdString();
  sim.terminal.SetAppendChecksum(false);
  sim.terminal.Submit("%EE?0001000");
  ASSERT_TRUE(WaitUntil([&] { return sim.host.Log(LogId::kTerminal).size() == 2; }));
  EXPECT_TRUE(sim.host.Log(LogId::kTerminal)[1].startsWith("$?C0"));
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

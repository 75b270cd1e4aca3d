#include "core/serial/service_link.h"

#include <gtest/gtest.h>

#include "core/serial/terminal.h"
#include "core/texts/texts.h"
#include "support/fake_transport.h"
#include "support/recording_host.h"
#include "support/wait.h"

namespace tornavo {
namespace {

using testing::FakeTransport;
using testing::RecordingHost;
using testing::WaitUntil;

// An operation that records what reaches it.
class Probe : public SerialOperation {
 public:
  void OnFrameSent(const QByteArray& frame) override { sent << frame; }
  void OnReply(const QByteArray& line) override { replies << line; }
  void OnTimeout() override { ++timeouts; }
  void OnOverlongReply(const QByteArray& dropped) override { overlong << dropped; }
  void OnPortFailure(const QString& message) override { failures << message; }
  QList<QByteArray> sent;
  QList<QByteArray> overlong;
  QList<QByteArray> replies;
  int timeouts = 0;
  QStringList failures;
};

// An operation with no ending of its own for a failed port.
class Unaware : public SerialOperation {
 public:
  void OnReply(const QByteArray&) override {}
  void OnTimeout() override { ++timeouts; }
  int timeouts = 0;
};

class ServiceLinkTest : public ::testing::Test {
 protected:
  ServiceLinkTest() : link_(transport_, host_), terminal_(link_, host_, texts_) {
    QString error;
    transport_.Open(&error);
    link_.SetTerminalRoute(&terminal_);
    link_.Route(opcode::kTerminal, &terminal_);
    link_.Route(opcode::kEepromReadAll, &read_);
    link_.Route(opcode::kEepromReadRow, &read_);
    link_.Route(opcode::kFirmware, &firmware_);
    // 15000 ms become 15 ms: the time-outs are exercised, not waited for.
    link_.SetTimeoutScale(0.001);
  }

  Texts texts_;
  FakeTransport transport_;
  RecordingHost host_;
  ServiceLink link_;
  Terminal terminal_;
  Probe read_;
  Probe firmware_;
};

// Every frame goes to the terminal log and to its operation, which logs its own.
TEST_F(ServiceLinkTest, RoutesReplyLinesByOperationCode) {
  link_.Begin(opcode::kEepromReadAll);
  link_.SendServiceCommand("%EE?00010F1");
  EXPECT_EQ(read_.sent, QList<QByteArray>{"%EE?00010F1"});
  EXPECT_EQ(host_.Log(LogId::kTerminal), QStringList{"%EE?00010F1"});
  EXPECT_EQ(transport_.written, QList<QByteArray>{"%EE?00010F1"});
  EXPECT_TRUE(link_.reply_timer_active());
  transport_.Deliver("$.EE");
  transport_.Deliver("00\r");
  EXPECT_EQ(read_.replies, QList<QByteArray>{"$.EE00\r"});
  // A complete line leaves the timer stopped until the next send.
  EXPECT_FALSE(link_.reply_timer_active());

  link_.Begin(opcode::kFirmware);
  link_.SendServiceCommand("%DL?D0");
  transport_.Deliver("$.DL\r");
  EXPECT_EQ(firmware_.replies, QList<QByteArray>{"$.DL\r"});
  EXPECT_EQ(read_.replies.size(), 1);

  // Codes without an operation of their own belong to the terminal.
  link_.Begin(200);
  link_.SendServiceCommand("%XX");
  transport_.Deliver("$.XX\r");
  EXPECT_EQ(host_.Log(LogId::kTerminal).last(), "$.XX\r");
}

TEST_F(ServiceLinkTest, TimeoutGoesToTheWaitingOperationAndEnablesThePages) {
  host_.DisablePages();
  link_.Begin(opcode::kEepromReadAll);
  link_.SendServiceCommand("%EE?00010F1");
  ASSERT_TRUE(WaitUntil([&] { return read_.timeouts == 1; }));
  EXPECT_TRUE(host_.pages_enabled);
  EXPECT_FALSE(link_.reply_timer_active());
  EXPECT_EQ(link_.operation_code(), opcode::kEepromReadAll);
  // The time-out ended the operation: a reply after it only reaches the terminal log.
  transport_.Deliver("$.EE00\r");
  EXPECT_TRUE(read_.replies.isEmpty());
  EXPECT_EQ(host_.Log(LogId::kTerminal).last(), "$.EE00\r");
}

// The port failing, or failing to open or to take a frame, ends the waiting operation with
// the port's reason long before the reply time-out; the next send opens the port again.
TEST_F(ServiceLinkTest, APortFailureEndsTheOperationAtOnceAndTheNextSendReopensThePort) {
  link_.SetTimeoutScale(100);
  const auto send = [&](uint8_t code) {
    host_.DisablePages();
    link_.Begin(code);
    link_.SendServiceCommand("%EE?00010F1");
  };
  send(opcode::kEepromReadAll);
  transport_.Deliver("$.EE");
  transport_.FailPort("read /dev/ttyUSB0: the device hung up");
  EXPECT_TRUE(read_.failures.isEmpty());  // never inside the transport's own call
  ASSERT_TRUE(WaitUntil([&] { return !read_.failures.isEmpty(); }));
  EXPECT_EQ(read_.failures, QStringList{"read /dev/ttyUSB0: the device hung up"});
  EXPECT_EQ(read_.timeouts, 0);
  EXPECT_TRUE(host_.pages_enabled);
  EXPECT_FALSE(link_.reply_timer_active());
  EXPECT_FALSE(link_.waiting());

  transport_.fail_open = true;
  send(opcode::kEepromReadAll);
  ASSERT_TRUE(WaitUntil([&] { return read_.failures.size() == 2; }));
  EXPECT_EQ(read_.failures[1], "open : No such file or directory");
  EXPECT_EQ(read_.sent.size(), 1);  // nothing went out, nothing is logged as sent
  EXPECT_EQ(host_.Log(LogId::kTerminal).size(), 1);
  EXPECT_TRUE(host_.pages_enabled);

  transport_.fail_open = false;
  transport_.fail_write = true;
  send(opcode::kEepromReadAll);
  ASSERT_TRUE(WaitUntil([&] { return read_.failures.size() == 3; }));
  EXPECT_EQ(read_.failures[2], "write : Input/output error");
  // The reply the failure cut short is not taken for early text of the next request.
  EXPECT_EQ(host_.Log(LogId::kTerminal), QStringList(2, "%EE?00010F1"));
  EXPECT_FALSE(transport_.IsOpen());
  EXPECT_EQ(transport_.open_count, 2);

  // An operation that knows nothing of ports ends as if unanswered, as promptly.
  transport_.fail_write = false;
  Unaware unaware;
  link_.Route(opcode::kFirmware, &unaware);
  send(opcode::kFirmware);
  EXPECT_EQ(transport_.open_count, 3);
  EXPECT_EQ(transport_.written.size(), 2);
  transport_.FailPort("read /dev/ttyUSB0: the device hung up");
  ASSERT_TRUE(WaitUntil([&] { return unaware.timeouts == 1; }));
  EXPECT_TRUE(host_.pages_enabled);
  EXPECT_EQ(read_.failures.size(), 3);
  EXPECT_EQ(read_.timeouts, 0);
}

// With nothing waiting, the terminal log tells and the pages stay as they are; while
// replies are held, so is the failure, until they are released.
TEST_F(ServiceLinkTest, APortFailureWhileIdleIsLoggedAndWhileHeldWaitsForTheRelease) {
  host_.DisablePages();
  transport_.FailPort("read /dev/ttyUSB0: the device hung up");
  ASSERT_TRUE(WaitUntil([&] { return !host_.Log(LogId::kTerminal).isEmpty(); }));
  EXPECT_EQ(host_.Log(LogId::kTerminal), QStringList{"read /dev/ttyUSB0: the device hung up"});
  EXPECT_FALSE(host_.pages_enabled);

  link_.SetTimeoutScale(100);
  link_.Begin(opcode::kFirmware);
  link_.SendServiceCommand("%DL?D0");
  link_.HoldReplies();
  transport_.FailPort("read /dev/ttyUSB0: the device hung up");
  testing::Pump(50);
  EXPECT_TRUE(firmware_.failures.isEmpty());
  link_.ReleaseReplies();
  EXPECT_EQ(firmware_.failures, QStringList{"read /dev/ttyUSB0: the device hung up"});
  EXPECT_TRUE(host_.pages_enabled);
}

// The terminal's time-out is logged without a box, and a late reply still arrives.
TEST_F(ServiceLinkTest, TerminalSendsAsTypedWithOrWithoutChecksumAndLogsRepliesEvenLate) {
  EXPECT_FALSE(terminal_.Submit(""));
  EXPECT_TRUE(host_.Log(LogId::kTerminal).isEmpty());
  terminal_.SetAppendChecksum(true);
  terminal_.Submit("%EE?00010");
  terminal_.SetAppendChecksum(false);
  terminal_.Submit("%ee?00010");
  EXPECT_EQ(transport_.written, (QList<QByteArray>{"%EE?00010F1", "%ee?00010"}));
  EXPECT_EQ(link_.operation_code(), opcode::kTerminal);
  ASSERT_TRUE(
      WaitUntil([&] { return host_.Log(LogId::kTerminal).contains(texts_.Slot(slot::kNoReply)); }));
  EXPECT_TRUE(host_.boxes.empty());
  transport_.Deliver("$.EE0102\r");
  EXPECT_EQ(host_.Log(LogId::kTerminal).last(), "$.EE0102\r");
  // A flood without an end is shown a piece at a time, never held whole.
  const QByteArray flood(ReplyAccumulator::kMaxReplyLength + 1, 'z');
  transport_.Deliver(flood);
  EXPECT_EQ(host_.Log(LogId::kTerminal).last(), QString::fromLatin1(flood));
}

TEST_F(ServiceLinkTest, TextThatNeverEndsIsDroppedAtTheLimitAndTheNextLineStillArrives) {
  link_.Begin(opcode::kEepromReadAll);
  link_.SendServiceCommand("%EE?00010F1");
  const QByteArray flood(ReplyAccumulator::kMaxReplyLength, 'x');
  transport_.Deliver(flood);
  EXPECT_TRUE(read_.overlong.isEmpty());
  transport_.Deliver("yz");
  EXPECT_EQ(read_.overlong, QList<QByteArray>{flood + "yz"});
  transport_.Deliver("$.EE00\r");
  EXPECT_EQ(read_.replies, QList<QByteArray>{"$.EE00\r"});
}

// A partial line re-arms the wait, but never past twice the period.
TEST_F(ServiceLinkTest, ADribblingReplyEndsWithTheTimeOutAtTwiceThePeriod) {
  link_.Begin(opcode::kEepromReadAll);
  link_.SendServiceCommand("%EE?00010F1");
  // A byte every third of the 15 ms period would restart the wait for ever.
  int pieces = 0;
  while (read_.timeouts == 0 && pieces < 400) {
    transport_.Deliver("x");
    testing::Pump(5);
    ++pieces;
  }
  EXPECT_EQ(read_.timeouts, 1);
  EXPECT_LT(pieces, 400);
  EXPECT_TRUE(host_.pages_enabled);
}

}  // namespace
}  // namespace tornavo

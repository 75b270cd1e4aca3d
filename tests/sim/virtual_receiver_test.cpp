#include "sim/virtual_receiver.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>
#include <tuple>

#include "core/lpt/link_transfer.h"
#include "core/lpt/port_locator.h"
#include "core/runtime/text_file.h"
#include "core/serial/checksum.h"
#include "sim/parallel_socket_server.h"
#include "sim/pty_client.h"
#include "support/qt_printers.h"
#include "support/recording_host.h"

namespace tornavo::sim {
namespace {

using testing::PtyClient;

QByteArray ReadRequest(int row) {
  return QByteArray("%EE?") + QByteArray::number(row, 16).rightJustified(2, '0').toUpper() + "010";
}

class VirtualReceiverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    receiver_.SetPacing(false);
    QString error;
    ASSERT_TRUE(receiver_.Start(&error)) << error.toStdString();
    Connect();
  }
  void Connect() {
    client_ = std::make_unique<PtyClient>(receiver_.device_path());
    ASSERT_TRUE(client_->is_open());
  }
  // The whole reply a read of `row` should get, from the EEPROM as it is now.
  QByteArray RowReply(int row) const {
    const QByteArray row_bytes(reinterpret_cast<const char*>(receiver_.Eeprom().data()) + row * 16,
                               16);
    return "$.EE" + row_bytes.toHex().toUpper() + "\r";
  }
  QByteArray Read(int row) { return client_->Ask(ReadRequest(row)); }

  VirtualReceiver receiver_;
  std::unique_ptr<PtyClient> client_;
};

TEST_F(VirtualReceiverTest, RejectsBadFramesAndLeavesTheEepromAlone) {
  const EepromBytes before = receiver_.Eeprom();
  QByteArray wrong_sum = AppendChecksum("%EE=05010" + QByteArray(32, '0'));
  wrong_sum[wrong_sum.size() - 1] = wrong_sum.endsWith('0') ? '1' : '0';
  const QList<QByteArray> bad = {
      wrong_sum,
      AppendChecksum("%XY?00010"),  // unknown command
      AppendChecksum("%EE?80010"),  // past the last row
      AppendChecksum("%EE?0a010"),  // lower-case row
      AppendChecksum("%EE?00020"),  // not a whole row
      AppendChecksum("%EE=05010" + QByteArray(31, '0') + "G"),
      AppendChecksum("%DL=7FE000000000000Z0105"),  // count not hexadecimal
      "%EE?00010",                                 // no checksum at all
  };
  for (const QByteArray& frame : bad) {
    client_->Send(frame);
    const QByteArray reply = client_->ReadReply();
    EXPECT_TRUE(reply.startsWith("$?C0") && reply.endsWith('\r'))
        << frame.toStdString() << " -> " << reply.toStdString();
  }
  EXPECT_EQ(receiver_.Eeprom(), before);
  EXPECT_EQ(receiver_.ReceivedFrames(), bad);
}

// Requests end by their length whatever pieces they come in, and a client that closes and
// reopens the device is still served.
TEST_F(VirtualReceiverTest, FramesRequestsByLengthAndSurvivesAReopen) {
  const QByteArray first = AppendChecksum(ReadRequest(1));
  const QByteArray second = AppendChecksum(ReadRequest(2));
  client_->Send("\r\n" + first.left(3));
  client_->Send(first.mid(3) + second);
  QByteArray replies = client_->ReadReply();
  if (replies.count('\r') < 2) replies += client_->ReadReply();
  EXPECT_EQ(replies, RowReply(1) + RowReply(2));
  EXPECT_EQ(receiver_.ReceivedFrames(), QList<QByteArray>({first, second}));

  client_.reset();
  Connect();
  EXPECT_EQ(Read(0), RowReply(0));
}

// Rejections, silence and merged replies are met again by the terminal and transfer tests that
// run on the receiver; here, what they do not see.
TEST_F(VirtualReceiverTest, CorruptedSplitAndLoneMergedReplies) {
  ASSERT_TRUE(receiver_.ApplyFault("corrupt"));
  const QByteArray damaged = Read(0);
  ASSERT_EQ(damaged.size(), 37);
  EXPECT_TRUE(damaged.mid(4, 32).contains('G'));
  EXPECT_EQ(Read(0), RowReply(0));

  receiver_.SplitNextReply(3, 60);
  client_->Send(AppendChecksum(ReadRequest(0)));
  const QList<QByteArray> chunks = client_->ReadChunks();
  EXPECT_GE(chunks.size(), 2);
  EXPECT_EQ(chunks.join(), RowReply(0));
  // Held with nothing to follow, a merged reply still goes out on its own.
  receiver_.MergeNextTwoReplies();
  EXPECT_EQ(Read(2), RowReply(2));
}

TEST_F(VirtualReceiverTest, PacedRepliesArriveWhole) {
  PortSettings line;
  line.baud = 115200;
  receiver_.SetLineSettings(line);
  receiver_.SetPacing(true);
  for (int row : {0, 0x7F}) EXPECT_EQ(Read(row), RowReply(row));
}

TEST(VirtualReceiverFaults, NamesAreParsedStrictly) {
  VirtualReceiver receiver;
  for (const char* good :
       {"reject:3", "silent", "silent:0", "split:2", "merge", "delay:0", "corrupt", "none"})
    EXPECT_TRUE(receiver.ApplyFault(good)) << good;
  for (const char* bad :
       {"reject", "reject:0", "reject:x", "silent:x", "split:1", "delay:-5", "loud", ""})
    EXPECT_FALSE(receiver.ApplyFault(bad)) << bad;
}

// A whole image loading is met by the command line's JTAG dump of the receiver's EEPROM.
TEST(VirtualReceiverEeprom, RefusesAnythingButAWholeImage) {
  QTemporaryDir dir;
  const QString path = dir.filePath("image.bin");
  const QByteArray image(2049, '\x5A');
  VirtualReceiver receiver;
  const EepromBytes before = receiver.Eeprom();
  QString error;
  EXPECT_FALSE(receiver.LoadEepromFile(dir.filePath("missing.bin"), &error));
  for (int size : {0, 2047, 2049}) {
    ASSERT_TRUE(WriteFileAtomically(path, image.left(size), &error));
    EXPECT_FALSE(receiver.LoadEepromFile(path, &error)) << size;
    EXPECT_TRUE(error.contains(QString::number(size))) << error.toStdString();
  }
  EXPECT_EQ(receiver.Eeprom(), before);
}

// The parallel side served on a socket, driven through the tool's own socket backend and
// link: the bytes that arrive decide the verification, and a DL transfer ends with the
// receiver's own completion line.
TEST_F(VirtualReceiverTest, ParallelSideOverItsSocketDecidesTheVerification) {
  QTemporaryDir dir;
  ParallelSocketServer server(receiver_.parallel());
  QString error;
  ASSERT_TRUE(server.Start(dir.filePath("lpt"), &error)) << error.toStdString();
  const QByteArray data("\x01\x02\x03\xFF", 4);
  EXPECT_EQ(client_->Ask("%DL=7FE00000000000040105").at(1), '.');
  ASSERT_EQ(receiver_.UpgradeRequests().size(), 1);
  const UpgradeRequest asked = receiver_.UpgradeRequests()[0];
  EXPECT_EQ(std::tuple(asked.command, asked.address, asked.count, int{asked.sum}),
            std::tuple('D', QByteArray("7FE00000"), 4u, 0x0105));

  auto port = MakeSocketPort(dir.filePath("lpt"));
  SteadyMonotonicClock clock;
  tornavo::testing::RecordingHost host;
  Texts texts;
  LinkDelays delays;
  delays.start_ms = 0;
  QString state;
  LinkTransferRequest request;
  request.buffer = data;
  const LinkTransferResult result =
      SendBufferOverLink(*port, clock, host, texts, delays, state, request);
  EXPECT_TRUE(result.complete);
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_EQ(receiver_.parallel().received(), data);
  EXPECT_EQ(client_->ReadReply(), "$.DL\r");
  EXPECT_EQ(client_->Ask("%DL?").at(1), '.');
  // Another command's verification, or a count that does not match, says no.
  EXPECT_NE(client_->Ask("%FL?").at(1), '.');
  EXPECT_EQ(client_->Ask("%DL=7FE00000000000050105").at(1), '.');
  EXPECT_NE(client_->Ask("%DL?").at(1), '.');
}

}  // namespace
}  // namespace tornavo::sim

#include "sim/virtual_receiver.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "core/serial/checksum.h"
#include "sim/pty_client.h"

namespace tornavo::sim {
namespace {

using testing::PtyClient;

QByteArray RowHex(const EepromBytes& bytes, int row) {
  return QByteArray(reinterpret_cast<const char*>(bytes.data()) + row * 16, 16).toHex().toUpper();
}

QByteArray ReadRequest(int row) {
  return QByteArray("%EE?") + QByteArray::number(row, 16).rightJustified(2, '0').toUpper() + "010";
}

class VirtualReceiverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    receiver_.SetPacing(false);
    QString error;
    ASSERT_TRUE(receiver_.Start(&error)) << error.toStdString();
    client_ = std::make_unique<PtyClient>(receiver_.device_path());
    ASSERT_TRUE(client_->is_open());
  }

  VirtualReceiver receiver_;
  std::unique_ptr<PtyClient> client_;
};

TEST_F(VirtualReceiverTest, ReadsEveryRowOfTheEeprom) {
  EepromBytes bytes;
  for (int i = 0; i < kEepromSize; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + i / 256);
  receiver_.SetEeprom(bytes);
  for (int row = 0; row < 128; ++row) {
    const QByteArray reply = client_->Ask(ReadRequest(row));
    ASSERT_EQ(reply.size(), 37) << row;
    EXPECT_EQ(reply.at(1), '.');
    EXPECT_EQ(reply.mid(4, 32), RowHex(bytes, row)) << row;
    EXPECT_TRUE(reply.endsWith('\r'));
  }
}

TEST_F(VirtualReceiverTest, WriteChangesOnlyThatRow) {
  const EepromBytes before = receiver_.Eeprom();
  const QByteArray data = "00112233445566778899AABBCCDDEEFF";
  const QByteArray reply = client_->Ask("%EE=3A010" + data);
  EXPECT_EQ(reply.at(1), '.');
  EXPECT_TRUE(reply.endsWith('\r'));
  const EepromBytes after = receiver_.Eeprom();
  EXPECT_EQ(RowHex(after, 0x3A), data);
  for (int i = 0; i < kEepromSize; ++i) {
    if (i / 16 != 0x3A) {
      ASSERT_EQ(after[i], before[i]) << i;
    }
  }
  EXPECT_EQ(client_->Ask(ReadRequest(0x3A)).mid(4, 32), data);
}

TEST_F(VirtualReceiverTest, RejectsBadFramesAndLeavesTheEepromAlone) {
  const EepromBytes before = receiver_.Eeprom();
  const QByteArray good_write = "%EE=05010" + QByteArray(32, '0');
  QByteArray wrong_sum = AppendChecksum(good_write);
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
    EXPECT_TRUE(reply.startsWith("$?C0")) << frame.toStdString() << " -> " << reply.toStdString();
    EXPECT_TRUE(reply.endsWith('\r'));
  }
  EXPECT_EQ(receiver_.Eeprom(), before);
  EXPECT_EQ(receiver_.ReceivedFrames(), bad);
}

TEST_F(VirtualReceiverTest, FramesRequestsByLengthWhateverThePieces) {
  const QByteArray first = AppendChecksum(ReadRequest(1));
  const QByteArray second = AppendChecksum(ReadRequest(2));
  client_->Send("\r\n" + first.left(3));
  client_->Send(first.mid(3) + second);
  QByteArray replies;
  while (replies.count('\r') < 2) {
    const QByteArray more = client_->ReadReply();
    if (more.isEmpty()) break;
    replies += more;
  }
  const EepromBytes bytes = receiver_.Eeprom();
  EXPECT_EQ(replies, "$.EE" + RowHex(bytes, 1) + "\r$.EE" + RowHex(bytes, 2) + "\r");
  EXPECT_EQ(receiver_.ReceivedFrames(), QList<QByteArray>({first, second}));
}

TEST_F(VirtualReceiverTest, KeepsAnsweringAfterTheClientReopens) {
  client_.reset();
  client_ = std::make_unique<PtyClient>(receiver_.device_path());
  ASSERT_TRUE(client_->is_open());
  EXPECT_EQ(client_->Ask(ReadRequest(0)).mid(4, 32), RowHex(receiver_.Eeprom(), 0));
}

TEST_F(VirtualReceiverTest, FirmwareCommandsAndParallelCheck) {
  EXPECT_EQ(client_->Ask("%DL=7FE00000000000040105").at(1), '.');
  EXPECT_EQ(client_->Ask("%FL=FFF9000000001000ABCD").at(1), '.');
  EXPECT_EQ(client_->Ask("%DL?").at(1), '.');
  EXPECT_EQ(client_->Ask("%PR?").at(1), '.');
  receiver_.SetParallelCheckAccepted(false);
  EXPECT_NE(client_->Ask("%PR?").at(1), '.');
  const QList<UpgradeRequest> asked = receiver_.UpgradeRequests();
  ASSERT_EQ(asked.size(), 2);
  EXPECT_EQ(asked[0].command, 'D');
  EXPECT_EQ(asked[0].address, "7FE00000");
  EXPECT_EQ(asked[0].count, 4u);
  EXPECT_EQ(asked[0].sum, 0x0105);
  EXPECT_EQ(asked[1].command, 'F');
  EXPECT_EQ(asked[1].count, 0x1000u);
}

TEST_F(VirtualReceiverTest, RejectsTheNextRequestsThenServes) {
  ASSERT_TRUE(receiver_.ApplyFault("reject:2"));
  EXPECT_TRUE(client_->Ask(ReadRequest(0)).startsWith("$?C0"));
  EXPECT_TRUE(client_->Ask(ReadRequest(0)).startsWith("$?C0"));
  EXPECT_EQ(client_->Ask(ReadRequest(0)).mid(4, 32), RowHex(receiver_.Eeprom(), 0));
}

TEST_F(VirtualReceiverTest, SilentReceiverReadsButNeverAnswers) {
  receiver_.SetSilent(true);
  const QByteArray frame = AppendChecksum(ReadRequest(4));
  client_->Send(frame);
  EXPECT_TRUE(client_->ReadReply(300).isEmpty());
  EXPECT_EQ(receiver_.ReceivedFrames(), QList<QByteArray>({frame}));
  receiver_.SetSilent(false);
  EXPECT_EQ(client_->Ask(ReadRequest(4)).size(), 37);
}

TEST_F(VirtualReceiverTest, SplitReplyArrivesInPiecesAndReassembles) {
  receiver_.SplitNextReply(3, 60);
  client_->Send(AppendChecksum(ReadRequest(0)));
  const QList<QByteArray> chunks = client_->ReadChunks();
  EXPECT_GE(chunks.size(), 2);
  EXPECT_FALSE(chunks.first().endsWith('\r'));
  EXPECT_EQ(chunks.join(), "$.EE" + RowHex(receiver_.Eeprom(), 0) + "\r");
}

TEST_F(VirtualReceiverTest, MergedRepliesArriveInOneRead) {
  ASSERT_TRUE(receiver_.ApplyFault("merge"));
  client_->Send(AppendChecksum(ReadRequest(0)) + AppendChecksum(ReadRequest(1)));
  const QList<QByteArray> chunks = client_->ReadChunks();
  const EepromBytes bytes = receiver_.Eeprom();
  ASSERT_EQ(chunks.size(), 1);
  EXPECT_EQ(chunks[0], "$.EE" + RowHex(bytes, 0) + "\r$.EE" + RowHex(bytes, 1) + "\r");
  // Held with nothing to follow, a reply still goes out on its own.
  receiver_.MergeNextTwoReplies();
  EXPECT_EQ(client_->Ask(ReadRequest(2)), "$.EE" + RowHex(bytes, 2) + "\r");
}

TEST_F(VirtualReceiverTest, CorruptedAndDelayedReplies) {
  ASSERT_TRUE(receiver_.ApplyFault("corrupt"));
  const QByteArray damaged = client_->Ask(ReadRequest(0));
  ASSERT_EQ(damaged.size(), 37);
  EXPECT_TRUE(damaged.mid(4, 32).contains('G'));
  EXPECT_EQ(client_->Ask(ReadRequest(0)).mid(4, 32), RowHex(receiver_.Eeprom(), 0));
  ASSERT_TRUE(receiver_.ApplyFault("delay:50"));
  EXPECT_EQ(client_->Ask(ReadRequest(0)).mid(4, 32), RowHex(receiver_.Eeprom(), 0));
}

TEST_F(VirtualReceiverTest, PacedRepliesArriveWhole) {
  PortSettings line;
  line.baud = 115200;
  receiver_.SetLineSettings(line);
  receiver_.SetPacing(true);
  for (int row : {0, 0x7F}) {
    EXPECT_EQ(client_->Ask(ReadRequest(row)), "$.EE" + RowHex(receiver_.Eeprom(), row) + "\r");
  }
}

TEST(VirtualReceiverFaults, NamesAreParsedStrictly) {
  VirtualReceiver receiver;
  for (const char* good :
       {"reject:3", "silent", "split:2", "merge", "delay:0", "corrupt", "none"}) {
    EXPECT_TRUE(receiver.ApplyFault(good)) << good;
  }
  for (const char* bad : {"reject", "reject:0", "reject:x", "split:1", "delay:-5", "loud", ""}) {
    EXPECT_FALSE(receiver.ApplyFault(bad)) << bad;
  }
}

TEST(VirtualReceiverEeprom, LoadsOnlyWholeImages) {
  QTemporaryDir dir;
  auto write = [&](const QString& name, qsizetype size) {
    QFile file(dir.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    QByteArray data(size, 0);
    for (qsizetype i = 0; i < size; ++i) data[i] = static_cast<char>(i % 251);
    file.write(data);
    return file.fileName();
  };
  VirtualReceiver receiver;
  const EepromBytes before = receiver.Eeprom();
  QString error;
  for (qsizetype size : {0, 2047, 2049}) {
    EXPECT_FALSE(receiver.LoadEepromFile(write("bad.bin", size), &error)) << size;
    EXPECT_TRUE(error.contains(QString::number(size))) << error.toStdString();
  }
  EXPECT_FALSE(receiver.LoadEepromFile(dir.filePath("missing.bin"), &error));
  EXPECT_EQ(receiver.Eeprom(), before);

  ASSERT_TRUE(receiver.LoadEepromFile(write("good.bin", 2048), &error));
  EXPECT_EQ(receiver.Eeprom()[250], 250);
  EXPECT_EQ(receiver.Eeprom()[251], 0);
  EXPECT_EQ(receiver.Eeprom()[2047], 2047 % 251);
}

}  // namespace
}  // namespace tornavo::sim

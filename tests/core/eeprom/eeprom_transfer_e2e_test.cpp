// Read, write and verify against the virtual receiver's EEPROM through a pseudo-terminal.
#include <gtest/gtest.h>

#include "core/eeprom/eeprom_transfer.h"
#include "support/sim_link.h"
#include "support/wait.h"

namespace tornavo {
namespace {

using testing::SimLink;
using testing::WaitUntil;

sim::EepromBytes Pattern(uint8_t seed) {
  sim::EepromBytes bytes{};
  for (int i = 0; i < sim::kEepromSize; ++i) bytes[i] = static_cast<uint8_t>(i * 13 + seed);
  return bytes;
}

class TransferE2eTest : public ::testing::Test {
 protected:
  TransferE2eTest() : transfer_(sim_.link, sim_.host, sim_.texts, image_, clock_) {
    transfer_.RegisterRoutes();
    sim_.SetTimeoutScale(0.02);  // 300 ms
  }

  bool RunToEnd() {
    return WaitUntil([&] { return !transfer_.running(); }, 20000);
  }
  sim::EepromBytes ImageBytes() const {
    sim::EepromBytes out{};
    const auto bytes = image_.Bytes();
    std::copy(bytes.begin(), bytes.end(), out.begin());
    return out;
  }

  SimLink sim_;
  EepromImage image_;
  SteadyClock clock_;
  EepromTransfer transfer_;
};

TEST_F(TransferE2eTest, WholeReadReturnsExactlyTheReceiversBytes) {
  ASSERT_TRUE(sim_.ready) << sim_.error.toStdString();
  sim_.receiver.SetEeprom(Pattern(5));
  ASSERT_TRUE(transfer_.StartEepromRead(EepromRange::kAll));
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(transfer_.outcome(), TransferOutcome::kDone);
  EXPECT_EQ(ImageBytes(), Pattern(5));
  EXPECT_EQ(sim_.receiver.ReceivedFrames().size(), 128);
  EXPECT_EQ(sim_.host.boxes.back().text, "¡ Eeprom leída con éxito !");
}

TEST_F(TransferE2eTest, WriteLeavesExactlyTheImageInTheReceiverAndVerifyFindsTheDifferingRow) {
  ASSERT_TRUE(sim_.ready) << sim_.error.toStdString();
  const sim::EepromBytes wanted = Pattern(9);
  image_.PlaceBytes(wanted.data(), 0, sim::kEepromSize);
  ASSERT_TRUE(transfer_.StartEepromWrite(EepromRange::kAll));
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(sim_.receiver.Eeprom(), wanted);

  image_.SetCell(0x31, 16, "00");  // address 0x30F, row 0x30
  ASSERT_TRUE(transfer_.StartEepromVerify(EepromRange::kAll));
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(transfer_.differing_rows(), QList<int>{0x30});
  const QStringList& log = sim_.host.Log(LogId::kEeprom);
  EXPECT_EQ(log.count("¡ Esta línea no es igual que la original !"), 1);
  EXPECT_EQ(log.count("Línea verificada."), 127);
  EXPECT_EQ(sim_.host.boxes.back().text, "¡ Verificación completada !\n1 fila diferente: 300");
  EXPECT_EQ(image_.Cell(0x31, 16), "00");  // verify never changes the image
}

TEST_F(TransferE2eTest, FirstElevenRowsAndASingleRow) {
  ASSERT_TRUE(sim_.ready) << sim_.error.toStdString();
  sim_.receiver.SetEeprom(Pattern(1));
  ASSERT_TRUE(transfer_.StartEepromRead(EepromRange::kFirst176));
  ASSERT_TRUE(RunToEnd());
  const QList<QByteArray> frames = sim_.receiver.ReceivedFrames();
  ASSERT_EQ(frames.size(), 11);
  EXPECT_TRUE(frames.last().startsWith("%EE?0A010"));
  EXPECT_EQ(image_.ByteAt(0x0AF), Pattern(1)[0x0AF]);
  EXPECT_EQ(image_.Cell(12, 1), "FF");

  sim_.receiver.ClearReceivedFrames();
  image_.set_selected_row(0x40);
  ASSERT_TRUE(transfer_.StartEepromRead(EepromRange::kSelectedRow));
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(sim_.receiver.ReceivedFrames().size(), 1);
  EXPECT_EQ(image_.ByteAt(0x3F0), Pattern(1)[0x3F0]);
}

TEST_F(TransferE2eTest, RejectionStorms) {
  ASSERT_TRUE(sim_.ready) << sim_.error.toStdString();
  sim_.receiver.SetEeprom(Pattern(3));
  sim_.receiver.RejectNext(9);
  ASSERT_TRUE(transfer_.StartEepromRead(EepromRange::kFirst176));
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(transfer_.outcome(), TransferOutcome::kDone);
  EXPECT_EQ(sim_.receiver.ReceivedFrames().size(), 20);
  EXPECT_EQ(image_.ByteAt(0), Pattern(3)[0]);

  sim_.receiver.RejectNext(10);
  ASSERT_TRUE(transfer_.StartEepromWrite(EepromRange::kAll));
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(transfer_.outcome(), TransferOutcome::kRetryLimit);
  EXPECT_TRUE(sim_.host.boxes.back().error);
  EXPECT_TRUE(sim_.host.pages_enabled);
}

TEST_F(TransferE2eTest, SilenceKeepsTheRowsReadAndEnablesThePages) {
  ASSERT_TRUE(sim_.ready) << sim_.error.toStdString();
  sim_.receiver.SetEeprom(Pattern(7));
  sim_.receiver.SplitNextReply(5);
  ASSERT_TRUE(transfer_.StartEepromRead(EepromRange::kAll));
  ASSERT_TRUE(WaitUntil([&] { return image_.ByteAt(0x10) == Pattern(7)[0x10]; }));
  sim_.receiver.SetSilent(true);
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(transfer_.outcome(), TransferOutcome::kNoReply);
  EXPECT_TRUE(sim_.host.pages_enabled);
  EXPECT_EQ(image_.ByteAt(0x00), Pattern(7)[0x00]);
  EXPECT_EQ(image_.Cell(128, 1), "FF");
}

TEST_F(TransferE2eTest, ReplyDelayedPastTheTimeoutDoesNotRestartTheTransfer) {
  ASSERT_TRUE(sim_.ready) << sim_.error.toStdString();
  sim_.receiver.DelayNextReply(600);
  ASSERT_TRUE(transfer_.StartEepromWrite(EepromRange::kAll));
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(transfer_.outcome(), TransferOutcome::kNoReply);
  const int terminal_lines = static_cast<int>(sim_.host.Log(LogId::kTerminal).size());
  ASSERT_TRUE(WaitUntil([&] { return sim_.host.Log(LogId::kTerminal).size() > terminal_lines; }));
  testing::Pump(200);
  EXPECT_EQ(sim_.receiver.ReceivedFrames().size(), 1);  // nothing more went out
  EXPECT_FALSE(transfer_.running());
}

TEST_F(TransferE2eTest, CorruptedReplyIsAskedForAgainAndNeverStored) {
  ASSERT_TRUE(sim_.ready) << sim_.error.toStdString();
  sim_.receiver.SetEeprom(Pattern(3));
  sim_.receiver.CorruptNextReply();
  ASSERT_TRUE(transfer_.StartEepromRead(EepromRange::kSelectedRow));
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(transfer_.outcome(), TransferOutcome::kDone);
  EXPECT_EQ(sim_.receiver.ReceivedFrames().size(), 2);
  const sim::EepromBytes image = ImageBytes();
  const sim::EepromBytes receiver = Pattern(3);
  EXPECT_TRUE(std::equal(image.begin(), image.begin() + 16, receiver.begin()));
}

}  // namespace
}  // namespace tornavo

// Read, write and verify against the virtual receiver's EEPROM through a pseudo-terminal.
// Ranges, rejections and corrupt replies are proven on a scripted port and in the soak test.
#include <gtest/gtest.h>

#include "core/eeprom/eeprom_transfer.h"
#include "support/sim_link.h"
#include "support/wait.h"

namespace tornavo {
namespace {

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
  // Runs one transfer to its end.
  void Run(EepromTask task, EepromRange range) {
    sim_.receiver.ClearReceivedFrames();
    ASSERT_TRUE(task == EepromTask::kRead    ? transfer_.StartEepromRead(range)
                : task == EepromTask::kWrite ? transfer_.StartEepromWrite(range)
                                             : transfer_.StartEepromVerify(range));
    ASSERT_TRUE(WaitUntil([&] { return !transfer_.running(); }, 20000));
  }
  int Frames() const { return static_cast<int>(sim_.receiver.ReceivedFrames().size()); }
  bool ImageHolds(const sim::EepromBytes& bytes, int from, int to) const {
    const auto image = image_.Bytes();
    return std::equal(image.begin() + from, image.begin() + to, bytes.begin() + from);
  }

  testing::SimLink sim_;
  EepromImage image_;
  SteadyClock clock_;
  EepromTransfer transfer_;
};

TEST_F(TransferE2eTest, ReadWriteAndVerifyCarryExactlyTheBytes) {
  ASSERT_TRUE(sim_.ready) << sim_.error.toStdString();
  sim_.receiver.SetEeprom(Pattern(5));
  Run(EepromTask::kRead, EepromRange::kAll);
  EXPECT_EQ(transfer_.outcome(), TransferOutcome::kDone);
  EXPECT_TRUE(ImageHolds(Pattern(5), 0, kEepromBytes));
  EXPECT_EQ(Frames(), 128);
  EXPECT_EQ(sim_.host.boxes.back().text, "¡ Eeprom leída con éxito !");

  const sim::EepromBytes wanted = Pattern(9);
  image_.PlaceBytes(wanted.data(), 0, sim::kEepromSize);
  Run(EepromTask::kWrite, EepromRange::kAll);
  EXPECT_EQ(sim_.receiver.Eeprom(), wanted);
  image_.SetCell(0x31, 16, "00");  // address 0x30F, row 0x30
  Run(EepromTask::kVerify, EepromRange::kAll);
  EXPECT_EQ(transfer_.differing_rows(), QList<int>{0x30});
  const QStringList& log = sim_.host.Log(LogId::kEeprom);
  EXPECT_EQ(log.count("¡ Esta línea no es igual que la original !"), 1);
  EXPECT_EQ(log.count("Línea verificada."), 127);
  EXPECT_EQ(sim_.host.boxes.back().text, "¡ Verificación completada !\n1 fila diferente: 300");
  EXPECT_EQ(image_.Cell(0x31, 16), "00");  // verify never changes the image
}

TEST_F(TransferE2eTest, SilenceKeepsTheRowsReadAndALateReplyRestartsNothing) {
  ASSERT_TRUE(sim_.ready) << sim_.error.toStdString();
  sim_.receiver.SetEeprom(Pattern(7));
  sim_.receiver.SplitNextReply(5);
  ASSERT_TRUE(transfer_.StartEepromRead(EepromRange::kAll));
  ASSERT_TRUE(WaitUntil([&] { return image_.ByteAt(0x10) == Pattern(7)[0x10]; }));
  sim_.receiver.SetSilent(true);
  ASSERT_TRUE(WaitUntil([&] { return !transfer_.running(); }, 20000));
  EXPECT_EQ(transfer_.outcome(), TransferOutcome::kNoReply);
  EXPECT_TRUE(sim_.host.pages_enabled);
  EXPECT_TRUE(ImageHolds(Pattern(7), 0, 0x20));
  EXPECT_EQ(image_.Cell(128, 1), "FF");

  sim_.receiver.SetSilent(false);
  sim_.receiver.DelayNextReply(600);
  Run(EepromTask::kWrite, EepromRange::kAll);
  EXPECT_EQ(transfer_.outcome(), TransferOutcome::kNoReply);
  const auto terminal_lines = sim_.host.Log(LogId::kTerminal).size();
  ASSERT_TRUE(WaitUntil([&] { return sim_.host.Log(LogId::kTerminal).size() > terminal_lines; }));
  testing::Pump(200);
  EXPECT_EQ(Frames(), 1);  // nothing more went out
  EXPECT_FALSE(transfer_.running());
}

}  // namespace
}  // namespace tornavo

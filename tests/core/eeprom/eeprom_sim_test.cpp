// Read, write and verify against the virtual receiver's EEPROM through a pseudo-terminal.
// The soak runs many cycles with faults thrown in at random moments: after every cycle the
// image and the receiver hold exactly what the transfer's outcome says, and the pages are
// enabled again. TORNAVO_SOAK_CYCLES sets the count (50 by default; 500 for the full soak),
// TORNAVO_SOAK_PACING=1 runs at line speed. Ranges, rejections and corrupt replies are
// proven on a scripted port.
#include <gtest/gtest.h>

#include <QTimer>
#include <random>
#include <vector>

#include "core/eeprom/eeprom_transfer.h"
#include "support/sim_link.h"
#include "support/wait.h"

namespace tornavo {
namespace {

using testing::SimLink;
using testing::WaitUntil;

using Bytes = sim::EepromBytes;

Bytes Pattern(uint8_t seed) {
  Bytes bytes{};
  for (int i = 0; i < sim::kEepromSize; ++i) bytes[i] = static_cast<uint8_t>(i * 13 + seed);
  return bytes;
}

bool SameRow(const Bytes& a, const Bytes& b, int row) {
  return std::equal(a.begin() + row * kEepromColumns, a.begin() + (row + 1) * kEepromColumns,
                    b.begin() + row * kEepromColumns);
}

// The rows of a range that a transfer reached form a prefix: from the first row where
// `after` is not `done`, every row is still as `before` had it. Outside the range nothing
// moves. Returns the rows reached, or -1 when that does not hold.
int CheckPrefix(const Bytes& before, const Bytes& after, const Bytes& done,
                const EepromRows& range) {
  int reached = 0;
  bool stopped = false;
  for (int row = 0; row < kEepromRows; ++row) {
    if (!range.test(row)) {
      if (!SameRow(before, after, row)) return -1;
      continue;
    }
    if (!stopped && SameRow(after, done, row)) {
      ++reached;
      continue;
    }
    stopped = true;
    if (!SameRow(before, after, row)) return -1;
  }
  return reached;
}

class SimTransferTest : public ::testing::Test {
 protected:
  SimTransferTest() : transfer_(sim_.link, sim_.host, sim_.texts, image_, clock_) {
    transfer_.RegisterRoutes();
    // 1500 ms: far longer than any fault's hold, so that only silence times out even on a
    // busy machine.
    sim_.SetTimeoutScale(0.1);
  }

  bool Start(EepromTask task, EepromRange range) {
    return task == EepromTask::kRead    ? transfer_.StartEepromRead(range)
           : task == EepromTask::kWrite ? transfer_.StartEepromWrite(range)
                                        : transfer_.StartEepromVerify(range);
  }
  // Runs one transfer to its end.
  void Run(EepromTask task, EepromRange range) {
    sim_.receiver.ClearReceivedFrames();
    ASSERT_TRUE(Start(task, range));
    ASSERT_TRUE(WaitUntil([&] { return !transfer_.running(); }, 20000));
  }

  // One fault, now; kinds past 4 are no fault this time.
  void Inject(int kind) {
    sim::VirtualReceiver& receiver = sim_.receiver;
    // Ten or more rejections in a row reach the retry limit.
    if (kind == 0)
      receiver.RejectNext(static_cast<int>(random_() % 2 ? 1 + random_() % 9 : 10 + random_() % 3));
    if (kind == 1) receiver.SetSilent(true);
    if (kind == 2) receiver.SplitNextReply(2 + static_cast<int>(random_() % 6), 1);
    if (kind == 3) receiver.MergeNextTwoReplies();
    if (kind == 4) receiver.CorruptNextReply();
  }

  SimLink sim_;
  EepromImage image_;
  SteadyClock clock_;
  EepromTransfer transfer_;
  std::mt19937 random_{20261207};
};

TEST_F(SimTransferTest, EveryCycleEndsWithImageReceiverAndPagesAsTheOutcomeSays) {
  ASSERT_TRUE(sim_.ready) << sim_.error.toStdString();
  sim_.receiver.SetPacing(qEnvironmentVariableIntValue("TORNAVO_SOAK_PACING") != 0);
  bool set = false;
  int cycles = qEnvironmentVariableIntValue("TORNAVO_SOAK_CYCLES", &set);
  if (!set) cycles = 50;
  int outcomes[3] = {};
  for (int cycle = 0; cycle < cycles; ++cycle) {
    SCOPED_TRACE(::testing::Message() << "cycle " << cycle);
    // A few rows of the image changed, so that writes and verifies have something to do.
    for (int n = static_cast<int>(random_() % 4); n > 0; --n) {
      const int row = static_cast<int>(random_() % kEepromRows);
      for (int c = 1; c <= kEepromColumns; ++c)
        image_.SetCell(row + 1, c, ByteText(static_cast<uint8_t>(random_())));
    }
    const auto task = static_cast<EepromTask>(random_() % 3);
    const auto range = static_cast<EepromRange>(random_() % 3);
    image_.set_selected_row(1 + static_cast<int>(random_() % kEepromRows));
    const Bytes image_before = image_.Bytes();
    const Bytes receiver_before = sim_.receiver.Eeprom();
    const size_t boxes_before = sim_.host.boxes.size();

    const int fault = static_cast<int>(random_() % 8);
    const int when_ms = static_cast<int>(random_() % 40);
    if (when_ms < 15)
      Inject(fault);
    else
      QTimer::singleShot(when_ms, [this, fault] { Inject(fault); });
    ASSERT_TRUE(Start(task, range));
    ASSERT_TRUE(WaitUntil([&] { return !transfer_.running(); }, 60000));
    // A fault due after the end comes, and goes with the rest; after a time-out, a reply
    // that was late after all is let through before the next request could take it.
    testing::Pump(transfer_.outcome() == TransferOutcome::kNoReply ? 300 : when_ms);
    sim_.receiver.ClearFaults();

    const TransferOutcome outcome = transfer_.outcome();
    ASSERT_TRUE(outcome == TransferOutcome::kDone || outcome == TransferOutcome::kRetryLimit ||
                outcome == TransferOutcome::kNoReply);
    ++outcomes[static_cast<int>(outcome) - static_cast<int>(TransferOutcome::kDone)];
    EXPECT_TRUE(sim_.host.pages_enabled);
    ASSERT_EQ(sim_.host.boxes.size(), boxes_before + 1);
    // A verify that found differing rows ends on an error box too.
    EXPECT_EQ(sim_.host.boxes.back().error,
              outcome != TransferOutcome::kDone ||
                  (task == EepromTask::kVerify && !transfer_.differing_rows().isEmpty()));
    const EepromRows rows = transfer_.rows();
    const Bytes image_after = image_.Bytes();
    const Bytes receiver_after = sim_.receiver.Eeprom();
    for (const QString& cell : image_.cells())
      ASSERT_TRUE(IsValidCellText(cell)) << cell.toStdString();

    int reached = 0;
    if (task == EepromTask::kRead) {
      EXPECT_EQ(receiver_after, receiver_before);
      reached = CheckPrefix(image_before, image_after, receiver_after, rows);
    } else if (task == EepromTask::kWrite) {
      EXPECT_EQ(image_after, image_before);
      reached = CheckPrefix(receiver_before, receiver_after, image_after, rows);
    } else {
      EXPECT_EQ(image_after, image_before);
      EXPECT_EQ(receiver_after, receiver_before);
      if (outcome == TransferOutcome::kDone) {
        // As vectors: comparing two empty QLists hands memcmp a null pointer.
        std::vector<int> differing;
        for (int row = 0; row < kEepromRows; ++row)
          if (rows.test(row) && !SameRow(image_after, receiver_after, row))
            differing.push_back(row);
        const QList<int>& reported = transfer_.differing_rows();
        EXPECT_EQ(std::vector<int>(reported.begin(), reported.end()), differing);
      }
    }
    ASSERT_GE(reached, 0) << "rows changed outside the reached prefix or the range";
    if (task != EepromTask::kVerify && outcome == TransferOutcome::kDone) {
      EXPECT_EQ(reached, static_cast<int>(rows.count()));
    }
  }
  // The faults did reach every ending.
  for (int outcome : outcomes) EXPECT_TRUE(cycles < 50 || outcome > 0);
}

TEST_F(SimTransferTest, VerifyAsksForEveryRowOnceAndNamesTheOneThatDiffers) {
  ASSERT_TRUE(sim_.ready) << sim_.error.toStdString();
  sim_.receiver.SetEeprom(Pattern(9));
  image_.PlaceBytes(Pattern(9).data(), 0, sim::kEepromSize);
  image_.SetCell(0x31, 16, "00");  // address 0x30F, row 0x30
  Run(EepromTask::kVerify, EepromRange::kAll);
  EXPECT_EQ(sim_.receiver.ReceivedFrames().size(), 128);
  const QStringList& log = sim_.host.Log(LogId::kEeprom);
  EXPECT_EQ(log.count("¡ Esta línea no es igual que la original !"), 1);
  EXPECT_EQ(log.count("Línea verificada."), 127);
  EXPECT_EQ(sim_.host.boxes.back().text, "¡ Verificación completada !\n1 fila diferente: 300");
}

}  // namespace
}  // namespace tornavo

#include "core/jtag/debug_unit.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <deque>
#include <vector>

#include "core/jtag/jtag_texts.h"
#include "core/jtag/tap_driver.h"
#include "core/lpt/step_clock.h"
#include "sim/jtag_target.h"
#include "sim/trap_stand_in.h"
#include "support/recording_host.h"

namespace tornavo {
namespace {

constexpr uint32_t kTrap = 0x40010000;
constexpr uint32_t kScratch = 0x40001000;

class DebugUnitTest : public ::testing::Test {
 protected:
  DebugUnitTest() { timing_.wait_start_bits = 64; }

  // Writes a stand-in routine into the temporary folder and returns where it lies.
  QStringList TrapPlaces() {
    const QString path = dir_.filePath(QStringLiteral("trap.bin"));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(sim::TrapStandIn());
    return {path};
  }
  const QString& LastBox() const { return host_.boxes.back().text; }

  QTemporaryDir dir_;
  sim::JtagTarget target_;
  JtagState state_;
  JtagTiming timing_;
  testing::StepClock clock_;
  testing::RecordingHost host_;
  Texts texts_;
  TapDriver tap_{target_, state_, timing_};
  DebugUnit unit_{tap_, clock_, host_, texts_};
};

TEST_F(DebugUnitTest, WordsAndBlocksRoundTripThroughTargetMemory) {
  uint32_t value = 0;
  ASSERT_TRUE(unit_.DcuReadWord(0x80000048, &value));
  EXPECT_EQ(value, sim::kTargetCommandBlock);
  ASSERT_TRUE(unit_.DcuWriteWord(kScratch, 0x11223344));
  EXPECT_EQ(target_.Memory(kScratch, 4), QByteArray("\x44\x33\x22\x11", 4));

  std::vector<uint8_t> data(252);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7);
  EXPECT_EQ(unit_.DcuWriteBlock(kScratch, data.data(), 252), 252);
  std::vector<uint8_t> back(257);
  EXPECT_EQ(unit_.DcuReadBlock(kScratch, back), 256);
  EXPECT_TRUE(std::equal(data.begin(), data.end(), back.begin()));

  // A six-byte block goes out under header 4: only the first word lands.
  EXPECT_EQ(unit_.DcuWriteBlock(kScratch + 0x400, data.data() + 1, 6), 6);
  EXPECT_EQ(target_.Memory(kScratch + 0x400, 8), QByteArray("\x07\x0E\x15\x1C\0\0\0\0", 8));
}

TEST_F(DebugUnitTest, ReadHeaderLowBitsAreIgnoredAndShortBlocksNeverRunPastTheBuffer) {
  std::vector<uint8_t> block(257);
  target_.SetFaults({.header_tag = 3});
  EXPECT_EQ(unit_.DcuReadBlock(kScratch, block), 256);  // header 0x03: zero means 256
  target_.SetFaults({.short_read = 64, .header_tag = 1});
  EXPECT_EQ(unit_.DcuReadBlock(kScratch, block), 64);  // header 0x41

  // 0x100 bytes rounded to a 257-byte buffer; blocks of 252 would reach byte 504.
  target_.SetFaults({.short_read = 252});
  std::vector<uint8_t> guarded(257 + 256, 0xEE);
  EXPECT_EQ(unit_.ReadRangeWithProgress(std::span(guarded).first(257), sim::kRamStart, 0x100),
            257u);
  for (size_t i = 257; i < guarded.size(); ++i) ASSERT_EQ(guarded[i], 0xEE) << i;
}

TEST_F(DebugUnitTest, TenByteRangeWriteKeepsTheBytesAfterItsTail) {
  target_.Load(kScratch, QByteArray(16, '\xAA'));
  const QByteArray data("0123456789");
  const auto* bytes = reinterpret_cast<const uint8_t*>(data.constData());
  EXPECT_EQ(unit_.WriteRangeWithProgress(bytes, kScratch, 0x100, 0, 10), 10u);
  EXPECT_EQ(target_.Memory(kScratch, 16), data + QByteArray(6, '\xAA'));
  EXPECT_EQ(host_.Status(StatusPage::kJtag, StatusField::kAddress), "00000108");
  EXPECT_EQ(host_.panels[static_cast<int>(StatusPage::kJtag)].done, 8);
}

// Forwards to a target until the cable is cut after a number of register reads; from then
// on TDO floats high, as with nothing on the cable.
class CutCable : public PortRegisters {
 public:
  CutCable(PortRegisters& target, int cut_after) : target_(target), left_(cut_after) {}
  bool Acquire(QString* error) override { return target_.Acquire(error); }
  void Release() override { target_.Release(); }
  uint8_t Read(PortRegister reg) override {
    ++reads;
    if (left_-- <= 0) return 0xFF;
    return target_.Read(reg);
  }
  void Write(PortRegister reg, uint8_t value) override {
    if (left_ > 0) target_.Write(reg, value);
  }
  int reads = 0;

 private:
  PortRegisters& target_;
  int left_;
};

TEST_F(DebugUnitTest, RangeWriteCountsOnlyBytesTheTargetHolds) {
  const QByteArray data("12345");
  const auto* bytes = reinterpret_cast<const uint8_t*>(data.constData());
  // Wherever the cable is cut, the bytes counted as written are in the target.
  for (int cut = 0;; cut += 13) {
    sim::JtagTarget target;
    target.Load(kScratch, QByteArray(8, '\xAA'));
    CutCable cable(target, cut);
    JtagState state;
    TapDriver tap(cable, state, timing_);
    DebugUnit unit(tap, clock_, host_, texts_);
    const uint32_t written = unit.WriteRangeWithProgress(bytes, kScratch, 0, 0, 5);
    ASSERT_LE(written, 5u);
    EXPECT_EQ(target.Memory(kScratch, written), data.left(written)) << "cut after " << cut;
    if (cable.reads < cut) {
      EXPECT_EQ(written, 5u);
      break;
    }
  }
}

// The virtual target takes writes outside the reset bracket too, so the log shows it. Progress
// is shown where a write chunk (252) or a read block (256) ends on a multiple of 15.
TEST_F(DebugUnitTest, RamImageGoesInsideTheResetBracketAndProgressShowsEveryFifteen) {
  target_.Load(0x401289A0 + 1262, QByteArray(2, '\x77'));
  QByteArray image;
  for (int i = 0; i < 1262; ++i) image.append(static_cast<char>(i % 251 + 1));
  const auto* bytes = reinterpret_cast<const uint8_t*>(image.constData());
  EXPECT_EQ(unit_.LoadRamImage(bytes, 0x401289A0, 1262), 1262u);
  EXPECT_EQ(target_.Memory(0x401289A0, 1264), image + QByteArray(2, '\x77'));
  EXPECT_EQ(host_.Log(LogId::kJtag),
            (QStringList{"Reset DCU activado", "Estado de la DCU : Run-Test/Idle",
                         "Enviando archivo...", "Reset DCU desactivado"}));
  std::vector<uint8_t> buffer(0x1001);
  EXPECT_EQ(unit_.ReadRangeWithProgress(buffer, kScratch, 0x1000), 0x1000u);
  // 1260 for the chunks, the body's end, then 0xF00 among the read blocks.
  EXPECT_EQ(host_.progress_history[static_cast<int>(StatusPage::kJtag)],
            (std::vector<int>{1260, 1260, 0xF00}));
}

TEST_F(DebugUnitTest, LinkFaultsFailTheMessages) {
  target_.SetFaults({.no_ack = true});
  EXPECT_FALSE(unit_.DcuWriteWord(kScratch, 1));
  const uint8_t four[4] = {1, 2, 3, 4};
  EXPECT_EQ(unit_.DcuWriteBlock(kScratch, four, 4), 0);
  EXPECT_EQ(target_.Memory(kScratch, 4), QByteArray(4, '\0'));

  // A busy target holds the search long past the limit; a silent one ends it.
  target_.SetFaults({.busy_patterns = 200});
  uint32_t value = 0;
  EXPECT_TRUE(unit_.DcuReadWord(0x80000048, &value));
  target_.SetFaults({.slow_start = 200});
  EXPECT_FALSE(unit_.DcuReadWord(0x80000048, &value));
  EXPECT_TRUE(host_.boxes.empty());
  EXPECT_FALSE(unit_.DcuReadWord(0x3000, &value));
  ASSERT_EQ(host_.boxes.size(), 1u);
  EXPECT_EQ(LastBox(), texts_.Slot(jtag_slot::kDcuStatusUnreadable));

  target_.SetFaults({.late_ack = true});
  EXPECT_TRUE(unit_.DcuWriteWord(kScratch, 0x01020304));
  EXPECT_EQ(target_.Memory(kScratch, 4), QByteArray("\x04\x03\x02\x01", 4));
}

TEST_F(DebugUnitTest, MissingTrapNamesEveryPlaceLooked) {
  const QStringList places = TrapFilePlaces(dir_.filePath("bin"), dir_.filePath("INIs"));
  ASSERT_EQ(places.size(), 2);
  EXPECT_FALSE(unit_.StartTrap(kTrap, places));
  ASSERT_EQ(host_.boxes.size(), 1u);
  EXPECT_TRUE(LastBox().startsWith("No se ha encontrado el fichero trap.bin"));
  for (const QString& place : places)
    EXPECT_TRUE(LastBox().contains(QDir::toNativeSeparators(place)));
  EXPECT_FALSE(state_.trap_started);
  EXPECT_EQ(TrapFilePlaces("a", "b", "x/t.bin"), QStringList{"x/t.bin"});
}

// The trap's answer is awaited for at most 99 further reads; once started, later operations
// do not load it again.
TEST_F(DebugUnitTest, TrapStartsOnceAndItsAnswerIsAwaitedForNinetyNineFurtherReads) {
  const QStringList places = TrapPlaces();
  ASSERT_TRUE(unit_.StartTrap(kTrap, places));
  EXPECT_TRUE(state_.trap_started);
  EXPECT_TRUE(target_.trap_running());
  EXPECT_EQ(target_.reads_of(0x3004), 1);  // answering on the first read takes no further read
  EXPECT_EQ(state_.command_block, sim::kTargetCommandBlock);
  EXPECT_EQ(target_.Memory(kTrap, 696), sim::TrapStandIn());
  EXPECT_EQ(target_.Memory(0x8000004C, 4), QByteArray("\x00\x00\x01\x40", 4));

  for (const int late : {99, 100}) {
    sim::JtagTarget target;
    target.SetFaults({.trap_late_reads = late});
    JtagState state;
    TapDriver tap(target, state, timing_);
    DebugUnit unit(tap, clock_, host_, texts_);
    EXPECT_EQ(unit.StartTrap(kTrap, places), late == 99) << late;
    EXPECT_EQ(state.trap_started, late == 99);
    EXPECT_EQ(target.reads_of(0x3004), late + 1);
  }

  ASSERT_TRUE(QFile::remove(places.front()));
  unit_.DcuResetSequence();
  EXPECT_TRUE(unit_.StartTrap(kTrap, places));
  EXPECT_TRUE(host_.boxes.empty());
}

TEST_F(DebugUnitTest, TrapThatNeverAnswersOrShortFileLeavesTheFlagClear) {
  target_.SetFaults({.trap_silent = true});
  EXPECT_FALSE(unit_.StartTrap(kTrap, TrapPlaces()));
  EXPECT_FALSE(state_.trap_started);
  EXPECT_TRUE(host_.boxes.empty());  // the caller reports it

  QFile file(dir_.filePath("short.bin"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(QByteArray(100, '\x01'));
  file.close();
  target_.SetFaults({});
  EXPECT_FALSE(unit_.StartTrap(kTrap + 0x1000, {file.fileName()}));
  ASSERT_EQ(host_.boxes.size(), 1u);
  EXPECT_EQ(LastBox(), "Fallo en la inicialización de la rutina Trap");
  EXPECT_EQ(target_.Memory(kTrap + 0x1000, 4), QByteArray(4, '\0'));  // nothing half-written

  // Started, then nothing the target says reaches the host: a poll ending on a failed read is a
  // failure. (The trap's commands themselves are driven by the flash programming and dump tests.)
  ASSERT_TRUE(unit_.StartTrap(kTrap, TrapPlaces()));
  target_.SetFaults({.slow_start = 200});
  std::vector<uint8_t> out(257);
  EXPECT_FALSE(unit_.TrapEraseChip(0x60000000));
  EXPECT_EQ(unit_.TrapReadEeprom(kTrap, 0, 0x100, out), 0u);
}

// The TAP driver under the debug unit, against a cable whose far end is scripted bit by bit.
using Bits = std::vector<int>;

// A cable with a scripted far end: each status read takes the next TDO level from the
// script (idle_tdo once it runs out); every data write is kept, and each rising TCK edge is
// kept with the TMS and TDI levels it clocked in.
class ScriptedJtagPort : public PortRegisters {
 public:
  bool Acquire(QString*) override { return true; }
  void Release() override {}
  uint8_t Read(PortRegister reg) override {
    if (reg == PortRegister::kData) return data;
    if (reg != PortRegister::kStatus) return 0;
    ++samples;
    bool tdo = idle_tdo;
    if (!tdo_script.empty()) {
      tdo = tdo_script.front();
      tdo_script.pop_front();
    }
    return tdo ? JtagMask(JtagSignal::kTdo) : 0;
  }
  void Write(PortRegister reg, uint8_t value) override {
    if (reg != PortRegister::kData) return;
    writes.push_back(value);
    const uint8_t tck = JtagMask(JtagSignal::kTck);
    if ((value & tck) && !(data & tck)) {
      tms.push_back((value & JtagMask(JtagSignal::kTms)) != 0);
      tdi.push_back((value & JtagMask(JtagSignal::kTdi)) != 0);
    }
    data = value;
  }
  void Script(std::initializer_list<int> bits) {
    for (int b : bits) tdo_script.push_back(b != 0);
  }
  void ClearEdges() { tms.clear(), tdi.clear(); }

  uint8_t data = 0;
  bool idle_tdo = false;
  int samples = 0;
  std::deque<bool> tdo_script;
  std::vector<uint8_t> writes;
  Bits tms, tdi;  // at each rising TCK edge
};

class TapDriverTest : public ::testing::Test {
 protected:
  ScriptedJtagPort port_;
  JtagState state_;
  JtagTiming timing_;
  TapDriver tap_{port_, state_, timing_};
};

TEST_F(TapDriverTest, ResetLineIsWrittenEvenWhenTheCacheAlreadyHoldsIt) {
  state_.output_cache = 0x08;
  state_.data_scan = true;
  tap_.SetDcuReset(true);
  ASSERT_FALSE(port_.writes.empty());
  EXPECT_EQ(port_.writes.front(), 0x08);
  EXPECT_EQ(port_.data, 0x08);
  EXPECT_EQ(state_.output_cache, 0x08);
  EXPECT_FALSE(state_.data_scan);
  // Later clocks keep the reset line up, and TCK is the only bit that moves.
  port_.writes.clear();
  tap_.JtagClock(false, false, false);
  EXPECT_EQ(port_.writes, (std::vector<uint8_t>{0x0A, 0x08}));
}

// The virtual target would take a link left in Capture-DR, and a TAP reset before every
// message: the path into Shift-DR, taken once, is checked here. The reset, instruction and
// IDCODE scans themselves are driven through the pin-level target by the operation tests.
TEST_F(TapDriverTest, EnterDataScanLoadsTheLinkInstructionOnce) {
  tap_.EnterDataScan();
  EXPECT_TRUE(state_.data_scan);
  // Reset (6), instruction (10), into Shift-DR (3).
  EXPECT_EQ(port_.tms.size(), 19u);
  EXPECT_EQ(Bits(port_.tms.end() - 3, port_.tms.end()), (Bits{1, 0, 0}));
  tap_.EnterDataScan();
  EXPECT_EQ(port_.tms.size(), 19u);
}

TEST_F(TapDriverTest, StartSearchRunsOutAfterLimitClocksOfSilenceAndRestartsOnBusy) {
  EXPECT_FALSE(tap_.WaitStartPattern(0));
  EXPECT_EQ(port_.samples, 0);
  EXPECT_FALSE(tap_.WaitStartPattern(10));
  EXPECT_EQ(port_.samples, 10);

  // A target repeating 0, 1, 0 far past the limit keeps the search alive.
  port_.samples = 0;
  for (int i = 0; i < 100; ++i) port_.Script({0, 1, 0});
  port_.Script({0, 1, 1});
  EXPECT_TRUE(tap_.WaitStartPattern(4));
  EXPECT_EQ(port_.samples, 303);
}

TEST_F(TapDriverTest, AckSearchDoesNotRestartOnBusy) {
  for (int i = 0; i < 10; ++i) port_.Script({1, 1, 1});
  EXPECT_FALSE(tap_.WaitAckPattern(5));
  EXPECT_EQ(port_.samples, 5);
  port_.tdo_script.clear();
  port_.Script({1, 1, 0, 1, 0});
  EXPECT_TRUE(tap_.WaitAckPattern(64));
}

TEST_F(TapDriverTest, WriteByteSendsStartBitsThenDataLeastSignificantFirst) {
  port_.Script({0, 1});  // accepted early, on the second data bit
  EXPECT_TRUE(tap_.LinkWriteByte(0xA5));
  EXPECT_EQ(port_.tdi, (Bits{0, 1, 1, 1, 0, 1, 0, 0, 1, 0, 1, 0}));
  EXPECT_EQ(port_.tms, Bits(12, 0));
  EXPECT_EQ(port_.samples, 8);

  // A TDO that floats high (nothing on the cable) accepts nothing, in the data bits or after.
  port_.ClearEdges();
  port_.idle_tdo = true;
  EXPECT_FALSE(tap_.LinkWriteByte(0x00));
  EXPECT_EQ(port_.tms.size(), 3u + 8u + 64u + 1u);

  // Not accepted in the data bits: a late 0, 1, 0 within 64 clocks still accepts.
  port_.ClearEdges();
  port_.idle_tdo = false;
  port_.Script({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0});
  EXPECT_TRUE(tap_.LinkWriteByte(0x5A));
  EXPECT_EQ(port_.tms.size(), 3u + 8u + 4u + 1u);

  port_.ClearEdges();
  EXPECT_FALSE(tap_.LinkWriteByte(0x5A));
  EXPECT_EQ(port_.tms.size(), 3u + 8u + 64u + 1u);
}

TEST_F(TapDriverTest, WriteWordSendsAllFourBytesEvenWhenTheFirstIsRefused) {
  // First byte: silence through its data bits and its 64-clock wait. Then three accepted.
  for (int i = 0; i < 8 + 64; ++i) port_.tdo_script.push_back(false);
  for (int i = 0; i < 3; ++i) port_.Script({0, 1, 0, 0, 0, 0, 0, 0});
  EXPECT_FALSE(tap_.LinkWriteWord(0x44332211));
  const Bits& tdi = port_.tdi;
  ASSERT_EQ(tdi.size(), (3u + 8u + 64u + 1u) + 3u * 12u);
  // The last byte, 0x44, closes the stream.
  EXPECT_EQ(Bits(tdi.end() - 12, tdi.end()), (Bits{0, 1, 1, 0, 0, 1, 0, 0, 0, 1, 0, 0}));
}

TEST_F(TapDriverTest, ReadByteFindsTheStartAndDrivesTdiOnTheFifthBitOnly) {
  port_.Script({0, 0, 0, 1, 1});           // silence, then 0, 1, 1
  port_.Script({1, 0, 1, 0, 0, 1, 0, 1});  // 0xA5, least significant first
  uint8_t byte = 0;
  EXPECT_TRUE(tap_.LinkReadByte(&byte));
  EXPECT_EQ(byte, 0xA5);
  EXPECT_EQ(port_.tdi, (Bits{0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0}));

  timing_.wait_start_bits = 16;
  byte = 0x55;
  EXPECT_FALSE(tap_.LinkReadByte(&byte));
  EXPECT_EQ(byte, 0);
}

}  // namespace
}  // namespace tornavo

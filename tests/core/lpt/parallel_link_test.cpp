// The host side of the link against the virtual peripheral, on a clock that moves one
// millisecond per read: negotiation outcomes and the exact control writes; and the delays and
// bounded waits under it. The byte handshake and its recovery are the link transfer tests'.
#include "core/lpt/parallel_link.h"

#include <gtest/gtest.h>

#include <map>

#include "core/lpt/step_clock.h"
#include "core/lpt/timing.h"
#include "core/texts/texts.h"
#include "sim/parallel_peripheral.h"

namespace tornavo {
namespace {

using Bytes = std::vector<uint8_t>;

// Forwards to the peripheral and keeps the values written, by register.
class RecordingPort : public PortRegisters {
 public:
  explicit RecordingPort(PortRegisters& inner) : inner_(inner) {}
  bool Acquire(QString* error) override { return inner_.Acquire(error); }
  void Release() override { inner_.Release(); }
  uint8_t Read(PortRegister reg) override { return inner_.Read(reg); }
  void Write(PortRegister reg, uint8_t value) override {
    writes[reg].push_back(value);
    inner_.Write(reg, value);
  }
  std::map<PortRegister, Bytes> writes;

 private:
  PortRegisters& inner_;
};

class ParallelLinkTest : public ::testing::Test {
 protected:
  QString OpenWith(const sim::PeripheralFaults& faults) {
    peripheral_.SetFaults(faults);
    link_.OpenParallelLink();
    return state_;
  }
  Bytes& Control() { return port_.writes[PortRegister::kControl]; }

  sim::ParallelPeripheral peripheral_;
  RecordingPort port_{peripheral_};
  testing::StepClock clock_;
  ParallelPort parallel_{port_, clock_};
  Texts texts_;
  LinkDelays delays_;
  QString state_;
  ParallelLink link_{parallel_, delays_, state_};
};

TEST_F(ParallelLinkTest, NoDataOpenEndsWithBitsFourAndOneAndTerminationClearsBitFourFirst) {
  EXPECT_EQ(OpenWith({}), "DNA");
  EXPECT_EQ(Control(), (Bytes{0x0C, 0x08, 0x0C, 0x06, 0x07, 0x04, 0x14, 0x16}));
  EXPECT_EQ(port_.writes[PortRegister::kExtControl], Bytes{0x34});
  EXPECT_EQ(port_.writes[PortRegister::kData], (Bytes{0x00, 0x00}));
  EXPECT_EQ(link_.TakeFailure(), std::nullopt);

  port_.writes.clear();
  EXPECT_TRUE(link_.TerminateLink());
  EXPECT_EQ(Control(), (Bytes{0x06, 0x0C, 0x0E, 0x0C}));
  EXPECT_EQ(state_, "CPT");
}

TEST_F(ParallelLinkTest, NegotiationOutcomes) {
  EXPECT_EQ(OpenWith({.data_available = true}), "DA");
  // No interrupt-enable writes after a negotiation with data.
  EXPECT_EQ(Control().back(), 0x04);
  EXPECT_TRUE(link_.TerminateLink());

  for (const auto& [faults, message] :
       {std::pair<sim::PeripheralFaults, const char*>{
            {.silent_at_event2 = true},
            "Ha pasado el tiempo de espera en la fase 2 de negociación."},
        {{.ack_low_at_event6 = true}, "Error en la fase 6 de negociación. Ack Low"},
        {{.select_high_at_event6 = true}, "Error en la fase 6 de negociación. Select High"}}) {
    EXPECT_EQ(OpenWith(faults), "ERROR") << message;
    const std::optional<int> failure = link_.TakeFailure();
    ASSERT_TRUE(failure.has_value()) << message;
    EXPECT_EQ(texts_.Slot(*failure), message);
    EXPECT_EQ(link_.TakeFailure(), std::nullopt) << "taken once";
    // Forced back to compatibility: SelectIn set; Strobe, AutoFeed, Init, interrupts clear.
    EXPECT_EQ(Control().back() & 0x1F, 0x08) << message;
  }
}

TEST(SpinDelayTest, RunsNPlusOnePassesOnEightAndThirtyTwoBitCounters) {
  EXPECT_EQ(SpinDelay(0), 1u);
  EXPECT_EQ(SpinDelay(10), 11u);
  EXPECT_EQ(SpinDelay(255), 256u);
  EXPECT_EQ(SpinDelayWide(0), 1u);
  EXPECT_EQ(SpinDelayWide(10000), 10001u);
  EXPECT_EQ(SpinDelayWide(-1), 0u);
  // Only the low 32 bits count, as a signed number.
  EXPECT_EQ(SpinDelayWide(0x100000005LL), 6u);
  EXPECT_EQ(SpinDelayWide(0x80000000LL), 0u);
}

TEST(WaitTest, BoundedWaitChecksTheConditionBeforeTheClock) {
  testing::StepClock clock;
  int polls = 0;
  EXPECT_TRUE(WaitFor(clock, 0, [&] { return ++polls > 0; }));
  EXPECT_EQ(polls, 1);
  // One read to set the deadline, none to decide.
  EXPECT_EQ(clock.reads, 1);

  polls = 0;
  EXPECT_TRUE(WaitFor(clock, 100, [&] { return ++polls == 40; }));
  EXPECT_FALSE(WaitFor(clock, 100, [] { return false; }));
}

TEST(WaitTest, WaitsLastTheirLengthAcrossTheThirtyTwoBitWrap) {
  // A 32-bit tick count would wrap 10 ms into these waits and end them at once.
  testing::StepClock clock(0xFFFFFFF6u);
  const uint64_t start = clock.now;
  WaitMs(clock, 100);
  EXPECT_GT(clock.now - start, 100u);

  const uint64_t bounded_start = clock.now;
  EXPECT_FALSE(WaitFor(clock, 50, [] { return false; }));
  EXPECT_GT(clock.now - bounded_start, 50u);
}

}  // namespace
}  // namespace tornavo

#include "core/lpt/timing.h"

#include <gtest/gtest.h>

#include "core/lpt/step_clock.h"

namespace tornavo {
namespace {

using testing::StepClock;

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
  StepClock clock;
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
  StepClock clock(0xFFFFFFF6u);
  const uint64_t start = clock.now;
  WaitMs(clock, 100);
  EXPECT_GT(clock.now - start, 100u);

  const uint64_t bounded_start = clock.now;
  EXPECT_FALSE(WaitFor(clock, 50, [] { return false; }));
  EXPECT_GT(clock.now - bounded_start, 50u);
}

}  // namespace
}  // namespace tornavo

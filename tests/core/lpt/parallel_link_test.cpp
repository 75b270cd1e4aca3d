// The host side of the link against the virtual peripheral, on a clock that moves one
// millisecond per read: negotiation outcomes and the exact control writes. The byte handshake
// and its recovery are the link transfer tests'.
#include "core/lpt/parallel_link.h"

#include <gtest/gtest.h>

#include "core/lpt/recording_port.h"
#include "core/lpt/step_clock.h"
#include "core/texts/texts.h"
#include "sim/parallel_peripheral.h"

namespace tornavo {
namespace {

using testing::RecordingPort;
using testing::StepClock;
using Bytes = std::vector<uint8_t>;

class ParallelLinkTest : public ::testing::Test {
 protected:
  ParallelLink& Link() { return link_; }
  QString OpenWith(const sim::PeripheralFaults& faults) {
    peripheral_.SetFaults(faults);
    link_.OpenParallelLink();
    return state_;
  }

  sim::ParallelPeripheral peripheral_;
  RecordingPort port_{peripheral_};
  StepClock clock_;
  ParallelPort parallel_{port_, clock_};
  Texts texts_;
  LinkDelays delays_;
  QString state_;
  ParallelLink link_{parallel_, delays_, state_};
};

TEST_F(ParallelLinkTest, NoDataOpenEndsWithBitsFourAndOneAndTerminationClearsBitFourFirst) {
  EXPECT_EQ(OpenWith({}), "DNA");
  EXPECT_EQ(port_.Writes(PortRegister::kControl),
            (Bytes{0x0C, 0x08, 0x0C, 0x06, 0x07, 0x04, 0x14, 0x16}));
  EXPECT_EQ(port_.Writes(PortRegister::kExtControl), Bytes{0x34});
  EXPECT_EQ(port_.Writes(PortRegister::kData), (Bytes{0x00, 0x00}));
  EXPECT_EQ(link_.TakeFailure(), std::nullopt);

  port_.accesses.clear();
  EXPECT_TRUE(link_.TerminateLink());
  EXPECT_EQ(port_.Writes(PortRegister::kControl), (Bytes{0x06, 0x0C, 0x0E, 0x0C}));
  EXPECT_EQ(state_, "CPT");
}

TEST_F(ParallelLinkTest, NegotiationOutcomes) {
  sim::PeripheralFaults data;
  data.data_available = true;
  EXPECT_EQ(OpenWith(data), "DA");
  // No interrupt-enable writes after a negotiation with data.
  EXPECT_EQ(port_.Writes(PortRegister::kControl).back(), 0x04);
  EXPECT_TRUE(link_.TerminateLink());

  struct Case {
    sim::PeripheralFaults faults;
    const char* message;
  };
  sim::PeripheralFaults silent, ack_low, select_high;
  silent.silent_at_event2 = true;
  ack_low.ack_low_at_event6 = true;
  select_high.select_high_at_event6 = true;
  for (const Case& c : {Case{silent, "Ha pasado el tiempo de espera en la fase 2 de negociación."},
                        Case{ack_low, "Error en la fase 6 de negociación. Ack Low"},
                        Case{select_high, "Error en la fase 6 de negociación. Select High"}}) {
    EXPECT_EQ(OpenWith(c.faults), "ERROR") << c.message;
    const std::optional<int> failure = link_.TakeFailure();
    ASSERT_TRUE(failure.has_value()) << c.message;
    EXPECT_EQ(texts_.Slot(*failure), c.message);
    EXPECT_EQ(link_.TakeFailure(), std::nullopt) << "taken once";
    // Forced back to compatibility: SelectIn set; Strobe, AutoFeed, Init, interrupts clear.
    EXPECT_EQ(port_.Writes(PortRegister::kControl).back() & 0x1F, 0x08) << c.message;
  }
}

}  // namespace
}  // namespace tornavo

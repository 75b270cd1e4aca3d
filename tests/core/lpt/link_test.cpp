// The host side of the link against the virtual peripheral, on a clock that moves one
// millisecond per read: negotiation outcomes and the exact control writes, the delays and
// bounded waits under them, and whole transfers with the byte handshake and its recovery.
#include <gtest/gtest.h>

#include <map>

#include "core/lpt/link_transfer.h"
#include "core/lpt/parallel_link.h"
#include "core/lpt/port_locator.h"
#include "core/lpt/step_clock.h"
#include "core/lpt/timing.h"
#include "core/texts/texts.h"
#include "sim/parallel_peripheral.h"
#include "support/recording_host.h"

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

// A whole transfer over the link: log lines, resent bytes, the error limit, the progress
// rule and a refused port.
QByteArray Pattern(int size) {
  QByteArray data(size, '\0');
  for (int i = 0; i < size; ++i) data[i] = static_cast<char>(i * 7 + 3);
  return data;
}

class LinkTransferTest : public ::testing::Test {
 protected:
  LinkTransferResult Send(const QByteArray& data, bool progress = false) {
    peripheral_.Expect('D', static_cast<uint32_t>(data.size()), 0);
    LinkTransferRequest request;
    request.buffer = data;
    request.destination = 0x7FE00000;
    request.show_progress = progress;
    return SendBufferOverLink(peripheral_, clock_, host_, texts_, delays_, state_, request);
  }
  const QStringList& Log() const { return host_.Log(LogId::kFirmware); }

  sim::ParallelPeripheral peripheral_;
  testing::StepClock clock_;
  testing::RecordingHost host_;
  Texts texts_;
  LinkDelays delays_;
  QString state_;
};

TEST_F(LinkTransferTest, SendsEveryByteBetweenTheOpeningAndClosingLines) {
  const QByteArray data = Pattern(300);
  const LinkTransferResult result = Send(data);
  EXPECT_TRUE(result.complete);
  EXPECT_EQ(peripheral_.received(), data);
  EXPECT_EQ(Log(), (QStringList{"Abriendo LPT1", "Estado tras apertura y negociación: DNA",
                                "Estado actual: CPT", "Enviando archivo...", "Cerrando LPT1"}));
  EXPECT_EQ(host_.panels[1].done, 300);
  EXPECT_EQ(host_.Status(StatusPage::kFirmware, StatusField::kAddress), "7FE0012B");
  EXPECT_EQ(state_, "CPT");
  EXPECT_TRUE(host_.boxes.empty());
}

TEST_F(LinkTransferTest, AFailedNegotiationIsToldToTheUser) {
  peripheral_.SetFaults({.silent_at_event2 = true});
  (void)Send(Pattern(5));
  // Once for the opening negotiation, once for the closing one.
  ASSERT_EQ(host_.boxes.size(), 2u);
  for (const auto& box : host_.boxes)
    EXPECT_EQ(box.text, "Ha pasado el tiempo de espera en la fase 2 de negociación.");
  EXPECT_EQ(Log().value(1), "Estado tras apertura y negociación: ERROR");
}

TEST_F(LinkTransferTest, AByteRefusedAtPositionZeroIsLoggedAndSentAgain) {
  peripheral_.SetFaults({.ack_low_after_byte = 0});
  const QByteArray data = Pattern(5);
  const LinkTransferResult result = Send(data);
  EXPECT_TRUE(result.complete);
  EXPECT_EQ(result.errors, 1);
  EXPECT_EQ(peripheral_.received(), data);
  EXPECT_TRUE(
      Log().contains("Error en la posición 0. Continuo la transmisión corrigiendo el error..."));
  EXPECT_EQ(host_.Status(StatusPage::kFirmware, StatusField::kErrors), "1");
}

TEST_F(LinkTransferTest, AHundredErrorsOrAFailedRecoveryEndTheTransfer) {
  peripheral_.SetFaults({.busy_stuck = true});
  LinkTransferResult result = Send(Pattern(10));
  EXPECT_FALSE(result.complete);
  EXPECT_EQ(result.errors, 100);
  EXPECT_EQ(Log().filter("Error en la posición 0.").size(), 100);
  EXPECT_TRUE(peripheral_.received().isEmpty());
  EXPECT_EQ(Log().last(), "Cerrando LPT1");

  host_.logs = {};
  peripheral_.SetFaults({.ack_low_after_byte = 2, .paper_end_after_init = true});
  result = Send(Pattern(10));
  EXPECT_FALSE(result.complete);
  EXPECT_EQ(result.errors, 1);
  EXPECT_TRUE(Log().contains("Error en la recuperación de un error anterior."));
  EXPECT_EQ(peripheral_.received().size(), 2);
}

TEST_F(LinkTransferTest, ProgressIsShownEvery12287BytesOnlyWhenAsked) {
  Send(Pattern(12287), true);
  // Once for the step, once for the final position.
  EXPECT_EQ(host_.progress_history[1], (std::vector<int>{12287, 12287}));
  EXPECT_TRUE(host_.Status(StatusPage::kFirmware, StatusField::kSpeed).endsWith("Kb/seg"));

  host_ = testing::RecordingHost();
  Send(Pattern(12287 * 2 - 1), true);
  EXPECT_EQ(host_.progress_history[1], (std::vector<int>{12287, 12287 * 2 - 1}));

  host_ = testing::RecordingHost();
  Send(Pattern(12287), false);
  EXPECT_EQ(host_.progress_history[1], (std::vector<int>{12287}));
  EXPECT_TRUE(host_.Status(StatusPage::kFirmware, StatusField::kSpeed).isEmpty());
}

TEST_F(LinkTransferTest, ARefusedPortIsReportedAndNothingIsSent) {
  auto port = MakePpdevPort("/dev/parport-missing");
  LinkTransferRequest request;
  request.buffer = Pattern(4);
  const LinkTransferResult result =
      SendBufferOverLink(*port, clock_, host_, texts_, delays_, state_, request);
  EXPECT_TRUE(result.access_refused);
  EXPECT_FALSE(result.complete);
  ASSERT_EQ(host_.boxes.size(), 1u);
  // The system's reason and the advice go with the message, and into the log.
  EXPECT_EQ(host_.boxes[0].text, "No se ha podido abrir el puerto paralelo.\n" + Log().value(0));
  ASSERT_EQ(Log().size(), 1);
  EXPECT_TRUE(Log()[0].startsWith("/dev/parport-missing: cannot open the parallel port: "));
}

}  // namespace
}  // namespace tornavo

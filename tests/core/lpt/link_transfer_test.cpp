// A whole transfer over the link: log lines, resent bytes, the error limit, the progress
// rule and a refused port.
#include "core/lpt/link_transfer.h"

#include <gtest/gtest.h>

#include "core/lpt/port_locator.h"
#include "core/lpt/step_clock.h"
#include "sim/parallel_peripheral.h"
#include "support/recording_host.h"

namespace tornavo {
namespace {

using testing::RecordingHost;
using testing::StepClock;

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
  StepClock clock_;
  RecordingHost host_;
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

  host_ = RecordingHost();
  Send(Pattern(12287 * 2 - 1), true);
  EXPECT_EQ(host_.progress_history[1], (std::vector<int>{12287, 12287 * 2 - 1}));

  host_ = RecordingHost();
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

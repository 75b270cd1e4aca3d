// The service link against the virtual receiver through a real pseudo-terminal.
#include <gtest/gtest.h>

#include "core/eeprom/eeprom_transfer.h"
#include "core/runtime/clock.h"
#include "core/serial/qt_serial_transport.h"
#include "core/texts/text_names.h"
#include "core/texts/texts.h"
#include "support/sim_link.h"
#include "support/wait.h"

namespace tornavo {
namespace {

using testing::WaitUntil;

// A receiver that goes away in the middle of a read hangs up the line: the read ends at once
// with the port's failure, naming it, rather than spinning on the dead line until the reply
// time-out and blaming the receiver. A port that is there again is opened by the next read.
TEST(PtyExchange, AReadWhoseLineHangsUpEndsWithThePortsFailureAndTheNextReadReopens) {
  testing::SimLink sim;
  ASSERT_TRUE(sim.ready) << sim.error.toStdString();
  // A read that waited for the time-out would fail the waits below.
  sim.SetTimeoutScale(100);
  sim::EepromBytes bytes{};
  for (int i = 0; i < sim::kEepromSize; ++i) bytes[i] = static_cast<uint8_t>(i * 7);
  sim.receiver.SetEeprom(bytes);
  EepromImage image;
  SteadyClock clock;
  EepromTransfer transfer(sim.link, sim.host, sim.texts, image, clock);
  transfer.RegisterRoutes();
  int failures = 0;
  QObject::connect(&sim.transport, &SerialTransport::PortFailed, [&] { ++failures; });
  const QString path = sim.receiver.device_path();
  sim.receiver.SetSilentAfter(5);
  ASSERT_TRUE(transfer.StartEepromRead(EepromRange::kAll));
  ASSERT_TRUE(WaitUntil([&] { return sim.receiver.ReceivedFrames().size() >= 6; }));
  sim.receiver.Stop();
  ASSERT_TRUE(WaitUntil([&] { return !transfer.running(); }));
  EXPECT_EQ(transfer.outcome(), TransferOutcome::kPortFailed);
  ASSERT_EQ(sim.host.boxes.size(), 1u);
  // What follows the first line depends on whether the device name is free again.
  EXPECT_EQ(sim.host.boxes[0].text.section('\n', 0, 0), "read " + path + ": the device hung up");
  EXPECT_FALSE(sim.transport.IsOpen());
  EXPECT_EQ(image.ByteAt(0x4F), bytes[0x4F]);  // the rows read stay
  EXPECT_EQ(image.ByteAt(0x50), 0xFF);
  testing::Pump(50);
  EXPECT_EQ(failures, 1);

  sim.receiver.ClearFaults();
  ASSERT_TRUE(sim.receiver.Start(&sim.error)) << sim.error.toStdString();
  sim.transport.SetPortName(sim.receiver.device_path());
  ASSERT_TRUE(transfer.StartEepromRead(EepromRange::kFirst176));
  ASSERT_TRUE(WaitUntil([&] { return !transfer.running(); }));
  EXPECT_EQ(transfer.outcome(), TransferOutcome::kDone);
  EXPECT_EQ(image.ByteAt(0xAF), bytes[0xAF]);
}

TEST(PtyExchange, FailedOpenSaysWhatToDoAfterTheSystemsReasonInTheLanguageOfItsTexts) {
  Texts marked;
  marked.Set(text_key::kPuertoNoExiste, "<%1>");
  for (const Texts* texts : std::initializer_list<const Texts*>{nullptr, &marked}) {
    QtSerialTransport transport(texts);
    transport.SetPortName("/dev/tornavo-missing-tty");
    QString error;
    ASSERT_FALSE(transport.Open(&error));
    const QString name =
        texts ? "</dev/tornavo-missing-tty>:" : "/dev/tornavo-missing-tty no existe:";
    EXPECT_TRUE(error.startsWith("open /dev/tornavo-missing-tty: ")) << error.toStdString();
    EXPECT_TRUE(
        error.endsWith('\n' + name + "\ncomprueba el cable y que el adaptador esté conectado"))
        << error.toStdString();
  }
}

}  // namespace
}  // namespace tornavo

// The firmware upgrade with its parallel side behind the socket backend, and the port check,
// against far ends that stall, hang up, answer garbage or flip a byte: each ends, the pages
// enabled, and a success is only ever the receiver's verified one.
#include "support/hostile_peer.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTimer>

#include "core/lpt/firmware_upgrade.h"
#include "core/lpt/port_locator.h"
#include "core/lpt/step_clock.h"
#include "core/runtime/blocking_runner.h"
#include "sim/parallel_peripheral.h"
#include "support/fake_transport.h"
#include "support/recording_host.h"
#include "support/wait.h"

namespace tornavo {
namespace {

using testing::PeerFault;

// The receiver's serial side: accepts the upgrade, tells the parallel side what to expect,
// sends its end-of-transfer line when the bytes are in, and answers the verification with
// what it received. On the port check it answers as told.
class Receiver : public testing::FakeTransport {
 public:
  explicit Receiver(sim::ParallelPeripheral& parallel) : parallel_(parallel) {
    parallel_.SetOnComplete([this](char) {
      QMetaObject::invokeMethod(
          this, [this] { Deliver("$.DL\r"); }, Qt::QueuedConnection);
    });
  }
  bool Write(const QByteArray& bytes, QString* error) override {
    if (!FakeTransport::Write(bytes, error)) return false;
    QByteArray reply;
    if (bytes.startsWith("%DL=")) {
      parallel_.Expect('D', bytes.mid(12, 8).toUInt(nullptr, 16),
                       bytes.mid(20, 4).toUShort(nullptr, 16));
      reply = "$.DL\r";
    } else if (bytes.startsWith("%DL?")) {
      reply = parallel_.Verified('D') ? "$.DL\r" : "$?C04\r";
    } else if (bytes.startsWith("%PR?")) {
      reply = check_reply;
    }
    if (!reply.isEmpty()) QTimer::singleShot(0, this, [this, reply] { Deliver(reply); });
    return true;
  }
  QByteArray check_reply = "$.PR\r";

 private:
  sim::ParallelPeripheral& parallel_;
};

struct Upgrade {
  FirmwareOutcome outcome = FirmwareOutcome::kNone;
  bool verified = false;  // the receiver holds what was sent
  bool pages_enabled = false;
  bool named_the_socket = false;
  int requests = 0;
};

Upgrade RunUpgrade(PeerFault fault, int at, MonotonicClock* socket_clock) {
  QTemporaryDir dir;
  sim::ParallelPeripheral peripheral;
  const QString path = dir.filePath("lpt");
  testing::HostilePeer peer(peripheral, path, fault, at);
  Receiver transport(peripheral);
  QString error;
  transport.Open(&error);
  testing::RecordingHost host;
  Texts texts;
  testing::StepClock clock;
  WorkerRunner runner(host);
  ServiceLink link(transport, host);
  FirmwareUpgrade upgrade(link, host, texts, runner, clock);
  link.Route(opcode::kFirmware, &upgrade);
  upgrade.SetPortOpener([&](QString*) { return MakeSocketPort(path, socket_clock); });
  FirmwareOptions options;
  options.phases = false;
  options.delays.start_ms = 0;
  options.verification_delay_ms = 0;
  QByteArray data(300, '\0');
  for (int i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 11 + 1);
  EXPECT_TRUE(upgrade.Start(data, options));
  testing::WaitUntil([&] { return !upgrade.running(); }, 30000);
  Upgrade result{upgrade.outcome(), peripheral.Verified('D'), host.pages_enabled};
  for (const auto& box : host.boxes) result.named_the_socket |= box.text.contains("socket:" + path);
  result.requests = peer.requests();
  return result;
}

class HostileParallelPeerTest : public ::testing::TestWithParam<PeerFault> {};

TEST_P(HostileParallelPeerTest, UpgradeSucceedsOnlyWhenTheReceiverVerified) {
  static const Upgrade healthy = RunUpgrade(PeerFault::kNone, 0, nullptr);
  ASSERT_EQ(healthy.outcome, FirmwareOutcome::kSucceeded);
  ASSERT_TRUE(healthy.verified);
  testing::LeapingClock leaping;
  const PeerFault fault = GetParam();
  const Upgrade run =
      RunUpgrade(fault, healthy.requests / 2, fault == PeerFault::kStall ? &leaping : nullptr);
  EXPECT_TRUE(run.pages_enabled);
  if (fault == PeerFault::kFlip) {
    EXPECT_TRUE(run.outcome != FirmwareOutcome::kSucceeded || run.verified);
  } else {
    EXPECT_EQ(run.outcome, FirmwareOutcome::kTransferFailed);
    EXPECT_TRUE(run.named_the_socket);
  }
}

INSTANTIATE_TEST_SUITE_P(EveryFault, HostileParallelPeerTest,
                         ::testing::Values(PeerFault::kStall, PeerFault::kCut, PeerFault::kGarbage,
                                           PeerFault::kFlip),
                         [](const auto& info) { return testing::PeerFaultName(info.param); });

// The port check has only the serial line: a receiver that stays silent, whose line is gone,
// that answers garbage or whose answer has one byte flipped never passes the check.
TEST(HostileSerialPeerTest, PortCheckPassesOnlyOnTheReceiversWord) {
  sim::ParallelPeripheral unused;
  struct Case {
    const char* what;
    QByteArray reply;
    bool close;
    FirmwareOutcome outcome;
  };
  for (const Case& c :
       {Case{"silent", "", false, FirmwareOutcome::kNoReply},
        Case{"line gone", "$.PR\r", true, FirmwareOutcome::kSerialFailed},
        Case{"garbage", QByteArray("\x13\x37\xFF\r", 4), false, FirmwareOutcome::kReportedFailed},
        Case{"flipped", "$\xD1PR\r", false, FirmwareOutcome::kReportedFailed},
        Case{"healthy", "$.PR\r", false, FirmwareOutcome::kSucceeded}}) {
    Receiver transport(unused);
    QString error;
    transport.Open(&error);
    transport.check_reply = c.reply;
    testing::RecordingHost host;
    Texts texts;
    ServiceLink link(transport, host);
    link.SetTimeoutScale(0.001);
    ParallelCheck check(link, host, texts);
    link.Route(opcode::kParallelCheck, &check);
    // A line that is gone cannot be opened again either.
    transport.fail_open = c.close;
    if (c.close) transport.Close();
    check.Start();
    EXPECT_TRUE(testing::WaitUntil([&] { return check.outcome() != FirmwareOutcome::kRunning; }))
        << c.what;
    EXPECT_EQ(check.outcome(), c.outcome) << c.what;
    if (c.outcome == FirmwareOutcome::kNoReply) {
      EXPECT_TRUE(host.Log(LogId::kFirmware).contains(texts.Slot(slot::kNoReply))) << c.what;
    }
    EXPECT_TRUE(host.pages_enabled) << c.what;
  }
}

}  // namespace
}  // namespace tornavo

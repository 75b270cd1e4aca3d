// The upgrade's phases over a scripted serial far end, with the parallel side on the
// virtual peripheral: the command text, the address list, refusals, time-outs and replies
// that arrive while the bytes go out.
#include "core/lpt/firmware_upgrade.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <tuple>

#include "core/lpt/firmware_settings.h"
#include "core/lpt/port_locator.h"
#include "core/lpt/step_clock.h"
#include "core/runtime/blocking_runner.h"
#include "core/serial/checksum.h"
#include "sim/parallel_peripheral.h"
#include "support/fake_transport.h"
#include "support/hostile_peer.h"
#include "support/recording_host.h"
#include "support/wait.h"

namespace tornavo {
namespace {

using testing::FakeTransport;
using testing::RecordingHost;
using testing::StepClock;
using testing::WaitUntil;

// Runs the work inline, with a hook in the middle (a reply arriving during the transfer).
class HookedRunner : public BlockingRunner {
 public:
  explicit HookedRunner(OperationHost& host) : host_(host) {}
  bool Run(std::function<void(OperationHost&)> work, std::function<void()> done) override {
    running_ = true;
    work(host_);
    if (during) during();
    running_ = false;
    done();
    return true;
  }
  bool running() const override { return running_; }
  std::function<void()> during;

 private:
  OperationHost& host_;
  bool running_ = false;
};

const QByteArray kFile("\x01\x02\x03\xFF", 4);

class FirmwareUpgradeTest : public ::testing::Test {
 protected:
  FirmwareUpgradeTest() {
    QString error;
    transport_.Open(&error);
    link_.Route(opcode::kFirmware, &upgrade_);
    link_.Route(opcode::kParallelCheck, &check_);
    link_.SetTimeoutScale(0.001);
    upgrade_.SetPortOpener([this](QString* error) -> std::unique_ptr<PortRegisters> {
      ++opened_;
      if (refuse_port_) return MakePpdevPort("/dev/parport-missing")->Acquire(error), nullptr;
      return MakeBorrowedPort(peripheral_);
    });
    options_.verification_delay_ms = 200;
  }

  // Starts with kFile; the receiver's serial side is the test, its parallel side the
  // peripheral, which is told what the announced command says.
  void Start() {
    peripheral_.Expect('D', 4, 0x0105);
    ASSERT_TRUE(upgrade_.Start(kFile, options_));
  }
  QByteArray LastFrame() const { return transport_.written.last(); }
  QString Box(size_t i) const { return i < host_.boxes.size() ? host_.boxes[i].text : QString(); }

  FakeTransport transport_;
  RecordingHost host_;
  Texts texts_;
  StepClock clock_;
  HookedRunner runner_{host_};
  ServiceLink link_{transport_, host_};
  FirmwareUpgrade upgrade_{link_, host_, texts_, runner_, clock_};
  ParallelCheck check_{link_, host_, texts_};
  sim::ParallelPeripheral peripheral_;
  FirmwareOptions options_;
  int opened_ = 0;
  bool refuse_port_ = false;
};

TEST(FirmwareCommandTest, CommandTextAndAddressList) {
  EXPECT_EQ(UpgradeCommandText(FirmwareCommand::kDL, "7FE00000", kFile),
            "%DL=7FE00000000000040105");
  EXPECT_EQ(UpgradeCommandText(FirmwareCommand::kFL, "6", QByteArray(0x10001, '\xFF')),
            "%FL=60001000100FF");
  FirmwareCommand command{};
  bool phases = false;
  for (const auto& [address, want, want_phases] :
       {std::tuple{"FFF82000", FirmwareCommand::kPL, false},
        {"60000000", FirmwareCommand::kFL, false},
        {"7FE00000", FirmwareCommand::kDL, true}}) {
    ASSERT_TRUE(AddressPreset(address, &command, &phases));
    EXPECT_EQ(command, want) << address;
    EXPECT_EQ(phases, want_phases) << address;
  }
  EXPECT_FALSE(AddressPreset("7FE0000", &command, &phases));
}

TEST(FirmwareSettingsTest, BackendDefaultsAndTheStoredChoices) {
  QTemporaryDir dir;
  QFile ini(dir.filePath("Tornavo.ini"));
  ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
  ini.write(
      "[TForm1]\r\nParalelo=3\r\nRetardoStrobe=300\r\nFirmComando1=0\r\nFirmComando3=1\r\n"
      "FirmDireccion=2\r\nFase1y2=0\r\n");
  ini.close();
  SymbolRateTable rates{};
  PictureOptions picture;
  Settings settings(rates, picture);
  settings.Load(dir.path() + '/', {});

  EXPECT_EQ(ParallelLocatorOf(settings, {}), "direct:A068");
  EXPECT_EQ(ParallelLocatorOf(settings, {"ppdev:/dev/parport1"}), "ppdev:/dev/parport1");
  EXPECT_EQ(ParallelLocatorOf(settings, {"ppdev:/dev/parport1"}, true), "virtual");
  settings.SetText(Key::kAccesoParalelo, "socket:/run/lpt");
  EXPECT_EQ(ParallelLocatorOf(settings, {"ppdev:/dev/parport1"}, true), "socket:/run/lpt");

  const FirmwareOptions options = FirmwareOptionsOf(settings);
  EXPECT_EQ(options.address, "FFF90000");
  EXPECT_EQ(options.command, FirmwareCommand::kFL);
  EXPECT_FALSE(options.phases);
  // Byte settings are taken modulo 256, as the loop counts them.
  EXPECT_EQ(options.delays.strobe, 300 % 256);
  EXPECT_EQ(options.delays.busy_ms, 300);  // a missing key's own default
  EXPECT_EQ(options.delays.start_ms, 2000);
}

TEST_F(FirmwareUpgradeTest, WholeUpgradeWithBothPhases) {
  Start();
  EXPECT_EQ(LastFrame(), AppendChecksum("%DL=7FE00000000000040105"));
  EXPECT_FALSE(host_.pages_enabled);
  EXPECT_EQ(host_.Status(StatusPage::kFirmware, StatusField::kTask), "Enviando");
  EXPECT_EQ(host_.panels[1].total, 4);

  transport_.Deliver("$.DL\r");
  EXPECT_EQ(peripheral_.received(), kFile);
  EXPECT_EQ(peripheral_.acquisitions(), 2);  // tried before the announcement, then used
  EXPECT_FALSE(peripheral_.acquired());
  EXPECT_EQ(upgrade_.phase(), 1);
  EXPECT_TRUE(link_.reply_timer_active());
  EXPECT_EQ(host_.Log(LogId::kFirmware).last(),
            "Esperando respuesta del decodificador. Puede tardar algo más de un minuto...");
  EXPECT_EQ(transport_.written.size(), 1);

  transport_.Deliver("$.DL\r");
  EXPECT_EQ(upgrade_.phase(), 2);
  EXPECT_EQ(LastFrame(), AppendChecksum("%DL?"));
  transport_.Deliver("$.DL\r");
  EXPECT_EQ(upgrade_.outcome(), FirmwareOutcome::kSucceeded);
  EXPECT_EQ(Box(0), "¡ Actualización completada con éxito !");
  EXPECT_TRUE(host_.pages_enabled);
  EXPECT_TRUE(host_.StatusEmpty(StatusPage::kFirmware));
  // Every frame and reply is in the firmware log; replies in the terminal log too.
  EXPECT_EQ(host_.Log(LogId::kFirmware).filter("$.DL").size(), 3);
  EXPECT_EQ(host_.Log(LogId::kTerminal).filter("$.DL").size(), 3);

  // A late line after the end only reaches the terminal.
  transport_.Deliver("$.DL\r");
  EXPECT_EQ(host_.Log(LogId::kFirmware).filter("$.DL").size(), 3);
  EXPECT_EQ(host_.boxes.size(), 1u);
}

TEST_F(FirmwareUpgradeTest, WithoutPhasesTheVerificationFollowsTheTransfer) {
  options_.phases = false;
  options_.command = FirmwareCommand::kPL;
  options_.address = "FFF82000";
  // The receiver's end-of-transfer line comes while the bytes go out: it is logged, and it
  // never answers the query sent after it.
  runner_.during = [this] { transport_.Deliver("$.PL\r"); };
  Start();
  const uint64_t before = clock_.now;
  transport_.Deliver("$.PL\r");
  EXPECT_EQ(LastFrame(), AppendChecksum("%PL?"));
  EXPECT_GT(clock_.now - before, 200u);  // "Retardo Verificación" passed first
  EXPECT_EQ(upgrade_.outcome(), FirmwareOutcome::kRunning);
  const QStringList log = host_.Log(LogId::kFirmware);
  EXPECT_EQ(log.filter("$.PL").size(), 2);
  EXPECT_LT(log.lastIndexOf("$.PL\r"), log.indexOf(QString::fromLatin1(LastFrame())));
  transport_.Deliver("$?C04\r");
  EXPECT_EQ(upgrade_.outcome(), FirmwareOutcome::kReportedFailed);
  EXPECT_EQ(Box(0), "El decodificador informa que la actualización ha sido erronea.");
}

TEST_F(FirmwareUpgradeTest, RefusalsEndTheUpgradeWithoutPortTraffic) {
  Start();
  transport_.Deliver("$?C04\r");
  EXPECT_EQ(upgrade_.outcome(), FirmwareOutcome::kRefused);
  EXPECT_EQ(Box(0), "El decodificador no permite enviar ese archivo a esa dirección.");
  EXPECT_TRUE(peripheral_.received().isEmpty());
  EXPECT_FALSE(peripheral_.acquired());
  EXPECT_TRUE(host_.pages_enabled);
  // An acceptance that comes after the end starts nothing.
  link_.Begin(opcode::kFirmware);
  link_.SendServiceCommand("%DL?");
  transport_.Deliver("$.DL\r");
  EXPECT_EQ(upgrade_.outcome(), FirmwareOutcome::kRefused);
  EXPECT_EQ(peripheral_.acquisitions(), 1);
  EXPECT_EQ(host_.boxes.size(), 1u);

  // A port that cannot be used is found before the receiver is told anything.
  refuse_port_ = true;
  const qsizetype sent = transport_.written.size();
  EXPECT_FALSE(upgrade_.Start(kFile, options_));
  EXPECT_EQ(upgrade_.outcome(), FirmwareOutcome::kPortRefused);
  EXPECT_TRUE(Box(1).startsWith("No se ha podido abrir el puerto paralelo.\n/dev/parport-missing"))
      << Box(1).toStdString();
  EXPECT_TRUE(host_.Log(LogId::kFirmware).last().contains("/dev/parport-missing"));
  EXPECT_EQ(transport_.written.size(), sent);
  EXPECT_TRUE(host_.pages_enabled);

  // A link that gives up says where, in a box as well as in the log.
  refuse_port_ = false;
  peripheral_.SetFaults({.busy_stuck = true});
  Start();
  transport_.Deliver("$.DL\r");
  EXPECT_EQ(upgrade_.outcome(), FirmwareOutcome::kTransferFailed);
  ASSERT_EQ(host_.boxes.size(), 3u);
  EXPECT_TRUE(host_.boxes[2].error);
  EXPECT_EQ(Box(2), "Error en la posición 0");
  EXPECT_EQ(transport_.written.size(), sent + 1);
  EXPECT_TRUE(host_.pages_enabled);
}

TEST_F(FirmwareUpgradeTest, AReplyDuringTheTransferIsHandledInTheNextPhase) {
  runner_.during = [this] { transport_.Deliver("$.DL\r"); };
  Start();
  transport_.Deliver("$.DL\r");
  // The line that came while the bytes went out is the phase-1 reply.
  EXPECT_EQ(upgrade_.phase(), 2);
  EXPECT_EQ(LastFrame(), AppendChecksum("%DL?"));
  EXPECT_EQ(peripheral_.received(), kFile);
}

TEST_F(FirmwareUpgradeTest, TimeOutsAndAFailedSerialPortEndTheOperationWithTheirMessages) {
  const QString messages[] = {
      texts_.TwoLines(slot::kNoReply, slot::kCheckServiceMode),
      "¡ No hay respuesta del decodificador a la segunda fase del envio del Firmware !",
      "¡ No hay respuesta del decodificador a la verificación del envio del Firmware !"};
  for (size_t replies = 0; replies < 3; ++replies) {
    const int unlocks = host_.unlocks;
    Start();
    for (size_t k = 0; k < replies; ++k) transport_.Deliver("$.DL\r");
    ASSERT_TRUE(WaitUntil([&] { return host_.boxes.size() == replies + 1; }));
    EXPECT_EQ(Box(replies), messages[replies]);
    EXPECT_TRUE(Box(replies).startsWith(host_.Log(LogId::kFirmware).last()));
    EXPECT_EQ(upgrade_.outcome(), FirmwareOutcome::kNoReply);
    EXPECT_EQ(host_.unlocks, unlocks + 1) << replies;  // once: a second could free another lock
    EXPECT_TRUE(host_.StatusEmpty(StatusPage::kFirmware));
  }
  // A serial port that stops working ends either operation at once, naming the port.
  const QString failure = "read /dev/ttyUSB0: the device hung up";
  int unlocks = host_.unlocks;
  Start();
  transport_.FailPort(failure);
  ASSERT_TRUE(WaitUntil([&] { return !upgrade_.running(); }));
  EXPECT_EQ(upgrade_.outcome(), FirmwareOutcome::kSerialFailed);
  EXPECT_EQ(host_.unlocks, unlocks + 1);
  unlocks = host_.unlocks;
  check_.Start();
  transport_.FailPort(failure);
  ASSERT_TRUE(WaitUntil([&] { return check_.outcome() == FirmwareOutcome::kSerialFailed; }));
  EXPECT_EQ(host_.unlocks, unlocks + 1);
  EXPECT_EQ(Box(3), failure);
  EXPECT_EQ(Box(4), failure);
  EXPECT_TRUE(host_.pages_enabled);
}

// Its outcomes against silent and hostile receivers are the hostile peer tests'.
TEST_F(FirmwareUpgradeTest, PortCheckAnswersWithItsTwoFixedTexts) {
  check_.Start();
  EXPECT_EQ(LastFrame(), AppendChecksum("%PR?"));
  transport_.Deliver("$.PR\r");
  EXPECT_EQ(Box(0), "El puerto paralelo del decodificador está en perfecto estado.");
  check_.Start();
  transport_.Deliver("$?C04\r");
  EXPECT_EQ(Box(1), "El decodificador informa que el puerto paralelo no funciona correctamente.");
  EXPECT_EQ(check_.outcome(), FirmwareOutcome::kReportedFailed);
}

// The firmware upgrade with its parallel side behind the socket backend, and the port check,
// against far ends that stall, hang up, answer garbage or flip a byte: each ends, the pages
// enabled, and a success is only ever the receiver's verified one.
using testing::PeerFault;

// The receiver's serial side: accepts the upgrade, tells the parallel side what to expect,
// and answers the verification with what it received. It sends no line when the bytes are in:
// the upgrade runs without phases, and would take such a line, held through the transfer, for
// the verdict. On the port check it answers as told.
class Receiver : public testing::FakeTransport {
 public:
  explicit Receiver(sim::ParallelPeripheral& parallel) : parallel_(parallel) {}
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

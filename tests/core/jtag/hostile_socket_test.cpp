// Every JTAG operation through the socket backend, against a far end that stalls, hangs up,
// answers bytes nobody asked for or flips a byte it is sent, halfway through: each ends, with
// the port released and the pages enabled, and claims no success it cannot stand behind.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <deque>
#include <map>
#include <tuple>

#include "core/jtag/flash_programming.h"
#include "core/jtag/jtag_dump.h"
#include "core/lpt/port_locator.h"
#include "core/lpt/step_clock.h"
#include "sim/jtag_target.h"
#include "sim/trap_stand_in.h"
#include "support/hostile_peer.h"
#include "support/recording_host.h"
#include "support/wait.h"

namespace tornavo {
namespace {

using testing::PeerFault;

enum class Operation { kIdcode, kDump, kSend, kErase };

const char* Name(Operation operation) {
  static const char* const kNames[] = {"idcode", "dump", "send", "erase"};
  return kNames[static_cast<int>(operation)];
}

constexpr uint32_t kRam = 0x40001000;
constexpr uint32_t kFirmwareChip = 0x60000000;
const QByteArray kData = [] {
  QByteArray bytes(0x200, '\0');
  for (int i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 37 + 5);
  return bytes;
}();

// The erase warning is answered with OK, a failed block with Abort.
class AnsweringHost : public testing::RecordingHost {
 public:
  Answer Ask(Question question, const QString&) override {
    return question == Question::kOkCancel ? Answer::kOk : Answer::kAbort;
  }
};

FlashChipDescription Chip(uint32_t start, std::initializer_list<uint32_t> offsets) {
  FlashChipDescription chip;
  chip.start = start;
  int k = 0;
  for (uint32_t offset : offsets) chip.block_offsets[k++] = offset;
  chip.num_blocks = k - 1;
  return chip;
}

struct RunResult {
  bool succeeded = false;       // what the tool said
  bool true_to_target = false;  // the target holds what a success claims
  bool ended_cleanly = false;   // the port given back
  bool named_the_socket = false;
  int error_boxes = 0;
  int requests = 0;
};

// One operation against a target behind a peer that turns hostile at request `at`.
RunResult RunOnce(Operation operation, PeerFault fault, int at, MonotonicClock* socket_clock) {
  QTemporaryDir dir;
  sim::JtagTarget target;
  target.ShapeFlashChip(1, kFirmwareChip, {0, 0x100, 0x200});
  target.ShapeFlashChip(0, 0x7FE00000, {0, 0x100});
  target.Load(kRam, kData);
  QFile trap(dir.filePath("trap.bin"));
  trap.open(QIODevice::WriteOnly);
  trap.write(sim::TrapStandIn());
  trap.close();
  const QString path = dir.filePath("lpt");
  testing::HostilePeer peer(target, path, fault, at);
  std::unique_ptr<PortRegisters> port = MakeSocketPort(path, socket_clock);
  AnsweringHost host;
  JtagState state;
  testing::StepClock clock;
  Texts texts;
  JtagSession session{*port, clock, host, texts, state, {.tck_cycles = 0, .wait_start_bits = 32}};
  JtagSendRequest send;
  send.chips = {Chip(kFirmwareChip, {0, 0x100, 0x200}), Chip(0x7FE00000, {0, 0x100})};
  send.destination = kFirmwareChip;
  send.trap_places = {trap.fileName()};
  // Writes read what they replace first, so a fault may come during the copy.
  send.backups.emplace(dir.filePath("backups"));
  RunResult run;
  switch (operation) {
    case Operation::kIdcode: {
      const CpuIdentity identity = IdentifyCpu(session, "CPU");
      run.succeeded = identity.kind == CpuKind::kSti5510;
      run.true_to_target = identity.idcode == sim::kIdcodeSti5510;
      break;
    }
    case Operation::kDump: {
      JtagDumpRequest request;
      request.address = kRam;
      request.length = static_cast<uint32_t>(kData.size());
      const JtagDumpResult result = RunJtagDump(session, request);
      run.succeeded = result.outcome == DumpOutcome::kDone;
      run.true_to_target = result.buffer.left(kData.size()) == kData;
      break;
    }
    case Operation::kSend:
      run.succeeded = SendFileOverJtag(session, send, kData).outcome == SendOutcome::kDone;
      run.true_to_target = target.Memory(kFirmwareChip, kData.size()) == kData;
      break;
    case Operation::kErase:
      target.Load(kFirmwareChip, kData);
      run.succeeded = EraseChip(session, send, EraseMethod::kBlocks).outcome == SendOutcome::kDone;
      run.true_to_target = target.Memory(kFirmwareChip, 0x200) == QByteArray(0x200, '\xFF');
      break;
  }
  run.ended_cleanly = testing::WaitUntil([&] { return peer.client_closed(); });
  for (const auto& box : host.boxes) {
    run.named_the_socket |= box.text.contains("socket:" + path);
    run.error_boxes += box.error ? 1 : 0;
  }
  run.requests = peer.requests();
  return run;
}

class HostileSocketTest : public ::testing::TestWithParam<std::tuple<Operation, PeerFault>> {};

TEST_P(HostileSocketTest, EndsWithTheTruth) {
  const auto [operation, fault] = GetParam();
  static std::map<Operation, RunResult> healthy;
  if (!healthy.count(operation))
    healthy[operation] = RunOnce(operation, PeerFault::kNone, 0, nullptr);
  const RunResult& good = healthy[operation];
  ASSERT_TRUE(good.succeeded && good.true_to_target && good.ended_cleanly) << Name(operation);

  // Early (for the writes, while they read what they replace) and half-way.
  for (const int at : {good.requests / 5, good.requests / 2}) {
    SCOPED_TRACE(at);
    testing::LeapingClock leaping;
    const RunResult run =
        RunOnce(operation, fault, at, fault == PeerFault::kStall ? &leaping : nullptr);
    EXPECT_TRUE(run.ended_cleanly);
    if (fault == PeerFault::kFlip) {
      // A flipped bit the debug unit's messages cannot see: only what is read back afterwards
      // (the identification code, a verified send) can stand behind a success.
      if (operation == Operation::kIdcode || operation == Operation::kSend) {
        EXPECT_TRUE(!run.succeeded || run.true_to_target);
      }
    } else {
      EXPECT_FALSE(run.succeeded);
      EXPECT_TRUE(run.named_the_socket);
      EXPECT_EQ(run.error_boxes, 1);  // one failure, one box
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EveryOperationAndFault, HostileSocketTest,
                         ::testing::Combine(::testing::Values(Operation::kIdcode, Operation::kDump,
                                                              Operation::kSend, Operation::kErase),
                                            ::testing::Values(PeerFault::kStall, PeerFault::kCut,
                                                              PeerFault::kGarbage,
                                                              PeerFault::kFlip)),
                         [](const auto& info) {
                           return std::string(Name(std::get<0>(info.param))) + "_" +
                                  testing::PeerFaultName(std::get<1>(info.param));
                         });

}  // namespace
}  // namespace tornavo

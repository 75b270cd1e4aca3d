#include "core/lpt/parallel_link.h"

#include "core/texts/text_names.h"

namespace tornavo {

namespace {
using namespace control_bit;
constexpr int kSlotPhase2Timeout = slot::kHaPasadoElTiempoDe;
constexpr int kSlotPhase6AckLow = slot::kErrorEnLaFase62;
constexpr int kSlotPhase6SelectHigh = slot::kErrorEnLaFase63;
constexpr int64_t kRecoveryWaitMs = 500;
}  // namespace

void ParallelLink::ForceCompatibility() {
  port_.ChangeControl(kSelectIn, kStrobe | kAutoFeed | kInit | kInterrupt);
  state_ = link_state::kCompatibility;
}

void ParallelLink::OpenParallelLink() {
  port_.PortWrite(PortRegister::kData, 0x00);
  port_.ChangeControl(kSelectIn | kInit, kInterrupt | kAutoFeed | kStrobe);
  port_.PortWrite(PortRegister::kExtControl, 0x34);
  port_.ChangeControl(0, kInit);
  port_.WaitMs(delays_.open1_ms);
  port_.ChangeControl(kInit, kReverse);
  port_.WaitMs(delays_.open2_ms);
  // The window repaints by itself: the link runs off its thread.
  const int result = Negotiate1284();
  state_ = result == 0 ? link_state::kNoData : result == 1 ? link_state::kData : link_state::kError;
  if (state_ == link_state::kNoData) {
    port_.ChangeControl(kInterrupt, 0);
    port_.ChangeControl(kInterrupt | kAutoFeed, 0);
  }
}

void ParallelLink::Fail(int slot) {
  if (!port_.registers().failed()) failure_ = slot;
  ForceCompatibility();
}

int ParallelLink::Negotiate1284() {
  port_.PortWrite(PortRegister::kData, 0x00);
  // Event 0: the pause falls between reading the control register and writing it.
  const uint8_t control =
      static_cast<uint8_t>((port_.PortRead(PortRegister::kControl) | kAutoFeed) & ~kSelectIn);
  SpinDelay(delays_.negotiation1);
  port_.PortWrite(PortRegister::kControl, control);
  const bool answered = port_.WaitFor(delays_.negotiation2_ms, [this] {
    return !port_.IsAckHigh() && port_.IsFaultHigh() && port_.IsSelectHigh() &&
           port_.IsPaperEndHigh();
  });
  if (!answered) {
    Fail(kSlotPhase2Timeout);
    return 3;
  }
  port_.ChangeControl(kStrobe, 0);
  SpinDelay(delays_.negotiation4);
  port_.ChangeControl(0, kAutoFeed | kStrobe);
  if (!port_.WaitFor(delays_.negotiation3_ms, [this] { return port_.IsAckHigh(); })) {
    Fail(kSlotPhase6AckLow);
    return 3;
  }
  if (port_.IsSelectHigh()) {
    Fail(kSlotPhase6SelectHigh);
    return 3;
  }
  return port_.IsFaultHigh() ? 0 : 1;
}

bool ParallelLink::TerminateLink() {
  if (state_ == link_state::kNoData) port_.ChangeControl(0, kInterrupt);
  port_.ChangeControl(kSelectIn, kAutoFeed);
  if (port_.WaitFor(delays_.close1_ms, [this] { return !port_.IsAckHigh(); })) {
    port_.ChangeControl(kAutoFeed, 0);
    if (port_.WaitFor(delays_.close2_ms, [this] { return port_.IsAckHigh(); })) {
      port_.ChangeControl(0, kAutoFeed);
      state_ = link_state::kCompatibility;
      return true;
    }
  }
  ForceCompatibility();
  return false;
}

bool ParallelLink::RecoverLink() {
  port_.ChangeControl(0, kInit);
  // Init held low for more than one millisecond.
  port_.WaitMs(1);
  port_.ChangeControl(kInit, 0);
  const bool cleared = port_.WaitFor(kRecoveryWaitMs, [this] { return !port_.IsPaperEndHigh(); });
  ForceCompatibility();
  return !cleared;
}

int ParallelLink::SendLinkByte(uint8_t byte) {
  if (!port_.WaitFor(delays_.busy_ms, [this] { return !port_.IsBusy(); })) return 1;
  port_.PortWrite(PortRegister::kData, byte);
  port_.ChangeControl(kStrobe, 0);
  SpinDelay(delays_.strobe);
  port_.ChangeControl(0, kStrobe);
  return port_.IsAckHigh() ? 0 : 2;
}

}  // namespace tornavo

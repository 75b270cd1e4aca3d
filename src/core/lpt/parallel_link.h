#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <utility>

#include "core/lpt/parallel_port.h"

namespace tornavo {

// The delay settings the link reads: milliseconds on the clock, "ciclos" for SpinDelay.
struct LinkDelays {
  int64_t busy_ms = 500;          // RetardoBusy
  uint8_t strobe = 10;            // RetardoStrobe
  uint8_t negotiation1 = 10;      // RetardoNegociacion1
  int64_t negotiation2_ms = 500;  // RetardoNegociacion2
  int64_t negotiation3_ms = 500;  // RetardoNegociacion3
  uint8_t negotiation4 = 10;      // RetardoNegociacion4
  int64_t open1_ms = 100;         // RetardoApertura1
  int64_t open2_ms = 100;         // RetardoApertura2
  int64_t close1_ms = 500;        // RetardoClausura1
  int64_t close2_ms = 500;        // RetardoClausura2
  int64_t start_ms = 3000;        // RetardoComienzo
  int64_t between_bytes = 0;      // RetardoEntreBytes
};

// Link states, as the firmware log shows them.
namespace link_state {
inline const QString kCompatibility = QStringLiteral("CPT");
inline const QString kNoData = QStringLiteral("DNA");
inline const QString kData = QStringLiteral("DA");
inline const QString kError = QStringLiteral("ERROR");
}  // namespace link_state

// The host side of the IEEE 1284 link to the receiver: negotiation (extensibility byte 0x00)
// as a handshake test, termination, and compatibility-mode bytes with recovery. The link
// state outlives an operation, so the caller holds it.
class ParallelLink {
 public:
  ParallelLink(ParallelPort& port, const LinkDelays& delays, QString& state)
      : port_(port), delays_(delays), state_(state) {}

  void ForceCompatibility();
  void OpenParallelLink();
  // 0 negotiated with nFault high (no data), 1 with nFault low (data), 3 failed.
  int Negotiate1284();
  bool TerminateLink();
  // True when PError was still high 500 ms after the Init pulse.
  bool RecoverLink();
  // 0 sent, 1 Busy never dropped, 2 nAck low right after the Strobe pulse.
  int SendLinkByte(uint8_t byte);

  const QString& state() const { return state_; }
  // The message slot of the last negotiation that failed and has not been taken yet; the
  // transfer tells the user, the link only speaks to the port. None for a port that failed,
  // which the transfer reports with its own reason.
  std::optional<int> TakeFailure() { return std::exchange(failure_, std::nullopt); }

 private:
  void Fail(int slot);

  ParallelPort& port_;
  const LinkDelays& delays_;
  QString& state_;
  std::optional<int> failure_;
};

}  // namespace tornavo

#pragma once

#include <QByteArray>
#include <QList>
#include <optional>

#include "sim/sim_clock.h"

namespace tornavo::sim {

// Cuts the characters a receiver hears into request frames. Requests carry no terminator,
// so a frame ends when it reaches the known length of its command, when a new '%' starts
// the next one, or after a quiet gap with no new character.
class RequestFramer {
 public:
  // Longest "%DL=" / "%PL=" / "%FL=" frame: an address of up to 8 characters, an 8-digit
  // count, a 4-digit sum and the checksum.
  static constexpr int kMaxUpgradeFrame = 26;

  explicit RequestFramer(Micros quiet_gap) : quiet_gap_(quiet_gap) {}

  void set_quiet_gap(Micros gap) { quiet_gap_ = gap; }

  // One character that has reached the receiver at time `at`. Returns the frames it
  // completed (a '%' can close the pending frame and, rarely, nothing else).
  QList<QByteArray> Feed(char c, Micros at);
  // The pending frame once the line has been quiet long enough.
  std::optional<QByteArray> TakeIfQuiet(Micros now);
  // When the pending frame would be closed by the quiet gap; nothing when none is pending.
  std::optional<Micros> QuietDeadline() const;

 private:
  // The full length of a frame starting like `pending_`; 0 when only the gap can end it.
  int KnownLength() const;

  Micros quiet_gap_;
  QByteArray pending_;
  Micros last_at_ = 0;
};

}  // namespace tornavo::sim

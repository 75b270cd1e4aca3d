#include "sim/request_framer.h"

namespace tornavo::sim {

int RequestFramer::KnownLength() const {
  if (pending_.size() < 4) return 0;
  const QByteArray head = pending_.left(4);
  if (head == "%EE?") return 11;
  if (head == "%EE=") return 43;
  if (head == "%DL?" || head == "%PL?" || head == "%FL?" || head == "%PR?") return 6;
  if (head == "%DL=" || head == "%PL=" || head == "%FL=") return kMaxUpgradeFrame;
  return 0;
}

QList<QByteArray> RequestFramer::Feed(char c, Micros at) {
  QList<QByteArray> done;
  // Line ends typed between requests (a terminal program's Enter) are not requests.
  if (pending_.isEmpty() && (c == '\r' || c == '\n')) return done;
  if (c == '%' && !pending_.isEmpty()) {
    done.append(pending_);
    pending_.clear();
  }
  pending_.append(c);
  last_at_ = at;
  const int length = KnownLength();
  if (length != 0 && pending_.size() >= length) {
    done.append(pending_);
    pending_.clear();
  }
  return done;
}

std::optional<QByteArray> RequestFramer::TakeIfQuiet(Micros now) {
  if (pending_.isEmpty() || now < last_at_ + quiet_gap_) return std::nullopt;
  QByteArray frame = pending_;
  pending_.clear();
  return frame;
}

std::optional<Micros> RequestFramer::QuietDeadline() const {
  if (pending_.isEmpty()) return std::nullopt;
  return last_at_ + quiet_gap_;
}

}  // namespace tornavo::sim

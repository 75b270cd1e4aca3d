#pragma once

#include <QByteArray>
#include <QList>
#include <deque>
#include <optional>

#include "sim/sim_clock.h"

namespace tornavo::sim {

// The receiver's transmit side: replies wait here and leave as the line lets them. With a
// character time set, character i of a piece crosses the line one character time after
// character i-1 (or after the piece may start), and is handed over only then; with none
// (pacing off) a piece leaves as soon as it may start.
class ReplyLine {
 public:
  // Microseconds one character takes on the wire; 0 for no pacing.
  void set_char_time(Micros char_time) { char_time_ = char_time; }
  Micros char_time() const { return char_time_; }

  // Queues a piece. It may start at `not_before`, and no sooner than `gap_before` after the
  // previous piece has left. A whole piece goes out in a single write, once its last
  // character has crossed; otherwise it goes out in whatever chunks are due.
  void Push(const QByteArray& bytes, Micros not_before, Micros gap_before, bool whole);

  // The writes due by `now`, each to be written separately and in order.
  QList<QByteArray> TakeDue(Micros now);
  // When the next character falls due; nothing when the queue is empty.
  std::optional<Micros> NextDeadline() const;
  bool empty() const { return pieces_.empty(); }
  // Drops everything queued (the receiver stopped).
  void Clear();

 private:
  struct Piece {
    QByteArray bytes;
    Micros not_before = 0;
    Micros gap_before = 0;
    bool whole = false;
    bool started = false;
    Micros start = 0;  // when its first character began to cross
    qsizetype sent = 0;
  };

  // When the head piece may start, given when the line became free.
  Micros StartOf(const Piece& piece) const;
  // Time at which the first `count` characters of a started piece have crossed.
  Micros CrossedBy(const Piece& piece, qsizetype count) const;

  Micros char_time_ = 0;
  std::deque<Piece> pieces_;
  Micros line_free_at_ = 0;
};

}  // namespace tornavo::sim

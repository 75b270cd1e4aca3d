#include "sim/reply_line.h"

#include <algorithm>

namespace tornavo::sim {

void ReplyLine::Push(const QByteArray& bytes, Micros not_before, Micros gap_before, bool whole) {
  if (bytes.isEmpty()) return;
  Piece piece;
  piece.bytes = bytes;
  piece.not_before = not_before;
  piece.gap_before = gap_before;
  piece.whole = whole;
  pieces_.push_back(piece);
}

Micros ReplyLine::StartOf(const Piece& piece) const {
  if (piece.started) return piece.start;
  return std::max(piece.not_before, line_free_at_ + piece.gap_before);
}

Micros ReplyLine::CrossedBy(const Piece& piece, qsizetype count) const {
  return StartOf(piece) + static_cast<Micros>(count) * char_time_;
}

QList<QByteArray> ReplyLine::TakeDue(Micros now) {
  QList<QByteArray> writes;
  while (!pieces_.empty()) {
    Piece& piece = pieces_.front();
    const Micros start = StartOf(piece);
    if (now < start) break;
    if (!piece.started) {
      piece.started = true;
      piece.start = start;
    }
    const qsizetype size = piece.bytes.size();
    qsizetype due = size;
    if (char_time_ > 0) {
      due = std::min<qsizetype>(size, (now - start) / char_time_);
      if (piece.whole && due < size) due = piece.sent;
    }
    if (due > piece.sent) {
      writes.append(piece.bytes.mid(piece.sent, due - piece.sent));
      piece.sent = due;
    }
    if (piece.sent < size) break;
    // The line is free once the last character has crossed, not when the loop noticed.
    line_free_at_ = CrossedBy(piece, size);
    pieces_.pop_front();
  }
  return writes;
}

std::optional<Micros> ReplyLine::NextDeadline() const {
  if (pieces_.empty()) return std::nullopt;
  const Piece& piece = pieces_.front();
  if (char_time_ == 0) return StartOf(piece);
  const qsizetype next = piece.whole ? piece.bytes.size() : piece.sent + 1;
  return CrossedBy(piece, next);
}

void ReplyLine::Clear() { pieces_.clear(); }

}  // namespace tornavo::sim

#pragma once

#include <QByteArray>
#include <optional>

namespace tornavo {

// Collects received pieces until they form a reply line. Only the last character received
// is looked at: the text is complete when it is longer than one character and ends with a
// carriage return, so a lone CR waits and two lines in one piece come out together.
class ReplyAccumulator {
 public:
  // Longer than any reply: a receiver that sends more without a carriage return is not
  // answering, and holding it all would let memory grow without limit.
  static constexpr qsizetype kMaxReplyLength = 1024;

  std::optional<QByteArray> Feed(const QByteArray& piece);
  // Takes out the pending text when it has grown past kMaxReplyLength (empty otherwise).
  QByteArray TakeOverlong();
  const QByteArray& pending() const { return text_; }
  void Clear() { text_.clear(); }

 private:
  QByteArray text_;
};

}  // namespace tornavo

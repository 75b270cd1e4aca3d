#pragma once

#include <QByteArray>
#include <optional>

namespace tornavo {

// Collects received pieces until they form a reply line. Only the last character received
// is looked at: the text is complete when it is longer than one character and ends with a
// carriage return, so a lone CR waits and two lines in one piece come out together.
class ReplyAccumulator {
 public:
  std::optional<QByteArray> Feed(const QByteArray& piece);
  const QByteArray& pending() const { return text_; }
  void Clear() { text_.clear(); }

 private:
  QByteArray text_;
};

}  // namespace tornavo

#include "core/serial/reply_accumulator.h"

namespace tornavo {

std::optional<QByteArray> ReplyAccumulator::Feed(const QByteArray& piece) {
  text_.append(piece);
  if (text_.size() > 1 && text_.endsWith('\r')) {
    QByteArray line;
    line.swap(text_);
    return line;
  }
  return std::nullopt;
}

QByteArray ReplyAccumulator::TakeOverlong() {
  QByteArray dropped;
  if (text_.size() > kMaxReplyLength) dropped.swap(text_);
  return dropped;
}

}  // namespace tornavo

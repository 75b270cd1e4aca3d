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

}  // namespace tornavo

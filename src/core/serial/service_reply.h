#pragma once

#include <QByteArray>

namespace tornavo {

// The receiver marks a reply that accepts a request with a full stop after its "$" ("$.EE",
// "$.DL"); a rejection carries a "?" there. A damaged line carries neither.
inline bool IsPositiveReply(const QByteArray& reply) {
  return reply.size() >= 2 && reply[1] == '.';
}

}  // namespace tornavo

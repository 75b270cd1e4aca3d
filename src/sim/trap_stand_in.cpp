#include "sim/trap_stand_in.h"

namespace tornavo::sim {

QByteArray TrapStandIn() {
  const QByteArray marker("VIRTUAL RECEIVER STAND-IN, NOT TARGET CODE. ");
  QByteArray bytes;
  while (bytes.size() < 696) bytes += marker;
  bytes.truncate(696);
  return bytes;
}

}  // namespace tornavo::sim

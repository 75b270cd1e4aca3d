#pragma once

#include <QByteArray>
#include <cstddef>

#include "core/lpt/port_registers.h"

namespace tornavo::sim {

// What a batch of socket requests came to.
struct RequestBatch {
  size_t used = 0;       // bytes of whole requests served; the rest waits for more
  QByteArray replies;    // one byte per read, in order
  bool invalid = false;  // an unknown request or a register above 5: the peer is dropped
};

// Serves the whole requests at the start of bytes against port: 'W', register, value and
// 'R', register. Stops at the first invalid request.
RequestBatch ServeRegisterRequests(PortRegisters& port, const unsigned char* bytes, size_t size);

}  // namespace tornavo::sim

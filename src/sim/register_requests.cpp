#include "sim/register_requests.h"

namespace tornavo::sim {

RequestBatch ServeRegisterRequests(PortRegisters& port, const unsigned char* bytes, size_t size) {
  RequestBatch batch;
  size_t at = 0;
  while (at < size) {
    const unsigned char kind = bytes[at];
    const size_t length = kind == 'W' ? 3 : kind == 'R' ? 2 : 0;
    if (length == 0) {
      batch.invalid = true;
      break;
    }
    if (size - at < length) break;
    const unsigned char reg = bytes[at + 1];
    if (reg >= kPortRegisterCount) {
      batch.invalid = true;
      break;
    }
    if (kind == 'W')
      port.Write(static_cast<PortRegister>(reg), bytes[at + 2]);
    else
      batch.replies.append(static_cast<char>(port.Read(static_cast<PortRegister>(reg))));
    at += length;
  }
  batch.used = at;
  return batch;
}

}  // namespace tornavo::sim

// Requests from a socket peer of the virtual receiver's parallel side: any bytes at all,
// served against the peripheral, which they drive through every state it has.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "sim/parallel_peripheral.h"
#include "sim/register_requests.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tornavo::sim::ParallelPeripheral peripheral;
  // The first byte, when there is one, switches faults on, so they are explored too.
  if (size > 0) {
    tornavo::sim::PeripheralFaults faults;
    faults.data_available = data[0] & 1;
    faults.busy_stuck = data[0] & 2;
    faults.paper_end_after_init = data[0] & 4;
    faults.ack_low_after_byte = (data[0] & 8) ? data[0] >> 4 : -1;
    peripheral.SetFaults(faults);
    peripheral.Expect('D', data[0], 0);
    ++data;
    --size;
  }
  size_t at = 0;
  while (at < size) {
    const tornavo::sim::RequestBatch batch =
        tornavo::sim::ServeRegisterRequests(peripheral, data + at, size - at);
    if (batch.used > size - at) std::abort();
    if (batch.invalid || batch.used == 0) break;
    at += batch.used;
  }
  (void)peripheral.Verified('D');
  return 0;
}

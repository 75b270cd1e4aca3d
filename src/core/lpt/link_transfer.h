#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

#include "core/lpt/parallel_link.h"
#include "core/lpt/port_registers.h"
#include "core/lpt/timing.h"
#include "core/runtime/operation_host.h"
#include "core/texts/texts.h"

namespace tornavo {

// How a whole transfer over the link ended.
struct LinkTransferResult {
  bool access_refused = false;
  bool complete = false;  // every byte sent, fewer than 100 errors, no failed recovery
  int errors = 0;
  QString port_failure;  // why the port stopped working during the transfer, if it did
  QString link_failure;  // else, when incomplete: where the link gave up
};

struct LinkTransferRequest {
  QByteArray buffer;
  uint64_t destination = 0;  // the "Dirección" value, for the address shown
  bool show_progress = false;
};

inline constexpr int kLinkErrorLimit = 100;
inline constexpr int64_t kProgressStep = 12287;

// SendBufferOverLink: acquires the port, opens and tests the link, sends the buffer byte by
// byte (a refused byte is sent again after a recovery), closes the link and releases the
// port. Log lines go to the firmware log; the status panel is the firmware page's.
LinkTransferResult SendBufferOverLink(PortRegisters& registers, MonotonicClock& clock,
                                      OperationHost& host, const Texts& texts,
                                      const LinkDelays& delays, QString& state,
                                      const LinkTransferRequest& request);

}  // namespace tornavo

#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

#include "core/jtag/jtag_state.h"
#include "core/lpt/port_registers.h"
#include "core/lpt/timing.h"
#include "core/runtime/operation_host.h"
#include "core/texts/texts.h"

namespace tornavo {

// What one JTAG operation borrows: the port, the clock, the host, the texts, the state
// that outlives operations, and the timing settings as they stand.
struct JtagSession {
  PortRegisters& port;
  MonotonicClock& clock;
  OperationHost& host;
  const Texts& texts;
  JtagState& state;
  JtagTiming timing;
};

// Where the trap routine is loaded when the settings hold no readable address.
inline constexpr uint32_t kDefaultTrapAddress = 0x40010000;

// The trap's load address from its settings text (hexadecimal), on a word boundary.
uint32_t TrapAddressFromText(const QString& text);

// kPortFailed: the port stopped working during the read (a socket peer that went silent).
enum class CpuKind { kNoPort, kPortFailed, kWrongCode, kUnknown, kSti5510, kSti5512 };

struct CpuIdentity {
  CpuKind kind = CpuKind::kNoPort;
  uint32_t idcode = 0;
  QString port_error;  // why the port could not be opened
};

inline constexpr uint32_t kIdcodeSti5510 = 0x2D4CD041;
inline constexpr uint32_t kIdcodeSti5512 = 0x5D406041;

CpuKind ClassifyIdcode(uint32_t idcode);

// "Código de la CPU": resets the debug unit, reads the identification code and logs it with
// the CPU it names. caption is the button's current caption.
CpuIdentity IdentifyCpu(JtagSession& session, const QString& caption);

}  // namespace tornavo

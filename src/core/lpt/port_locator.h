#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>

#include "core/lpt/port_registers.h"
#include "core/lpt/timing.h"

namespace tornavo {

// Which backend reaches the port, as one text used alike by the window, the command line
// and the tests: "ppdev:/dev/parportN", "direct:HEX" (278, 378, 3BC or A068), "socket:PATH"
// or "virtual".
struct PortLocator {
  enum class Kind { kPpdev, kDirect, kSocket, kVirtual };
  Kind kind = Kind::kPpdev;
  QString path;       // device or socket path
  uint16_t base = 0;  // direct I/O only

  QString Text() const;
};

// The bases that direct I/O may open, in the order of the port list.
inline constexpr uint16_t kDirectBases[] = {0x278, 0x378, 0x3BC, 0xA068};

// False with *error for anything but the four forms above.
bool ParsePortLocator(const QString& text, PortLocator* locator, QString* error);

// Each /dev/parportN present, as "ppdev:" locators, in number order.
QStringList PpdevLocatorsPresent(const QString& dev_dir = QStringLiteral("/dev"));

// The backends, one header each would be overkill: constructors for PortBackends and tests.
std::unique_ptr<PortRegisters> MakePpdevPort(const QString& device);
std::unique_ptr<PortRegisters> MakeDirectIoPort(uint16_t base);
// A socket peer must answer each read within deadline_ms on clock (the steady clock when
// none is given), or the port fails.
inline constexpr int64_t kSocketDeadlineMs = 2000;
std::unique_ptr<PortRegisters> MakeSocketPort(const QString& path, MonotonicClock* clock = nullptr,
                                              int64_t deadline_ms = kSocketDeadlineMs);
// Forwards to a port owned elsewhere (the in-process virtual receiver).
std::unique_ptr<PortRegisters> MakeBorrowedPort(PortRegisters& port);

}  // namespace tornavo

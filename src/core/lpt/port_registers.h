#pragma once

#include <QString>
#include <cstdint>

namespace tornavo {

// The six registers of a PC parallel port that the tool may touch, by register rather than
// by address, so that nothing else can ever be reached.
enum class PortRegister : uint8_t {
  kData = 0,        // base + 0
  kStatus = 1,      // base + 1, read only
  kControl = 2,     // base + 2
  kEcpData = 3,     // base + 0x400
  kEcpConfig = 4,   // base + 0x401
  kExtControl = 5,  // base + 0x402, the extended control register
};
inline constexpr int kPortRegisterCount = 6;

// One parallel port behind a backend: ppdev, direct I/O, a socket to another process or the
// virtual receiver. Access is acquired around each operation and released at its end.
class PortRegisters {
 public:
  virtual ~PortRegisters() = default;

  // False with a reason naming the device and the system's error.
  virtual bool Acquire(QString* error) = 0;
  virtual void Release() = 0;
  virtual uint8_t Read(PortRegister reg) = 0;
  virtual void Write(PortRegister reg, uint8_t value) = 0;
  // Every write so far has reached the port. Backends that batch writes override it.
  virtual void Flush() {}
  // Whether the port stopped working during this acquisition (a socket peer that went silent,
  // hung up or broke the protocol; a device that went away). From then on reads give 0xFF
  // and writes go nowhere until the next Acquire, so every operation ends quickly; failure()
  // says why, naming the port.
  virtual bool failed() const { return false; }
  virtual QString failure() const { return {}; }
};

// The message a refused acquisition (or a port that failed) shows: the catalogue's text,
// then the reason and what to do about it, on lines of their own.
inline QString PortRefusedText(const QString& message, const QString& reason) {
  return reason.isEmpty() ? message : message + QLatin1Char('\n') + reason;
}

}  // namespace tornavo

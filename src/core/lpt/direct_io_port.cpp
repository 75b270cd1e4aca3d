// The parallel port by direct I/O instructions on the two three-port ranges of the base,
// with permission from ioperm (root or CAP_SYS_RAWIO). x86 only.
#include <cerrno>
#include <cstring>

#include "core/lpt/port_locator.h"
#include "core/port/port_diagnosis.h"

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define TORNAVO_HAS_DIRECT_IO 1
#endif

namespace tornavo {

namespace {

uint16_t AddressOf(uint16_t base, PortRegister reg) {
  const int index = static_cast<int>(reg);
  return static_cast<uint16_t>(index < 3 ? base + index : base + 0x400 + (index - 3));
}

class DirectIoPort : public PortRegisters {
 public:
  explicit DirectIoPort(uint16_t base) : base_(base) {}
  ~DirectIoPort() override { Release(); }

#ifdef TORNAVO_HAS_DIRECT_IO
  bool Acquire(QString* error) override {
    if (::ioperm(base_, 3, 1) != 0 || ::ioperm(base_ + 0x400, 3, 1) != 0) {
      if (error) {
        *error = QStringLiteral("Direct I/O at %1: ioperm: %2")
                     .arg(QString::number(base_, 16).toUpper(),
                          QString::fromLocal8Bit(std::strerror(errno)));
        const QString advice =
            PortInspector(QStringLiteral("/"), CurrentUser(), Texts()).DirectIo().Explanation();
        if (!advice.isEmpty()) *error += QLatin1Char('\n') + advice;
      }
      ::ioperm(base_, 3, 0);
      return false;
    }
    acquired_ = true;
    return true;
  }
  void Release() override {
    if (!acquired_) return;
    ::ioperm(base_ + 0x400, 3, 0);
    ::ioperm(base_, 3, 0);
    acquired_ = false;
  }
  uint8_t Read(PortRegister reg) override {
    return acquired_ ? ::inb(AddressOf(base_, reg)) : 0xFF;
  }
  void Write(PortRegister reg, uint8_t value) override {
    if (acquired_) ::outb(value, AddressOf(base_, reg));
  }
#else
  bool Acquire(QString* error) override {
    if (error) *error = QStringLiteral("Direct I/O is only available on x86 processors.");
    return false;
  }
  void Release() override {}
  uint8_t Read(PortRegister) override { return 0xFF; }
  void Write(PortRegister, uint8_t) override {}
#endif

 private:
  uint16_t base_;
  bool acquired_ = false;
};

}  // namespace

std::unique_ptr<PortRegisters> MakeDirectIoPort(uint16_t base) {
  return std::make_unique<DirectIoPort>(base);
}

}  // namespace tornavo

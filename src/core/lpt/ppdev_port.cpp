// The parallel port through Linux ppdev: no root needed, only membership of the group that
// owns the device (lp on Debian).
#include <fcntl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/lpt/port_locator.h"
#include "core/port/port_diagnosis.h"

namespace tornavo {

namespace {

class PpdevPort : public PortRegisters {
 public:
  explicit PpdevPort(QString device) : device_(std::move(device)) {}
  ~PpdevPort() override { Release(); }

  bool Acquire(QString* error) override {
    Release();
    failure_.clear();
    fd_ = ::open(device_.toLocal8Bit().constData(), O_RDWR | O_CLOEXEC);
    if (fd_ < 0) return Fail("open", error);
    if (::ioctl(fd_, PPCLAIM) != 0) {
      const bool failed = Fail("claim", error);
      ::close(fd_);
      fd_ = -1;
      return failed;
    }
    kernel_bits_ = 0;
    return true;
  }

  void Release() override {
    if (fd_ < 0) return;
    ::ioctl(fd_, PPRELEASE);
    ::close(fd_);
    fd_ = -1;
  }

  uint8_t Read(PortRegister reg) override {
    unsigned char value = 0xFF;
    if (fd_ < 0) return value;
    switch (reg) {
      case PortRegister::kData:
        Check(::ioctl(fd_, PPRDATA, &value), "PPRDATA");
        break;
      case PortRegister::kStatus:
        Check(::ioctl(fd_, PPRSTATUS, &value), "PPRSTATUS");
        break;
      case PortRegister::kControl:
        Check(::ioctl(fd_, PPRCONTROL, &value), "PPRCONTROL");
        // The kernel reports only the four output lines; the interrupt-enable and
        // direction bits read back as last written, so read-modify-write keeps them.
        value = static_cast<unsigned char>((value & 0x0F) | kernel_bits_);
        break;
      default:
        // The second range has no counterpart under ppdev.
        break;
    }
    return fd_ < 0 ? 0xFF : value;
  }

  void Write(PortRegister reg, uint8_t value) override {
    if (fd_ < 0) return;
    unsigned char byte = value;
    switch (reg) {
      case PortRegister::kData:
        Check(::ioctl(fd_, PPWDATA, &byte), "PPWDATA");
        break;
      case PortRegister::kControl: {
        byte = value & 0x0F;
        Check(::ioctl(fd_, PPWCONTROL, &byte), "PPWCONTROL");
        if (fd_ < 0) break;
        // The interrupt-enable bit belongs to the kernel driver: remembered, not written.
        // The direction bit goes through PPDATADIR.
        const uint8_t old_reverse = kernel_bits_ & 0x20;
        kernel_bits_ = value & 0x30;
        if ((value & 0x20) != old_reverse) {
          int reverse = (value & 0x20) ? 1 : 0;
          ::ioctl(fd_, PPDATADIR, &reverse);
        }
        break;
      }
      case PortRegister::kExtControl: {
        // The extended control register belongs to the kernel driver: instead of writing
        // it, select the port mode its mode field names (001: byte mode, else compatibility).
        int mode = (value >> 5) == 1 ? IEEE1284_MODE_BYTE : IEEE1284_MODE_COMPAT;
        ::ioctl(fd_, PPSETMODE, &mode);
        break;
      }
      default:
        break;
    }
  }

  bool failed() const override { return !failure_.isEmpty(); }
  QString failure() const override { return failure_; }

 private:
  // The system's reason, and what 'tornavo ports' advises about this device.
  bool Fail(const char* what, QString* error) const {
    const QString reason = QString::fromLocal8Bit(std::strerror(errno));
    if (error) {
      *error = QStringLiteral("%1: cannot %2 the parallel port: %3")
                   .arg(device_, QString::fromLatin1(what), reason);
      const QString advice =
          PortInspector(QStringLiteral("/"), CurrentUser(), Texts()).Parallel(device_).Explanation();
      if (!advice.isEmpty()) *error += QLatin1Char('\n') + advice;
    }
    return false;
  }

  // A register access the kernel refuses (the device went away): the port has failed.
  void Check(int result, const char* request) {
    if (result >= 0) return;
    failure_ = QStringLiteral("%1: %2: %3")
                   .arg(device_, QString::fromLatin1(request),
                        QString::fromLocal8Bit(std::strerror(errno)));
    Release();
  }

  QString device_;
  int fd_ = -1;
  uint8_t kernel_bits_ = 0;
  QString failure_;
};

}  // namespace

std::unique_ptr<PortRegisters> MakePpdevPort(const QString& device) {
  return std::make_unique<PpdevPort>(device);
}

}  // namespace tornavo

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

namespace tornavo {

namespace {

class PpdevPort : public PortRegisters {
 public:
  explicit PpdevPort(QString device) : device_(std::move(device)) {}
  ~PpdevPort() override { Release(); }

  bool Acquire(QString* error) override {
    Release();
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
        ::ioctl(fd_, PPRDATA, &value);
        break;
      case PortRegister::kStatus:
        ::ioctl(fd_, PPRSTATUS, &value);
        break;
      case PortRegister::kControl:
        ::ioctl(fd_, PPRCONTROL, &value);
        // The kernel reports only the four output lines; the interrupt-enable and
        // direction bits read back as last written, so read-modify-write keeps them.
        value = static_cast<unsigned char>((value & 0x0F) | kernel_bits_);
        break;
      default:
        // The second range has no counterpart under ppdev.
        break;
    }
    return value;
  }

  void Write(PortRegister reg, uint8_t value) override {
    if (fd_ < 0) return;
    unsigned char byte = value;
    switch (reg) {
      case PortRegister::kData:
        ::ioctl(fd_, PPWDATA, &byte);
        break;
      case PortRegister::kControl: {
        byte = value & 0x0F;
        ::ioctl(fd_, PPWCONTROL, &byte);
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

 private:
  bool Fail(const char* what, QString* error) const {
    if (error)
      *error = QStringLiteral("%1: cannot %2 the parallel port: %3")
                   .arg(device_, QString::fromLatin1(what),
                        QString::fromLocal8Bit(std::strerror(errno)));
    return false;
  }

  QString device_;
  int fd_ = -1;
  uint8_t kernel_bits_ = 0;
};

}  // namespace

std::unique_ptr<PortRegisters> MakePpdevPort(const QString& device) {
  return std::make_unique<PpdevPort>(device);
}

}  // namespace tornavo

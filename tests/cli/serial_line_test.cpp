// The serial line a command sets up: the settings folder's, each value overridden by its
// option. Seen from a pseudo-terminal the test holds, as the receiver's side of the cable.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdlib>

#include "tornavo_process.h"

namespace tornavo {
namespace {

// Both ends of a pseudo-terminal. The slave stays open here from the start, so that its line
// settings can be read while the command holds it.
class Cable {
 public:
  Cable() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
    device_ = QString::fromLocal8Bit(::ptsname(master_));
    slave_ = ::open(::ptsname(master_), O_RDWR | O_NOCTTY);
  }
  ~Cable() {
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
  }
  bool ok() const { return slave_ >= 0; }
  QString device() const { return device_; }
  // True once the command has written to the line, which it does after setting it up; false
  // when it ends first or writes nothing for 20 s.
  bool WaitForRequest(QProcess& command) {
    for (int waited = 0; waited < 20000; waited += 50) {
      pollfd fd{master_, POLLIN, 0};
      char byte = 0;
      if (::poll(&fd, 1, 0) == 1) return ::read(master_, &byte, 1) == 1;
      if (command.waitForFinished(50)) return false;
    }
    return false;
  }
  termios Line() const {
    termios line{};
    ::tcgetattr(slave_, &line);
    return line;
  }

 private:
  int master_ = -1;
  int slave_ = -1;
  QString device_;
};

struct Case {
  const char* name;
  QStringList arguments;  // before --port and --ini-dir
};

class SerialLineTest : public ::testing::TestWithParam<Case> {};

// 19200 bits/s, 8 data bits, even parity, 2 stop bits, hardware flow control.
constexpr char kStoredLine[] =
    "[TForm1]\r\nVelocidad=8\r\nBitsDatos=2\r\nParidad=1\r\nBitsParada=1\r\nControlFlujo=2\r\n";

TEST_P(SerialLineTest, TheSettingsFolderGivesTheLineAndOptionsOverrideIt) {
  QTemporaryDir dir;
  testing::WriteFile(dir.filePath("Tornavo.ini"), kStoredLine);
  Cable cable;
  ASSERT_TRUE(cable.ok());

  QProcess command;
  command.start(testing::TornavoPath(),
                GetParam().arguments + QStringList{"--port", cable.device(), "--ini-dir",
                                                   dir.path(), "--parity", "odd", "--flow", "none",
                                                   "--timeout", "30000"});
  ASSERT_TRUE(cable.WaitForRequest(command)) << command.readAllStandardError().toStdString();
  const termios line = cable.Line();
  command.kill();
  command.waitForFinished(10000);

  // A pseudo-terminal keeps 8 data bits and no parity enable whatever is asked for; the parity
  // sense, the stop bits, the rate and the flow control come through.
  // From the settings file:
  EXPECT_EQ(cfgetospeed(&line), static_cast<speed_t>(B19200));
  EXPECT_TRUE(line.c_cflag & CSTOPB);
  // From the options, over the file's even parity and hardware flow control:
  EXPECT_TRUE(line.c_cflag & PARODD);
  EXPECT_FALSE(line.c_cflag & CRTSCTS);
  EXPECT_FALSE(line.c_iflag & (IXON | IXOFF));
}

INSTANTIATE_TEST_SUITE_P(EveryCommand, SerialLineTest,
                         ::testing::Values(Case{"EepromRead", {"eeprom", "read", "-o", "-"}},
                                           Case{"FirmwareCheckLpt", {"firmware", "check-lpt"}},
                                           Case{"Send", {"send", "%EE?00010"}}),
                         [](const ::testing::TestParamInfo<Case>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace tornavo

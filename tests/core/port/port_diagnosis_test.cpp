#include "core/port/port_diagnosis.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "core/settings/language.h"
#include "core/texts/texts.h"

namespace tornavo {
namespace {

// The English texts the package installs: the reasons below are quoted as they read there.
const Texts& English() {
  static const Texts texts = [] {
    Texts english;
    LoadLanguage(QStringLiteral(TORNAVO_SHARE_DIR "/"), "English", english);
    return english;
  }();
  return texts;
}

// A system tree in a temporary folder. Device nodes are plain files: their owner and group
// are whatever this test process creates them with, so the fake group file names that
// group and the fake user is placed in or out of it.
class FakeSystem {
 public:
  FakeSystem() {
    QFile probe(dir_.filePath("probe"));
    probe.open(QIODevice::WriteOnly);
    probe.close();
    struct stat status {};
    ::stat(QFile::encodeName(probe.fileName()).constData(), &status);
    file_uid_ = status.st_uid;
    file_gid_ = status.st_gid;
  }

  QString root() const { return dir_.path(); }
  uint file_gid() const { return file_gid_; }

  void Write(const QString& path, const QByteArray& content = {}) {
    QDir().mkpath(QFileInfo(root() + path).path());
    QFile file(root() + path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
  }
  void Device(const QString& path, QFile::Permissions permissions) {
    Write(path);
    QFile::setPermissions(root() + path, permissions);
  }
  void Link(const QString& path, const QString& target) {
    QDir().mkpath(QFileInfo(root() + path).path());
    ASSERT_TRUE(QFile::link(target, root() + path));
  }
  // The devices' group under a name, with the given members.
  void Group(const QString& name, const QString& members = {}) {
    // The devices' group first: the first line with a group id names it.
    Write("/etc/group", QStringLiteral("%1:x:%2:%3\nroot:x:0:\nusers:x:100:\n")
                            .arg(name)
                            .arg(file_gid_)
                            .arg(members)
                            .toUtf8());
  }
  // Someone who neither owns the devices nor is root; in the devices' group when asked.
  UserIdentity User(bool in_group) const {
    UserIdentity user;
    user.name = "ana";
    user.uid = file_uid_ == 1000 ? 1001 : 1000;
    user.gid = 100;
    user.groups = {100};
    if (in_group) user.groups << file_gid_;
    return user;
  }

 private:
  QTemporaryDir dir_;
  uint file_uid_ = 0;
  uint file_gid_ = 0;
};

constexpr auto kReadWriteGroup =
    QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup;

TEST(PortDiagnosisTest, SerialDevicesWithTheirAdaptersAndStableNames) {
  FakeSystem system;
  system.Group("dialout");
  const auto usb_adapter = [&](const QString& port, const QString& tty, const QString& serial) {
    const QString device = "/sys/devices/pci0000:00/usb1/" + port;
    system.Write(device + "/idVendor", "0403\n");
    system.Write(device + "/idProduct", "6001\n");
    system.Write(device + "/manufacturer", "FTDI\n");
    system.Write(device + "/product", "FT232R USB UART\n");
    system.Write(device + "/serial", serial.toUtf8() + "\n");
    system.Write(device + "/" + port + ":1.0/" + tty + "/power");
    system.Link("/sys/class/tty/" + tty + "/device",
                system.root() + device + "/" + port + ":1.0/" + tty);
    system.Device("/dev/" + tty, kReadWriteGroup);
  };
  usb_adapter("1-1", "ttyUSB10", "A5028");
  usb_adapter("1-2", "ttyUSB2", "B7731");
  system.Link("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_B7731-if00-port0", "../../ttyUSB2");
  // A built-in UART, an empty UART slot, and a virtual terminal.
  system.Write("/sys/devices/pnp0/00:01/tty/ttyS0/power");
  system.Link("/sys/devices/pnp0/00:01/driver", system.root() + "/sys/bus/pnp/drivers/serial");
  system.Write("/sys/bus/pnp/drivers/serial/bind");
  system.Link("/sys/class/tty/ttyS0/device", system.root() + "/sys/devices/pnp0/00:01");
  system.Write("/sys/class/tty/ttyS0/type", "4\n");
  system.Link("/sys/class/tty/ttyS1/device", system.root() + "/sys/devices/pnp0/00:01");
  system.Write("/sys/class/tty/ttyS1/type", "0\n");
  system.Write("/sys/class/tty/tty1/dev", "4:1\n");

  const PortInspector inspector(system.root(), system.User(true), English());
  const auto ports = inspector.SerialPorts();
  ASSERT_EQ(ports.size(), 3u);
  EXPECT_EQ(ports[0].device, "/dev/ttyS0");
  EXPECT_EQ(ports[0].description, "built-in serial port");
  EXPECT_FALSE(ports[0].usable) << "no node under /dev";
  EXPECT_EQ(ports[0].reason, "/dev/ttyS0 does not exist");
  EXPECT_EQ(ports[1].device, "/dev/ttyUSB2");
  EXPECT_EQ(ports[1].description, "USB 0403:6001 FTDI FT232R USB UART, serial number B7731");
  EXPECT_EQ(ports[1].aliases,
            QStringList{"/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_B7731-if00-port0"});
  EXPECT_TRUE(ports[1].usable);
  EXPECT_TRUE(ports[1].Explanation().isEmpty());
  EXPECT_EQ(ports[2].device, "/dev/ttyUSB10");
  EXPECT_EQ(ports[2].description, "USB 0403:6001 FTDI FT232R USB UART, serial number A5028");
  EXPECT_TRUE(ports[2].aliases.isEmpty());
}

TEST(PortDiagnosisTest, AccessIsJudgedByOwnerGroupAndModeWithTheRemedy) {
  FakeSystem system;
  system.Device("/dev/ttyUSB0", kReadWriteGroup);
  system.Device("/dev/ttyUSB1", QFile::ReadOwner | QFile::WriteOwner);
  system.Device("/dev/ttyUSB2", kReadWriteGroup | QFile::ReadOther | QFile::WriteOther);
  system.Device("/dev/ttyUSB3", QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
  system.Group("dialout");

  const PortInspector member(system.root(), system.User(true), English());
  EXPECT_TRUE(member.Serial("/dev/ttyUSB0").usable);
  const PortDiagnosis group_read_only = member.Serial("/dev/ttyUSB3");
  EXPECT_FALSE(group_read_only.usable);
  EXPECT_EQ(group_read_only.reason,
            "/dev/ttyUSB3 belongs to your group dialout but its mode -rw-r----- gives the group "
            "no read and write access");

  const PortInspector stranger(system.root(), system.User(false), English());
  const PortDiagnosis refused = stranger.Serial("/dev/ttyUSB0");
  EXPECT_FALSE(refused.usable);
  EXPECT_EQ(refused.reason, "/dev/ttyUSB0 belongs to the group dialout and you are not a member");
  EXPECT_EQ(refused.remedy,
            "add yourself to the group dialout and log in again "
            "(sudo adduser ana dialout)");
  EXPECT_EQ(refused.Explanation(), refused.reason + ":\n" + refused.remedy);
  EXPECT_TRUE(stranger.Serial("/dev/ttyUSB2").usable) << "everyone may read and write it";
  const PortDiagnosis root_only = stranger.Serial("/dev/ttyUSB1");
  EXPECT_FALSE(root_only.usable);
  EXPECT_EQ(root_only.reason, "only root may open /dev/ttyUSB1 (mode -rw-------)");

  // Added to the group in the group file, but this session still runs without it.
  system.Group("dialout", "pepe,ana");
  const PortDiagnosis stale = stranger.Serial("/dev/ttyUSB0");
  EXPECT_FALSE(stale.usable);
  EXPECT_EQ(stale.remedy, "log out and log in again (or run 'newgrp dialout' in this terminal)");

  UserIdentity root = system.User(false);
  root.uid = 0;
  EXPECT_TRUE(PortInspector(system.root(), root, English()).Serial("/dev/ttyUSB1").usable);
}

// A port another program keeps open, found by its lock file (text or binary pid) or, without
// one, by an open descriptor; a stale lock and this process's own hold leave it free.
TEST(PortDiagnosisTest, APortAnotherProgramHoldsIsNamedWithThatProgram) {
  FakeSystem system;
  system.Device("/dev/ttyUSB0", kReadWriteGroup | QFile::ReadOther | QFile::WriteOther);
  const PortInspector inspector(system.root(), system.User(false), English());
  const auto held_by = [&] {
    const PortDiagnosis port = inspector.Serial("/dev/ttyUSB0");
    return port.usable ? QString("free") : port.reason + " / " + port.remedy;
  };
  const QString held =
      "/dev/ttyUSB0 is held open by %1 / close that program or choose another port";
  EXPECT_EQ(held_by(), "free");
  system.Write("/proc/4242/comm", "minicom\n");
  system.Write("/var/lock/LCK..ttyUSB0", "      4242\n");
  EXPECT_EQ(held_by(), held.arg("minicom (process 4242)"));
  const qint32 binary = 4242;
  system.Write("/var/lock/LCK..ttyUSB0", QByteArray(reinterpret_cast<const char*>(&binary), 4));
  EXPECT_EQ(held_by(), held.arg("minicom (process 4242)"));
  system.Write("/var/lock/LCK..ttyUSB0", "4343\n");  // its process is gone
  EXPECT_EQ(held_by(), "free");
  const QByteArray own = QByteArray::number(QCoreApplication::applicationPid());
  system.Write("/proc/" + own + "/comm", "tornavo\n");
  system.Write("/var/lock/LCK..ttyUSB0", own);
  EXPECT_EQ(held_by(), "free");
  system.Write("/proc/77/comm", "screen\n");
  system.Link("/proc/77/fd/1", "/dev/null");
  system.Link("/proc/77/fd/5", "/dev/ttyUSB0");
  EXPECT_EQ(held_by(), held.arg("screen (process 77)"));
  // A pseudo-terminal's lock is named after its path; its open descriptors are not looked at.
  system.Device("/dev/pts/3", kReadWriteGroup | QFile::ReadOther | QFile::WriteOther);
  system.Link("/proc/77/fd/6", "/dev/pts/3");
  EXPECT_TRUE(inspector.Serial("/dev/pts/3").usable);
  system.Write("/run/lock/LCK..pts_3", "4242\nminicom\n");
  EXPECT_EQ(inspector.Serial("/dev/pts/3").reason,
            "/dev/pts/3 is held open by minicom (process 4242)");
}

TEST(PortDiagnosisTest, ParallelPortsNodesModulesAndAddresses) {
  FakeSystem system;
  system.Group("lp");
  system.Device("/dev/parport0", kReadWriteGroup);
  system.Write("/proc/sys/dev/parport/parport0/base-addr", "888\t1912\n");
  system.Write("/proc/sys/dev/parport/parport0/modes", "PCSPP,TRISTATE,EPP\n");
  system.Write("/proc/sys/dev/parport/parport1/base-addr", "53352\t53360\n");
  system.Write("/proc/modules", "parport_pc 53248 1 - Live 0x0\nparport 73728 2 parport_pc\n");

  auto ports = PortInspector(system.root(), system.User(false), English()).ParallelPorts();
  ASSERT_EQ(ports.size(), 2u);
  EXPECT_EQ(ports[0].device, "/dev/parport0");
  EXPECT_EQ(ports[0].description, "base address 378 (PCSPP,TRISTATE,EPP)");
  EXPECT_EQ(ports[0].remedy, "add yourself to the group lp and log in again (sudo adduser ana lp)");
  EXPECT_EQ(ports[1].device, "/dev/parport1");
  EXPECT_EQ(ports[1].description, "base address D068");
  EXPECT_FALSE(ports[1].usable);
  EXPECT_EQ(ports[1].reason, "the module ppdev is not loaded");

  system.Write("/proc/modules", "ppdev 24576 0 - Live 0x0\nparport_pc 53248 1 - Live 0x0\n");
  ports = PortInspector(system.root(), system.User(true), English()).ParallelPorts();
  EXPECT_TRUE(ports[0].usable);
  EXPECT_EQ(ports[1].reason, "the module ppdev is loaded but /dev/parport1 is missing");

  FakeSystem bare;
  ports = PortInspector(bare.root(), bare.User(true), English()).ParallelPorts();
  ASSERT_EQ(ports.size(), 1u);
  EXPECT_FALSE(ports[0].usable);
  EXPECT_EQ(ports[0].reason, "the module parport_pc is not loaded");
  bare.Write("/sys/module/parport_pc/refcnt", "1\n");  // built into the kernel
  EXPECT_EQ(PortInspector(bare.root(), bare.User(true), English()).ParallelPorts()[0].reason,
            "the kernel found no parallel port");
}

TEST(PortDiagnosisTest, DirectIoNeedsTheRawIoCapabilityOnAnUnlockedX86) {
  FakeSystem system;
  UserIdentity user = system.User(true);
  system.Write("/proc/self/status", "Name:\ttornavo\nCapEff:\t0000000000000000\n");
  PortDiagnosis direct = PortInspector(system.root(), user, English(), true).DirectIo();
  EXPECT_FALSE(direct.usable);
  EXPECT_EQ(direct.reason, "direct I/O needs root");

  user.uid = 0;
  direct = PortInspector(system.root(), user, English(), true).DirectIo();
  EXPECT_FALSE(direct.usable) << "root without the capability, as in a container";
  EXPECT_EQ(direct.reason, "this process lacks the CAP_SYS_RAWIO capability");

  system.Write("/proc/self/status", "Name:\ttornavo\nCapEff:\t000001ffffffffff\n");
  EXPECT_TRUE(PortInspector(system.root(), user, English(), true).DirectIo().usable);
  EXPECT_EQ(PortInspector(system.root(), user, English(), false).DirectIo().reason,
            "direct I/O exists only on x86 PCs");

  system.Write("/sys/kernel/security/lockdown", "none [integrity] confidentiality\n");
  direct = PortInspector(system.root(), user, English(), true).DirectIo();
  EXPECT_FALSE(direct.usable);
  EXPECT_TRUE(direct.reason.startsWith("the kernel is locked down"));
}

}  // namespace
}  // namespace tornavo

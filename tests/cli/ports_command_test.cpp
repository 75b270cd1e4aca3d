#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "tornavo_process.h"

namespace {

using tornavo::testing::RunTornavo;
using tornavo::testing::WriteFile;

// A system tree with one USB adapter whose device node is missing and no parallel port.
TEST(PortsCommandTest, ListsThePortsAndExplainsOneThatCannotBeOpened) {
  QTemporaryDir root;
  const QString usb = root.filePath("sys/devices/usb1/1-1");
  WriteFile(usb + "/idVendor", "067b\n");
  WriteFile(usb + "/idProduct", "2303\n");
  WriteFile(usb + "/product", "USB-Serial Controller\n");
  WriteFile(usb + "/1-1:1.0/ttyUSB0/power", "");
  QDir().mkpath(root.filePath("sys/class/tty/ttyUSB0"));
  ASSERT_TRUE(QFile::link(usb + "/1-1:1.0/ttyUSB0", root.filePath("sys/class/tty/ttyUSB0/device")));

  const auto one = RunTornavo({"ports", "--root", root.path(), "ttyUSB0"});
  EXPECT_EQ(one.exit_code, 5);
  EXPECT_EQ(tornavo::testing::Lines(one.out),
            QStringList({"  /dev/ttyUSB0  USB 067b:2303 USB-Serial Controller",
                         "    cannot be opened: /dev/ttyUSB0 does not exist",
                         "    what to do: check the cable and that the adapter is plugged in"}));

  const auto all = RunTornavo({"ports", "--root", root.path()});
  EXPECT_EQ(all.exit_code, 0) << all.err.toStdString();
  const QStringList lines = tornavo::testing::Lines(all.out);
  ASSERT_GE(lines.size(), 8);
  EXPECT_EQ(lines.mid(0, 2) + lines.mid(4, 1),
            QStringList({"Serial ports:", one.out.section('\n', 0, 0), "Parallel ports:"}));
  EXPECT_TRUE(lines.contains("Direct I/O:"));
}

// Only serial and parallel devices are called ports: anything else given is named as what it
// is, and cannot be opened as a port.
TEST(PortsCommandTest, APathThatIsNoPortIsNamedAsWhatItIs) {
  QTemporaryDir root;
  WriteFile(root.filePath("etc/passwd"), "root:x:0:0::/root:/bin/sh\n");
  QDir().mkpath(root.filePath("dev/folder"));
  struct Case {
    QStringList arguments;
    const char* said;
  };
  for (const Case& c : {Case{{"--root", root.path(), "/etc/passwd"}, "is a regular file"},
                        Case{{"--root", root.path(), "/dev/folder"}, "is a folder"},
                        Case{{"--root", root.path(), ""}, "no device"},
                        Case{{"/dev/null"}, "is a character device"}}) {
    const auto result = RunTornavo(QStringList{"ports"} + c.arguments);
    EXPECT_EQ(result.exit_code, 5) << c.arguments.join(' ').toStdString();
    EXPECT_TRUE(result.out.contains(c.said)) << result.out.toStdString();
    EXPECT_FALSE(result.out.contains("can be opened now")) << result.out.toStdString();
  }
}

}  // namespace

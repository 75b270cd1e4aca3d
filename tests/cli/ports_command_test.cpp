#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "tornavo_process.h"

namespace {

using tornavo::testing::RunTornavo;

void Write(const QString& path, const QByteArray& content) {
  QDir().mkpath(path.section('/', 0, -2));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(content);
}

// A system tree with one USB adapter whose device node is missing and no parallel port.
TEST(PortsCommandTest, ListsThePortsAndExplainsOneThatCannotBeOpened) {
  QTemporaryDir root;
  const QString usb = root.filePath("sys/devices/usb1/1-1");
  Write(usb + "/idVendor", "067b\n");
  Write(usb + "/idProduct", "2303\n");
  Write(usb + "/product", "USB-Serial Controller\n");
  Write(usb + "/1-1:1.0/ttyUSB0/power", "");
  QDir().mkpath(root.filePath("sys/class/tty/ttyUSB0"));
  ASSERT_TRUE(QFile::link(usb + "/1-1:1.0/ttyUSB0", root.filePath("sys/class/tty/ttyUSB0/device")));

  const auto one = RunTornavo({"ports", "--root", root.path(), "ttyUSB0"});
  EXPECT_EQ(one.exit_code, 5);
  EXPECT_EQ(one.out.split('\n', Qt::SkipEmptyParts),
            QStringList({"  /dev/ttyUSB0  USB 067b:2303 USB-Serial Controller",
                         "    cannot be opened: /dev/ttyUSB0 does not exist",
                         "    what to do: check the cable and that the adapter is plugged in"}));

  const auto all = RunTornavo({"ports", "--root", root.path()});
  EXPECT_EQ(all.exit_code, 0) << all.err.toStdString();
  const QStringList lines = all.out.split('\n', Qt::SkipEmptyParts);
  ASSERT_GE(lines.size(), 8);
  EXPECT_EQ(lines[0], "Serial ports:");
  EXPECT_EQ(lines[1], "  /dev/ttyUSB0  USB 067b:2303 USB-Serial Controller");
  EXPECT_EQ(lines[4], "Parallel ports:");
  EXPECT_EQ(lines[6], "    cannot be opened: the module parport_pc is not loaded");
  EXPECT_TRUE(lines.contains("Direct I/O:"));
}

}  // namespace

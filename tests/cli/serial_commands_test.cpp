#include <gtest/gtest.h>

#include "support/qt_printers.h"
#include "support/scoped_env.h"
#include "tornavo_process.h"

namespace tornavo {
namespace {

using testing::BackgroundReceiver;
using testing::RunTornavo;

TEST(FrameCommand, PrintsTheTextWithItsChecksum) {
  const auto result = RunTornavo({"frame", "%EE?00010"});
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.out, "%EE?00010F1\n");
  EXPECT_NE(RunTornavo({"frame"}).exit_code, 0);
  // The receiver reads 8-bit text: the euro sign is 0x80, and the checksum is over that.
  EXPECT_EQ(RunTornavo({"frame", QString::fromUtf8("%€")}).out, QString::fromUtf8("%€7F\n"));
}

// Every level has help; wrong use ends with status 2 on every command and level, the
// window's options included.
TEST(HelpAndErrors, EveryLevelHasHelpAndBadUsageIsStatus2) {
  const auto top = RunTornavo({"--help"});
  EXPECT_EQ(top.exit_code, 0);
  for (const char* command : {"frame", "send", "virtual-receiver", "eeprom", "capture", "settings",
                              "firmware", "ports", "channels", "jtag"})
    EXPECT_TRUE(top.out.contains(command)) << command;
  const auto send_help = RunTornavo({"send", "--help"});
  EXPECT_EQ(send_help.exit_code, 0);
  EXPECT_TRUE(send_help.out.startsWith("Usage: tornavo send [options] TEXT"));
  const auto unknown = RunTornavo({"bogus"});
  EXPECT_EQ(unknown.exit_code, 2);
  EXPECT_TRUE(unknown.err.contains("bogus"));
  for (const QString& level : QStringList{
           "", "frame", "send", "virtual-receiver", "eeprom", "eeprom convert", "eeprom read",
           "capture", "settings", "ports", "channels", "channels edit", "firmware", "firmware send",
           "firmware check-lpt", "jtag", "jtag dump", "jtag send"}) {
    const auto run = RunTornavo(level.split(' ', Qt::SkipEmptyParts) << "--no-such-option");
    EXPECT_EQ(run.exit_code, 2) << level.toStdString();
    EXPECT_FALSE(run.err.trimmed().isEmpty()) << level.toStdString();
  }
}

// The window's options are checked before the window system is reached: on a machine
// without a display a mistyped option or --help is still answered.
TEST(HelpAndErrors, WindowOptionsNeedNoDisplay) {
  tornavo::testing::ScopedEnv platform("QT_QPA_PLATFORM", {});
  tornavo::testing::ScopedEnv display("DISPLAY", {});
  const auto wrong = RunTornavo({"--virtual-receiver", "--no-such-option"});
  const auto help = RunTornavo({"--virtual-receiver", "--help"});
  EXPECT_EQ(wrong.exit_code, 2);
  EXPECT_TRUE(wrong.err.contains("no-such-option")) << wrong.err.toStdString();
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_TRUE(help.out.startsWith("Usage: tornavo [options]")) << help.out.toStdString();
  EXPECT_TRUE(help.out.contains("--virtual-receiver"));
}

// No reply ends with status 3 and a message naming the port the receiver was silent on.
TEST(SendCommand, GetsTheReplyOrSaysWhyNot) {
  BackgroundReceiver receiver;
  BackgroundReceiver silent({"--fault", "silent"});
  ASSERT_FALSE(receiver.device().isEmpty() || silent.device().isEmpty());
  const auto result = RunTornavo({"send", "--port", receiver.device(), "%EE?00010"});
  EXPECT_EQ(result.exit_code, 0) << result.err.toStdString();
  EXPECT_TRUE(result.out.startsWith("$.EE")) << result.out.toStdString();
  EXPECT_EQ(result.out.trimmed().size(), 36);  // "$.EE" and the row's 32 hex digits
  const auto raw = RunTornavo({"send", "--no-checksum", "--port", receiver.device(), "%EE?00010"});
  EXPECT_TRUE(raw.out.startsWith("$?C0")) << raw.out.toStdString();
  EXPECT_EQ(raw.exit_code, 4);  // a refused request
  const auto missing = RunTornavo({"send", "--port", "/dev/no-such-port", "%EE?00010"});
  EXPECT_EQ(missing.exit_code, 2);
  EXPECT_TRUE(missing.err.contains("/dev/no-such-port")) << missing.err.toStdString();
  const auto none =
      RunTornavo({"send", "--timeout", "300", "--port", silent.device(), "%EE?00010"});
  EXPECT_EQ(none.exit_code, 3);
  EXPECT_EQ(none.err.trimmed(),
            "¡ No hay respuesta del decodificador en ese puerto serie ! (" + silent.device() + ")");
}

}  // namespace
}  // namespace tornavo

// The terminal page talking to the virtual receiver through a real pseudo-terminal.
#include "gui/pages/terminal_page.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

#include "core/serial/service_link.h"
#include "gui/log_view.h"
#include "sim/virtual_receiver.h"
#include "support/wait.h"
#include "window_fixture.h"

namespace tornavo {
namespace {

using testing::WaitUntil;

TEST(TerminalPageE2e, TypedCommandReachesTheReceiverAndItsReplyIsLogged) {
  sim::VirtualReceiver receiver;
  receiver.SetPacing(false);
  QString error;
  ASSERT_TRUE(receiver.Start(&error)) << error.toStdString();
  WindowOptions options;
  options.extra_ports << receiver.device_path();
  options.select_port = receiver.device_path();
  testing::WindowUnderTest w(std::move(options));
  ASSERT_TRUE(w.boxes->boxes.isEmpty());
  w.window->services().link.SetTimeoutScale(0.02);
  QLineEdit* line = w.window->terminal_page()->command_line();
  LogView* log = w.window->log(LogId::kTerminal);

  // An empty line sends nothing and logs nothing.
  QTest::keyClick(line, Qt::Key_Return);
  EXPECT_TRUE(log->Lines().isEmpty());

  QTest::keyClicks(line, "%EE?7F010");
  QTest::keyClick(line, Qt::Key_Return);
  ASSERT_TRUE(WaitUntil([&] { return log->Lines().size() == 2; }));
  EXPECT_EQ(log->Lines()[0], "%EE?7F01080");
  // The reply as received, its carriage return included.
  EXPECT_TRUE(log->Lines()[1].startsWith("$.")) << log->Lines()[1].toStdString();
  EXPECT_TRUE(log->Lines()[1].endsWith('\r'));
  EXPECT_EQ(receiver.ReceivedFrames(), QList<QByteArray>{"%EE?7F01080"});
  EXPECT_EQ(line->text(), "");

  receiver.SetSilent(true);
  QTest::keyClicks(line, "%EE?00010");
  QTest::keyClick(line, Qt::Key_Return);
  ASSERT_TRUE(WaitUntil([&] {
    return log->Lines().contains("¡ No hay respuesta del decodificador en ese puerto serie !");
  }));
  EXPECT_TRUE(w.boxes->boxes.isEmpty());
}

}  // namespace
}  // namespace tornavo

// The terminal page talking to the virtual receiver through a real pseudo-terminal.

#include "core/serial/service_link.h"
#include "window_fixture.h"

namespace tornavo {
namespace {

using testing::WaitUntil;

TEST(TerminalPageE2e, TypedCommandReachesTheReceiverAndItsReplyIsLogged) {
  testing::VirtualReceiverWindow rw;
  ASSERT_TRUE(rw.started) << rw.error.toStdString();
  rw.Open();
  testing::WindowUnderTest& w = *rw.w;
  sim::VirtualReceiver& receiver = rw.receiver;
  ASSERT_TRUE(w.boxes->boxes.isEmpty());
  w.window->services().link.SetTimeoutScale(0.02);
  QLineEdit* line = w.window->terminal_page()->command_line();
  LogView* log = w.window->log(LogId::kTerminal);
  EXPECT_EQ(w.window->terminal_page()->port_label()->text(), "Puerto : " + receiver.device_path());

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

  // A port closed meanwhile is named as closed when the page shows again.
  w.window->show();
  w.window->services().transport.Close();
  w.window->pages()->setCurrentIndex(static_cast<int>(Page::kTerminal));
  EXPECT_EQ(w.window->terminal_page()->port_label()->text(),
            "Puerto : " + receiver.device_path() + " (cerrado)");
}

// Up and Down bring back the commands sent, newest first, then the line being typed; a window
// opened later on the same settings folder has them too.
TEST(TerminalPage, UpAndDownRecallTheCommandsAlsoInALaterRun) {
  QTemporaryDir ini;
  QStringList shown;
  for (int run = 0; run < 2; ++run) {
    WindowOptions options;
    options.ini_dir = ini.path();
    testing::WindowUnderTest w(std::move(options));
    w.ShowPage(Page::kTerminal);
    w.window->show();
    QLineEdit* line = w.window->terminal_page()->command_line();
    line->setFocus();
    if (run == 1) {
      QTest::keyClick(line, Qt::Key_Up);
      EXPECT_EQ(line->text(), "%AA");
      break;
    }
    for (const char* command : {"%AA", "%BB", "%AA"}) {
      QTest::keyClicks(line, command);
      QTest::keyClick(line, Qt::Key_Return);
    }
    QTest::keyClicks(line, "%C");
    for (Qt::Key key : {Qt::Key_Up, Qt::Key_Up, Qt::Key_Up, Qt::Key_Down, Qt::Key_Down}) {
      QTest::keyClick(line, key);
      shown << line->text();
    }
  }
  EXPECT_EQ(shown, (QStringList{"%AA", "%BB", "%BB", "%AA", "%C"}));
}

}  // namespace
}  // namespace tornavo

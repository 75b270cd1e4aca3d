// "Enviar" of the EEPROM grid and of a file on the page "Firmware (JTag)", against the virtual
// JTAG target: the question before an EEPROM write, and why a file cannot be sent.
#include "core/runtime/blocking_runner.h"
#include "core/session/service_session.h"
#include "core/settings/settings.h"
#include "gui/log_view.h"
#include "gui/pages/eeprom_page.h"
#include "gui/pages/eeprom_transfer_controls.h"
#include "gui/pages/jtag_dump_page.h"
#include "sim/jtag_target.h"
#include "sim/target_cable.h"
#include "sim/virtual_catalogue.h"
#include "window_fixture.h"

namespace tornavo {
namespace {

using testing::WaitUntil;

// A window on the virtual target, its settings folder filled by the virtual receiver, shown
// and active; the recorded boxes answer for the user.
struct JtagWindow {
  JtagWindow() {
    QString error;
    EXPECT_TRUE(sim::InstallVirtualCatalogue(ini.path(), nullptr, &error)) << error.toStdString();
    WindowOptions options;
    options.virtual_cable = &cable;
    options.ini_dir = ini.path();
    w = std::make_unique<testing::WindowUnderTest>(std::move(options));
    // The grid is filled at the first activation, before anything the test does.
    EXPECT_TRUE(w->Show());
    w->ShowPage(Page::kJtag);
  }
  TForm1& window() { return *w->window; }
  JtagDumpPage* page() { return window().jtag_page(); }
  testing::RecordedBoxes& boxes() { return *w->boxes; }
  void Choose(DumpSource source) {
    QRadioButton* radio = page()->source(source);
    QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(6, radio->height() / 2));
    ASSERT_TRUE(radio->isChecked());
  }
  // Clicks and waits until whatever it started has ended.
  bool Press(QPushButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
    return WaitUntil([&] { return !window().session().runner().running(); }, 120000) &&
           WaitUntil([&] { return window().PageTakesInput(Page::kJtag); }, 5000);
  }

  QTemporaryDir ini;
  sim::JtagTarget target;
  sim::TargetCable cable{target, target, sim::TargetCable::Chips::kKeepBytes};
  std::unique_ptr<testing::WindowUnderTest> w;
};

// The grid at the start, never read, is asked about as it stands, with no check box; declined,
// nothing reaches the target. A file of two rows, then a JTAG dump of the whole EEPROM over
// it: every row is the receiver's, and both "Enviar" ask the routine question, naming no file.
// Its box ticked, the JTAG write goes and is not asked about again.
TEST(JtagEepromSend, AsksTheEepromWriteQuestionFirst) {
  JtagWindow sw;
  const QStringList& questions = sw.boxes().questions;
  const sim::EepromBytes held = sw.target.Eeprom();
  sw.Choose(DumpSource::kEeprom);
  ASSERT_TRUE(sw.Press(sw.page()->send_button()));
  ASSERT_EQ(questions.size(), 1);
  const QString rows_and_target =
      "Filas que se escribirán : 000-7F0\nDestino : Eeprom, de 000 a 7FF, por el puerto ";
  EXPECT_EQ(questions[0], rows_and_target +
                              "virtual.\nSe enviarán tal como están en el editor. ¿Enviar de "
                              "todos modos?");
  EXPECT_TRUE(sw.page()->log()->Lines().isEmpty());
  EXPECT_EQ(sw.target.Eeprom(), held);

  const QString two_rows = sw.w->Path("two_rows.txt");
  ASSERT_TRUE(testing::WriteTestFile(two_rows, "%EE=00010" + QByteArray(32, '1') + "00\r\n" +
                                                   "%EE=01010" + QByteArray(32, '2') + "00"));
  sw.w->dialogs->Answer(two_rows, 1);
  QTest::mouseClick(sw.window().eeprom_page()->load_button(), Qt::LeftButton);
  sw.w->ShowPage(Page::kJtag);
  ASSERT_TRUE(sw.Press(sw.page()->receive_button()));
  ASSERT_EQ(sw.w->LastBox(), "¡ Eeprom leída con éxito !");
  ASSERT_EQ(questions.size(), 1);
  QTest::mouseClick(sw.window().transfer_controls()->write_button(), Qt::LeftButton);
  ASSERT_EQ(questions.size(), 2);
  EXPECT_TRUE(questions[1].startsWith(rows_and_target)) << questions[1].toStdString();
  EXPECT_TRUE(questions[1].endsWith(".\n¿Escribirlas en la Eeprom del decodificador?"))
      << questions[1].toStdString();

  sw.boxes().confirm = sw.boxes().tick_option = true;
  sw.w->ShowPage(Page::kJtag);
  for (int send = 1; send <= 2; ++send) {
    ASSERT_TRUE(sw.Press(sw.page()->send_button()));
    EXPECT_EQ(sw.w->LastBox(), "¡ Eeprom escrita con éxito !");
  }
  ASSERT_EQ(questions.size(), 3);
  EXPECT_EQ(questions[2],
            rows_and_target + "virtual.\n¿Escribirlas en la Eeprom del decodificador?");
  EXPECT_FALSE(sw.window().settings().Bool(Key::kPreguntarEnviarEeprom));
  EXPECT_EQ(sw.target.Eeprom(), held);
}

// A file too long to send is refused with the reader's reason, and nothing is sent.
TEST(JtagEepromSend, AnOversizedFileIsRefusedWithItsReason) {
  JtagWindow sw;
  const QString big = sw.w->Path("big.bin");
  ASSERT_TRUE(testing::WriteTestFile(big, QByteArray(5 * 1024 * 1024, '\x5A')));
  sw.Choose(DumpSource::kFile);
  sw.w->dialogs->Answer(big);
  ASSERT_TRUE(sw.Press(sw.page()->send_button()));
  EXPECT_EQ(sw.w->LastBox(), big + ": longer than 4194304 bytes");
  EXPECT_TRUE(sw.page()->log()->Lines().isEmpty());
}

}  // namespace
}  // namespace tornavo

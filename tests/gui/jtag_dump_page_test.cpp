// The page "Firmware (JTag)" against the virtual JTAG target: the fields, the sources' presets
// and every dump's hand-over to the window's pages.
#include "gui/pages/jtag_dump_page.h"

#include "core/channels/channel_list.h"
#include "core/runtime/blocking_runner.h"
#include "core/session/service_session.h"
#include "gui/app_services.h"
#include "gui/pages/eeprom_page.h"
#include "gui/pages/hex_editor.h"
#include "gui/pages/picture_page.h"
#include "gui/pages/tuning_page.h"
#include "sim/channel_tables.h"
#include "sim/jtag_target.h"
#include "sim/target_cable.h"
#include "window_fixture.h"

namespace tornavo {
namespace {

using testing::WaitUntil;
using testing::WindowUnderTest;

// A window whose parallel port is the virtual JTAG target, with a 2 MiB channel-list chip at
// 7FE00000, on the cable the launcher lends with the virtual receiver (which gives the trap
// stand-in; the settings folder holds none).
struct JtagWindow {
  JtagWindow() {
    testing::WriteTestFile(ini.filePath("Chip2M.ini"),
                           "[Chip2M]\r\nNumBlocks=1\r\nblock0=0\r\nblock1=200000\r\n");
    WindowOptions options;
    options.virtual_cable = &cable;
    options.ini_dir = ini.path();
    w = std::make_unique<WindowUnderTest>(
        std::move(options),
        "[TForm1]\r\nFlashIC0=Chip2M\r\nFlash2Type=0\r\nFlash2Start=7FE00000\r\n");
    w->window->show();
  }
  TForm1& window() { return *w->window; }
  JtagDumpPage* page() { return window().jtag_page(); }
  bool Idle() {
    return WaitUntil([&] { return !window().session().runner().running(); }, 20000);
  }
  // On the round mark: a short caption leaves the middle of the wide button unclickable.
  void ClickSource(DumpSource source) {
    QRadioButton* radio = page()->source(source);
    QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(6, radio->height() / 2));
  }
  // Chooses the source, presses "Recibir" and waits for the dump's box.
  bool Dump(DumpSource source) {
    w->ShowPage(Page::kJtag);
    ClickSource(source);
    if (!page()->source(source)->isChecked()) {
      ADD_FAILURE() << "source not chosen";
      return false;
    }
    const qsizetype boxes = w->boxes->boxes.size();
    QTest::mouseClick(page()->receive_button(), Qt::LeftButton);
    return WaitUntil([&] { return w->boxes->boxes.size() > boxes; }, 60000) && Idle();
  }
  // With TORNAVO_TEST_SHOTS naming a folder, the window as it looks, to be looked at.
  void Shot(const char* name) {
    const QString folder = qEnvironmentVariable("TORNAVO_TEST_SHOTS");
    if (!folder.isEmpty()) window().grab().save(folder + "/" + name + ".png");
  }
  bool Shows(Page shown) { return window().pages()->currentIndex() == static_cast<int>(shown); }

  QTemporaryDir ini;
  sim::JtagTarget target;
  sim::TargetCable cable{target, target, sim::TargetCable::Chips::kKeepBytes};
  std::unique_ptr<WindowUnderTest> w;
};

// The rewriting rules are proven on the fields themselves; here, the boxes filter what is typed
// and the sources bring their presets.
TEST(JtagDumpPage, FieldsFilterAsTypedAndSourcesBringTheirPresets) {
  JtagWindow jw;
  QLineEdit* address = jw.page()->address()->lineEdit();
  QLineEdit* length = jw.page()->length()->lineEdit();
  address->clear();
  QTest::keyClicks(address, "4o1g");
  EXPECT_EQ(address->text(), "41");
  QTest::keyClick(address, Qt::Key_Return);
  EXPECT_EQ(address->text(), "00000040");
  jw.ClickSource(DumpSource::kRam);
  EXPECT_EQ(address->text(), "401289A0");
  EXPECT_EQ(length->text(), "7600");
  EXPECT_TRUE(jw.window().services().settings.Bool(Key::kUsarFirmJtagRam));
  EXPECT_FALSE(jw.window().services().settings.Bool(Key::kUsarFirmJtagFlash));
}

TEST(JtagDumpPage, EepromDumpFillsTheEepromPage) {
  JtagWindow jw;
  // The hand-over comes before the port is closed, as the dump's steps order it.
  QStringList log_at_hand_over;
  QObject::connect(jw.window().pages(), &QTabWidget::currentChanged,
                   [&] { log_at_hand_over = jw.page()->log()->Lines(); });
  // An edit in the rows the dump reaches is asked about first: kept, the dump does not start.
  // (The image is filled at the window's first activation, so the edit comes after it.)
  ASSERT_TRUE(jw.w->Show());
  jw.w->ShowPage(Page::kEeprom);
  ASSERT_TRUE(testing::TypeIntoCell(jw.window().eeprom_page()->hex_editor(), 0x41, 3, "5a"));
  jw.w->ShowPage(Page::kJtag);
  jw.ClickSource(DumpSource::kEeprom);
  jw.w->boxes->answers = {Answer::kCancel};
  QTest::mouseClick(jw.page()->receive_button(), Qt::LeftButton);
  EXPECT_TRUE(jw.page()->log()->Lines().isEmpty());
  EXPECT_EQ(jw.w->boxes->questions.size(), 1);
  // Discarded, the dump replaces it, with the pages locked until it has ended.
  bool locked_at_box = false;
  jw.w->boxes->on_box = [&](const auto&) {
    locked_at_box = !jw.window().PageTakesInput(Page::kEeprom);
  };
  ASSERT_TRUE(jw.Dump(DumpSource::kEeprom));
  EXPECT_TRUE(locked_at_box);
  EXPECT_TRUE(jw.window().PageTakesInput(Page::kEeprom));
  EXPECT_EQ(jw.window().windowTitle(), "Tornavo v4.0 (FINAL)");
  EXPECT_TRUE(log_at_hand_over.contains("Reset DCU desactivado"));
  EXPECT_FALSE(log_at_hand_over.contains("Cerrando LPT1"));
  EXPECT_EQ(jw.page()->log()->Lines().last(), "Cerrando LPT1");
  EXPECT_EQ(jw.w->LastBox(), "¡ Eeprom leída con éxito !");
  EXPECT_TRUE(jw.Shows(Page::kEeprom));
  const sim::EepromBytes chip = jw.target.Eeprom();
  const EepromImage& image = jw.window().services().eeprom_image;
  for (int a = 0; a < 0x800; ++a) ASSERT_EQ(image.ByteAt(a), chip[a]) << a;
  jw.Shot("eeprom_dump");
}

// What each dump hands over, and what a failed one leaves held, is proven on the hand-over
// itself; here, that each dump reaches its page.
TEST(JtagDumpPage, CpuButtonAndDumpsToTheirPagesOrAFile) {
  JtagWindow jw;
  ASSERT_TRUE(jw.Dump(DumpSource::kFlash));
  EXPECT_EQ(jw.w->LastBox(), "¡ Firmware leído con éxito !");
  EXPECT_TRUE(jw.Shows(Page::kTuning));
  EXPECT_TRUE(jw.window().services().channel_list.flash_held());
  EXPECT_EQ(jw.window().services().channel_list.tcs_block(), sim::kFlashTcsBlock);
  jw.Shot("flash_dump");

  jw.w->ShowPage(Page::kJtag);
  QTest::mouseClick(jw.page()->cpu_button(), Qt::LeftButton);
  ASSERT_TRUE(jw.Idle());
  EXPECT_TRUE(jw.page()->log()->Lines().contains("Tipo de CPU : STi5510"));

  ASSERT_TRUE(jw.Dump(DumpSource::kImage));
  EXPECT_TRUE(jw.Shows(Page::kPicture));
  EXPECT_EQ(jw.w->LastBox(), "¡ Firmware leído con éxito !");
  const QImage& picture = jw.window().services().pictures.picture();
  ASSERT_FALSE(picture.isNull());
  // The first colour bar is light, the last one black.
  EXPECT_GT(qGray(picture.pixel(picture.width() / 16, picture.height() / 2)), 150);
  EXPECT_LT(qGray(picture.pixel(picture.width() * 15 / 16, picture.height() / 2)), 30);
  jw.Shot("image_dump");

  // The file source asks for the file first and writes the requested bytes, not the rounded.
  jw.target.Load(0x40020000, QByteArray("0123456789ABCDEFGHIJ"));
  const QString out = jw.w->Path("dump.bin");
  jw.w->dialogs->Answer(out);
  for (const auto& [field, text] :
       {std::pair{jw.page()->address(), "40020000"}, std::pair{jw.page()->length(), "10"}}) {
    QTest::keyClick(field->lineEdit(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field->lineEdit(), text);
    QTest::keyClick(field->lineEdit(), Qt::Key_Return);
  }
  ASSERT_TRUE(jw.Dump(DumpSource::kFile));
  EXPECT_EQ(jw.w->dialogs->requests.size(), 1);
  EXPECT_EQ(testing::ReadTestFile(out), QByteArray("0123456789ABCDEF"));
}

}  // namespace
}  // namespace tornavo

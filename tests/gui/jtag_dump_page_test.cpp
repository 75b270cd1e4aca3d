// The page "Firmware (JTag)" against the virtual JTAG target: the fields, the sources' presets
// and every dump's hand-over to the window's pages.
#include "gui/pages/jtag_dump_page.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include "core/channels/channel_list.h"
#include "core/runtime/blocking_runner.h"
#include "core/session/service_session.h"
#include "gui/app_services.h"
#include "gui/pages/eeprom_page.h"
#include "gui/pages/hex_editor.h"
#include "gui/pages/picture_page.h"
#include "gui/pages/tuning_page.h"
#include "real_input.h"
#include "sim/channel_tables.h"
#include "sim/jtag_target.h"
#include "sim/trap_stand_in.h"
#include "support/wait.h"
#include "window_fixture.h"

namespace tornavo {
namespace {

// The 0x7600 bytes a RAM dump reads: the table, then the zeroed RAM behind it.
QByteArray RamDump() {
  QByteArray bytes = tornavo::sim::BuildRamChannelTable();
  bytes.append(QByteArray(0x7600 - bytes.size(), '\0'));
  return bytes;
}

using testing::WaitUntil;
using testing::WindowUnderTest;

// A window whose parallel port is the virtual JTAG target, with a 2 MiB channel-list chip at
// 7FE00000, given the stand-in trap routine as the launcher gives it with the virtual receiver
// (the settings folder holds none).
struct JtagWindow {
  JtagWindow() {
    Write("Tornavo.ini", "[TForm1]\r\nFlashIC0=Chip2M\r\nFlash2Type=0\r\nFlash2Start=7FE00000\r\n");
    Write("Chip2M.ini", "[Chip2M]\r\nNumBlocks=1\r\nblock0=0\r\nblock1=200000\r\n");
    const QString routine = stand_in.filePath("routine.bin");
    QFile file(routine);
    if (file.open(QIODevice::WriteOnly)) file.write(sim::TrapStandIn());
    file.close();
    WindowOptions options;
    options.virtual_parallel = &target;
    options.trap_stand_in = routine;
    options.ini_dir = ini.path();
    w = std::make_unique<WindowUnderTest>(std::move(options));
    w->window->show();
  }
  void Write(const QString& name, const QByteArray& bytes) {
    QFile file(ini.filePath(name));
    if (file.open(QIODevice::WriteOnly)) file.write(bytes);
  }
  TForm1& window() { return *w->window; }
  JtagDumpPage* page() { return window().jtag_page(); }
  // On the round mark: a short caption leaves the middle of the wide button unclickable.
  void ClickSource(DumpSource source) {
    QRadioButton* radio = page()->source(source);
    QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(6, radio->height() / 2));
  }
  // Chooses the source, presses "Recibir" and waits for the dump's box.
  bool Dump(DumpSource source) {
    window().pages()->setCurrentIndex(static_cast<int>(Page::kJtag));
    ClickSource(source);
    if (!page()->source(source)->isChecked()) {
      ADD_FAILURE() << "source not chosen; page enabled: " << page()->isEnabled()
                    << " visible: " << page()->source(source)->isVisible();
      return false;
    }
    const qsizetype boxes = w->boxes->boxes.size();
    QTest::mouseClick(page()->receive_button(), Qt::LeftButton);
    return WaitUntil([&] { return w->boxes->boxes.size() > boxes; }, 60000) &&
           WaitUntil([&] { return !window().session().runner().running(); }, 5000);
  }
  // With TORNAVO_TEST_SHOTS naming a folder, the window as it looks, to be looked at.
  void Shot(const char* name) {
    const QString folder = qEnvironmentVariable("TORNAVO_TEST_SHOTS");
    if (!folder.isEmpty()) window().grab().save(folder + "/" + name + ".png");
  }
  QString LastBox() const {
    return w->boxes->boxes.isEmpty() ? QString() : w->boxes->boxes.back().text;
  }

  QTemporaryDir ini;
  QTemporaryDir stand_in;
  sim::JtagTarget target;
  std::unique_ptr<WindowUnderTest> w;
};

TEST(JtagDumpPage, FieldsFilterAndRewriteAsTyped) {
  JtagWindow jw;
  QLineEdit* address = jw.page()->address()->lineEdit();
  address->clear();
  QTest::keyClicks(address, "4o1g");
  EXPECT_EQ(address->text(), "41");
  QTest::keyClick(address, Qt::Key_Return);
  EXPECT_EQ(address->text(), "00000040");

  QLineEdit* length = jw.page()->length()->lineEdit();
  length->clear();
  QTest::keyClicks(length, "1234567");
  QTest::keyClick(length, Qt::Key_Return);
  EXPECT_EQ(length->text(), "080000");
  length->clear();
  QTest::keyClicks(length, "7");
  QTest::keyClick(length, Qt::Key_Return);
  EXPECT_EQ(length->text(), "000004");

  jw.ClickSource(DumpSource::kFlash);
  EXPECT_EQ(address->text(), "7FE00000");
  EXPECT_EQ(length->text(), "50000");
  jw.ClickSource(DumpSource::kRam);
  EXPECT_EQ(address->text(), "401289A0");
  EXPECT_EQ(length->text(), "7600");
  EXPECT_TRUE(jw.window().services().settings.Bool(Key::kUsarFirmJtagRam));
  EXPECT_FALSE(jw.window().services().settings.Bool(Key::kUsarFirmJtagFlash));
}

TEST(JtagDumpPage, ChannelDumpsFillTheTuningPage) {
  JtagWindow jw;
  const ChannelList& list = jw.window().services().channel_list;
  ASSERT_TRUE(jw.Dump(DumpSource::kFlash));
  EXPECT_EQ(jw.LastBox(), "¡ Firmware leído con éxito !");
  EXPECT_EQ(jw.window().pages()->currentIndex(), static_cast<int>(Page::kTuning));
  EXPECT_TRUE(list.flash_held());
  EXPECT_EQ(list.tcs_block(), sim::kFlashTcsBlock);
  EXPECT_EQ(list.FirstFreeTransponderRow(), sim::kTranspondersInUse + 1);
  EXPECT_TRUE(jw.page()->log()->Lines().contains("Recibiendo datos..."));
  jw.Shot("flash_dump");

  // A RAM dump the address check refuses leaves the flash image held as it was.
  jw.ClickSource(DumpSource::kRam);
  jw.page()->address()->setEditText("3FFFFFFC");
  jw.window().pages()->setCurrentIndex(static_cast<int>(Page::kJtag));
  QTest::mouseClick(jw.page()->receive_button(), Qt::LeftButton);
  ASSERT_TRUE(WaitUntil([&] { return !jw.window().session().runner().running(); }, 20000));
  EXPECT_EQ(jw.LastBox(), "¡ Dirección o longitud incorrecta !");
  EXPECT_TRUE(list.flash_held());

  jw.page()->address()->setEditText("401289A0");
  ASSERT_TRUE(jw.Dump(DumpSource::kRam));
  EXPECT_EQ(jw.window().pages()->currentIndex(), static_cast<int>(Page::kTuning));
  EXPECT_TRUE(list.ram());
  EXPECT_TRUE(list.image() == RamDump());
  // A RAM table has no transponder table.
  TuningPage* tuning = jw.window().tuning_page();
  EXPECT_EQ(tuning->section_value(0)->text(), "RAM");
  EXPECT_TRUE(tuning->section_value(1)->text().isEmpty());
  EXPECT_FALSE(tuning->inner_pages()->isTabEnabled(1));
  EXPECT_EQ(tuning->inner_pages()->currentIndex(), 0);
  EXPECT_EQ(list.FirstFreeChannelRow(), sim::kChannelsInUse + 1);
}

TEST(JtagDumpPage, ImageDumpShowsThePicture) {
  JtagWindow jw;
  ASSERT_TRUE(jw.Dump(DumpSource::kImage));
  EXPECT_EQ(jw.LastBox(), "¡ Firmware leído con éxito !");
  EXPECT_EQ(jw.window().pages()->currentIndex(), static_cast<int>(Page::kPicture));
  const QImage& picture = jw.window().picture_page()->picture();
  ASSERT_FALSE(picture.isNull());
  // The first colour bar is light, the last one black.
  EXPECT_GT(qGray(picture.pixel(picture.width() / 16, picture.height() / 2)), 150);
  EXPECT_LT(qGray(picture.pixel(picture.width() * 15 / 16, picture.height() / 2)), 30);
  jw.Shot("image_dump");
}

TEST(JtagDumpPage, EepromDumpFillsTheEepromPage) {
  JtagWindow jw;
  // The hand-over comes before the port is closed, as the dump's steps order it.
  QStringList log_at_hand_over;
  QObject::connect(jw.window().pages(), &QTabWidget::currentChanged,
                   [&] { log_at_hand_over = jw.page()->log()->Lines(); });
  // An edit in the rows the dump reaches is asked about first: kept, the dump does not start.
  // (The image is filled at the window's first activation, so the edit comes after it.)
  jw.window().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&jw.window()));
  jw.window().pages()->setCurrentIndex(static_cast<int>(Page::kEeprom));
  ASSERT_TRUE(testing::TypeIntoCell(jw.window().eeprom_page()->hex_editor(), 0x41, 3, "5a"));
  jw.window().pages()->setCurrentIndex(static_cast<int>(Page::kJtag));
  jw.ClickSource(DumpSource::kEeprom);
  jw.w->boxes->answers = {Answer::kCancel};
  QTest::mouseClick(jw.page()->receive_button(), Qt::LeftButton);
  EXPECT_TRUE(jw.page()->log()->Lines().isEmpty());
  EXPECT_EQ(jw.w->boxes->questions.size(), 1);
  // Discarded, the dump replaces it.
  ASSERT_TRUE(jw.Dump(DumpSource::kEeprom));
  EXPECT_EQ(jw.window().windowTitle(), "Tornavo v4.0 (FINAL)");
  EXPECT_TRUE(log_at_hand_over.contains("Reset DCU desactivado"));
  EXPECT_FALSE(log_at_hand_over.contains("Cerrando LPT1"));
  EXPECT_EQ(jw.page()->log()->Lines().last(), "Cerrando LPT1");
  EXPECT_EQ(jw.LastBox(), "¡ Eeprom leída con éxito !")
      << jw.page()->log()->Lines().join("\n").toStdString();
  EXPECT_EQ(jw.window().pages()->currentIndex(), static_cast<int>(Page::kEeprom));
  const sim::EepromBytes chip = jw.target.Eeprom();
  const EepromImage& image = jw.window().services().eeprom_image;
  for (int a = 0; a < 0x800; ++a) ASSERT_EQ(image.ByteAt(a), chip[a]) << a;
  jw.Shot("eeprom_dump");
}

TEST(JtagDumpPage, CpuCodeAndFileDump) {
  JtagWindow jw;
  jw.window().pages()->setCurrentIndex(static_cast<int>(Page::kJtag));
  QTest::mouseClick(jw.page()->cpu_button(), Qt::LeftButton);
  ASSERT_TRUE(WaitUntil([&] { return !jw.window().session().runner().running(); }, 20000));
  EXPECT_TRUE(jw.page()->log()->Lines().contains("Tipo de CPU : STi5510"));

  // The file source asks for the file first and writes the requested bytes, not the rounded.
  jw.target.Load(0x40020000, QByteArray("0123456789ABCDEFGHIJ"));
  const QString out = jw.ini.filePath("dump.bin");
  jw.w->dialogs->Answer(out);
  jw.page()->address()->setEditText("40020000");
  jw.page()->length()->setEditText("10");
  ASSERT_TRUE(jw.Dump(DumpSource::kFile));
  EXPECT_EQ(jw.w->dialogs->requests.last().filter,
            "Archivo Binario (BIN)|*.bin|Archivo RCU (RCU)|*.rcu|Archivo RCS (RCS)|*.rcs|Todos los "
            "archivos (*.*)|*.*");
  QFile dumped(out);
  ASSERT_TRUE(dumped.open(QIODevice::ReadOnly));
  EXPECT_EQ(dumped.readAll(), QByteArray("0123456789ABCDEF"));
}

}  // namespace
}  // namespace tornavo

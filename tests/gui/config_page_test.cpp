// The configuration page bound to the settings, and the settings file at start and close.
#include "gui/pages/config_page.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include "core/app/settings.h"
#include "core/serial/terminal.h"
#include "gui/pages/jtag_group.h"
#include "gui/pages/parallel_group.h"
#include "gui/pages/picture_group.h"
#include "gui/pages/serial_group.h"
#include "gui/pages/tuning_group.h"
#include "support/fake_transport.h"
#include "window_fixture.h"

namespace tornavo {
namespace {

using testing::FakeTransport;
using testing::WindowUnderTest;

class ConfigPageTest : public ::testing::Test {
 protected:
  void WriteIni(const QString& name, const QByteArray& bytes) {
    QFile file(dir_.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }
  QByteArray ReadIni() const {
    QFile file(dir_.filePath("Tornavo.ini"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  void Open() {
    WindowOptions options;
    options.ini_dir = dir_.path();
    options.extra_ports << "/dev/fake-tty";
    options.select_port = "/dev/fake-tty";
    auto transport = std::make_unique<FakeTransport>();
    transport_ = transport.get();
    options.transport = std::move(transport);
    w_ = std::make_unique<WindowUnderTest>(std::move(options));
  }
  TForm1& window() { return *w_->window; }
  ConfigPage* page() { return window().config_page(); }
  Settings& settings() { return window().settings(); }
  void ShowPage() {
    window().show();
    window().pages()->setCurrentIndex(static_cast<int>(Page::kConfig));
    // Leaving a box needs real focus.
    window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
  }
  // Replaces a box's whole text by typing.
  static void Type(QLineEdit* box, const QString& text) {
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
  }

  QTemporaryDir dir_;
  FakeTransport* transport_ = nullptr;
  std::unique_ptr<WindowUnderTest> w_;
};

TEST_F(ConfigPageTest, PageFitsTheDefaultWindowWithoutOverlaps) {
  Open();
  ShowPage();
  window().resize(736, 657);
  QApplication::processEvents();
  EXPECT_FALSE(page()->scroll_area()->horizontalScrollBar()->isVisible());
  EXPECT_FALSE(page()->scroll_area()->verticalScrollBar()->isVisible());
  QList<QWidget*> groups;
  for (QGroupBox* group : page()->groups()->findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly))
    groups << group;
  groups << page()->defaults_button();
  ASSERT_EQ(groups.size(), 8);
  for (int i = 0; i < groups.size(); ++i) {
    EXPECT_TRUE(page()->groups()->rect().contains(groups[i]->geometry()));
    for (int j = i + 1; j < groups.size(); ++j)
      EXPECT_FALSE(groups[i]->geometry().intersects(groups[j]->geometry()))
          << groups[i]->metaObject()->className() << " " << groups[j]->metaObject()->className();
  }
}

TEST_F(ConfigPageTest, StoredSettingsAreShownAndApplied) {
  WriteIni("Tornavo.ini",
           "[TForm1]\r\nRetardoStrobe=300\r\nWindowWidth=800\r\nWindowHeight=700\r\nTop=20\r\n"
           "Left=30\r\nPesta\xF1"
           "aActiva=6\r\nVelocidad=12\r\nChecksum=0\r\nTamano=3\r\n"
           "OpenDLgInitialDir=/srv/eeproms\r\nIdioma0=English\r\nIdioma=0\r\nFormato16:9=1\r\n");
  WriteIni("English.ini", "[English]\r\n");
  Open();
  EXPECT_EQ(window().size(), QSize(800, 700));
  EXPECT_EQ(window().pos(), QPoint(30, 20));
  EXPECT_EQ(window().pages()->currentIndex(), 6);
  EXPECT_EQ(transport_->settings().baud, 115200);
  EXPECT_EQ(transport_->open_count, 1);
  EXPECT_FALSE(window().services().terminal.append_checksum());
  EXPECT_FALSE(page()->checksum_box()->isChecked());
  EXPECT_EQ(w_->dialogs->open_folder(), "/srv/eeproms");
  EXPECT_EQ(w_->dialogs->save_folder(), dir_.path());
  const SettingSlider* strobe = page()->parallel_group()->sliders()[1];
  EXPECT_EQ(strobe->slider()->value(), 44);
  EXPECT_EQ(strobe->value_label()->text(), "44");
  EXPECT_EQ(page()->language_list()->currentText(), "English");
  EXPECT_EQ(page()->picture_group()->size_list()->currentIndex(), 3);
  EXPECT_TRUE(page()->picture_group()->format_choice(0)->isChecked());
  EXPECT_FALSE(page()->picture_group()->format_choice(1)->isChecked());
  EXPECT_EQ(window().services().picture_options.capture_width, 704);
  EXPECT_EQ(window().services().picture_options.format, PictureFormat::kWide16x9);
}

TEST_F(ConfigPageTest, PositionListsNeverSelectTheSameEntry) {
  Open();
  ShowPage();
  TuningGroup* tuning = page()->tuning_group();
  ASSERT_EQ(tuning->tcs_list()->currentIndex(), 0);
  ASSERT_EQ(tuning->tpt_list()->currentIndex(), 1);
  tuning->tpt_list()->setFocus();
  QTest::keyClick(tuning->tpt_list(), Qt::Key_Up);  // onto entry 0, the TCS entry
  EXPECT_EQ(tuning->tpt_list()->currentIndex(), 1);
  tuning->tcs_list()->setFocus();
  QTest::keyClick(tuning->tcs_list(), Qt::Key_Down);  // onto entry 1, the TPT entry
  EXPECT_EQ(tuning->tcs_list()->currentIndex(), 0);
  QTest::keyClick(tuning->tpt_list(), Qt::Key_Down);
  QTest::keyClick(tuning->tpt_list(), Qt::Key_Down);
  QTest::keyClick(tuning->tcs_list(), Qt::Key_Down);
  QTest::keyClick(tuning->tcs_list(), Qt::Key_Down);
  QTest::keyClick(tuning->tcs_list(), Qt::Key_Down);  // onto 3, held by TPT: back to 2
  EXPECT_EQ(tuning->tcs_list()->currentIndex(), 2);
  EXPECT_EQ(settings().Int(Key::kTcs), 2);
  EXPECT_EQ(settings().Int(Key::kTpt), 3);
}

TEST_F(ConfigPageTest, AddressListsFilterAndTheTrapAddressRoundsDownOnLeaving) {
  Open();
  ShowPage();
  QLineEdit* trap = page()->jtag_group()->trap_list()->lineEdit();
  Type(trap, "4g0z");
  EXPECT_EQ(trap->text(), "40");
  EXPECT_EQ(settings().Text(Key::kTrapAdr), "40");
  Type(trap, "4001000b");
  QTest::keyClick(trap, Qt::Key_Tab);
  EXPECT_EQ(trap->text(), "40010008");
  EXPECT_EQ(settings().Text(Key::kTrapAdr), "40010008");
  Type(trap, "1");
  QTest::keyClick(trap, Qt::Key_Tab);
  EXPECT_EQ(trap->text(), "00000000");
  // Two characters pasted at once go together; an emptied list takes its first entry.
  QLineEdit* start = page()->jtag_group()->flash_start_list(1)->lineEdit();
  Type(start, "7F");
  start->insert("xz");
  EXPECT_EQ(start->text(), "7F");
  start->selectAll();
  QTest::keyClick(start, Qt::Key_Backspace);
  EXPECT_EQ(start->text(), "60000000");
  EXPECT_EQ(settings().Text(Key::kFlash2Start), "60000000");
}

TEST_F(ConfigPageTest, LnbBoxesKeepDigitsAndSatelliteNames) {
  Open();
  ShowPage();
  TuningGroup* tuning = page()->tuning_group();
  QLineEdit* high = tuning->lnb_high_box();
  high->setFocus();
  high->selectAll();
  QTest::keyClick(high, Qt::Key_Backspace);
  EXPECT_EQ(high->text(), "10600");
  Type(high, "1a06");
  EXPECT_EQ(high->text(), "106");
  EXPECT_EQ(settings().Text(Key::kLnbHigh), "106");

  QSignalSpy renamed(page(), &ConfigPage::SatelliteRenamed);
  QLineEdit* b = tuning->satellite_box(1);
  Type(b, "Hispasat");
  EXPECT_EQ(renamed.count(), 0);
  QTest::keyClick(b, Qt::Key_Tab);  // leaving the box applies the name
  ASSERT_EQ(renamed.count(), 1);
  EXPECT_EQ(renamed[0][0].toInt(), 1);
  EXPECT_EQ(renamed[0][1].toString(), "B");
  EXPECT_EQ(renamed[0][2].toString(), "Hispasat");
  EXPECT_EQ(settings().remembered_satellite(1), "Hispasat");
  // The name of A typed into B resets both.
  Type(b, "A");
  EXPECT_EQ(tuning->satellite_box(0)->text(), "A");
  EXPECT_EQ(b->text(), "B");
  EXPECT_EQ(settings().Text(Key::kSatB), "B");
  // Leaving the page applies the names as well.
  window().pages()->setCurrentIndex(0);
  ASSERT_EQ(renamed.count(), 2);
  EXPECT_EQ(renamed[1][1].toString(), "Hispasat");
  EXPECT_EQ(renamed[1][2].toString(), "B");
}

TEST_F(ConfigPageTest, ModelFileLocksTheFlashFields) {
  WriteIni("Tornavo.ini", "[TForm1]\r\nModel1=K2002\r\nFlashIC0=Chip1\r\nFlashIC1=Chip2\r\n");
  WriteIni("K2002.ini", "[K2002]\r\nFlash1Start=7FE00000\r\nFlash1Type=1\r\nFlash2Type=0\r\n");
  WriteIni("Chip1.ini", "[Chip1]\r\nNumBlocks=2\r\nblock1=8000\r\nblock2=10000\r\n");
  WriteIni("Chip2.ini", "[Chip2]\r\nNumBlocks=4\r\nErasureMode=16\r\n");
  Open();
  ShowPage();
  JtagGroup* jtag = page()->jtag_group();
  ASSERT_EQ(jtag->model_list()->count(), 2);
  EXPECT_EQ(jtag->model_list()->itemText(0), "Personalizado");
  EXPECT_TRUE(jtag->flash_type_list(0)->isEnabled());
  EXPECT_EQ(settings().flash_chip(1).size(), 0x10000u);  // Chip1 read at start
  jtag->model_list()->setFocus();
  QTest::keyClick(jtag->model_list(), Qt::Key_Down);
  EXPECT_FALSE(jtag->flash_start_list(0)->isEnabled());
  EXPECT_FALSE(jtag->flash_type_list(1)->isEnabled());
  EXPECT_EQ(jtag->flash_type_list(0)->currentText(), "Chip2");
  EXPECT_EQ(jtag->flash_start_list(0)->currentText(), "7FE00000");
  EXPECT_EQ(settings().flash_chip(0).num_blocks, 4);
  EXPECT_EQ(settings().flash_chip(0).erasure_mode, 16);
  QTest::keyClick(jtag->model_list(), Qt::Key_Up);
  EXPECT_TRUE(jtag->flash_start_list(0)->isEnabled());
}

TEST_F(ConfigPageTest, DefaultsButtonAppliesWithoutOpeningAClosedPort) {
  WriteIni("Tornavo.ini",
           "[TForm1]\r\nVelocidad=0\r\nRetardoBusy=60\r\nChecksum=0\r\n"
           "NumCanales=0\r\nSat-A=Astra\r\nTamano=4\r\n");
  Open();
  ShowPage();
  transport_->Close();
  const int opened = transport_->open_count;
  QSignalSpy sizes(page(), &ConfigPage::TableSizesChanged);
  QTest::mouseClick(page()->defaults_button(), Qt::LeftButton);
  EXPECT_EQ(transport_->settings().baud, 9600);
  EXPECT_FALSE(transport_->IsOpen());
  EXPECT_EQ(transport_->open_count, opened);
  EXPECT_EQ(page()->serial_group()->baud_list()->currentText(), "9600");
  EXPECT_EQ(page()->parallel_group()->sliders()[0]->value_label()->text(), "500");
  EXPECT_TRUE(page()->checksum_box()->isChecked());
  EXPECT_TRUE(window().services().terminal.append_checksum());
  EXPECT_EQ(page()->tuning_group()->channel_count_list()->currentText(), "2000");
  EXPECT_EQ(sizes.count(), 1);
  EXPECT_EQ(page()->tuning_group()->satellite_box(0)->text(), "Astra");
  EXPECT_EQ(window().services().picture_options.capture_width, 528);
}

TEST_F(ConfigPageTest, CloseStoresTheSettingsAndAReopenChangesNothing) {
  Open();
  ShowPage();
  QSlider* busy = page()->parallel_group()->sliders()[0]->slider();
  busy->setFocus();
  QTest::keyClick(busy, Qt::Key_PageUp);
  const int moved = busy->value();
  EXPECT_NE(moved, 300);
  EXPECT_EQ(settings().Int(Key::kRetardoBusy), moved);
  page()->checksum_box()->click();
  ASSERT_TRUE(window().close());
  const QByteArray first = ReadIni();
  EXPECT_TRUE(first.startsWith("\r\n[TForm1]\r\nTop="));
  EXPECT_TRUE(first.contains("\r\nRetardoBusy=" + QByteArray::number(moved) + "\r\n"));
  EXPECT_TRUE(first.contains("\r\nChecksum=0\r\n"));
  EXPECT_TRUE(
      first.contains("\r\nPesta\xF1"
                     "aActiva=6\r\n"));
  EXPECT_TRUE(w_->boxes->boxes.isEmpty());
  Open();
  ASSERT_TRUE(window().close());
  EXPECT_EQ(ReadIni(), first);
}

TEST_F(ConfigPageTest, UnwritableSettingsFileShowsOneErrorAndStillCloses) {
  QDir().mkpath(dir_.filePath("Tornavo.ini"));  // a folder where the file should be
  Open();
  window().show();
  EXPECT_TRUE(window().close());
  EXPECT_FALSE(window().isVisible());
  ASSERT_EQ(w_->boxes->boxes.size(), 1);
  EXPECT_TRUE(w_->boxes->boxes[0].error);
  EXPECT_TRUE(w_->boxes->boxes[0].text.contains(dir_.filePath("Tornavo.ini")));
}

}  // namespace
}  // namespace tornavo

// The configuration page bound to the settings, and the settings file at start and close.

#include <QSignalSpy>
#include <QSlider>

#include "core/serial/terminal.h"
#include "gui/pages/picture_group.h"
#include "window_fixture.h"

namespace tornavo {
namespace {

using testing::FakeTransport;
using testing::TypeOver;

// "ñ" is \361 in Windows-1252.
class ConfigPageTest : public ::testing::Test {
 protected:
  void WriteIni(const QString& name, const QByteArray& bytes) {
    testing::WriteTestFile(dir_.filePath(name), bytes);
  }
  QByteArray ReadIni() const { return testing::ReadTestFile(dir_.filePath("Tornavo.ini")); }
  // The window on a fake port, open from the start; show_page shows this page with focus.
  void Open(bool show_page = false) {
    w_ = std::make_unique<testing::WindowUnderTest>(
        testing::WindowUnderTest::OnFakeTty(dir_.path()));
    if (!show_page) return;
    window().show();
    window().pages()->setCurrentIndex(static_cast<int>(Page::kConfig));
    window().activateWindow();  // leaving a box needs real focus
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
  }
  TForm1& window() { return *w_->window; }
  FakeTransport& port() { return w_->port(); }
  ConfigPage* page() { return window().config_page(); }
  Settings& settings() { return window().settings(); }

  QTemporaryDir dir_;
  std::unique_ptr<testing::WindowUnderTest> w_;
};

// Captions and values are shown whole: no label lower than its text, no list narrower than
// its shortest useful size.
TEST_F(ConfigPageTest, PageFitsTheDefaultWindowWithoutOverlapsAndEveryCaptionIsReadable) {
  Open(true);
  EXPECT_EQ(window().size(), QSize(736, 657));
  EXPECT_FALSE(page()->scroll_area()->horizontalScrollBar()->isVisible());
  EXPECT_FALSE(page()->scroll_area()->verticalScrollBar()->isVisible());
  // Seven groups, the backup box and the defaults button.
  const auto parts = page()->groups()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  ASSERT_EQ(parts.size(), 9);
  for (int i = 0; i < parts.size(); ++i) {
    EXPECT_TRUE(page()->groups()->rect().contains(parts[i]->geometry())) << i;
    for (int j = i + 1; j < parts.size(); ++j)
      EXPECT_FALSE(parts[i]->geometry().intersects(parts[j]->geometry())) << i << " " << j;
  }
  for (QLabel* label : page()->groups()->findChildren<QLabel*>()) {
    if (!label->isVisible() || label->text().isEmpty()) continue;
    EXPECT_GE(label->height(), label->sizeHint().height()) << label->text().toStdString();
  }
  for (QComboBox* list : page()->groups()->findChildren<QComboBox*>())
    EXPECT_GE(list->width(), list->minimumSizeHint().width()) << list->currentText().toStdString();
  for (SettingSlider* delay : page()->parallel_group()->sliders())
    EXPECT_GE(delay->slider()->width(), 60) << delay->caption()->text().toStdString();
}

// A delay can be typed exactly; the slider, the box and the stored value stay in step.
TEST_F(ConfigPageTest, DelayCanBeTypedExactly) {
  Open(true);
  SettingSlider* between = nullptr;
  for (SettingSlider* delay : page()->parallel_group()->sliders())
    if (delay->key() == Key::kRetardoEntreBytes) between = delay;
  ASSERT_NE(between, nullptr);
  QSpinBox* box = between->value_box();
  box->setFocus();
  box->selectAll();
  QTest::keyClicks(box, "1234");
  EXPECT_EQ(settings().Int(Key::kRetardoEntreBytes), 0);  // not yet: the number is not complete
  QTest::keyClick(box, Qt::Key_Return);
  EXPECT_EQ(between->slider()->value(), 1234);
  EXPECT_EQ(settings().Int(Key::kRetardoEntreBytes), 1234);
  QTest::keyClick(between->slider(), Qt::Key_Right);
  EXPECT_EQ(box->value(), 1235);
  EXPECT_EQ(settings().Int(Key::kRetardoEntreBytes), 1235);
  // Beyond the range the box takes no more digits.
  box->selectAll();
  QTest::keyClicks(box, "99999");
  QTest::keyClick(box, Qt::Key_Return);
  EXPECT_LE(settings().Int(Key::kRetardoEntreBytes), 10000);
  EXPECT_EQ(between->slider()->value(), settings().Int(Key::kRetardoEntreBytes));
}

TEST_F(ConfigPageTest, StoredSettingsAreShownAppliedAndStoredAgainAtClose) {
  WriteIni("Tornavo.ini",
           "[TForm1]\r\nRetardoStrobe=300\r\nWindowWidth=800\r\nWindowHeight=700\r\nTop=20\r\n"
           "Left=30\r\nPesta\361aActiva=6\r\nVelocidad=12\r\nChecksum=0\r\nTamano=3\r\n"
           "OpenDLgInitialDir=/srv/eeproms\r\nIdioma0=English\r\nIdioma=0\r\nFormato16:9=1\r\n");
  WriteIni("English.ini", "[English]\r\n");
  Open();
  EXPECT_EQ(window().size(), QSize(800, 700));
  EXPECT_EQ(window().pos(), QPoint(30, 20));
  EXPECT_EQ(window().pages()->currentIndex(), 6);
  EXPECT_EQ(port().settings().baud, 115200);
  EXPECT_FALSE(window().services().terminal.append_checksum());
  EXPECT_FALSE(page()->checksum_box()->isChecked());
  EXPECT_EQ(w_->dialogs->open_folder(), "/srv/eeproms");
  const SettingSlider* strobe = page()->parallel_group()->sliders()[1];
  EXPECT_EQ(strobe->slider()->value(), 44);
  EXPECT_EQ(strobe->value_box()->value(), 44);
  EXPECT_EQ(page()->language_list()->currentText(), "English");
  EXPECT_EQ(page()->picture_group()->size_list()->currentIndex(), 3);
  EXPECT_TRUE(page()->picture_group()->format_choice(0)->isChecked());

  // What the page changes is stored at close, in place; a reopen and close changes nothing.
  QSlider* busy = page()->parallel_group()->sliders()[0]->slider();
  QTest::keyClick(busy, Qt::Key_PageUp);
  const int moved = busy->value();
  ASSERT_NE(moved, 300);
  page()->checksum_box()->click();
  ASSERT_TRUE(window().close());
  const QByteArray first = ReadIni();
  EXPECT_TRUE(first.startsWith("[TForm1]\r\nRetardoStrobe=44\r\nWindowWidth=800\r\n"));
  EXPECT_TRUE(first.contains("\r\nPesta\361aActiva=6\r\nVelocidad=12\r\nChecksum=1\r\n"));
  EXPECT_TRUE(first.contains("\r\nRetardoBusy=" + QByteArray::number(moved) + "\r\n"));
  EXPECT_TRUE(w_->boxes->boxes.isEmpty());
  Open();
  ASSERT_TRUE(window().close());
  EXPECT_EQ(ReadIni(), first);
}

TEST_F(ConfigPageTest, TypedValuesFollowTheRulesOfTheirControls) {
  Open(true);
  TuningGroup* tuning = page()->tuning_group();
  QComboBox* tcs = tuning->tcs_list();  // at 0
  QComboBox* tpt = tuning->tpt_list();  // at 1
  QTest::keyClick(tpt, Qt::Key_Up);     // onto the TCS entry
  EXPECT_EQ(tpt->currentIndex(), 1);
  QTest::keyClick(tcs, Qt::Key_Down);  // onto the TPT entry
  EXPECT_EQ(tcs->currentIndex(), 0);
  QTest::keyClick(tpt, Qt::Key_Down);
  QTest::keyClick(tcs, Qt::Key_Down);
  EXPECT_EQ(settings().Int(Key::kTcs), 1);
  EXPECT_EQ(settings().Int(Key::kTpt), 2);

  QLineEdit* high = tuning->lnb_high_box();
  EXPECT_EQ(TypeOver(high, "1a06"), "106");
  EXPECT_EQ(settings().Text(Key::kLnbHigh), "106");
  EXPECT_EQ(TypeOver(high, ""), "10600");
  EXPECT_EQ(settings().Text(Key::kLnbHigh), "10600");

  QLineEdit* trap = page()->jtag_group()->trap_list()->lineEdit();
  EXPECT_EQ(TypeOver(trap, "4g0z"), "40");
  EXPECT_EQ(settings().Text(Key::kTrapAdr), "40");
  TypeOver(trap, "4001000b");
  QTest::keyClick(trap, Qt::Key_Tab);  // leaving the list rounds down
  EXPECT_EQ(trap->text(), "40010008");
  EXPECT_EQ(settings().Text(Key::kTrapAdr), "40010008");
  QLineEdit* start = page()->jtag_group()->flash_start_list(1)->lineEdit();
  EXPECT_EQ(TypeOver(start, "7Fxz"), "7F");
  EXPECT_EQ(TypeOver(start, ""), "60000000");  // an emptied list takes its first entry
  EXPECT_EQ(settings().Text(Key::kFlash2Start), "60000000");

  QSignalSpy renamed(page(), &ConfigPage::SatelliteRenamed);
  const auto rename = [&renamed](int i) {  // "satellite:old>new"
    const QVariantList& a = renamed[i];
    return a[0].toString() + ":" + a[1].toString() + ">" + a[2].toString();
  };
  QLineEdit* b = tuning->satellite_box(1);
  TypeOver(b, "Hispasat");
  EXPECT_EQ(renamed.count(), 0);
  QTest::keyClick(b, Qt::Key_Tab);  // leaving the box applies the name
  ASSERT_EQ(renamed.count(), 1);
  EXPECT_EQ(rename(0), "1:B>Hispasat");
  EXPECT_EQ(TypeOver(b, "A"), "B");  // the name of A typed into B resets both
  EXPECT_EQ(settings().Text(Key::kSatB), "B");
  window().pages()->setCurrentIndex(0);  // leaving the page applies the names as well
  ASSERT_EQ(renamed.count(), 2);
  EXPECT_EQ(rename(1), "1:Hispasat>B");
}

// A port that cannot be opened, and a stored ppdev device that has gone (operations still use
// it): each entry says so, and why.
TEST_F(ConfigPageTest, DevicesThatCannotBeUsedSayWhyOnTheirEntries) {
  WriteIni("Tornavo.ini", "[TForm1]\r\nAccesoParalelo=ppdev:/dev/parport-gone\r\n");
  Open();
  QComboBox* ports = page()->serial_group()->port_list();
  QComboBox* access = page()->parallel_group()->access_list();
  EXPECT_EQ(ports->currentText(), "/dev/fake-tty");
  EXPECT_EQ(access->currentText(), "/dev/parport-gone (falta)");
  EXPECT_EQ(settings().Text(Key::kAccesoParalelo), "ppdev:/dev/parport-gone");
  for (QComboBox* list : {ports, access}) {
    const QString why = list->itemData(list->currentIndex(), Qt::ToolTipRole).toString();
    EXPECT_EQ(list->toolTip(), why);
    EXPECT_TRUE(list == ports ? why.startsWith("/dev/fake-tty no existe:\n")
                              : why.contains("/dev/parport-gone"))
        << why.toStdString();
  }
}

TEST_F(ConfigPageTest, ModelFileLocksTheFlashFields) {
  WriteIni("Tornavo.ini", "[TForm1]\r\nModel1=K2002\r\nFlashIC0=Chip1\r\nFlashIC1=Chip2\r\n");
  WriteIni("K2002.ini", "[K2002]\r\nFlash1Start=7FE00000\r\nFlash1Type=1\r\nFlash2Type=0\r\n");
  WriteIni("Chip1.ini", "[Chip1]\r\nNumBlocks=2\r\nblock1=8000\r\nblock2=10000\r\n");
  WriteIni("Chip2.ini", "[Chip2]\r\nNumBlocks=4\r\n");
  Open(true);
  JtagGroup* jtag = page()->jtag_group();
  ASSERT_EQ(jtag->model_list()->count(), 2);
  EXPECT_EQ(settings().flash_chip(1).size(), 0x10000u);  // Chip1 read at start
  QTest::keyClick(jtag->model_list(), Qt::Key_Down);
  EXPECT_FALSE(jtag->flash_start_list(0)->isEnabled());
  EXPECT_FALSE(jtag->flash_type_list(1)->isEnabled());
  EXPECT_EQ(jtag->flash_type_list(0)->currentText(), "Chip2");
  EXPECT_EQ(jtag->flash_start_list(0)->currentText(), "7FE00000");
  EXPECT_EQ(settings().flash_chip(0).num_blocks, 4);
  QTest::keyClick(jtag->model_list(), Qt::Key_Up);
  EXPECT_TRUE(jtag->flash_start_list(0)->isEnabled());
}

TEST_F(ConfigPageTest, DefaultsButtonAppliesWithoutOpeningAClosedPort) {
  WriteIni("Tornavo.ini",
           "[TForm1]\r\nVelocidad=0\r\nRetardoBusy=60\r\nChecksum=0\r\nNumCanales=0\r\n");
  Open(true);
  port().Close();
  QSignalSpy sizes(page(), &ConfigPage::TableSizesChanged);
  QTest::mouseClick(page()->defaults_button(), Qt::LeftButton);
  EXPECT_EQ(port().settings().baud, 9600);
  EXPECT_EQ(port().open_count, 1);  // only at start
  EXPECT_EQ(page()->serial_group()->baud_list()->currentText(), "9600");
  EXPECT_EQ(page()->parallel_group()->sliders()[0]->value_box()->value(), 500);
  EXPECT_TRUE(window().services().terminal.append_checksum());
  EXPECT_EQ(sizes.count(), 1);
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

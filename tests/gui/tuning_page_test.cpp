

#include "gui/transponder_channels_list.h"
#include "window_fixture.h"

namespace tornavo {
namespace {

using test::NumberedChannels;
using test::NumberedTransponders;

// 2002 channels on 199 transponders, in a flash image with its tables at 1E0100 and 1D0000.
class TuningPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(testing::WriteTestFile(
        ui_.Path("list.bin"),
        test::FlashImage(NumberedChannels(2002, 199), NumberedTransponders(199), 0x1E0100, 0x1D0000,
                         0x200000, 2002, 199)));
    window().resize(1000, 760);
    ui_.ShowPage(Page::kTuning);
    window().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
    page_ = window().tuning_page();
  }

  TForm1& window() { return *ui_.window; }
  ChannelList& list() { return window().services().channel_list; }
  QString Cell(int row, int column) const {
    return page_->channel_view()->model()->index(row - 1, column - 1).data().toString();
  }
  void Click(TuningPage::Button button) {
    QTest::mouseClick(page_->button(button), Qt::LeftButton);
  }
  void Load(const char* name = "list.bin", int filter = 1) {
    ui_.dialogs->Answer(ui_.Path(name), filter);
    Click(TuningPage::kLoad);
  }
  void SelectChannels(int top, int bottom) {
    QTableView* view = page_->channel_view();
    view->setFocus();
    view->selectRow(top - 1);
    for (int r = top; r < bottom; ++r) QTest::keyClick(view, Qt::Key_Down, Qt::ShiftModifier);
  }
  // Selects the box's text and types over it (an empty text erases it), then leaves the box.
  void Retype(QLineEdit* box, const QString& text, bool leave = true) {
    testing::TypeOver(box, text);
    if (leave) QMetaObject::invokeMethod(box, "editingFinished");
  }

  testing::WindowUnderTest ui_{{}, "[TForm1]\r\nNumCanales=1\r\nNumTransp=1\r\n"};
  TuningPage* page_ = nullptr;
};

TEST_F(TuningPageTest, LoadsEnableThePageAndRefusalsKeepTheList) {
  EXPECT_FALSE(page_->button(TuningPage::kSave)->isEnabled());
  Load();
  ASSERT_TRUE(list().flash_held());
  EXPECT_EQ(page_->channel_view()->model()->rowCount(), 2002);
  EXPECT_EQ(Cell(2002, 1), "CH2002");
  EXPECT_EQ(page_->section_value(0)->text(), "1E (1E0120)");
  EXPECT_EQ(page_->section_value(1)->text(), "1D (1D0000)");
  EXPECT_EQ(window().config_page()->tuning_group()->tpt_list()->currentIndex(), 0x1D);
  for (auto b : {TuningPage::kSave, TuningPage::kMove, TuningPage::kFind, TuningPage::kAdd})
    EXPECT_TRUE(page_->button(b)->isEnabled()) << b;
  QApplication::clipboard()->clear();
  page_->inner_pages()->setCurrentIndex(1);
  EXPECT_FALSE(page_->button(TuningPage::kFind)->isEnabled());
  EXPECT_FALSE(page_->button(TuningPage::kPaste)->isEnabled());

  // A file too long to be a list: the box says why.
  ASSERT_TRUE(testing::WriteTestFile(ui_.Path("big.bin"), QByteArray(5 * 1024 * 1024, '\xFF')));
  Load("big.bin");
  EXPECT_EQ(ui_.LastBox(), ui_.Path("big.bin") + ": longer than 4194304 bytes");
  EXPECT_EQ(Cell(2002, 1), "CH2002");

  // A RAM table shows no transponders.
  ASSERT_TRUE(testing::WriteTestFile(ui_.Path("ram.bin"), test::Channels(NumberedChannels(3, 1))));
  Load("ram.bin", 2);
  EXPECT_EQ(page_->inner_pages()->currentIndex(), 0);
  EXPECT_FALSE(page_->inner_pages()->isTabEnabled(1));
  EXPECT_FALSE(page_->button(TuningPage::kAdd)->isEnabled());
  EXPECT_EQ(page_->section_value(0)->text(), "RAM");
}

TEST_F(TuningPageTest, SeveralSectionsAreChosenInTheSectionDialog) {
  QByteArray image =
      test::FlashImage(NumberedChannels(3, 1), NumberedTransponders(1), 0x30100, 0x50000, 0x80000);
  test::PutSection(image, 0x10000, kChannelTag, test::Channels(NumberedChannels(5, 1)),
                   kChannelRecordSize, 999);
  ASSERT_TRUE(testing::WriteTestFile(ui_.Path("two.bin"), image));
  TForm4* dialog = page_->section_dialog();
  QStringList shown;
  QTimer::singleShot(0, dialog, [&] {
    for (int r = 0; r < dialog->table()->rowCount(); ++r)
      shown << dialog->table()->item(r, 0)->text();
    QTest::keyClick(dialog->table(), Qt::Key_Down);
    QTest::mouseClick(dialog->ok_button(), Qt::LeftButton);
  });
  Load("two.bin");
  EXPECT_EQ(shown, QStringList({"010000", "030100"}));
  EXPECT_EQ(page_->section_value(0)->text(), "03 (030120)");
}

TEST_F(TuningPageTest, KeysStatusBoxesAndUndoActOnTheSelectedChannels) {
  Load();
  SelectChannels(2, 3);
  QTableView* view = page_->channel_view();
  QTest::keyClick(view, Qt::Key_3);
  EXPECT_EQ(Cell(2, kStatus), "64");
  EXPECT_EQ(Cell(3, kStatus), "64");
  QTest::keyClick(view, Qt::Key_6);
  EXPECT_EQ(Cell(3, kStatus), "04");
  // "Activo" shows ticked: a click on its indicator clears the bit in both rows.
  QCheckBox* active = page_->status_box(0);
  ASSERT_TRUE(active->isChecked());
  testing::ClickMark(active);
  EXPECT_EQ(Cell(2, kStatus), "00");
  EXPECT_EQ(Cell(3, kStatus), "00");

  view->setFocus();
  QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
  EXPECT_TRUE(page_->button(TuningPage::kPaste)->isEnabled());
  QTest::keyClick(view, Qt::Key_Backspace);
  EXPECT_EQ(Cell(2, kName), "CH4");
  view->selectRow(0);
  QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Cell(1, kName), "CH2");
  EXPECT_EQ(Cell(3, kName), "CH1");

  // The steps themselves are the list's; the keys take one back and forward again.
  QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Cell(1, kName), "CH1");
  QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Cell(1, kName), "CH2");
}

// The list acts only when the choice changes: the entry shown again changes no row.
TEST_F(TuningPageTest, EncryptionListActsOnlyWhenTheChoiceChanges) {
  Load();
  SelectChannels(3, 3);
  QTest::keyClick(page_->channel_view(), Qt::Key_4);
  SelectChannels(2, 3);
  QComboBox* list = page_->encryption();
  ASSERT_EQ(list->currentIndex(), 0);  // row 2 has none
  list->setFocus();
  list->showPopup();
  QTest::keyClick(list->view(), Qt::Key_Return);
  EXPECT_EQ(Cell(3, kStatus), "84");
  QTest::keyClick(list, Qt::Key_Down);
  EXPECT_EQ(Cell(2, kStatus), "24");
  EXPECT_EQ(Cell(3, kStatus), "24");
}

TEST_F(TuningPageTest, DragsAndTheMoveButtonMoveRecords) {
  Load();
  page_->channel_view()->verticalHeader()->moveSection(0, 2);
  EXPECT_EQ(Cell(3, kName), "CH1");
  EXPECT_EQ(page_->channel_view()->verticalHeader()->visualIndex(0), 0);
  // Dragging transponder 3 to row 1 renumbers the references.
  page_->inner_pages()->setCurrentIndex(1);
  page_->transponder_view()->verticalHeader()->moveSection(2, 0);
  EXPECT_EQ(list().channels().Cell(2, kChannelTransponder), "1");  // CH3

  page_->inner_pages()->setCurrentIndex(0);
  SelectChannels(5, 7);
  Retype(page_->target_box(), "2x", false);
  EXPECT_EQ(page_->target_box()->text(), "2");
  Click(TuningPage::kMove);
  EXPECT_EQ(Cell(2, kName), "CH5");
  EXPECT_EQ(Cell(5, kName), "CH3");
}

TEST_F(TuningPageTest, ChannelDialogKeepsItsBoxesInRange) {
  Load();
  SelectChannels(1, 1);
  TForm2* dialog = page_->channel_dialog();
  dialog->Fill(1);
  dialog->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
  EXPECT_EQ(dialog->box(0)->text(), "CH1");
  Retype(dialog->box(2), "70000");
  EXPECT_EQ(dialog->box(2)->text(), "65535");
  Retype(dialog->box(3), "", false);
  EXPECT_EQ(dialog->box(3)->text(), "65535");
  // Leaving "Transpondedor :" by Tab keeps any row of the transponder table (1 to 199).
  dialog->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
  for (const auto& [typed, kept] :
       {std::pair{"1", "1"}, {"100", "100"}, {"199", "199"}, {"200", "1"}, {"5", "5"}}) {
    Retype(dialog->box(1), typed, false);
    QTest::keyClick(dialog->box(1), Qt::Key_Tab);
    EXPECT_FALSE(dialog->box(1)->hasFocus());
    EXPECT_EQ(dialog->box(1)->text(), kept);
  }
  Retype(dialog->box(0), "A NAME LONGER THAN SIXTEEN", false);
  EXPECT_EQ(dialog->box(0)->text(), "A NAME LONGER TH");
  // Transponder 5 holds channels 5, 204, 403, ...
  EXPECT_EQ(dialog->channels_list()->rowCount(), 11);
  EXPECT_EQ(dialog->transponder_value(0)->text(), "11705000");
  QTest::mouseClick(dialog->ok_button(), Qt::LeftButton);
  EXPECT_EQ(Cell(1, kName), "A NAME LONGER TH");
  EXPECT_EQ(Cell(1, kChannelTransponder), "5");
  EXPECT_EQ(Cell(1, kServiceId), "65535");
  EXPECT_EQ(Cell(1, kVideoPid), "65535");
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(window().settings().Int(Key::kForm2Width), dialog->width());
}

TEST_F(TuningPageTest, TransponderDialogKeepsTheFrequencyInRange) {
  Load();
  TForm3* dialog = page_->transponder_dialog();
  dialog->Fill(2);
  dialog->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
  EXPECT_EQ(dialog->frequency_box()->text(), "1952000");
  Retype(dialog->frequency_box(), "3000000");
  EXPECT_EQ(dialog->frequency_box()->text(), "2950000");
  EXPECT_EQ(dialog->transponder_frequency()->text(), "12700000");
  Retype(dialog->frequency_box(), "2000000.5.", false);
  EXPECT_EQ(dialog->frequency_box()->text(), "2000000.5");
  Retype(dialog->frequency_box(), "1a0,0,0");
  EXPECT_EQ(dialog->frequency_box()->text(), "1950000");
  Retype(dialog->channels_box(), "300");
  EXPECT_EQ(dialog->channels_box()->text(), "255");
  Retype(dialog->network_box(), "", false);
  EXPECT_EQ(dialog->network_box()->text(), "1");
  dialog->satellite()->setCurrentIndex(1);
  QTest::mouseClick(dialog->ok_button(), Qt::LeftButton);
  EXPECT_EQ(list().transponders().Cell(2, kFrequency), "1950000");
  EXPECT_EQ(list().transponders().Cell(2, kChannels), "255");
  EXPECT_EQ(list().channels().Cell(201, kChannelSatellite), "B");
  // A transponder without channels shows one blank row.
  const std::vector<int> on_three = list().ChannelsOnTransponder(3);
  for (auto r = on_three.rbegin(); r != on_three.rend(); ++r) list().DeleteChannels(*r, *r);
  dialog->Fill(3);
  EXPECT_EQ(dialog->channels_list()->rowCount(), 1);
  dialog->close();
}

TEST_F(TuningPageTest, TableSizesAndTheSearchDialog) {
  Load();
  // Fewer channel rows: the table and the target box follow.
  QComboBox* channel_count = window().config_page()->tuning_group()->channel_count_list();
  ui_.ShowPage(Page::kConfig);
  channel_count->setFocus();
  QTest::keyClick(channel_count, Qt::Key_Home);
  EXPECT_EQ(page_->target_box()->maxLength(), 3);
  EXPECT_EQ(page_->channel_view()->model()->rowCount(), 999);

  ui_.ShowPage(Page::kTuning);
  SelectChannels(1, 1);
  Click(TuningPage::kFind);
  TForm5* search = page_->search_dialog();
  ASSERT_TRUE(search->isVisible());
  QTest::keyClicks(search->name_box(), "ch20");
  QTest::mouseClick(search->search_button(), Qt::LeftButton);
  EXPECT_EQ(page_->channel_view()->currentIndex().row() + 1, 20);
  QTest::mouseClick(search->search_button(), Qt::LeftButton);
  EXPECT_EQ(page_->channel_view()->currentIndex().row() + 1, 200);
  search->name_box()->selectAll();
  QTest::keyClicks(search->name_box(), "nothing");
  QTest::mouseClick(search->search_button(), Qt::LeftButton);
  EXPECT_EQ(ui_.LastBox(), QString::fromUtf8("¡ No hay ningún canal con ese nombre !"));
  search->close();
}

}  // namespace
}  // namespace tornavo

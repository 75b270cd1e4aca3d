#include "gui/pages/tuning_page.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QtTest/QTest>

#include "core/channels/channel_list.h"
#include "core/channels/test_images.h"
#include "core/runtime/text_file.h"
#include "gui/channel_dialog.h"
#include "gui/pages/config_page.h"
#include "gui/pages/tuning_group.h"
#include "gui/search_dialog.h"
#include "gui/section_dialog.h"
#include "gui/transponder_channels_list.h"
#include "gui/transponder_dialog.h"
#include "window_fixture.h"

namespace tornavo {
namespace {

using test::NumberedChannels;
using test::NumberedTransponders;

class TuningPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QString error;
    // 2002 channels on 199 transponders.
    ASSERT_TRUE(WriteFileAtomically(dir_.filePath("Tornavo.ini"),
                                    "[TForm1]\r\nNumCanales=1\r\nNumTransp=1\r\n", &error));
    ASSERT_TRUE(
        WriteFileAtomically(Path("list.bin"),
                            test::FlashImage(NumberedChannels(2002, 199), NumberedTransponders(199),
                                             0x1E0100, 0x1D0000, 0x200000, 2002, 199),
                            &error));
    WindowOptions options;
    options.ini_dir = dir_.path();
    ui_ = std::make_unique<testing::WindowUnderTest>(std::move(options));
    window().resize(1000, 760);
    window().pages()->setCurrentIndex(static_cast<int>(Page::kTuning));
    window().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
    page_ = window().tuning_page();
  }

  TForm1& window() { return *ui_->window; }
  ChannelList& list() { return window().services().channel_list; }
  QString Path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }
  QString Cell(int row, int column) const {
    return page_->channel_view()->model()->index(row - 1, column - 1).data().toString();
  }
  void Load(const char* name = "list.bin", int filter = 1) {
    ui_->dialogs->Answer(Path(name), filter);
    QTest::mouseClick(page_->button(TuningPage::kLoad), Qt::LeftButton);
  }
  void SelectChannels(int top, int bottom) {
    QTableView* view = page_->channel_view();
    view->setFocus();
    view->selectRow(top - 1);
    for (int r = top; r < bottom; ++r) QTest::keyClick(view, Qt::Key_Down, Qt::ShiftModifier);
  }
  // Selects the box's text and types over it; an empty text erases it.
  void Retype(QLineEdit* box, const QString& text) {
    box->setFocus();
    box->selectAll();
    if (text.isEmpty())
      QTest::keyClick(box, Qt::Key_Backspace);
    else
      QTest::keyClicks(box, text);
  }
  // A check box reacts to clicks on its indicator and caption only.
  void ClickBox(QCheckBox* box) {
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
  }
  void Leave(QLineEdit* box) { QMetaObject::invokeMethod(box, "editingFinished"); }

  QTemporaryDir dir_;
  std::unique_ptr<testing::WindowUnderTest> ui_;
  TuningPage* page_ = nullptr;
};

TEST_F(TuningPageTest, LoadingAListEnablesThePageAndShowsItsSections) {
  EXPECT_FALSE(page_->button(TuningPage::kSave)->isEnabled());
  EXPECT_FALSE(page_->button(TuningPage::kPaste)->isEnabled());
  EXPECT_EQ(page_->target_box()->maxLength(), 4);
  Load();
  ASSERT_TRUE(list().flash_held());
  EXPECT_EQ(page_->channel_view()->model()->rowCount(), 2002);
  EXPECT_EQ(Cell(2002, 1), "CH2002");
  EXPECT_EQ(page_->section_value(0)->text(), "1E (1E0120)");
  EXPECT_EQ(page_->section_value(1)->text(), "1D (1D0000)");
  EXPECT_EQ(window().settings().Int(Key::kTcs), 0x1E);
  EXPECT_EQ(window().config_page()->tuning_group()->tpt_list()->currentIndex(), 0x1D);
  for (auto b : {TuningPage::kSave, TuningPage::kCopy, TuningPage::kMove, TuningPage::kDelete,
                 TuningPage::kEdit, TuningPage::kFind, TuningPage::kCut, TuningPage::kAdd})
    EXPECT_TRUE(page_->button(b)->isEnabled()) << b;
  QApplication::clipboard()->clear();
  page_->inner_pages()->setCurrentIndex(1);
  EXPECT_FALSE(page_->button(TuningPage::kFind)->isEnabled());
  EXPECT_FALSE(page_->button(TuningPage::kPaste)->isEnabled());

  // A file without tables leaves the list as it was, and the message tells what the file
  // looks like: an erased EEPROM; a flash image is no RAM table.
  QString error;
  ASSERT_TRUE(WriteFileAtomically(Path("eeprom.bin"), QByteArray(2048, '\xFF'), &error));
  Load("eeprom.bin");
  Load("list.bin", 2);
  const QString no_channels = QString::fromUtf8("¡ No se ha encontrado ninguna tabla de canales !");
  ASSERT_EQ(ui_->boxes->boxes.size(), 2);
  EXPECT_EQ(
      ui_->boxes->boxes[0].text,
      no_channels + QString::fromUtf8("\nEl archivo parece un «Archivo Binario (BIN)» de la página "
                                      "«Eeprom»."));
  EXPECT_EQ(ui_->boxes->boxes[1].text,
            no_channels + QString::fromUtf8("\nEl archivo parece un «Archivo FLASH (BIN, RCU o "
                                            "RCS)» de la página «Sintonización»."));
  EXPECT_TRUE(list().flash_held());
  EXPECT_EQ(Cell(1, 1), "CH1");

  // A RAM table shows no transponders.
  ASSERT_TRUE(WriteFileAtomically(Path("ram.bin"), test::Channels(NumberedChannels(3, 1)), &error));
  Load("ram.bin", 2);
  EXPECT_TRUE(list().ram());
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
  QString error;
  ASSERT_TRUE(WriteFileAtomically(Path("two.bin"), image, &error));
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
  EXPECT_EQ(Cell(3, 1), "CH3");
  EXPECT_EQ(Cell(4, 1), "");
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
  // "Activo" shows ticked: a click clears the bit in both rows.
  ASSERT_TRUE(page_->status_box(0)->isChecked());
  ClickBox(page_->status_box(0));
  EXPECT_EQ(Cell(2, kStatus), "00");
  EXPECT_EQ(Cell(3, kStatus), "00");
  page_->encryption()->setFocus();
  QTest::keyClick(page_->encryption(), Qt::Key_Down);  // "Seca"
  EXPECT_EQ(Cell(2, kStatus), "20");

  view->setFocus();
  QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
  EXPECT_TRUE(page_->button(TuningPage::kPaste)->isEnabled());
  QTest::keyClick(view, Qt::Key_Backspace);
  EXPECT_EQ(Cell(2, kName), "CH4");
  view->selectRow(0);
  QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Cell(1, kName), "CH2");
  EXPECT_EQ(Cell(3, kName), "CH1");

  // One step back per action, as far as the load.
  QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Cell(1, kName), "CH1");
  EXPECT_EQ(Cell(2, kName), "CH4");
  for (int i = 0; i < 5; ++i) QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Cell(2, kStatus), "04");
  EXPECT_FALSE(list().can_undo());
  QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Cell(2, kStatus), "64");
}

TEST_F(TuningPageTest, EncryptionListActsOnlyWhenTheChoiceChanges) {
  Load();
  SelectChannels(3, 3);
  QTest::keyClick(page_->channel_view(), Qt::Key_4);
  SelectChannels(2, 3);
  QComboBox* list = page_->encryption();
  ASSERT_EQ(list->currentIndex(), 0);  // row 2 has none
  // Picking the entry shown again changes no row.
  list->setFocus();
  list->showPopup();
  QTest::keyClick(list->view(), Qt::Key_Return);
  EXPECT_EQ(Cell(3, kStatus), "84");
  QTest::keyClick(list, Qt::Key_Down);
  EXPECT_EQ(Cell(2, kStatus), "24");
  EXPECT_EQ(Cell(3, kStatus), "24");
}

TEST_F(TuningPageTest, MovesAndDragsGoThroughTheList) {
  Load();
  SelectChannels(5, 7);
  page_->target_box()->setFocus();
  page_->target_box()->selectAll();
  QTest::keyClicks(page_->target_box(), "2x");
  EXPECT_EQ(page_->target_box()->text(), "2");
  QTest::mouseClick(page_->button(TuningPage::kMove), Qt::LeftButton);
  EXPECT_EQ(Cell(2, kName), "CH5");
  EXPECT_EQ(Cell(5, kName), "CH2");

  // Dragging the row header of channel 1 to row 3.
  page_->channel_view()->verticalHeader()->moveSection(0, 2);
  EXPECT_EQ(Cell(3, kName), "CH1");
  EXPECT_EQ(page_->channel_view()->verticalHeader()->visualIndex(0), 0);
  // Dragging transponder 3 to row 1 renumbers the references.
  page_->inner_pages()->setCurrentIndex(1);
  page_->transponder_view()->verticalHeader()->moveSection(2, 0);
  EXPECT_EQ(list().transponders().Cell(1, kTransponderId), "3");
  ASSERT_EQ(list().channels().Cell(6, kName), "CH3");
  EXPECT_EQ(list().channels().Cell(6, kChannelTransponder), "1");
  EXPECT_EQ(list().channels().Cell(3, kChannelTransponder), "2");  // CH1
}

TEST_F(TuningPageTest, ChannelDialogLimitsAndOk) {
  Load();
  SelectChannels(1, 1);
  TForm2* dialog = page_->channel_dialog();
  dialog->Fill(1);
  dialog->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
  EXPECT_EQ(dialog->box(0)->text(), "CH1");
  Retype(dialog->box(2), "70000");
  EXPECT_EQ(dialog->box(2)->text(), "70000");
  Leave(dialog->box(2));
  EXPECT_EQ(dialog->box(2)->text(), "65535");
  Retype(dialog->box(3), "");
  EXPECT_EQ(dialog->box(3)->text(), "65535");
  // Leaving "Transpondedor :" by Tab keeps any row of the transponder table (1 to 199).
  dialog->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
  for (const auto& [typed, kept] :
       {std::pair{"1", "1"}, {"100", "100"}, {"199", "199"}, {"200", "1"}, {"5", "5"}}) {
    Retype(dialog->box(1), typed);
    QTest::keyClick(dialog->box(1), Qt::Key_Tab);
    EXPECT_FALSE(dialog->box(1)->hasFocus());
    EXPECT_EQ(dialog->box(1)->text(), kept);
  }
  Retype(dialog->box(0), "A NAME LONGER THAN SIXTEEN");
  EXPECT_EQ(dialog->box(0)->text(), "A NAME LONGER TH");
  // Transponder 5 holds channels 5, 204, 403, ...
  EXPECT_EQ(dialog->channels_list()->rowCount(), 11);
  EXPECT_EQ(dialog->transponder_value(0)->text(), "11705000");
  dialog->encryption()->setCurrentIndex(0);
  QTest::mouseClick(dialog->ok_button(), Qt::LeftButton);
  EXPECT_EQ(Cell(1, kName), "A NAME LONGER TH");
  EXPECT_EQ(Cell(1, kChannelTransponder), "5");
  EXPECT_EQ(Cell(1, kServiceId), "65535");
  EXPECT_EQ(Cell(1, kVideoPid), "65535");
  EXPECT_EQ(Cell(1, kStatus), "04");
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
  Leave(dialog->frequency_box());
  EXPECT_EQ(dialog->frequency_box()->text(), "2950000");
  EXPECT_EQ(dialog->transponder_frequency()->text(), "12700000");
  Retype(dialog->frequency_box(), "2000000.5.");
  EXPECT_EQ(dialog->frequency_box()->text(), "2000000.5");
  Retype(dialog->frequency_box(), "1a0,0,0");
  EXPECT_EQ(dialog->frequency_box()->text(), "10,00");
  Leave(dialog->frequency_box());
  EXPECT_EQ(dialog->frequency_box()->text(), "1950000");
  Retype(dialog->channels_box(), "300");
  Leave(dialog->channels_box());
  EXPECT_EQ(dialog->channels_box()->text(), "255");
  Retype(dialog->network_box(), "");
  EXPECT_EQ(dialog->network_box()->text(), "1");
  dialog->satellite()->setCurrentIndex(1);
  QTest::mouseClick(dialog->ok_button(), Qt::LeftButton);
  EXPECT_EQ(list().transponders().Cell(2, kFrequency), "1950000");
  EXPECT_EQ(list().transponders().Cell(2, kChannels), "255");
  EXPECT_EQ(list().channels().Cell(2, kChannelSatellite), "B");
  EXPECT_EQ(list().channels().Cell(201, kChannelSatellite), "B");
  // A transponder without channels shows one blank row.
  const std::vector<int> on_three = list().ChannelsOnTransponder(3);
  for (auto r = on_three.rbegin(); r != on_three.rend(); ++r) list().DeleteChannels(*r, *r);
  dialog->Fill(3);
  EXPECT_EQ(dialog->channels_list()->rowCount(), 1);
  dialog->close();
}

TEST_F(TuningPageTest, SizesRenamesAndSearch) {
  Load();
  TuningGroup* group = window().config_page()->tuning_group();
  // Fewer transponder rows drop rows 100 to 199; more bring back empty ones.
  group->transponder_count_list()->setCurrentIndex(0);
  emit group->transponder_count_list()->activated(0);
  EXPECT_EQ(list().transponders().rows(), 100);
  group->transponder_count_list()->setCurrentIndex(1);
  emit group->transponder_count_list()->activated(1);
  EXPECT_EQ(list().transponders().Cell(150, kFec), "1/2");
  EXPECT_EQ(list().transponders().Cell(150, kBand), "Ku");
  group->channel_count_list()->setCurrentIndex(0);
  emit group->channel_count_list()->activated(0);
  EXPECT_EQ(page_->target_box()->maxLength(), 3);
  EXPECT_EQ(page_->channel_view()->model()->rowCount(), 999);

  QLineEdit* name_b = group->satellite_box(1);
  window().pages()->setCurrentIndex(static_cast<int>(Page::kConfig));
  Retype(name_b, "Hispasat");
  Leave(name_b);
  EXPECT_EQ(list().transponders().Cell(150, kTransponderSatellite), "A");
  list().SetTransponderFields(5, list().transponders().Row(5).mid(1, 9), "Hispasat");
  EXPECT_EQ(list().channels().Cell(5, kChannelSatellite), "Hispasat");
  // Undo brings the old name back to the box as well.
  window().pages()->setCurrentIndex(static_cast<int>(Page::kTuning));
  page_->Undo();
  page_->Undo();
  EXPECT_EQ(window().settings().Text(Key::kSatB), "B");
  EXPECT_EQ(window().config_page()->tuning_group()->satellite_box(1)->text(), "B");
  EXPECT_EQ(window().settings().Int(Key::kNumCanales), 0);

  SelectChannels(1, 1);
  QTest::mouseClick(page_->button(TuningPage::kFind), Qt::LeftButton);
  TForm5* search = page_->search_dialog();
  ASSERT_TRUE(search->isVisible());
  QTest::keyClicks(search->name_box(), "ch20");
  QTest::mouseClick(search->search_button(), Qt::LeftButton);
  EXPECT_EQ(page_->channel_view()->currentIndex().row() + 1, 20);
  QTest::mouseClick(search->search_button(), Qt::LeftButton);
  EXPECT_EQ(page_->channel_view()->currentIndex().row() + 1, 200);
  search->name_box()->setText("nothing");
  QTest::mouseClick(search->search_button(), Qt::LeftButton);
  ASSERT_FALSE(ui_->boxes->boxes.isEmpty());
  EXPECT_EQ(ui_->boxes->boxes.last().text,
            QString::fromUtf8("¡ No hay ningún canal con ese nombre !"));
  search->close();
}

TEST_F(TuningPageTest, AddingAFileShowsTheLiveBlocksAgain) {
  Load();
  QComboBox* tcs = window().config_page()->tuning_group()->tcs_list();
  window().pages()->setCurrentIndex(static_cast<int>(Page::kConfig));
  tcs->setFocus();
  QTest::keyClick(tcs, Qt::Key_Down);
  ASSERT_EQ(window().settings().Int(Key::kTcs), 0x1F);
  window().pages()->setCurrentIndex(static_cast<int>(Page::kTuning));
  ui_->dialogs->Answer(Path("list.bin"), 1);
  QTest::mouseClick(page_->button(TuningPage::kAdd), Qt::LeftButton);
  EXPECT_EQ(page_->section_value(0)->text(), "1E (1E0000)");
  EXPECT_EQ(page_->section_value(1)->text(), "1D (1D0000)");
  EXPECT_EQ(window().settings().Int(Key::kTcs), 0x1E);
  EXPECT_EQ(tcs->currentIndex(), 0x1E);
}

TEST_F(TuningPageTest, CutAndPastedTranspondersKeepTheirWholeRecords) {
  // Symbol-rate codes that name no entry are shown as stored and must stay with their rows.
  std::vector<test::TransponderRecordData> transponders = NumberedTransponders(8);
  for (auto& t : transponders) t.symbol_rate = static_cast<uint8_t>(0x20 + t.id);
  QString error;
  ASSERT_TRUE(WriteFileAtomically(Path("codes.bin"),
                                  test::FlashImage(NumberedChannels(8, 8), transponders, 0x1E0100,
                                                   0x1D0000, 0x200000, 2002, 199),
                                  &error));
  Load("codes.bin");
  page_->inner_pages()->setCurrentIndex(1);
  QTableView* view = page_->transponder_view();
  view->setFocus();
  view->selectRow(1);
  QTest::keyClick(view, Qt::Key_Down, Qt::ShiftModifier);
  QTest::keyClick(view, Qt::Key_X, Qt::ControlModifier);
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                    view->visualRect(view->model()->index(4, 0)).center());
  QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
  ASSERT_EQ(list().transponders().Cell(5, kTransponderId), "2");
  ui_->dialogs->Answer(Path("out.bin"), 1);
  QTest::mouseClick(page_->button(TuningPage::kSave), Qt::LeftButton);
  QByteArray saved;
  ASSERT_TRUE(ReadWholeFile(Path("out.bin"), &saved, &error));
  for (int k = 0; k < 8; ++k) {
    const QByteArray record = saved.mid(0x1D0044 + k * 12, 12);
    EXPECT_EQ(static_cast<uint8_t>(record[9]), 0x20 + record[5]) << k;
  }
}

TEST_F(TuningPageTest, SavingWritesTheImageOrAnExport) {
  Load();
  ui_->dialogs->Answer(Path("copy.bin"), 1);
  QTest::mouseClick(page_->button(TuningPage::kSave), Qt::LeftButton);
  QByteArray saved, original;
  QString error;
  ASSERT_TRUE(ReadWholeFile(Path("copy.bin"), &saved, &error));
  ASSERT_TRUE(ReadWholeFile(Path("list.bin"), &original, &error));
  EXPECT_TRUE(saved == original);
  ui_->dialogs->Answer(Path("list.txt"), 4);
  QTest::mouseClick(page_->button(TuningPage::kSave), Qt::LeftButton);
  ASSERT_TRUE(ReadWholeFile(Path("list.txt"), &saved, &error));
  EXPECT_TRUE(saved.startsWith("\tNOMBRE\tTRSP\t"));
  EXPECT_EQ(saved.count("\r\n"), 2003);

  // A cell that does not convert: an error box, the file untouched.
  list().SetChannelFields(4, {"X", "1", "1", "12a", "1", "0", "0", "1"}, 4);
  ui_->dialogs->Answer(Path("copy.bin"), 1);
  QTest::mouseClick(page_->button(TuningPage::kSave), Qt::LeftButton);
  ASSERT_FALSE(ui_->boxes->boxes.isEmpty());
  EXPECT_TRUE(ui_->boxes->boxes.last().text.contains("fila 4, columna VPID"));
  ASSERT_TRUE(ReadWholeFile(Path("copy.bin"), &saved, &error));
  EXPECT_TRUE(saved == original);

  // 2002 channels from 10000 would run over the transponder table at 18000: an error box.
  ASSERT_TRUE(WriteFileAtomically(
      Path("tight.bin"),
      test::FlashImage(NumberedChannels(3, 1), NumberedTransponders(1), 0x10000, 0x18000), &error));
  Load("tight.bin");
  ui_->dialogs->Answer(Path("copy.bin"), 1);
  QTest::mouseClick(page_->button(TuningPage::kSave), Qt::LeftButton);
  EXPECT_TRUE(
      ui_->boxes->boxes.last().text.startsWith("No se ha guardado nada: Tabla de Canales "
                                               "(TCS 010000–01EADF) se solapa con"));
  ASSERT_TRUE(ReadWholeFile(Path("copy.bin"), &saved, &error));
  EXPECT_TRUE(saved == original);
}

}  // namespace
}  // namespace tornavo

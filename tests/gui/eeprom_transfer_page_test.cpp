// The EEPROM page's transfer buttons driving the virtual receiver through the window.
#include <gtest/gtest.h>

#include <QFile>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include "core/eeprom/eeprom_transfer.h"
#include "core/eeprom/interpreted_view.h"
#include "gui/log_view.h"
#include "gui/pages/eeprom_page.h"
#include "gui/pages/eeprom_transfer_controls.h"
#include "gui/pages/hex_editor.h"
#include "gui/task_page.h"
#include "real_input.h"
#include "sim/virtual_receiver.h"
#include "support/wait.h"
#include "window_fixture.h"

namespace tornavo {
namespace {

using testing::WaitUntil;
using testing::WindowUnderTest;

struct ReceiverWindow {
  // Without boxes, the recorded ones answer for the user.
  explicit ReceiverWindow(std::unique_ptr<MessageBoxes> real_boxes = nullptr) {
    receiver.SetPacing(false);
    started = receiver.Start(&error);
    WindowOptions options;
    options.extra_ports << receiver.device_path();
    options.select_port = receiver.device_path();
    options.boxes = std::move(real_boxes);
    w = std::make_unique<WindowUnderTest>(std::move(options));
  }
  TForm1& window() { return *w->window; }

  sim::VirtualReceiver receiver;
  bool started = false;
  QString error;
  std::unique_ptr<WindowUnderTest> w;
};

TEST(EepromTransferPage, ReadEndsWithACleanPanelBeforeTheClosingMessage) {
  ReceiverWindow rw;
  ASSERT_TRUE(rw.started) << rw.error.toStdString();
  TForm1& window = rw.window();
  TaskPage* page = window.task_page(StatusPage::kEeprom);
  bool clean = false;
  rw.w->boxes->on_box = [&](const testing::RecordedBoxes::Box&) {
    clean = page->progress_bar()->value() == 0;
    for (int f = 0; f < kStatusFieldCount; ++f)
      clean = clean && page->status_panel()->Value(static_cast<StatusField>(f)).isEmpty();
  };
  window.eeprom_page()->inner_pages()->setCurrentIndex(1);
  QTest::mouseClick(window.transfer_controls()->read_button(), Qt::LeftButton);
  EXPECT_FALSE(window.PageTakesInput(Page::kEeprom));
  EXPECT_EQ(window.eeprom_page()->inner_pages()->currentIndex(), 0);
  EXPECT_EQ(page->status_panel()->Value(StatusField::kTask), "Recibe");
  ASSERT_TRUE(WaitUntil([&] { return !rw.w->boxes->boxes.isEmpty(); }, 20000));
  EXPECT_EQ(rw.w->boxes->boxes[0].text, "¡ Eeprom leída con éxito !");
  EXPECT_TRUE(clean);
  EXPECT_TRUE(window.PageTakesInput(Page::kEeprom));
  // The named fields were rebuilt from what was read.
  InterpretedView& view = window.eeprom_page()->interpreted_view();
  EXPECT_EQ(view.state(view.FindField("Pais :")).text, "ESP");
  const auto sim_bytes = rw.receiver.Eeprom();
  const auto image_bytes = window.services().eeprom_image.Bytes();
  EXPECT_TRUE(std::equal(sim_bytes.begin(), sim_bytes.end(), image_bytes.begin()));
}

// Three rows edited with the keyboard after a read: the verify ends by naming them, they stay
// coloured in the grid, and the next read clears the colour.
TEST(EepromTransferPage, VerifyNamesAndColoursTheDifferingRowsUntilTheNextOperation) {
  ReceiverWindow rw;
  ASSERT_TRUE(rw.started) << rw.error.toStdString();
  TForm1& window = rw.window();
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  const QList<testing::RecordedBoxes::Box>& boxes = rw.w->boxes->boxes;
  QTest::mouseClick(window.transfer_controls()->read_button(), Qt::LeftButton);
  ASSERT_TRUE(WaitUntil([&] { return boxes.size() == 1; }, 20000));
  HexEditor* grid = window.eeprom_page()->hex_editor();
  for (int row : {0x12, 0x3A, 0x7F}) {
    const bool zero = window.services().eeprom_image.Cell(row + 1, 1) == "00";
    ASSERT_TRUE(testing::TypeIntoCell(grid, row + 1, 1, zero ? "01" : "00"));
  }
  auto coloured = [&](int row) {
    return grid->model()->index(row, 9).data(Qt::BackgroundRole).isValid();
  };

  QTest::mouseClick(window.transfer_controls()->verify_button(), Qt::LeftButton);
  ASSERT_TRUE(WaitUntil([&] { return boxes.size() == 2; }, 20000));
  EXPECT_TRUE(boxes[1].error);
  EXPECT_EQ(boxes[1].text, "¡ Verificación completada !\n3 filas diferentes: 120, 3A0, 7F0");
  EXPECT_EQ(window.log(LogId::kEeprom)->Lines().last(), "3 filas diferentes: 120, 3A0, 7F0");
  for (int row = 0; row < kEepromRows; ++row)
    EXPECT_EQ(coloured(row), row == 0x12 || row == 0x3A || row == 0x7F) << row;

  QTest::mouseClick(window.transfer_controls()->read_button(), Qt::LeftButton);
  EXPECT_FALSE(coloured(0x12));
  ASSERT_TRUE(WaitUntil([&] { return boxes.size() == 3; }, 20000));
}

TEST(EepromTransferPage, SelectedRowWriteSendsTheSelectedRowOnly) {
  ReceiverWindow rw;
  ASSERT_TRUE(rw.started) << rw.error.toStdString();
  TForm1& window = rw.window();
  EepromImage& image = window.services().eeprom_image;
  for (int c = 1; c <= kEepromColumns; ++c) image.SetCell(3, c, "5A");
  image.set_selected_row(3);
  window.transfer_controls()->range_button(EepromRange::kSelectedRow)->click();
  QTest::mouseClick(window.transfer_controls()->write_button(), Qt::LeftButton);
  ASSERT_TRUE(WaitUntil([&] { return !rw.w->boxes->boxes.isEmpty(); }, 20000));
  EXPECT_EQ(rw.w->boxes->boxes[0].text, "¡ Eeprom escrita con éxito !");
  ASSERT_EQ(rw.receiver.ReceivedFrames().size(), 1);
  EXPECT_TRUE(
      rw.receiver.ReceivedFrames()[0].startsWith("%EE=02010" + QByteArray("5A").repeated(16)));
  EXPECT_EQ(rw.receiver.Eeprom()[0x20], 0x5A);
  EXPECT_EQ(rw.receiver.Eeprom()[0x2F], 0x5A);
}

// An EEPROM file that defines only its first two rows, loaded into the window.
QString LoadTwoRows(ReceiverWindow& rw) {
  QFile file(rw.w->ini_folder.filePath("two.txt"));
  EXPECT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("%EE=00010" + QByteArray(32, '1') + "00\r\n%EE=01010" + QByteArray(32, '2') + "00");
  file.close();
  rw.w->dialogs->Answer(file.fileName(), 1);
  rw.window().eeprom_page()->load_button()->click();
  return file.fileName();
}

TEST(EepromTransferPage, SendingRowsTheLoadedFileLacksAsksFirst) {
  ReceiverWindow rw;
  ASSERT_TRUE(rw.started) << rw.error.toStdString();
  TForm1& window = rw.window();
  const QString file = LoadTwoRows(rw);
  ASSERT_TRUE(rw.w->boxes->boxes.isEmpty());
  const auto before = rw.receiver.Eeprom();

  // Declined: nothing is sent.
  QTest::mouseClick(window.transfer_controls()->write_button(), Qt::LeftButton);
  ASSERT_EQ(rw.w->boxes->questions.size(), 1);
  EXPECT_TRUE(rw.w->boxes->questions[0].contains(file + " no define las filas 020-7F0"))
      << rw.w->boxes->questions[0].toStdString();
  EXPECT_TRUE(window.PageTakesInput(Page::kEeprom));
  EXPECT_TRUE(rw.receiver.ReceivedFrames().isEmpty());

  // The rows the file has go without a question.
  window.transfer_controls()->range_button(EepromRange::kSelectedRow)->click();
  window.services().eeprom_image.set_selected_row(2);
  QTest::mouseClick(window.transfer_controls()->write_button(), Qt::LeftButton);
  ASSERT_TRUE(WaitUntil([&] { return !rw.w->boxes->boxes.isEmpty(); }, 20000));
  EXPECT_EQ(rw.w->boxes->questions.size(), 1);
  EXPECT_EQ(rw.receiver.Eeprom()[0x10], 0x22);

  // Confirmed: the whole EEPROM is written as the grid holds it.
  rw.w->boxes->confirm = true;
  window.transfer_controls()->range_button(EepromRange::kAll)->click();
  QTest::mouseClick(window.transfer_controls()->write_button(), Qt::LeftButton);
  ASSERT_TRUE(WaitUntil([&] { return rw.w->boxes->boxes.size() == 2; }, 20000));
  EXPECT_EQ(rw.w->boxes->questions.size(), 2);
  EXPECT_EQ(rw.w->boxes->boxes[1].text, "¡ Eeprom escrita con éxito !");
  int set_before = 0x20;  // a byte past the file's rows that the receiver held set
  while (set_before < kEepromBytes && before[set_before] == 0xFF) ++set_before;
  ASSERT_LT(set_before, kEepromBytes);
  EXPECT_EQ(rw.receiver.Eeprom()[set_before], 0xFF);
}

// The real question, answered with Enter and with Escape: both are Cancel and nothing is sent.
// It names the port and the addresses the write would cover.
TEST(EepromTransferPage, PartialWriteQuestionNamesItsTargetAndCancelsOnEnterAndEscape) {
  ReceiverWindow rw(std::make_unique<QtMessageBoxes>(nullptr));
  ASSERT_TRUE(rw.started) << rw.error.toStdString();
  LoadTwoRows(rw);
  for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
    testing::BoxWatcher watcher(key);
    QTest::mouseClick(rw.window().transfer_controls()->write_button(), Qt::LeftButton);
    ASSERT_EQ(watcher.seen.size(), 1) << key;
    EXPECT_TRUE(watcher.seen[0].cancel_is_default);
    for (const QString& part : {rw.receiver.device_path(), QString("000"), QString("7FF")})
      EXPECT_TRUE(watcher.seen[0].text.contains(part))
          << part.toStdString() << " in " << watcher.seen[0].text.toStdString();
  }
  EXPECT_TRUE(rw.receiver.ReceivedFrames().isEmpty());
}

}  // namespace
}  // namespace tornavo

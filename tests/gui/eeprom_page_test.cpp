#include "gui/pages/eeprom_page.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include "core/eeprom/eeprom_image.h"
#include "core/eeprom/interpreted_view.h"
#include "core/serial/serial_transport.h"
#include "gui/eeprom_cells_model.h"
#include "gui/pages/hex_editor.h"
#include "gui/pages/interpreted_page.h"
#include "window_fixture.h"

namespace tornavo {
namespace {

using testing::WindowUnderTest;

class EepromPageTest : public ::testing::Test {
 protected:
  EepromPageTest() {
    w_.window->show();
    w_.window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(w_.window.get()));
    page_ = w_.window->eeprom_page();
    grid_ = page_->hex_editor();
  }
  EepromImage& image() { return w_.window->services().eeprom_image; }

  // Selects a cell with the keyboard's help and types into it, as a technician would.
  void TypeInto(int row, int column, const char* keys, Qt::Key end = Qt::Key_Return) {
    grid_->setFocus();
    grid_->setCurrentIndex(grid_->model()->index(row - 1, column - 1));
    QTest::keyClicks(grid_, QString::fromLatin1(keys).left(1));  // the first key opens the editor
    auto* editor = grid_->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr) << "typing did not open the cell editor";
    QTest::keyClicks(editor, QString::fromLatin1(keys).mid(1));
    QTest::keyClick(editor, end);
    // The delegate commits and closes its editor from the event loop.
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(grid_->viewport()->findChild<QLineEdit*>(), nullptr) << "the editor stayed open";
  }

  WindowUnderTest w_;
  EepromPage* page_;
  HexEditor* grid_;
};

TEST_F(EepromPageTest, GridShowsTheImageUnderItsHeadings) {
  QAbstractItemModel* model = grid_->model();
  ASSERT_EQ(model->rowCount(), 128);
  ASSERT_EQ(model->columnCount(), 16);
  EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), "0");
  EXPECT_EQ(model->headerData(15, Qt::Horizontal).toString(), "F");
  EXPECT_EQ(model->headerData(0, Qt::Vertical).toString(), "000");
  EXPECT_EQ(model->headerData(127, Qt::Vertical).toString(), "7F0");
  EXPECT_EQ(model->index(5, 5).data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
  image().SetCell(128, 16, "5A");  // any change shows at once
  EXPECT_EQ(model->index(127, 15).data().toString(), "5A");
}

TEST_F(EepromPageTest, CellEditingKeepsOnlyValidBytes) {
  image().SetCell(3, 2, "12");
  TypeInto(3, 2, "ab");
  EXPECT_EQ(image().Cell(3, 2), "AB");
  EXPECT_EQ(image().selected_row(), 3);

  TypeInto(3, 2, "A");  // one digit is not a byte
  EXPECT_EQ(image().Cell(3, 2), "AB");
  TypeInto(3, 2, "XY");
  EXPECT_EQ(image().Cell(3, 2), "AB");
  TypeInto(3, 2, "00", Qt::Key_Escape);
  EXPECT_EQ(image().Cell(3, 2), "AB");

  // An invalid text a serial reply left behind stays until a valid byte replaces it.
  image().SetCell(7, 1, "?1");
  TypeInto(7, 1, "Z");
  EXPECT_EQ(image().Cell(7, 1), "?1");
  TypeInto(7, 1, "c3");
  EXPECT_EQ(image().Cell(7, 1), "C3");
  EXPECT_EQ(image().selected_row(), 7);

  // Moving about selects rows too.
  grid_->setCurrentIndex(grid_->model()->index(100, 0));
  QTest::keyClick(grid_, Qt::Key_Down);
  EXPECT_EQ(image().selected_row(), 102);
}

TEST_F(EepromPageTest, FileButtonsLoadSaveAndClear) {
  QTemporaryDir dir;
  const QString bin = dir.filePath("e.bin");
  QByteArray bytes(2048, '\0');
  for (int i = 0; i < 2048; ++i) bytes[i] = static_cast<char>(i);
  bytes.replace(0x002, 3, "ITA");
  {
    QFile file(bin);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }
  InterpretedView& view = page_->interpreted_view();
  const int country = view.FindField("Pais :");

  w_.dialogs->Answer(bin, 3);
  QTest::mouseClick(page_->load_button(), Qt::LeftButton);
  ASSERT_EQ(w_.dialogs->requests.size(), 1);
  EXPECT_EQ(w_.dialogs->requests[0].filter,
            "Archivo de Texto Tornavo (TXT)|*.txt|Archivo de Texto KVL5208 (TXT)|*.txt|"
            "Archivo Binario (BIN)|*.bin");
  EXPECT_EQ(w_.dialogs->requests[0].filter_index, 1);
  EXPECT_EQ(image().CellAt(0x7FF), "FF");
  EXPECT_EQ(image().CellAt(0x010), "10");
  EXPECT_EQ(page_->interpreted_fields()->list(country)->currentText(), "ITA");

  // A refused file changes nothing but the page is shown again.
  image().SetCellAt(0x002, "45");
  w_.dialogs->Answer(bin, 1);
  QTest::mouseClick(page_->load_button(), Qt::LeftButton);
  ASSERT_EQ(w_.boxes->boxes.size(), 1);
  EXPECT_TRUE(w_.boxes->boxes[0].text.contains(QString::fromUtf8("La longitud de la línea 1")));
  EXPECT_EQ(image().CellAt(0x010), "10");
  EXPECT_EQ(page_->interpreted_fields()->raw(country)->text(), "455441");

  w_.dialogs->Answer(dir.filePath("e.txt"), 2);
  QTest::mouseClick(page_->save_button(), Qt::LeftButton);
  QFile saved(dir.filePath("e.txt"));
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  EXPECT_TRUE(saved.readAll().startsWith("0001455441050607"));

  QTest::mouseClick(page_->load_button(), Qt::LeftButton);  // cancelled: nothing happens
  QTest::mouseClick(page_->clear_button(), Qt::LeftButton);
  for (int a = 0; a < kEepromBytes; ++a) ASSERT_EQ(image().CellAt(a), "FF");
  EXPECT_EQ(page_->interpreted_fields()->list(country)->currentText(), "otro");
}

TEST_F(EepromPageTest, FieldControlsEditTheImage) {
  InterpretedPage* fields = page_->interpreted_fields();
  InterpretedView& view = page_->interpreted_view();
  page_->inner_pages()->setCurrentIndex(1);
  for (int f = 0; f < InterpretedView::FieldCount(); ++f) {
    ASSERT_TRUE(fields->label(f)->isVisible()) << view.FullCaption(f).toStdString();
    EXPECT_FALSE(fields->label(f)->text().isEmpty());
  }

  // Leaving a decimal box writes it.
  const int frequency = view.FindField(QString::fromUtf8("Satélite 1 Frecuencia :"));
  QLineEdit* box = fields->box(frequency);
  box->setFocus();
  box->selectAll();
  QTest::keyClicks(box, "85x00");
  EXPECT_EQ(box->text(), "8500");
  QTest::keyClick(box, Qt::Key_Tab);
  EXPECT_EQ(image().CellAt(0x025) + image().CellAt(0x026), "2EC2");
  EXPECT_EQ(box->text(), "11970");

  // "otro" opens the raw box; typing into it and leaving writes the padded byte.
  const int brightness = view.FindField("Luminosidad :");
  QComboBox* list = fields->list(brightness);
  QLineEdit* raw = fields->raw(brightness);
  list->setFocus();
  QTest::keyClick(list, Qt::Key_Up);  // "Alta", from the all-FF "otro"
  EXPECT_EQ(list->currentText(), "Alta");
  EXPECT_FALSE(raw->isEnabled());
  EXPECT_EQ(image().CellAt(0x403), "83");
  QTest::keyClick(list, Qt::Key_End);
  ASSERT_TRUE(raw->isEnabled());
  raw->setFocus();
  raw->selectAll();
  QTest::keyClicks(raw, "5");
  QTest::keyClick(raw, Qt::Key_Return);
  EXPECT_EQ(image().CellAt(0x403), "85");

  const int name = view.FindField(QString::fromUtf8("Satélite 2 Nombre del satélite :"));
  QLineEdit* name_box = fields->box(name);
  name_box->setFocus();
  name_box->selectAll();
  QTest::keyClicks(name_box, "hb");
  EXPECT_EQ(name_box->text(), "HB");
  QTest::keyClick(name_box, Qt::Key_Return);
  EXPECT_EQ(image().CellAt(0x030) + image().CellAt(0x031) + image().CellAt(0x032), "484200");
}

TEST(EepromPageStart, FirstActivationFillsTheImageWithFf) {
  WindowUnderTest w;
  EepromImage& image = w.window->services().eeprom_image;
  image.SetCellAt(0x123, "00");
  w.window->show();
  w.window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(w.window.get()));
  EXPECT_EQ(image.CellAt(0x123), "FF");
}

}  // namespace
}  // namespace tornavo

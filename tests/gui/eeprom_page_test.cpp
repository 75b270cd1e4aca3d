

#include "window_fixture.h"

namespace tornavo {
namespace {

using testing::TypeOver;
using testing::WindowUnderTest;

class EepromPageTest : public ::testing::Test {
 protected:
  EepromPageTest() {
    image().SetCellAt(0x123, "00");  // the first activation starts the image all FF
    EXPECT_TRUE(w_.Show());
  }
  EepromImage& image() { return w_.window->services().eeprom_image; }

  void TypeInto(int row, int column, const char* keys, Qt::Key end = Qt::Key_Return) {
    testing::TypeIntoCell(grid_, row, column, QString::fromLatin1(keys), end);
  }

  int Field(const char* caption) {
    return page_->interpreted_view().FindField(QString::fromUtf8(caption));
  }

  WindowUnderTest w_;
  EepromPage* page_ = w_.window->eeprom_page();
  HexEditor* grid_ = page_->hex_editor();
};

TEST_F(EepromPageTest, GridShowsTheImageAndKeepsOnlyValidBytes) {
  QAbstractItemModel* model = grid_->model();
  EXPECT_EQ(model->headerData(127, Qt::Vertical).toString(), "7F0");
  EXPECT_EQ(model->index(0x12, 3).data().toString(), "FF");  // 0x123, before the window showed
  image().SetCell(128, 16, "5A");                            // any change shows at once
  EXPECT_EQ(model->index(127, 15).data().toString(), "5A");

  image().SetCell(3, 2, "12");
  TypeInto(3, 2, "ab");
  EXPECT_EQ(image().Cell(3, 2), "AB");
  EXPECT_EQ(image().selected_row(), 3);
  // One digit is not a byte, X and Y are no digits, and Escape cancels.
  for (auto [keys, end] : {std::pair{"A", Qt::Key_Return}, std::pair{"XY", Qt::Key_Return},
                           std::pair{"00", Qt::Key_Escape}}) {
    TypeInto(3, 2, keys, end);
    EXPECT_EQ(image().Cell(3, 2), "AB") << keys;
  }
  // An invalid text a serial reply left behind stays until a valid byte replaces it.
  image().SetCell(7, 1, "?1");
  TypeInto(7, 1, "Z");
  EXPECT_EQ(image().Cell(7, 1), "?1");
  TypeInto(7, 1, "c3");
  EXPECT_EQ(image().Cell(7, 1), "C3");
  // Moving about selects rows too.
  grid_->setCurrentIndex(grid_->model()->index(100, 0));
  QTest::keyClick(grid_, Qt::Key_Down);
  EXPECT_EQ(image().selected_row(), 102);
}

// The formats and their refusals are proven on the files themselves; here, the buttons reach
// them and the page shows what was loaded.
TEST_F(EepromPageTest, FileButtonsLoadSaveAndClear) {
  QByteArray bytes(2048, '\0');
  std::iota(bytes.begin(), bytes.end(), 0);
  ASSERT_TRUE(testing::WriteTestFile(w_.Path("e.bin"), bytes.replace(0x002, 3, "ITA")));
  const int country = Field("Pais :");

  w_.dialogs->Answer(w_.Path("e.bin"), 3);
  QTest::mouseClick(page_->load_button(), Qt::LeftButton);
  EXPECT_EQ(page_->interpreted_fields()->list(country)->currentText(), "ITA");

  // A refused file changes nothing.
  image().SetCellAt(0x002, "45");
  w_.dialogs->Answer(w_.Path("e.bin"), 1);
  QTest::mouseClick(page_->load_button(), Qt::LeftButton);
  EXPECT_TRUE(w_.LastBox().contains(QString::fromUtf8("La longitud de la línea 1")));
  EXPECT_EQ(page_->interpreted_fields()->raw(country)->text(), "455441");

  // The KVL5208 text of the image as the binary file and the edit above left it.
  w_.dialogs->Answer(w_.Path("e.txt"), 2);
  QTest::mouseClick(page_->save_button(), Qt::LeftButton);
  EXPECT_TRUE(testing::ReadTestFile(w_.Path("e.txt")).startsWith("0001455441050607"));

  QTest::mouseClick(page_->clear_button(), Qt::LeftButton);
  for (const QString& cell : image().cells()) ASSERT_EQ(cell, "FF");
  EXPECT_EQ(page_->interpreted_fields()->list(country)->currentText(), "otro");
}

TEST_F(EepromPageTest, FieldControlsEditTheImage) {
  InterpretedPage* fields = page_->interpreted_fields();
  page_->inner_pages()->setCurrentIndex(1);
  // The second satellite record shares the first one's captions.
  for (int f = 0; f < InterpretedView::FieldCount(); ++f)
    EXPECT_TRUE(InterpretedView::Field(f).record == 2 || fields->label(f)->isVisible()) << f;

  // Leaving a decimal box writes it.
  QLineEdit* frequency = fields->box(Field("Satélite 1 Frecuencia :"));
  EXPECT_EQ(TypeOver(frequency, "85x00"), "8500");
  QTest::keyClick(frequency, Qt::Key_Tab);
  EXPECT_EQ(image().CellAt(0x025) + image().CellAt(0x026), "2EC2");
  EXPECT_EQ(frequency->text(), "11970");

  // "otro" opens the raw box; typing into it and leaving writes the padded byte.
  QComboBox* list = fields->list(Field("Luminosidad :"));
  QLineEdit* raw = fields->raw(Field("Luminosidad :"));
  list->setFocus();
  QTest::keyClick(list, Qt::Key_Up);  // "Alta", from the all-FF "otro"
  EXPECT_EQ(list->currentText(), "Alta");
  EXPECT_FALSE(raw->isEnabled());
  EXPECT_EQ(image().CellAt(0x403), "83");
  QTest::keyClick(list, Qt::Key_End);
  ASSERT_TRUE(raw->isEnabled());
  EXPECT_EQ(TypeOver(raw, "c"), "C");  // a lower-case digit is a digit
  QTest::keyClick(raw, Qt::Key_Return);
  EXPECT_EQ(image().CellAt(0x403), "8C");

  QLineEdit* name = fields->box(Field("Satélite 2 Nombre del satélite :"));
  EXPECT_EQ(TypeOver(name, "hb"), "HB");
  QTest::keyClick(name, Qt::Key_Return);
  EXPECT_EQ(image().CellAt(0x030) + image().CellAt(0x031) + image().CellAt(0x032), "484200");
}

}  // namespace
}  // namespace tornavo

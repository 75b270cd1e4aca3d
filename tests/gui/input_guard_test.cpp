// Nothing changes behind the technician's back: the wheel edits only the control that has
// focus (the page scrolls otherwise), Tab leaves the grids while the arrows move inside them,
// and the address and length boxes keep what is typed.

#include <QDialog>

#include "core/jtag/jtag_dump.h"
#include "core/runtime/text_file.h"
#include "window_fixture.h"

namespace tornavo {
namespace {

using testing::TabInto;
using testing::ValueOf;
using testing::WheelEditable;
using testing::WheelOver;

// The window as a technician sees it, at its smallest default size and in front.
struct ShownWindow {
  ShownWindow() {
    window().resize(736, 657);
    EXPECT_TRUE(w.Show());
  }
  TForm1& window() { return *w.window; }
  testing::WindowUnderTest w;
};

// A page or dialog, brought to the screen.
struct View {
  const char* name;
  std::function<QWidget*(ShownWindow&)> show;
};

QWidget* ShowPage(TForm1& window, Page page) {
  window.pages()->setCurrentIndex(static_cast<int>(page));
  return window.page(page);
}

QWidget* ShowDialog(QDialog* dialog) {
  dialog->show();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog));
  dialog->activateWindow();
  EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
  return dialog;
}

const View kViews[] = {
    {"DatosInterpretados",
     [](ShownWindow& s) {
       ShowPage(s.window(), Page::kEeprom);
       s.window().eeprom_page()->inner_pages()->setCurrentIndex(1);
       return static_cast<QWidget*>(s.window().eeprom_page()->interpreted_fields());
     }},
    {"Configuracion", [](ShownWindow& s) { return ShowPage(s.window(), Page::kConfig); }},
    {"FirmwareParaleloSerie", [](ShownWindow& s) { return ShowPage(s.window(), Page::kFirmware); }},
    {"FirmwareJtag", [](ShownWindow& s) { return ShowPage(s.window(), Page::kJtag); }},
    // With a channel list, whose status list takes input.
    {"Sintonizacion",
     [](ShownWindow& s) {
       QWidget* page = ShowPage(s.window(), Page::kTuning);
       const QString path = s.w.ini_folder.filePath("list.bin");
       QString error;
       EXPECT_TRUE(WriteFileAtomically(
           path, test::FlashImage(test::NumberedChannels(20, 4), test::NumberedTransponders(4)),
           &error));
       s.w.dialogs->Answer(path);
       QTest::mouseClick(s.window().tuning_page()->button(TuningPage::kLoad), Qt::LeftButton);
       s.window().tuning_page()->channel_view()->selectRow(0);
       return page;
     }},
    {"InformacionDelCanal",
     [](ShownWindow& s) { return ShowDialog(s.window().tuning_page()->channel_dialog()); }},
};

class WheelTest : public ::testing::TestWithParam<View> {};

QScrollArea* ScrollingParent(QWidget* widget) {
  for (QWidget* w = widget->parentWidget(); w; w = w->parentWidget())
    if (auto* area = qobject_cast<QScrollArea*>(w)) return area;
  return nullptr;
}

TEST_P(WheelTest, OnlyTheFocusedControlTakesTheWheel) {
  ShownWindow shown;
  QWidget* root = GetParam().show(shown);
  QCoreApplication::processEvents();
  QList<QWidget*> controls;
  for (QWidget* w : root->findChildren<QWidget*>())
    if (WheelEditable(w) && w->isVisible() && w->isEnabled()) controls << w;
  ASSERT_FALSE(controls.isEmpty());

  bool scrolled = false;
  for (QWidget* control : controls) {
    QScrollArea* area = ScrollingParent(control);
    if (area) area->ensureWidgetVisible(control);
    const QString before = ValueOf(control);
    const int top = area ? area->verticalScrollBar()->value() : 0;
    for (int notches : {-1, 1}) {
      WheelOver(control, notches);
      EXPECT_EQ(ValueOf(control), before) << control->metaObject()->className() << " " << notches;
      EXPECT_FALSE(control->hasFocus());
      // An unfocused control under the cursor: the page scrolls when it can.
      if (notches < 0 && area && top < area->verticalScrollBar()->maximum())
        scrolled = scrolled || area->verticalScrollBar()->value() > top;
      if (area) area->ensureWidgetVisible(control);
    }
  }
  QScrollArea* page_area = ScrollingParent(controls.first());
  if (page_area && page_area->verticalScrollBar()->maximum() > 0) {
    EXPECT_TRUE(scrolled);
  }

  // Reached with Tab, a control takes the wheel.
  bool edited = false;
  for (QWidget* control : controls) {
    if (!TabInto(control)) continue;
    const QString before = ValueOf(control);
    WheelOver(control, -1);
    if (ValueOf(control) == before) WheelOver(control, 1);
    edited = ValueOf(control) != before;
    if (edited) break;
  }
  EXPECT_TRUE(edited);
}

// Views and grids are named in the test names and in failures.
const auto kParamName = [](const auto& info) { return std::string(info.param.name); };
void PrintTo(const View& view, std::ostream* out) { *out << view.name; }
INSTANTIATE_TEST_SUITE_P(Views, WheelTest, ::testing::ValuesIn(kViews), kParamName);

// A grid, brought to the screen with its first cells.
struct Grid {
  const char* name;
  std::function<QAbstractItemView*(TForm1&)> show;
};

void PrintTo(const Grid& grid, std::ostream* out) { *out << grid.name; }

const Grid kGrids[] = {
    {"EditorHexadecimal",
     [](TForm1& w) -> QAbstractItemView* {
       ShowPage(w, Page::kEeprom);
       return w.eeprom_page()->hex_editor();
     }},
    {"TablaDeCanales",
     [](TForm1& w) -> QAbstractItemView* {
       ShowPage(w, Page::kTuning);
       return w.tuning_page()->channel_view();
     }},
    {"TablaDeTranspondedores",
     [](TForm1& w) -> QAbstractItemView* {
       ShowPage(w, Page::kTuning);
       w.tuning_page()->findChild<QTabWidget*>()->setCurrentIndex(1);
       return w.tuning_page()->transponder_view();
     }},
};

class GridKeysTest : public ::testing::TestWithParam<Grid> {};

bool InsideOrIs(QWidget* widget, QWidget* container) {
  return widget && (widget == container || container->isAncestorOf(widget));
}

TEST_P(GridKeysTest, ArrowsMoveInsideAndTabLeaves) {
  ShownWindow shown;
  QAbstractItemView* grid = GetParam().show(shown.window());
  QCoreApplication::processEvents();
  const QModelIndex first = grid->model()->index(1, 1);
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(first).center());
  ASSERT_TRUE(grid->hasFocus());
  ASSERT_EQ(grid->currentIndex(), first);
  QTest::keyClick(grid, Qt::Key_Right);
  QTest::keyClick(grid, Qt::Key_Down);
  const QModelIndex moved = grid->model()->index(2, 2);
  EXPECT_EQ(grid->currentIndex(), moved);
  for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab}) {
    grid->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(grid, key);
    EXPECT_FALSE(InsideOrIs(QApplication::focusWidget(), grid)) << key;
    EXPECT_EQ(grid->currentIndex(), moved);
  }
}

// A byte being typed into the hex grid is kept when Tab leaves the grid.
TEST(HexGridKeysTest, TabFromAnEditedCellKeepsItsByteAndLeaves) {
  ShownWindow shown;
  HexEditor* grid = shown.window().eeprom_page()->hex_editor();
  ShowPage(shown.window(), Page::kEeprom);
  QCoreApplication::processEvents();
  const QModelIndex cell = grid->model()->index(3, 4);
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(cell).center());
  QTest::keyClicks(grid, "A");
  auto* editor = grid->viewport()->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  QTest::keyClicks(editor, "B");
  QTest::keyClick(editor, Qt::Key_Tab);
  QCoreApplication::processEvents();
  EXPECT_EQ(grid->model()->data(cell).toString(), "AB");
  EXPECT_FALSE(InsideOrIs(QApplication::focusWidget(), grid));
  EXPECT_EQ(grid->currentIndex(), cell);
}

INSTANTIATE_TEST_SUITE_P(Grids, GridKeysTest, ::testing::ValuesIn(kGrids), kParamName);

// The firmware pages' boxes, typed into and left with Tab: what stays is what was typed, under
// the page's own leaving rule, never a list entry that happens to start the same way.
TEST(TypedFieldsTest, AddressAndLengthBoxesKeepWhatIsTyped) {
  ShownWindow shown;
  TForm1& window = shown.window();
  struct Case {
    Page page;
    QComboBox* box;
    const char* typed;
    QString shown;  // as typed, before the box is left
    QString kept;
  };
  const Case cases[] = {
      {Page::kJtag, window.jtag_page()->address(), "7", "7", LeaveDumpAddress("7")},
      // What is no hex digit is not taken; the address left is a whole word's.
      {Page::kJtag, window.jtag_page()->address(), "4o1g", "41", "00000040"},
      {Page::kJtag, window.jtag_page()->length(), "1000", "1000", LeaveDumpLength("1000")},
      {Page::kFirmware, window.firmware_page()->address(), "6", "6", "6"},
  };
  for (const Case& c : cases) {
    ShowPage(window, c.page);
    QCoreApplication::processEvents();
    ASSERT_TRUE(TabInto(c.box)) << c.typed;
    QTest::keyClick(c.box->lineEdit(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(c.box->lineEdit(), c.typed);
    EXPECT_EQ(c.box->lineEdit()->text(), c.shown) << c.typed;
    QTest::keyClick(c.box->lineEdit(), Qt::Key_Tab);
    EXPECT_FALSE(c.box->hasFocus()) << c.typed;
    EXPECT_EQ(c.box->currentText(), c.kept) << c.typed;
  }
}

}  // namespace
}  // namespace tornavo

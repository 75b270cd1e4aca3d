// The window's size limits, the grids' column shares and the EEPROM log's divider, through
// the real widgets.
#include "gui/window_layout.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <numeric>

#include "core/eeprom/eeprom_image.h"
#include "core/settings/settings.h"
#include "gui/column_sizer.h"
#include "gui/log_view.h"
#include "gui/pages/eeprom_page.h"
#include "gui/pages/hex_editor.h"
#include "gui/pages/terminal_page.h"
#include "window_fixture.h"

namespace tornavo {
namespace {

class WindowLayoutTest : public ::testing::Test {
 protected:
  void Open(const QByteArray& ini) {
    QFile file(dir_.filePath("Tornavo.ini"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(ini) == ini.size());
    file.close();
    WindowOptions options;
    options.ini_dir = dir_.path();
    w_ = std::make_unique<testing::WindowUnderTest>(std::move(options));
  }
  TForm1& window() { return *w_->window; }
  void ResizeTo(int width, int height) {
    window().resize(width, height);
    // A refused size goes back once the resize is over.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
  }

  QTemporaryDir dir_;
  std::unique_ptr<testing::WindowUnderTest> w_;
};

// A stored width under the limit still opens the window that wide; from then on nothing
// smaller than 756 × 570 is granted.
TEST_F(WindowLayoutTest, ResizesBelowTheLimitsAreRefusedOnceShown) {
  Open("[TForm1]\r\nWindowWidth=740\r\nWindowHeight=660\r\n");
  EXPECT_EQ(window().size(), QSize(740, 660));
  window().show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
  EXPECT_EQ(window().size(), QSize(740, 660));

  ResizeTo(750, 700);  // still narrower than 756
  EXPECT_EQ(window().size(), QSize(740, 660));
  ResizeTo(740, 600);
  EXPECT_EQ(window().size(), QSize(740, 660));
  ResizeTo(756, 570);
  EXPECT_EQ(window().size(), QSize(756, 570));
  EXPECT_EQ(window().minimumSize(), QSize(756, 570));
  ResizeTo(1400, 950);
  EXPECT_EQ(window().size(), QSize(1400, 950));
  ResizeTo(700, 500);  // the window system keeps it at the limits
  EXPECT_EQ(window().size(), QSize(756, 570));
}

TEST_F(WindowLayoutTest, StoredSizesAboveTheStartMinimumsAreGrantedBeforeShowing) {
  Open("[TForm1]\r\nWindowWidth=500\r\nWindowHeight=100\r\n");
  EXPECT_EQ(window().size(), QSize(kStartMinimumWidth, kStartMinimumHeight));
  window().show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
  EXPECT_EQ(window().size(), QSize(kStartMinimumWidth, kStartMinimumHeight));
}

TEST(ColumnSharesTest, HexGridOf566) {
  EepromImage image;
  HexEditor editor(image, nullptr);
  editor.resize(566, 300);
  editor.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
  QCoreApplication::processEvents();
  ASSERT_EQ(editor.width(), 566);
  for (int c = 0; c < 15; ++c) EXPECT_EQ(editor.columnWidth(c), 30) << c;
  EXPECT_GE(editor.verticalHeader()->width(), 30);
  // The last column fills the rest: nothing to scroll sideways.
  EXPECT_GE(editor.columnWidth(15), 30);
  EXPECT_FALSE(editor.horizontalScrollBar()->isVisible())
      << editor.verticalHeader()->width() << " " << editor.columnWidth(15) << " "
      << editor.viewport()->width();
}

TEST(ColumnSharesTest, ChannelTableOf555AndAHeadingThatNeedsMore) {
  QStandardItemModel model(3, 10);
  QTableView view;
  view.setModel(&model);
  int needed_by_name = 0;
  new ColumnSizer(
      &view,
      [](int width) {
        const auto shares = ChannelTableColumnWidths(width);
        return std::vector<int>(shares.begin(), shares.end());
      },
      [&](int c) { return c == 0 ? needed_by_name : 0; });
  view.resize(555, 300);
  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  EXPECT_EQ(view.verticalHeader()->width(), 28);
  EXPECT_EQ(view.columnWidth(0), 118);
  for (int c = 1; c < 8; ++c) EXPECT_EQ(view.columnWidth(c), 43) << c;
  EXPECT_EQ(view.columnWidth(8), 31);
  // A longer heading widens its column instead of being cut.
  needed_by_name = 200;
  view.resize(556, 300);
  QCoreApplication::processEvents();
  EXPECT_EQ(view.columnWidth(0), 200);
  EXPECT_EQ(view.columnWidth(1), 43);
}

TEST(ColumnSharesTest, TransponderTableOf555) {
  QStandardItemModel model(3, 10);
  QTableView view;
  view.setModel(&model);
  new ColumnSizer(&view, [](int width) {
    const auto shares = TransponderTableColumnWidths(width);
    return std::vector<int>(shares.begin(), shares.end());
  });
  view.resize(555, 300);
  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  const int expected[] = {56, 49, 49, 49, 49, 49, 49, 45, 49};
  for (int c = 0; c < 9; ++c) EXPECT_EQ(view.columnWidth(c), expected[c]) << c;
}

// The log under the hex grid opens at the height it was left at, and a drag of its divider
// is stored with the other settings.
TEST_F(WindowLayoutTest, EepromLogDividerIsRemembered) {
  Open("[TForm1]\r\nWindowWidth=1000\r\nWindowHeight=800\r\nAlturaLogEeprom=220\r\n");
  window().show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
  QSplitter* splitter = window().eeprom_page()->log_splitter();
  EXPECT_EQ(window().eeprom_page()->log()->height(), 220);
  EXPECT_GT(window().eeprom_page()->hex_editor()->height(), 220);

  QWidget* handle = splitter->handle(1);
  const QPoint grip(handle->width() / 2, handle->height() / 2);
  QTest::mousePress(handle, Qt::LeftButton, {}, grip);
  QTest::mouseMove(handle, grip - QPoint(0, 40));
  QTest::mouseRelease(handle, Qt::LeftButton, {}, grip - QPoint(0, 40));
  EXPECT_EQ(window().eeprom_page()->log()->height(), 260);
  EXPECT_EQ(window().settings().Int(Key::kAlturaLogEeprom), 260);
  ASSERT_TRUE(window().close());
  QFile file(dir_.filePath("Tornavo.ini"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readAll().contains("\r\nAlturaLogEeprom=260\r\n"));
}

// The terminal's input line is at the bottom of its page, under the log.
TEST_F(WindowLayoutTest, TerminalInputLineIsAtTheBottom) {
  Open("[TForm1]\r\n");
  window().pages()->setCurrentIndex(static_cast<int>(Page::kTerminal));
  window().show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
  TerminalPage* page = window().terminal_page();
  const QRect line = page->command_line()->geometry();
  EXPECT_GE(line.top(), page->log()->geometry().bottom());
  EXPECT_LE(page->height() - line.bottom(), 4);
  // The port it talks through is named at its left; together they span the log.
  const QRect port = page->port_label()->geometry();
  EXPECT_EQ(port.left(), page->log()->geometry().left());
  EXPECT_LT(port.right(), line.left());
  EXPECT_EQ(line.right(), page->log()->geometry().right());
}

// The rules alone, apart from the widgets.
TEST(WindowLayoutRules, ResizeLimitsHoldOnlyOnceShown) {
  EXPECT_TRUE(AllowResize(false, 740, 657));
  EXPECT_TRUE(AllowResize(false, 100, 100));
  EXPECT_FALSE(AllowResize(true, 740, 657));
  EXPECT_FALSE(AllowResize(true, 755, 900));
  EXPECT_FALSE(AllowResize(true, 900, 569));
  EXPECT_TRUE(AllowResize(true, 756, 570));
  EXPECT_TRUE(AllowResize(true, 1400, 950));
}

TEST(WindowLayoutRules, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(RoundHalfEven(27.5), 28);
  EXPECT_EQ(RoundHalfEven(26.5), 26);
  EXPECT_EQ(RoundHalfEven(42.4999), 42);
  EXPECT_EQ(RoundHalfEven(42.5000017), 43);
  EXPECT_EQ(RoundHalfEven(0.5), 0);
  EXPECT_EQ(RoundHalfEven(3.0), 3);
}

TEST(WindowLayoutRules, HexGridColumns) {
  const auto w = HexGridColumnWidths(566);
  for (int c = 0; c < 16; ++c) EXPECT_EQ(w[c], 30) << c;
  EXPECT_EQ(w[16], 60);
  // The last column takes what the others leave.
  const auto wide = HexGridColumnWidths(1200);
  EXPECT_EQ(std::accumulate(wide.begin(), wide.end(), 0), 1200 - 26);
}

TEST(WindowLayoutRules, ChannelColumnsJustAboveTheHalf) {
  // The quotients for 555 are 27.5000002, 117.500006 and 42.5000017: all round up.
  const std::array<int, 11> expected = {28, 118, 43, 43, 43, 43, 43, 43, 43, 31, 46};
  EXPECT_EQ(ChannelTableColumnWidths(555), expected);
}

TEST(WindowLayoutRules, TransponderColumns) {
  const std::array<int, 11> expected = {25, 56, 49, 49, 49, 49, 49, 49, 45, 49, 55};
  EXPECT_EQ(TransponderTableColumnWidths(555), expected);
  const auto wide = TransponderTableColumnWidths(1000);
  EXPECT_EQ(std::accumulate(wide.begin(), wide.end(), 0), 1000 - 31);
}

}  // namespace
}  // namespace tornavo

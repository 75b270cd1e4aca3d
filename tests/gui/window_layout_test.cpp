// The window's size limits, the grids' column shares and the EEPROM log's divider, through
// the real widgets.
#include "gui/window_layout.h"

#include <QScreen>
#include <QSplitter>
#include <QStandardItemModel>

#include "core/eeprom/eeprom_image.h"
#include "gui/column_sizer.h"
#include "window_fixture.h"

namespace tornavo {
namespace {

class WindowLayoutTest : public ::testing::Test {
 protected:
  void Open(const QByteArray& ini, bool show = true) {
    w_ = std::make_unique<testing::WindowUnderTest>(WindowOptions{}, "[TForm1]\r\n" + ini);
    if (show) {
      ASSERT_TRUE(w_->Show());
    }
  }
  TForm1& window() { return *w_->window; }
  QSize ResizeTo(int width, int height) {
    window().resize(width, height);
    // A refused size goes back once the resize is over.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    return window().size();
  }

  std::unique_ptr<testing::WindowUnderTest> w_;
};

// A stored size under the limit still opens the window that large (above the start minimums);
// from then on nothing smaller than 756 × 570 is granted.
TEST_F(WindowLayoutTest, ResizesBelowTheLimitsAreRefusedOnceShown) {
  Open("WindowWidth=500\r\nWindowHeight=100\r\n", false);
  EXPECT_EQ(window().size(), QSize(kStartMinimumWidth, kStartMinimumHeight));
  Open("WindowWidth=740\r\nWindowHeight=660\r\n");
  EXPECT_EQ(window().size(), QSize(740, 660));
  EXPECT_EQ(ResizeTo(750, 700), QSize(740, 660));  // still narrower than 756
  EXPECT_EQ(ResizeTo(740, 600), QSize(740, 660));
  EXPECT_EQ(ResizeTo(756, 570), QSize(756, 570));
  EXPECT_EQ(ResizeTo(1400, 950), QSize(1400, 950));
  EXPECT_EQ(ResizeTo(700, 500), QSize(756, 570));  // the window system keeps it at the limits
}

// A stored place on a screen is kept; one on none (another screen layout, a damaged file)
// brings the window back onto the primary screen.
TEST_F(WindowLayoutTest, AStoredPlaceOffEveryScreenComesBackOntoOne) {
  Open("Left=40\r\nTop=30\r\n");
  EXPECT_EQ(window().pos(), QPoint(40, 30));
  Open("Left=-7937\r\nTop=31072\r\n");
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_TRUE(screen.contains(window().pos())) << window().x() << "," << window().y();
  EXPECT_TRUE(screen.contains(window().pos() + QPoint(100, 24)));
}

TEST(ColumnSharesTest, HexGridLeavesNothingToScrollSideways) {
  EepromImage image;
  HexEditor editor(image, nullptr);
  editor.resize(566, 300);
  editor.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
  QCoreApplication::processEvents();
  for (int c = 0; c < 15; ++c) EXPECT_EQ(editor.columnWidth(c), 30) << c;
  EXPECT_GE(editor.verticalHeader()->width(), 30);
  EXPECT_GE(editor.columnWidth(15), 30);
  EXPECT_FALSE(editor.horizontalScrollBar()->isVisible());
}

TEST(ColumnSharesTest, SharesFollowTheGridAndAHeadingThatNeedsMoreWidensItsColumn) {
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
  // The shares themselves are the rules' below; the header takes the first.
  const auto shares = ChannelTableColumnWidths(555);
  EXPECT_EQ(view.verticalHeader()->width(), shares[0]);
  for (int c = 0; c < 9; ++c) EXPECT_EQ(view.columnWidth(c), shares[c + 1]) << c;
  needed_by_name = 200;
  view.resize(556, 300);
  QCoreApplication::processEvents();
  EXPECT_EQ(view.columnWidth(0), 200);
  EXPECT_EQ(view.columnWidth(1), ChannelTableColumnWidths(556)[2]);
}

// The log under the hex grid opens at the height it was left at, and a drag of its divider
// is stored with the other settings.
TEST_F(WindowLayoutTest, EepromLogDividerIsRemembered) {
  Open("WindowWidth=1000\r\nWindowHeight=800\r\nAlturaLogEeprom=220\r\n");
  EepromPage* page = window().eeprom_page();
  EXPECT_EQ(page->log()->height(), 220);
  EXPECT_GT(page->hex_editor()->height(), 220);
  QWidget* handle = page->log_splitter()->handle(1);
  const QPoint grip(handle->width() / 2, handle->height() / 2);
  QTest::mousePress(handle, Qt::LeftButton, {}, grip);
  QTest::mouseMove(handle, grip - QPoint(0, 40));
  QTest::mouseRelease(handle, Qt::LeftButton, {}, grip - QPoint(0, 40));
  EXPECT_EQ(page->log()->height(), 260);
  ASSERT_TRUE(window().close());
  EXPECT_TRUE(
      testing::ReadTestFile(w_->Path("Tornavo.ini")).contains("\r\nAlturaLogEeprom=260\r\n"));
}

// The terminal's input line is at the bottom of its page, under the log, with the port it
// talks through named at its left; together they span the log.
TEST_F(WindowLayoutTest, TerminalInputLineIsAtTheBottom) {
  Open("");
  w_->ShowPage(Page::kTerminal);
  TerminalPage* page = window().terminal_page();
  const QRect line = page->command_line()->geometry();
  const QRect log = page->log()->geometry();
  EXPECT_GE(line.top(), log.bottom());
  EXPECT_LE(page->height() - line.bottom(), 4);
  const QRect port = page->port_label()->geometry();
  EXPECT_EQ(port.left(), log.left());
  EXPECT_LT(port.right(), line.left());
  EXPECT_EQ(line.right(), log.right());
}

// The rules alone, apart from the widgets.
TEST(WindowLayoutRules, LimitsRoundingAndColumnShares) {
  for (auto [shown, width, height, allowed] : {std::tuple{false, 100, 100, true},
                                               {true, 740, 657, false},
                                               {true, 755, 900, false},
                                               {true, 900, 569, false},
                                               {true, 756, 570, true}})
    EXPECT_EQ(AllowResize(shown, width, height), allowed) << width << "x" << height;
  // Two screens side by side, the primary one first.
  const QList<QRect> screens{{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
  for (auto [left, top, placed] : {std::tuple{2000, 100, QPoint(2000, 100)},
                                   {1900, 10, QPoint(1900, 10)},  // most of the grip on the 2nd
                                   {-40, 0, QPoint(-40, 0)},      // 60 px of the grip show
                                   {-60, 0, QPoint(560, 240)},    // 40 px do not
                                   {100, 1070, QPoint(560, 240)},
                                   {-7937, 31072, QPoint(560, 240)}})
    EXPECT_EQ(PlaceOnScreens(QRect(left, top, 800, 600), screens), placed) << left << "," << top;
  EXPECT_EQ(PlaceOnScreens(QRect(-7937, 31072, 2500, 1200), screens), QPoint(0, 0));
  for (auto [value, rounded] : {std::pair{27.5, 28}, {26.5, 26}, {42.4999, 42}, {42.5000017, 43}})
    EXPECT_EQ(RoundHalfEven(value), rounded) << value;

  const auto hex = HexGridColumnWidths(566);
  EXPECT_EQ(hex[0], 30);
  EXPECT_EQ(hex[16], 60);
  // The last column takes what the others leave.
  const auto wide = HexGridColumnWidths(1200);
  EXPECT_EQ(std::accumulate(wide.begin(), wide.end(), 0), 1200 - 26);
  // The quotients for 555 are 27.5000002, 117.500006 and 42.5000017: all round up.
  EXPECT_EQ(ChannelTableColumnWidths(555),
            (std::array<int, 11>{28, 118, 43, 43, 43, 43, 43, 43, 43, 31, 46}));
  EXPECT_EQ(TransponderTableColumnWidths(555),
            (std::array<int, 11>{25, 56, 49, 49, 49, 49, 49, 49, 45, 49, 55}));
  const auto transponders = TransponderTableColumnWidths(1000);
  EXPECT_EQ(std::accumulate(transponders.begin(), transponders.end(), 0), 1000 - 31);
}

}  // namespace
}  // namespace tornavo

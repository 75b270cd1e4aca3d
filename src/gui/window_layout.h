#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <array>

namespace tornavo {

// The main window's size limits. Before the window shows, a stored size is granted as long
// as it reaches the start minimums; once it shows, no drag may make it smaller than these.
inline constexpr int kStartMinimumWidth = 736;
inline constexpr int kStartMinimumHeight = 657;
inline constexpr int kShownMinimumWidth = 756;
inline constexpr int kShownMinimumHeight = 570;

// Whether a resize to width × height is allowed: always before the window shows, and once it
// shows only at or above the shown minimums.
bool AllowResize(bool showing, int width, int height);

// Where a window stored at `stored` opens: there while the start of its title bar lies on one
// of the screens (the first is the primary one); otherwise centred on the primary screen, its
// top left corner kept on it.
QPoint PlaceOnScreens(const QRect& stored, const QList<QRect>& screens);

// The nearest integer to value, a half going to the even neighbour.
int RoundHalfEven(double value);

// Column widths of the three grids for a grid table_width pixels wide. Column 0 of the
// channel and transponder tables is their row-number column, and the last column of every
// grid takes what the others leave.
std::array<int, 17> HexGridColumnWidths(int table_width);
std::array<int, 11> ChannelTableColumnWidths(int table_width);
std::array<int, 11> TransponderTableColumnWidths(int table_width);

}  // namespace tornavo

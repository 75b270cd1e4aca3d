#include "gui/window_layout.h"

#include <algorithm>
#include <cmath>

namespace tornavo {

bool AllowResize(bool showing, int width, int height) {
  return !showing || (width >= kShownMinimumWidth && height >= kShownMinimumHeight);
}

QPoint PlaceOnScreens(const QRect& stored, const QList<QRect>& screens) {
  if (screens.isEmpty()) return stored.topLeft();
  // The start of the title bar, to take hold of: its first 100 pixels (all of a narrower
  // one). Half of it on a screen is enough.
  const QRect grip(stored.topLeft(), QSize(std::min(stored.width(), 100), 24));
  for (const QRect& screen : screens) {
    const QRect on_screen = screen.intersected(grip);
    if (on_screen.width() * 2 >= grip.width() && on_screen.height() * 2 >= grip.height())
      return stored.topLeft();
  }
  const QRect& primary = screens.first();
  return {primary.left() + std::max(0, (primary.width() - stored.width()) / 2),
          primary.top() + std::max(0, (primary.height() - stored.height()) / 2)};
}

int RoundHalfEven(double value) {
  const double below = std::floor(value);
  const double fraction = value - below;
  int result = static_cast<int>(below);
  if (fraction > 0.5 || (fraction == 0.5 && result % 2 != 0)) ++result;
  return result;
}

namespace {

// Columns 0 to 9 by their divisors; column 10 gets the rest less the frame and scroll bar.
std::array<int, 11> ShareColumns(int table_width, const std::array<double, 10>& divisors) {
  std::array<int, 11> widths{};
  int used = 0;
  for (int c = 0; c < 10; ++c) {
    widths[c] = RoundHalfEven(table_width / divisors[c]);
    used += widths[c];
  }
  widths[10] = table_width - used - 31;
  return widths;
}

}  // namespace

std::array<int, 17> HexGridColumnWidths(int table_width) {
  std::array<int, 17> widths{};
  const int cell = RoundHalfEven(table_width / 18.652173);
  for (int c = 0; c < 16; ++c) widths[c] = cell;
  widths[16] = table_width - 16 * cell - 26;
  return widths;
}

std::array<int, 11> ChannelTableColumnWidths(int table_width) {
  const double name = 4.723404, value = 13.058823;
  return ShareColumns(table_width,
                      {20.181818, name, value, value, value, value, value, value, value, 17.76});
}

std::array<int, 11> TransponderTableColumnWidths(int table_width) {
  const double value = 11.25;
  return ShareColumns(table_width,
                      {22.5, 9.9, value, value, value, value, value, value, 12.37, value});
}

}  // namespace tornavo

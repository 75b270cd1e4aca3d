#include "gui/transponder_channels_list.h"

#include <QHeaderView>
#include <cmath>

#include "core/channels/channel_list.h"

namespace tornavo {

TransponderChannelsList::TransponderChannelsList(QWidget* parent) : QTableWidget(parent) {
  setColumnCount(TextGrid::kColumns);
  setEditTriggers(NoEditTriggers);
  setTabKeyNavigation(false);  // Tab goes on to the dialog's buttons
  setSelectionBehavior(SelectRows);
  verticalHeader()->hide();
  verticalHeader()->setDefaultSectionSize(18);
  horizontalHeader()->setMinimumSectionSize(8);
}

void TransponderChannelsList::Fill(const ChannelList& list, const std::vector<int>& rows,
                                   bool blank_when_empty) {
  const TextGrid& grid = list.channels();
  QStringList headings = grid.Row(0);
  setHorizontalHeaderLabels(headings);
  clearContents();
  setRowCount(rows.empty() && blank_when_empty ? 1 : static_cast<int>(rows.size()));
  for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
    const Rgb colour = ChannelRowColour(grid, rows[static_cast<size_t>(i)]);
    for (int c = 0; c < TextGrid::kColumns; ++c) {
      auto* item = new QTableWidgetItem(grid.Cell(rows[static_cast<size_t>(i)], c));
      item->setBackground(QColor(colour.red, colour.green, colour.blue));
      setItem(i, c, item);
    }
  }
  SizeColumns();
}

void TransponderChannelsList::resizeEvent(QResizeEvent* event) {
  QTableWidget::resizeEvent(event);
  SizeColumns();
}

void TransponderChannelsList::SizeColumns() {
  // The list's width shared as the channel grid shares it, each column at least as wide as its
  // heading and a five-digit value (a name, sixteen characters); the list scrolls sideways
  // when that is wider.
  const double width = this->width();
  const QFontMetrics metrics(font());
  auto needed = [&](int c) {
    const QString heading = horizontalHeaderItem(c) ? horizontalHeaderItem(c)->text() : QString();
    const int text = c == 1 ? metrics.horizontalAdvance(QString(16, QLatin1Char('n')))
                            : metrics.horizontalAdvance(QStringLiteral("65535"));
    return std::max(metrics.horizontalAdvance(heading), text) + 12;
  };
  int used = 0;
  for (int c = 0; c < 10; ++c) {
    const int share = static_cast<int>(std::lround(width *
                                                   (c == 0   ? 22
                                                    : c == 1 ? 94
                                                    : c == 9 ? 25
                                                             : 34) /
                                                   444.0));
    const int w = std::max(share, needed(c));
    setColumnWidth(c, w);
    used += w;
  }
  setColumnWidth(10, std::max(needed(10), static_cast<int>(width) - used - 31));
}

}  // namespace tornavo

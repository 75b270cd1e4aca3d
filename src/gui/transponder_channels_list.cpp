#include "gui/transponder_channels_list.h"

#include <QHeaderView>
#include <cmath>

#include "core/channels/channel_list.h"

namespace tornavo {

TransponderChannelsList::TransponderChannelsList(QWidget* parent) : QTableWidget(parent) {
  setColumnCount(TextGrid::kColumns);
  setEditTriggers(NoEditTriggers);
  setSelectionBehavior(SelectRows);
  verticalHeader()->hide();
  verticalHeader()->setDefaultSectionSize(18);
  horizontalHeader()->setMinimumSectionSize(8);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
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
  const double width = this->width();
  auto share = [&](int parts) { return static_cast<int>(std::lround(width * parts / 444.0)); };
  int used = 0;
  for (int c = 0; c < 10; ++c) {
    const int w = share(c == 0 ? 22 : c == 1 ? 94 : c == 9 ? 25 : 34);
    setColumnWidth(c, w);
    used += w;
  }
  setColumnWidth(10, std::max(8, static_cast<int>(width) - used - 31));
}

}  // namespace tornavo

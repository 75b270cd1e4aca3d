#include "core/channels/text_grid.h"

#include <algorithm>

namespace tornavo {

void TextGrid::SetCell(int row, int column, const QString& text) {
  QStringList& cells = rows_[Index(row)];
  if (cells.at(column) != text) cells[column] = text;
}

void TextGrid::CopyData(int row, const TextGrid& from, int from_row) {
  QStringList cells = from.rows_[Index(from_row)];
  if (cells.at(0) != rows_[Index(row)].at(0)) cells[0] = rows_[Index(row)].at(0);
  rows_[Index(row)] = std::move(cells);
}

void TextGrid::ClearData(int row) {
  for (int c = 1; c < kColumns; ++c) SetCell(row, c, QString());
}

void TextGrid::Resize(int rows) {
  rows_.resize(static_cast<size_t>(std::max(rows, 1)), QStringList(kColumns, QString()));
  Renumber();
}

void TextGrid::Renumber() {
  for (int r = 1; r < rows(); ++r) SetCell(r, 0, QString::number(r));
}

void TextGrid::MoveRow(int from, int to) {
  if (from == to) return;
  const auto first = rows_.begin() + std::min(from, to);
  const auto last = rows_.begin() + std::max(from, to) + 1;
  if (from < to)
    std::rotate(first, first + 1, last);
  else
    std::rotate(first, last - 1, last);
  Renumber();
}

}  // namespace tornavo

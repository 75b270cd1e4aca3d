#include "core/channels/text_grid.h"

#include <algorithm>

namespace tornavo {

void TextGrid::SetCell(int row, int column, const QString& text) {
  QStringList& cells = rows_[Index(row)].cells;
  if (cells.at(column) != text) cells[column] = text;
}

void TextGrid::SetRecord(int row, const QByteArray& record) {
  if (rows_[Index(row)].record != record) rows_[Index(row)].record = record;
}

void TextGrid::CopyData(int row, const TextGrid& from, int from_row) {
  GridRow copied = from.rows_[Index(from_row)];
  const QString& number = rows_[Index(row)].cells.at(0);
  if (copied.cells.at(0) != number) copied.cells[0] = number;
  rows_[Index(row)] = std::move(copied);
}

void TextGrid::ClearData(int row) {
  for (int c = 1; c < kColumns; ++c) SetCell(row, c, QString());
  SetRecord(row, {});
}

void TextGrid::Resize(int rows) {
  rows_.resize(static_cast<size_t>(std::max(rows, 1)),
               GridRow{QStringList(kColumns, QString()), {}});
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

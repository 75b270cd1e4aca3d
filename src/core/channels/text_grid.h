#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <vector>

namespace tornavo {

// A table of cell texts: row 0 the headings, column 0 the row numbers. The channel and
// transponder tables are edited in this form and converted to records when written. Each row
// also carries the bytes of the record it came from, so that whatever moves a row moves its
// whole record: a field whose text cannot be converted back writes the row's own bytes. Rows
// are shared between copies until one changes, so keeping copies for undo is cheap.
class TextGrid {
 public:
  static constexpr int kColumns = 11;

  TextGrid() = default;
  explicit TextGrid(int rows) { Resize(rows); }

  int rows() const { return static_cast<int>(rows_.size()); }
  const QString& Cell(int row, int column) const { return rows_[Index(row)].cells.at(column); }
  void SetCell(int row, int column, const QString& text);
  const QStringList& Row(int row) const { return rows_[Index(row)].cells; }
  // The record the row carries; empty for a row that never had one.
  const QByteArray& Record(int row) const { return rows_[Index(row)].record; }
  void SetRecord(int row, const QByteArray& record);
  // Columns 1 to 10 of a row of another grid (or of this one) with its record; the row number
  // stays.
  void CopyData(int row, const TextGrid& from, int from_row);
  // Empties columns 1 to 10 of a row and drops its record.
  void ClearData(int row);
  // Keeps the rows that remain; new rows are empty. Column 0 is numbered again.
  void Resize(int rows);
  // Column 0 := 1 ... rows - 1.
  void Renumber();
  // The row moved to another place, the rows between shifting by one; renumbered.
  void MoveRow(int from, int to);

  bool operator==(const TextGrid& other) const { return rows_ == other.rows_; }
  // Equal but for the headings, which follow the language.
  bool SameData(const TextGrid& other) const {
    return rows_.size() == other.rows_.size() &&
           std::equal(rows_.begin() + (rows_.empty() ? 0 : 1), rows_.end(),
                      other.rows_.begin() + (rows_.empty() ? 0 : 1));
  }

 private:
  struct GridRow {
    QStringList cells;
    QByteArray record;
    bool operator==(const GridRow&) const = default;
  };
  static size_t Index(int row) { return static_cast<size_t>(row); }

  std::vector<GridRow> rows_;
};

}  // namespace tornavo

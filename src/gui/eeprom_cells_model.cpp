#include "gui/eeprom_cells_model.h"

#include <QColor>

#include "core/eeprom/eeprom_image.h"

namespace tornavo {

namespace {
// Ground of a highlighted row: dark text stays easy to read on it.
const QColor kHighlight(0xFF, 0xC0, 0xB0);
}  // namespace

EepromCellsModel::EepromCellsModel(EepromImage& image, QObject* parent)
    : QAbstractTableModel(parent), image_(image) {
  connect(&image_, &EepromImage::CellsChanged, this, [this](int first_row, int last_row) {
    emit dataChanged(index(first_row - 1, 0), index(last_row - 1, kEepromColumns - 1));
  });
}

int EepromCellsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kEepromRows;
}

int EepromCellsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kEepromColumns;
}

QVariant EepromCellsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      return image_.Cell(index.row() + 1, index.column() + 1);
    case Qt::TextAlignmentRole:
      return int(Qt::AlignCenter);
    case Qt::BackgroundRole:
      if (highlighted_[static_cast<size_t>(index.row())]) return kHighlight;
      return {};
    default:
      return {};
  }
}

void EepromCellsModel::SetHighlightedRows(const EepromRows& rows) {
  const EepromRows changed = rows ^ highlighted_;
  highlighted_ = rows;
  if (changed.none()) return;
  int first = 0;
  while (!changed[static_cast<size_t>(first)]) ++first;
  int last = kEepromRows - 1;
  while (!changed[static_cast<size_t>(last)]) --last;
  emit dataChanged(index(first, 0), index(last, kEepromColumns - 1), {Qt::BackgroundRole});
}

QVariant EepromCellsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal) return QString::number(section, 16).toUpper();
  return ByteText(static_cast<uint8_t>(section)) + '0';
}

Qt::ItemFlags EepromCellsModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

bool EepromCellsModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole) return false;
  const QString text = value.toString().toUpper();
  if (IsValidCellText(text)) image_.SetCell(index.row() + 1, index.column() + 1, text);
  return true;
}

}  // namespace tornavo

#include "gui/channel_table_model.h"

#include <QColor>

#include "core/channels/channel_list.h"

namespace tornavo {

ChannelTableModel::ChannelTableModel(const ChannelList& list, bool transponders, QObject* parent)
    : QAbstractTableModel(parent), list_(list), transponders_(transponders) {
  rows_ = grid().rows() - 1;
}

const TextGrid& ChannelTableModel::grid() const {
  return transponders_ ? list_.transponders() : list_.channels();
}

int ChannelTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_;
}

int ChannelTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : TextGrid::kColumns - 1;
}

QVariant ChannelTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= grid().rows() - 1) return {};
  const int row = index.row() + 1;
  const int column = index.column() + 1;
  switch (role) {
    case Qt::DisplayRole:
      return grid().Cell(row, column);
    case Qt::BackgroundRole:
      if (!transponders_ && list_.held()) {
        const Rgb colour = ChannelRowColour(grid(), row);
        return QColor(colour.red, colour.green, colour.blue);
      }
      return {};
    case Qt::TextAlignmentRole:
      return static_cast<int>(column == 1 && !transponders_ ? Qt::AlignLeft | Qt::AlignVCenter
                                                            : Qt::AlignCenter);
    default:
      return {};
  }
}

QVariant ChannelTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal)
    return section + 1 < TextGrid::kColumns ? grid().Cell(0, section + 1) : QVariant();
  return section + 1;
}

void ChannelTableModel::Refresh() {
  const int rows = grid().rows() - 1;
  if (rows != rows_) {
    beginResetModel();
    rows_ = rows;
    endResetModel();
    return;
  }
  emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
  if (rows_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, columnCount() - 1));
}

}  // namespace tornavo

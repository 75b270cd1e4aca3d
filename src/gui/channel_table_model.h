#pragma once

#include <QAbstractTableModel>

namespace tornavo {

class ChannelList;

// One of the two tables of a channel list for a view: the grid's row 0 as the headings across,
// its row numbers down, columns 1 to 10 as cells. Channel rows take their colours. The view
// owns no data; after a change to the list the page calls Refresh.
class ChannelTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  ChannelTableModel(const ChannelList& list, bool transponders, QObject* parent);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // The list changed: same shape keeps the views' selection, another shape resets them.
  void Refresh();
  bool transponders() const { return transponders_; }

 private:
  const class TextGrid& grid() const;

  const ChannelList& list_;
  bool transponders_;
  int rows_ = 0;
};

}  // namespace tornavo

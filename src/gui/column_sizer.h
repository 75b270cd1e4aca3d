#pragma once

#include <QObject>
#include <functional>
#include <vector>

class QTableView;

namespace tornavo {

// Keeps a grid's columns at their shares of the grid's width as the grid is resized. The
// first share is the row-heading column's; the last column takes whatever the others leave,
// so the columns always fill the grid. A column is never made narrower than `needed` says
// (its heading or its widest value; column -1 is the
// row-heading column); the grid then scrolls sideways instead of cutting it.
class ColumnSizer : public QObject {
  Q_OBJECT

 public:
  using Shares = std::function<std::vector<int>(int grid_width)>;
  using Needed = std::function<int(int column)>;

  ColumnSizer(QTableView* view, Shares shares, Needed needed = {});

  void Apply();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QTableView* view_;
  Shares shares_;
  Needed needed_;
};

}  // namespace tornavo

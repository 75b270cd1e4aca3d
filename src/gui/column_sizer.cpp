#include "gui/column_sizer.h"

#include <QEvent>
#include <QHeaderView>
#include <QTableView>
#include <algorithm>

namespace tornavo {

ColumnSizer::ColumnSizer(QTableView* view, Shares shares, Needed needed)
    : QObject(view), view_(view), shares_(std::move(shares)), needed_(std::move(needed)) {
  view_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  // The viewport is resized once the view has placed its headers and scroll bars.
  view_->viewport()->installEventFilter(this);
}

void ColumnSizer::Apply() {
  const std::vector<int> widths = shares_(view_->width());
  const int columns = view_->model() ? view_->model()->columnCount() : 0;
  if (widths.empty()) return;
  QHeaderView* rows = view_->verticalHeader();
  // The row headings as wide as their own texts need, at least.
  rows->setFixedWidth(std::max(widths[0], needed_ ? needed_(-1) : rows->sizeHint().width()));
  int used = 0;
  for (int c = 0; c + 1 < columns && c + 1 < static_cast<int>(widths.size()); ++c) {
    const int least = needed_ ? needed_(c) : 0;
    view_->setColumnWidth(c, std::max(widths[c + 1], least));
    used += view_->columnWidth(c);
  }
  // The last column over what the viewport has left.
  if (columns > 0) {
    const int least = std::max(view_->horizontalHeader()->minimumSectionSize(),
                               needed_ ? needed_(columns - 1) : 0);
    view_->setColumnWidth(columns - 1, std::max(least, view_->viewport()->width() - used));
  }
}

bool ColumnSizer::eventFilter(QObject* watched, QEvent* event) {
  if (watched == view_->viewport() && event->type() == QEvent::Resize) {
    Apply();
    // Scroll bars that come or go with the new widths change the viewport once more.
    QMetaObject::invokeMethod(this, &ColumnSizer::Apply, Qt::QueuedConnection);
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace tornavo

#include "gui/pages/hex_editor.h"

#include <QFontDatabase>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyledItemDelegate>

#include "core/eeprom/eeprom_image.h"
#include "gui/column_sizer.h"
#include "gui/eeprom_cells_model.h"
#include "gui/window_layout.h"

namespace tornavo {

namespace {

// In-place editor of one cell: two characters, centred; beginning to edit selects the row.
// Tab and Shift+Tab keep the byte typed and leave the grid, as they do from a cell not being
// edited.
class CellDelegate : public QStyledItemDelegate {
 public:
  CellDelegate(EepromImage& image, HexEditor* grid)
      : QStyledItemDelegate(grid), image_(image), grid_(grid) {}

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    image_.set_selected_row(index.row() + 1);
    auto* editor = new QLineEdit(parent);
    editor->setMaxLength(2);
    editor->setAlignment(Qt::AlignCenter);
    editor->setFont(option.font);
    editor->setFrame(false);
    return editor;
  }

 protected:
  bool eventFilter(QObject* object, QEvent* event) override {
    auto* editor = qobject_cast<QWidget*>(object);
    if (editor && event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
        emit commitData(editor);
        emit closeEditor(editor, NoHint);
        grid_->LeaveGrid(key == Qt::Key_Tab);
        return true;
      }
    }
    return QStyledItemDelegate::eventFilter(object, event);
  }

 private:
  EepromImage& image_;
  HexEditor* grid_;
};

}  // namespace

HexEditor::HexEditor(EepromImage& image, QWidget* parent)
    : QTableView(parent), image_(image), model_(new EepromCellsModel(image, this)) {
  setModel(model_);
  setItemDelegate(new CellDelegate(image_, this));
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  setFont(fixed);
  horizontalHeader()->setFont(fixed);
  verticalHeader()->setFont(fixed);
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                  QAbstractItemView::AnyKeyPressed);
  // Tab goes on to the next control; the arrows move from cell to cell.
  setTabKeyNavigation(false);
  setWordWrap(false);
  // The sixteen byte columns share the grid's width, so a row is seen whole.
  const QFontMetrics metrics(fixed);
  const int cell = metrics.horizontalAdvance(QStringLiteral("DD")) + 6;
  const int heading = metrics.horizontalAdvance(QStringLiteral("7F0")) + 8;
  horizontalHeader()->setMinimumSectionSize(cell);
  new ColumnSizer(
      this,
      [](int width) {
        const auto shares = HexGridColumnWidths(width);
        return std::vector<int>(shares.begin(), shares.end());
      },
      [cell, heading](int column) { return column < 0 ? heading : cell; });
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(metrics.height() + 4);
  verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
  connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) {
            if (current.isValid()) image_.set_selected_row(current.row() + 1);
          });
}

void HexEditor::LeaveGrid(bool forward) { focusNextPrevChild(forward); }

void HexEditor::HighlightRows(const EepromRows& rows) {
  model_->SetHighlightedRows(rows);
  for (int row = 0; row < kEepromRows; ++row) {
    if (!rows[static_cast<size_t>(row)]) continue;
    scrollTo(model_->index(row, 0));
    return;
  }
}

}  // namespace tornavo

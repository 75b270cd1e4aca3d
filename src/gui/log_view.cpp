#include "gui/log_view.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QScrollBar>

#include "core/runtime/text_file.h"
#include "core/texts/text_names.h"

namespace tornavo {

namespace {
constexpr int kSaveAsKey = text_key::kGuardarComo;  // "Guardar como..."
constexpr int kClearKey = text_key::kBorrar;        // "Borrar"
constexpr int kCopyKey = text_key::kCopiar;         // "Copiar"
}  // namespace

LogView::LogView(const Texts& texts, FileDialogs& dialogs, MessageBoxes& boxes, QWidget* parent)
    : QPlainTextEdit(parent), texts_(texts), dialogs_(dialogs), boxes_(boxes) {
  setReadOnly(true);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  menu_ = new QMenu(this);
  save_action_ = menu_->addAction(QString(), this, &LogView::SaveAs);
  clear_action_ = menu_->addAction(QString(), this, &LogView::Clear);
  copy_action_ = menu_->addAction(QString(), this, &QPlainTextEdit::copy);
  ApplyTexts();
}

void LogView::ApplyTexts() {
  save_action_->setText(texts_.Key(kSaveAsKey));
  clear_action_->setText(texts_.Key(kClearKey));
  copy_action_->setText(texts_.Key(kCopyKey));
}

void LogView::AppendLine(const QString& line) {
  // The log keeps a reply as received, its carriage return included; the view shows a
  // carriage return as a line's end, which the last one already is.
  lines_ << line;
  QString shown = line;
  while (shown.endsWith('\r')) shown.chop(1);
  shown.replace('\r', '\n');
  appendPlainText(shown);
  verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void LogView::Clear() {
  lines_.clear();
  clear();
}

QMenu* LogView::PrepareMenu() {
  copy_action_->setEnabled(textCursor().hasSelection());
  return menu_;
}

void LogView::contextMenuEvent(QContextMenuEvent* event) {
  PrepareMenu()->exec(event->globalPos());
}

void LogView::SaveAs() {
  FileRequest request;
  request.filter = texts_.Slot(slot::kTextFileFilter);
  request.filter_index = dialogs_.last_save_filter_index();
  const FileChoice choice = dialogs_.ChooseSave(request);
  if (!choice.accepted || choice.path.isEmpty()) return;
  QString error;
  if (!WriteFileAtomically(choice.path, EncodeLinesUtf8(lines_), &error)) boxes_.ShowError(error);
}

}  // namespace tornavo

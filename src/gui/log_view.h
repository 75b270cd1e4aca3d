#pragma once

#include <QPlainTextEdit>

#include "core/texts/texts.h"
#include "gui/file_dialogs.h"
#include "gui/message_boxes.h"

class QMenu;
class QAction;

namespace tornavo {

// A read-only log the program appends lines to, with its "Guardar como...", "Borrar",
// "Copiar" menu. "Guardar como..." writes the lines as UTF-8: only people read a saved log.
class LogView : public QPlainTextEdit {
  Q_OBJECT

 public:
  LogView(const Texts& texts, FileDialogs& dialogs, MessageBoxes& boxes, QWidget* parent);

  void AppendLine(const QString& line);
  // The lines as appended: a reply keeps its carriage return.
  const QStringList& Lines() const { return lines_; }
  void Clear();  // "Borrar"
  void ApplyTexts();

  // The context menu as it is about to open (the enabling rule applied).
  QMenu* PrepareMenu();
  void SaveAs();

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  // Clear() empties the lines too.
  using QPlainTextEdit::clear;

  const Texts& texts_;
  FileDialogs& dialogs_;
  MessageBoxes& boxes_;
  QStringList lines_;
  QMenu* menu_;
  QAction* save_action_;
  QAction* clear_action_;
  QAction* copy_action_;
};

}  // namespace tornavo

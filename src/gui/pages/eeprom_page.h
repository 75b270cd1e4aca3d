#pragma once

#include <memory>

#include "core/eeprom/eeprom_image.h"
#include "gui/task_page.h"

class QPushButton;
class QTabWidget;
class QSplitter;
class QVBoxLayout;

namespace tornavo {

class HexEditor;
class InterpretedPage;
class InterpretedView;

// Page "Eeprom": the operation buttons and range choice in the right-hand column above the
// task status panel; the inner pages "Editor Hexadecimal" (grid and EEPROM log) and
// "Datos Interpretados" on the left.
class EepromPage : public TaskPage {
  Q_OBJECT

 public:
  EepromPage(AppServices& services, QWidget* parent);
  ~EepromPage() override;
  void ApplyTexts();

  QTabWidget* inner_pages() const { return inner_; }
  QWidget* hex_editor_page() const { return hex_page_; }
  QWidget* interpreted_page() const { return interpreted_page_; }
  // The column the buttons and the " Longitud " group go into, above the status panel.
  QVBoxLayout* button_column() const { return buttons_; }
  // The hex editor page's layout: the grid goes above the EEPROM log.
  QVBoxLayout* hex_layout() const { return hex_layout_; }

  HexEditor* hex_editor() const { return hex_editor_; }
  // Divides the hex editor page between the grid and the log; the technician drags it, and
  // where it was left is remembered.
  QSplitter* log_splitter() const { return splitter_; }
  // Built when first shown (or asked for): it is the costliest part of the page.
  InterpretedPage* interpreted_fields();
  InterpretedView& interpreted_view() { return *view_; }
  QPushButton* clear_button() const { return clear_; }
  QPushButton* load_button() const { return load_; }
  QPushButton* save_button() const { return save_; }

  // Rows the last loaded file did not define, or, with no file loaded since the grid was
  // blank (at the start, after "Borrar"), rows not read since: sending them would send what
  // the grid holds there, not what the file or the receiver holds. Reading them takes them
  // off.
  const EepromRows& rows_not_loaded() const { return rows_not_loaded_; }
  // Empty while the grid holds no loaded file's rows.
  const QString& loaded_file() const { return loaded_file_; }
  void MarkRowsRead(const EepromRows& rows) { rows_not_loaded_ &= ~rows; }

  // Before the rows' cells are replaced: when some hold edits no file holds, asks to save,
  // discard or stop. True when the caller may go on.
  bool SettleEdits(const EepromRows& rows);

 public slots:
  // Every cell "FF" and the fields shown for it; the window calls it at its first activation.
  void InitImage();
  // Rebuilds the page "Datos Interpretados" from the image (after a transfer, load or dump).
  void RefreshInterpretedView();
  // "Borrar", "Leer Archivo..." and "Guardar como...".
  void ClearImage();
  void LoadEepromFile();
  // True when the file was written.
  bool SaveEepromFile();

 private:
  void BuildInterpretedFields();

  QTabWidget* inner_;
  QWidget* hex_page_;
  QWidget* interpreted_page_;
  QVBoxLayout* buttons_;
  QVBoxLayout* hex_layout_;
  std::unique_ptr<InterpretedView> view_;
  HexEditor* hex_editor_;
  QSplitter* splitter_;
  QVBoxLayout* fields_layout_;
  InterpretedPage* fields_ = nullptr;
  QPushButton* clear_;
  QPushButton* load_;
  QPushButton* save_;
  EepromRows rows_not_loaded_ = EepromRows().set();
  QString loaded_file_;
};

}  // namespace tornavo

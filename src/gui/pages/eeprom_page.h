#pragma once

#include "gui/task_page.h"

class QTabWidget;
class QVBoxLayout;

namespace tornavo {

// Page "Eeprom": the operation buttons and range choice in the right-hand column above the
// task status panel; the inner pages "Editor Hexadecimal" (grid and EEPROM log) and
// "Datos Interpretados" on the left.
class EepromPage : public TaskPage {
  Q_OBJECT

 public:
  EepromPage(AppServices& services, QWidget* parent);
  void ApplyTexts();

  QTabWidget* inner_pages() const { return inner_; }
  QWidget* hex_editor_page() const { return hex_page_; }
  QWidget* interpreted_page() const { return interpreted_page_; }
  // The column the buttons and the " Longitud " group go into, above the status panel.
  QVBoxLayout* button_column() const { return buttons_; }
  // The hex editor page's layout: the grid goes above the EEPROM log.
  QVBoxLayout* hex_layout() const { return hex_layout_; }

 private:
  QTabWidget* inner_;
  QWidget* hex_page_;
  QWidget* interpreted_page_;
  QVBoxLayout* buttons_;
  QVBoxLayout* hex_layout_;
};

}  // namespace tornavo

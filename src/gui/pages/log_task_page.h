#pragma once

#include <array>

#include "gui/task_page.h"

class QGroupBox;
class QVBoxLayout;

namespace tornavo {

// The firmware pages: the page's log on the left, the controls in the right-hand column
// above the task status panel. Constructed with the keys of the panel's captions: group,
// "Tarea :", "Dirección :", "Errores :".
class LogTaskPage : public TaskPage {
  Q_OBJECT

 public:
  LogTaskPage(AppServices& services, const std::array<int, 4>& caption_keys, QWidget* parent);
  void ApplyTexts();
  QVBoxLayout* control_column() const { return controls_; }
  // The layout of a group of choices, stacked tightly so that the column fits the smallest
  // window.
  static QVBoxLayout* CompactChoices(QGroupBox* group);

 private:
  std::array<int, 4> caption_keys_;
  QVBoxLayout* controls_;
};

}  // namespace tornavo

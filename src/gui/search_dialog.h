#pragma once

#include <QDialog>

#include "gui/app_services.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace tornavo {

// "Buscar canal": a small window that stays on top and looks for a channel name after the
// selected row.
class TForm5 : public QDialog {
  Q_OBJECT

 public:
  TForm5(AppServices& services, QWidget* parent);
  void ApplyTexts();

  QLineEdit* name_box() const { return name_; }
  QPushButton* search_button() const { return search_; }

 signals:
  // "Buscar" or Enter with the box's text.
  void SearchRequested(const QString& text);

 private:
  AppServices& services_;
  QLabel* label_;
  QLineEdit* name_;
  QPushButton* search_;
  QPushButton* cancel_;
};

}  // namespace tornavo

#pragma once

#include <QWidget>

#include "gui/app_services.h"

class QLabel;
class QScrollArea;
class QTimer;

namespace tornavo {

// Page "Acerca de...": version, request line and a list of contributors that scrolls only
// while the page is shown.
class AboutPage : public QWidget {
  Q_OBJECT

 public:
  AboutPage(AppServices& services, QWidget* parent);
  void ApplyTexts();

  bool scrolling() const;
  int scroll_position() const;

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void ScrollOneStep();

  AppServices& services_;
  QLabel* version_;
  QLabel* thanks_;
  QLabel* requests_;
  QLabel* forum_;
  QScrollArea* scroller_;
  QLabel* contributors_;
  QTimer* timer_;
};

}  // namespace tornavo

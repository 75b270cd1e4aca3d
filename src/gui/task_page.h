#pragma once

#include <QWidget>

#include "gui/app_services.h"
#include "gui/log_view.h"
#include "gui/status_panel.h"

class QProgressBar;

namespace tornavo {

// What the three operation pages share: a task status panel, a progress bar across the
// bottom of the page and the page's log.
class TaskPage : public QWidget {
  Q_OBJECT

 public:
  TaskPage(AppServices& services, QWidget* parent);

  StatusPanel* status_panel() const { return status_; }
  QProgressBar* progress_bar() const { return progress_; }
  LogView* log() const { return log_; }

 protected:
  AppServices& services_;
  StatusPanel* status_;
  QProgressBar* progress_;
  LogView* log_;
};

}  // namespace tornavo

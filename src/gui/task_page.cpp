#include "gui/task_page.h"

#include <QProgressBar>

namespace tornavo {

TaskPage::TaskPage(AppServices& services, QWidget* parent) : QWidget(parent), services_(services) {
  status_ = new StatusPanel(this);
  progress_ = new QProgressBar(this);
  progress_->setMinimum(0);
  progress_->setMaximum(100);
  progress_->setValue(0);
  progress_->setTextVisible(false);
  log_ = new LogView(services.texts, services.dialogs, services.boxes, this);
}

}  // namespace tornavo

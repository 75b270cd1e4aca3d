#include "gui/pages/tuning_page.h"

#include <QTabWidget>
#include <QVBoxLayout>

#include "core/app/texts.h"

namespace tornavo {

TuningPage::TuningPage(AppServices& services, QWidget* parent)
    : QWidget(parent), services_(services) {
  inner_ = new QTabWidget(this);
  channels_ = new QWidget(inner_);
  transponders_ = new QWidget(inner_);
  inner_->addTab(channels_, QString());
  inner_->addTab(transponders_, QString());
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(inner_);
  ApplyTexts();
}

void TuningPage::ApplyTexts() {
  inner_->setTabText(0, services_.texts.Key(206));
  inner_->setTabText(1, services_.texts.Key(207));
}

}  // namespace tornavo

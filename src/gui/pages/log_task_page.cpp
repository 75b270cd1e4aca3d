#include "gui/pages/log_task_page.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QVBoxLayout>

#include "core/texts/text_names.h"
#include "core/texts/texts.h"

namespace tornavo {

LogTaskPage::LogTaskPage(AppServices& services, const std::array<int, 4>& caption_keys,
                         QWidget* parent)
    : TaskPage(services, parent), caption_keys_(caption_keys) {
  auto* column = new QVBoxLayout;
  controls_ = new QVBoxLayout;
  column->addLayout(controls_);
  column->addStretch(1);
  column->addWidget(status_);
  auto* top = new QHBoxLayout;
  top->addWidget(log_, 1);
  top->addLayout(column);
  auto* page = new QVBoxLayout(this);
  page->addLayout(top, 1);
  page->addWidget(progress_);
  ApplyTexts();
}

QVBoxLayout* LogTaskPage::CompactChoices(QGroupBox* group) {
  auto* layout = new QVBoxLayout(group);
  layout->setContentsMargins(4, 2, 4, 2);
  layout->setSpacing(1);
  return layout;
}

void LogTaskPage::ApplyTexts() {
  const Texts& t = services_.texts;
  const auto& k = caption_keys_;
  status_->SetCaptions(t.Key(k[0]), {t.Key(k[1]), t.Key(k[2]), t.Key(k[3]),
                                     t.Slot(slot::kVelocidad), t.Slot(slot::kTiempoRest)});
  log_->ApplyTexts();
}

}  // namespace tornavo

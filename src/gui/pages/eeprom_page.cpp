#include "gui/pages/eeprom_page.h"

#include <QHBoxLayout>
#include <QProgressBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/app/texts.h"

namespace tornavo {

EepromPage::EepromPage(AppServices& services, QWidget* parent) : TaskPage(services, parent) {
  inner_ = new QTabWidget(this);
  hex_page_ = new QWidget(inner_);
  interpreted_page_ = new QWidget(inner_);
  inner_->addTab(hex_page_, QString());
  inner_->addTab(interpreted_page_, QString());

  hex_layout_ = new QVBoxLayout(hex_page_);
  hex_layout_->setContentsMargins(1, 1, 1, 1);
  log_->setFixedHeight(100);
  hex_layout_->addWidget(log_);

  auto* column = new QVBoxLayout;
  buttons_ = new QVBoxLayout;
  column->addLayout(buttons_);
  column->addStretch(1);
  column->addWidget(status_);

  auto* top = new QHBoxLayout;
  top->addWidget(inner_, 1);
  top->addLayout(column);

  auto* page = new QVBoxLayout(this);
  page->addLayout(top, 1);
  page->addWidget(progress_);
  ApplyTexts();
}

void EepromPage::ApplyTexts() {
  const Texts& t = services_.texts;
  inner_->setTabText(0, t.Key(281));
  inner_->setTabText(1, t.Key(282));
  status_->SetCaptions(t.Key(70), {t.Key(76), t.Key(81), t.Key(89), t.Slot(130), t.Slot(131)});
  log_->ApplyTexts();
}

}  // namespace tornavo

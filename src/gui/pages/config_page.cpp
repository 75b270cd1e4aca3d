#include "gui/pages/config_page.h"

#include <QGridLayout>

#include "gui/pages/serial_group.h"

namespace tornavo {

ConfigPage::ConfigPage(AppServices& services, PortChoices& port_choices, QWidget* parent)
    : QWidget(parent), services_(services) {
  grid_ = new QGridLayout(this);
  serial_ = new SerialGroup(services, port_choices, this);
  grid_->addWidget(serial_, 0, 0, Qt::AlignTop);
  grid_->setRowStretch(1, 1);
  grid_->setColumnStretch(3, 1);
}

void ConfigPage::ApplyTexts() { serial_->ApplyTexts(); }

}  // namespace tornavo

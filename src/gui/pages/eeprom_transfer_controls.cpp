#include "gui/pages/eeprom_transfer_controls.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/texts/text_names.h"
#include "core/texts/texts.h"

namespace tornavo {

EepromTransferControls::EepromTransferControls(const Texts& texts, EepromTransfer& transfer,
                                               QWidget* parent)
    : QWidget(parent), texts_(texts), transfer_(transfer) {
  read_ = new QPushButton(this);
  write_ = new QPushButton(this);
  verify_ = new QPushButton(this);
  range_group_ = new QGroupBox(this);
  all_ = new QRadioButton(range_group_);
  first_ = new QRadioButton(range_group_);
  row_ = new QRadioButton(range_group_);
  all_->setChecked(true);
  auto* ranges = new QVBoxLayout(range_group_);
  ranges->addWidget(all_);
  ranges->addWidget(first_);
  ranges->addWidget(row_);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(read_);
  layout->addWidget(write_);
  layout->addWidget(verify_);
  layout->addWidget(range_group_);

  connect(read_, &QPushButton::clicked, this, [this] {
    if (!guard_ || guard_(EepromTask::kRead, range())) transfer_.StartEepromRead(range());
  });
  connect(write_, &QPushButton::clicked, this, [this] {
    if (!guard_ || guard_(EepromTask::kWrite, range())) transfer_.StartEepromWrite(range());
  });
  connect(verify_, &QPushButton::clicked, this, [this] { transfer_.StartEepromVerify(range()); });
  ApplyTexts();
}

void EepromTransferControls::ApplyTexts() {
  read_->setText(texts_.Key(text_key::kRecibir));
  write_->setText(texts_.Key(text_key::kEepromEnviar));
  verify_->setText(texts_.Key(text_key::kVerificar));
  range_group_->setTitle(texts_.Key(text_key::kEepromLongitud));
  all_->setText(texts_.Key(text_key::kTodaLaEeprom));
  first_->setText(texts_.Key(text_key::kN0x0000x0AF));
  row_->setText(texts_.Key(text_key::kFilaSeleccionada));
}

EepromRange EepromTransferControls::range() const {
  if (all_->isChecked()) return EepromRange::kAll;
  if (first_->isChecked()) return EepromRange::kFirst176;
  return EepromRange::kSelectedRow;
}

QRadioButton* EepromTransferControls::range_button(EepromRange range) const {
  switch (range) {
    case EepromRange::kAll:
      return all_;
    case EepromRange::kFirst176:
      return first_;
    case EepromRange::kSelectedRow:
      return row_;
  }
  return all_;
}

}  // namespace tornavo

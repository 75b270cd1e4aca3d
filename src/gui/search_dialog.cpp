#include "gui/search_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/texts/text_names.h"
#include "core/texts/texts.h"

namespace tornavo {

TForm5::TForm5(AppServices& services, QWidget* parent) : QDialog(parent), services_(services) {
  setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
  setModal(false);
  label_ = new QLabel(this);
  name_ = new QLineEdit(this);
  name_->setMaxLength(16);
  name_->setMinimumWidth(150);
  search_ = new QPushButton(this);
  cancel_ = new QPushButton(this);
  search_->setDefault(true);
  auto* layout = new QGridLayout(this);
  layout->addWidget(label_, 0, 0);
  layout->addWidget(name_, 0, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(search_);
  buttons->addWidget(cancel_);
  layout->addLayout(buttons, 1, 0, 1, 2);
  connect(search_, &QPushButton::clicked, this, [this] { emit SearchRequested(name_->text()); });
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  ApplyTexts();
}

void TForm5::ApplyTexts() {
  const Texts& t = services_.texts;
  setWindowTitle(t.Slot(slot::kBuscarCanal));
  label_->setText(t.Key(text_key::kNombreDelCanal));
  search_->setText(t.Key(text_key::kBuscar));
  cancel_->setText(t.Key(text_key::kCancelar));
}

}  // namespace tornavo

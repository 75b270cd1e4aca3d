#include "gui/channel_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/channels/channel_list.h"
#include "core/settings/settings.h"
#include "core/texts/text_names.h"
#include "core/texts/texts.h"
#include "gui/digit_box.h"
#include "gui/encryption_list.h"
#include "gui/remembered_size.h"
#include "gui/transponder_channels_list.h"

namespace tornavo {

TForm2::TForm2(AppServices& services, QWidget* parent) : QDialog(parent), services_(services) {
  auto* fields = new QGridLayout;
  for (int i = 0; i < 8; ++i) {
    labels_[static_cast<size_t>(i)] = new QLabel(this);
    boxes_[static_cast<size_t>(i)] = new QLineEdit(this);
    // Two columns of four: name and transponder above the PIDs.
    fields->addWidget(labels_[static_cast<size_t>(i)], i % 4, (i / 4) * 2, Qt::AlignRight);
    fields->addWidget(boxes_[static_cast<size_t>(i)], i % 4, (i / 4) * 2 + 1);
  }
  boxes_[0]->setMaxLength(16);
  boxes_[0]->setMinimumWidth(130);
  // A transponder number must name a row of the transponder table.
  BindDigitBox(
      boxes_[1], 3, QStringLiteral("1"),
      [this] { return qint64{services_.channel_list.transponders().rows() - 1}; },
      QStringLiteral("1"));
  connect(boxes_[1], &QLineEdit::textChanged, this, [this] {
    if (isVisible()) ShowTransponder();
  });
  for (int i = 2; i < 8; ++i)
    BindDigitBox(boxes_[static_cast<size_t>(i)], 5, QStringLiteral("65535"), 65535,
                 QStringLiteral("65535"));

  status_group_ = new QGroupBox(this);
  auto* status = new QGridLayout(status_group_);
  for (int i = 0; i < 4; ++i) {
    status_[static_cast<size_t>(i)] = new QCheckBox(status_group_);
    status->addWidget(status_[static_cast<size_t>(i)], i, 0, 1, 2);
  }
  encryption_label_ = new QLabel(status_group_);
  encryption_ = new QComboBox(status_group_);
  status->addWidget(encryption_label_, 4, 0, Qt::AlignRight);
  status->addWidget(encryption_, 4, 1);

  transponder_group_ = new QGroupBox(this);
  auto* transponder = new QGridLayout(transponder_group_);
  for (int i = 0; i < 3; ++i) {
    value_labels_[static_cast<size_t>(i)] = new QLabel(transponder_group_);
    values_[static_cast<size_t>(i)] = new QLabel(transponder_group_);
    values_[static_cast<size_t>(i)]->setMinimumWidth(90);
    transponder->addWidget(value_labels_[static_cast<size_t>(i)], i, 0, Qt::AlignRight);
    transponder->addWidget(values_[static_cast<size_t>(i)], i, 1);
  }
  auto* groups = new QHBoxLayout;
  groups->addWidget(status_group_);
  groups->addWidget(transponder_group_);

  list_label_ = new QLabel(this);
  list_ = new TransponderChannelsList(this);
  ok_ = new QPushButton(this);
  cancel_ = new QPushButton(this);
  ok_->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);
  buttons->addStretch();

  auto* layout = new QVBoxLayout(this);
  auto* centred = new QHBoxLayout;
  centred->addStretch();
  centred->addLayout(fields);
  centred->addStretch();
  layout->addLayout(centred);
  layout->addLayout(groups);
  layout->addWidget(list_label_);
  layout->addWidget(list_, 1);
  layout->addLayout(buttons);
  connect(ok_, &QPushButton::clicked, this, [this] {
    WriteRow();
    accept();
  });
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  ApplyTexts();
}

void TForm2::ApplyTexts() {
  const Texts& t = services_.texts;
  setWindowTitle(t.Key(text_key::kInformacionDelCanal));
  const int keys[] = {text_key::kNombre141, text_key::kTranspondedor, text_key::kServiceID,
                      text_key::kVideoPID,  text_key::kAudioPID,      text_key::kVideoECM,
                      text_key::kAudioECM,  text_key::kPCRPID};
  for (int i = 0; i < 8; ++i) labels_[static_cast<size_t>(i)]->setText(t.Key(keys[i]));
  status_group_->setTitle(t.Key(text_key::kStatus));
  const int status_keys[] = {text_key::kActivo, text_key::kBloqueoParental, text_key::kFavorito,
                             text_key::kDesconocido};
  for (int i = 0; i < 4; ++i) status_[static_cast<size_t>(i)]->setText(t.Key(status_keys[i]));
  encryption_label_->setText(t.Key(text_key::kEncriptacion));
  FillEncryptionList(encryption_, t);
  transponder_group_->setTitle(t.Key(text_key::kInformacionDelTranspondedor));
  value_labels_[0]->setText(t.Key(text_key::kFrecuencia));
  value_labels_[1]->setText(t.Key(text_key::kPolarizacion));
  value_labels_[2]->setText(t.Key(text_key::kSatelite) + QLatin1Char(' '));
  list_label_->setText(t.Key(text_key::kCanalesEnEseTranspondedor153));
  ok_->setText(t.Key(text_key::kOk));
  cancel_->setText(t.Key(text_key::kCancelar));
  // Never below 430 x 379, nor below what the captions (in any language) need. A dialog not
  // yet shown does not hear of its captions' new sizes by itself.
  for (QLayout* part : findChildren<QLayout*>()) part->invalidate();
  setMinimumSize(minimumSizeHint().expandedTo(QSize(430, 379)));
}

void TForm2::Fill(int row) {
  const ChannelList& list = services_.channel_list;
  row_ = row;
  // The row's cells; the boxes' filters leave them as they are.
  for (int i = 0; i < 8; ++i)
    boxes_[static_cast<size_t>(i)]->setText(list.channels().Cell(row, i + 1));
  const int status = static_cast<int>(ParseHex(list.channels().Cell(row, kStatus)) & 0xFF);
  // Boxes in the order Activo, Bloqueo Parental, Favorito, Desconocido.
  const int bits[] = {kActive, kParentalLock, kFavourite, kUnknownFlag};
  for (int i = 0; i < 4; ++i) status_[static_cast<size_t>(i)]->setChecked(status & bits[i]);
  const int system = status >> 4;
  encryption_->setCurrentIndex(system % 2 == 0 && system >= 2 && system <= 10 ? system / 2 : 0);
  ShowTransponder();
}

void TForm2::ShowTransponder() {
  const ChannelList& list = services_.channel_list;
  const int t = boxes_[1]->text().toInt();
  list_->Fill(list, list.ChannelsOnTransponder(t), false);
  const bool known = list.flash_held() && t >= 1 && t < list.transponders().rows();
  values_[0]->setText(known ? list.TunedFrequency(t) : QString());
  values_[1]->setText(known ? list.transponders().Cell(t, kPolarity) : QString());
  values_[2]->setText(known ? list.transponders().Cell(t, kTransponderSatellite) : QString());
}

void TForm2::Mostrar(int row) {
  Fill(row);
  exec();
}

void TForm2::WriteRow() {
  QStringList cells;
  for (QLineEdit* box : boxes_) cells << box->text();
  int status = 0;
  const int bits[] = {kActive, kParentalLock, kFavourite, kUnknownFlag};
  for (int i = 0; i < 4; ++i)
    if (status_[static_cast<size_t>(i)]->isChecked()) status |= bits[i];
  status += 0x20 * std::max(encryption_->currentIndex(), 0);
  services_.channel_list.SetChannelFields(row_, cells, status);
  emit RowWritten(row_);
}

void TForm2::showEvent(QShowEvent* event) {
  RestoreSize(this, services_.settings, Key::kForm2Width, Key::kForm2Height);
  QDialog::showEvent(event);
}

void TForm2::done(int result) {
  StoreSize(this, services_.settings, Key::kForm2Width, Key::kForm2Height);
  QDialog::done(result);
}

}  // namespace tornavo

#include "gui/transponder_dialog.h"

#include <QComboBox>
#include <QGridLayout>
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
#include "gui/remembered_size.h"
#include "gui/transponder_channels_list.h"

namespace tornavo {

namespace {

constexpr int64_t kHighestTuned = 12700000;
constexpr int64_t kLowestTuned = 11700000;

QComboBox* List(QWidget* parent, const QStringList& entries, bool editable) {
  auto* list = new QComboBox(parent);
  list->setEditable(editable);
  list->addItems(entries);
  return list;
}

void ShowText(QComboBox* list, const QString& text) {
  const int index = list->findText(text);
  if (list->isEditable())
    list->setEditText(text);
  else
    list->setCurrentIndex(std::max(index, 0));
}

}  // namespace

TForm3::TForm3(AppServices& services, QWidget* parent) : QDialog(parent), services_(services) {
  shown_frequency_ = new QLabel(this);
  frequency_ = new QLineEdit(this);
  frequency_->setMaxLength(11);
  connect(frequency_, &QLineEdit::textChanged, this, [this](const QString& text) {
    const QString kept = KeepDigits(text, QStringLiteral("1"), true);
    if (kept != text) frequency_->setText(kept);
  });
  connect(frequency_, &QLineEdit::editingFinished, this, &TForm3::CheckFrequency);
  id_ = new QLineEdit(this);
  network_ = new QLineEdit(this);
  channels_ = new QLineEdit(this);
  // Wide enough for every stored value, so showing a row never cuts one short.
  BindDigitBox(id_, 5, QStringLiteral("1"), 65535, QStringLiteral("65535"));
  BindDigitBox(network_, 5, QStringLiteral("1"), 65535, QStringLiteral("65535"));
  BindDigitBox(channels_, 3, QStringLiteral("0"), 255, QStringLiteral("255"));
  fec_ = List(this, {"1/2", "2/3", "3/4", "5/6", "7/8", "8/9"}, true);
  polarity_ = List(this, {"H", "V"}, false);
  tone_ = List(this, {"On", "Off"}, false);
  symbol_rate_ = List(this, {}, true);
  band_ = List(this, {"Ku", "C"}, true);
  satellite_ = List(this, {}, false);
  QWidget* controls[] = {shown_frequency_, frequency_, id_,          network_, channels_, fec_,
                         polarity_,        tone_,      symbol_rate_, band_,    satellite_};
  auto* fields = new QGridLayout;
  for (int i = 0; i < 11; ++i) {
    labels_[static_cast<size_t>(i)] = new QLabel(this);
    const int column = i < 5 ? 0 : 2;
    const int row = i < 5 ? i : i - 5;
    fields->addWidget(labels_[static_cast<size_t>(i)], row, column, Qt::AlignRight);
    fields->addWidget(controls[i], row, column + 1);
    controls[i]->setMinimumWidth(90);
  }
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
  auto* centred = new QHBoxLayout;
  centred->addStretch();
  centred->addLayout(fields);
  centred->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(centred);
  layout->addWidget(list_label_);
  layout->addWidget(list_, 1);
  layout->addLayout(buttons);
  connect(ok_, &QPushButton::clicked, this, [this] {
    CheckFrequency();
    WriteRow();
    accept();
  });
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  ApplyTexts();
}

void TForm3::ApplyTexts() {
  const Texts& t = services_.texts;
  setWindowTitle(t.Key(text_key::kInformacionDeLosTranspondedores));
  const int keys[] = {text_key::kFrecuenciaDelTranspondedor,
                      text_key::kFrecuenciaDelSintonizador,
                      text_key::kTransponderID,
                      text_key::kNetworkID,
                      text_key::kCanales,
                      text_key::kFEC165,
                      text_key::kPolaridad,
                      text_key::kN22KHz167,
                      text_key::kSymbolRate168,
                      text_key::kBanda217,
                      text_key::kSatelite};
  for (int i = 0; i < 11; ++i) {
    QString text = t.Key(keys[i]);
    if (!text.endsWith(QLatin1Char(' '))) text += QLatin1Char(' ');
    labels_[static_cast<size_t>(i)]->setText(text);
  }
  list_label_->setText(t.Key(text_key::kCanalesEnEseTranspondedor170));
  ok_->setText(t.Key(text_key::kOk));
  cancel_->setText(t.Key(text_key::kCancelar));
  // Never below 430 x 358, nor below what the captions (in any language) need. A dialog not
  // yet shown does not hear of its captions' new sizes by itself.
  for (QLayout* part : findChildren<QLayout*>()) part->invalidate();
  setMinimumSize(minimumSizeHint().expandedTo(QSize(430, 358)));
}

int TForm3::Lnb() const {
  const TableContext& context = services_.channel_list.context();
  const bool high = services_.channel_list.transponders().Cell(row_, kTone) == QLatin1String("On");
  return high ? context.lnb_high : context.lnb_low;
}

void TForm3::CheckFrequency() {
  const int64_t lnb = int64_t{Lnb()} * 1000;
  const std::optional<uint32_t> hertz = ParseFrequency(frequency_->text());
  const int64_t tuned = (hertz ? int64_t{*hertz} : 0) + lnb * 1000;  // Hz
  if (tuned > kHighestTuned * 1000)
    frequency_->setText(QString::number(kHighestTuned - lnb));
  else if (tuned < kLowestTuned * 1000)
    frequency_->setText(QString::number(kLowestTuned - lnb));
  shown_frequency_->setText(TunedFrequencyText(frequency_->text(), Lnb()));
}

void TForm3::Fill(int row) {
  const ChannelList& list = services_.channel_list;
  const TextGrid& grid = list.transponders();
  row_ = row;
  shown_frequency_->setText(list.TunedFrequency(row));
  frequency_->setText(grid.Cell(row, kFrequency));
  id_->setText(grid.Cell(row, kTransponderId));
  network_->setText(grid.Cell(row, kNetworkId));
  channels_->setText(grid.Cell(row, kChannels));
  ShowText(fec_, grid.Cell(row, kFec));
  ShowText(polarity_, grid.Cell(row, kPolarity));
  ShowText(tone_, grid.Cell(row, kTone));
  symbol_rate_->clear();
  for (const int32_t rate : list.context().symbol_rates)
    if (rate != 0) symbol_rate_->addItem(QString::number(rate));
  ShowText(symbol_rate_, grid.Cell(row, kSymbolRate));
  ShowText(band_, grid.Cell(row, kBand) == QLatin1String("Ku") ? QStringLiteral("Ku")
                                                               : QStringLiteral("C"));
  satellite_->clear();
  satellite_->addItems({list.context().satellite_a, list.context().satellite_b});
  satellite_->setCurrentIndex(
      grid.Cell(row, kTransponderSatellite) == list.context().satellite_a ? 0 : 1);
  list_->Fill(list, list.ChannelsOnTransponder(row), true);
}

void TForm3::Mostrar(int row) {
  Fill(row);
  exec();
}

void TForm3::WriteRow() {
  const QStringList cells = {frequency_->text(),       id_->text(),
                             network_->text(),         fec_->currentText(),
                             polarity_->currentText(), symbol_rate_->currentText(),
                             tone_->currentText(),     channels_->text(),
                             band_->currentText()};
  services_.channel_list.SetTransponderFields(row_, cells, satellite_->currentText());
  emit RowWritten(row_);
}

void TForm3::showEvent(QShowEvent* event) {
  RestoreSize(this, services_.settings, Key::kForm3Width, Key::kForm3Height);
  QDialog::showEvent(event);
}

void TForm3::done(int result) {
  StoreSize(this, services_.settings, Key::kForm3Width, Key::kForm3Height);
  QDialog::done(result);
}

}  // namespace tornavo

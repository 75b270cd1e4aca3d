#include "gui/pages/tuning_group.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

#include "core/settings/config_rules.h"
#include "core/settings/settings.h"
#include "core/texts/text_names.h"
#include "core/texts/texts.h"
#include "gui/pages/parallel_group.h"

namespace tornavo {

namespace {

void ShowIndex(QComboBox* list, int64_t index) {
  const QSignalBlocker block(list);
  list->setCurrentIndex(index < list->count() ? static_cast<int>(index) : -1);
}

// Replaces a box's text keeping the cursor where the user was typing.
void ReplaceText(QLineEdit* box, const QString& text) {
  if (box->text() == text) return;
  const int cursor = box->cursorPosition() - static_cast<int>(box->text().size() - text.size());
  box->setText(text);
  box->setCursorPosition(std::max(0, cursor));
}

}  // namespace

TuningGroup::TuningGroup(AppServices& services, QWidget* parent)
    : QGroupBox(parent), services_(services) {
  Settings& settings = services.settings;
  QGridLayout* grid = CompactGrid(this);
  tcs_ = new QComboBox(this);
  tpt_ = new QComboBox(this);
  tcs_->addItems(Settings::Positions());
  tpt_->addItems(Settings::Positions());
  symbol_rate_ = new QComboBox(this);
  symbol_rate_->addItems(settings.symbol_rate_files());
  channels_ = new QComboBox(this);
  channels_->addItems({QStringLiteral("1000"), QStringLiteral("2000")});
  transponders_ = new QComboBox(this);
  transponders_->addItems({QStringLiteral("100"), QStringLiteral("200")});
  lnb_low_ = new QLineEdit(this);
  lnb_high_ = new QLineEdit(this);
  sat_a_ = new QLineEdit(this);
  sat_b_ = new QLineEdit(this);
  for (QLineEdit* lnb : {lnb_low_, lnb_high_}) lnb->setMaxLength(kLnbMaximumLength);
  QWidget* controls[] = {tcs_,     tpt_,      symbol_rate_, channels_, transponders_,
                         lnb_low_, lnb_high_, sat_a_,       sat_b_};
  for (int i = 0; i < 9; ++i) {
    labels_[i] = new QLabel(this);
    grid->addWidget(labels_[i], i, 0);
    grid->addWidget(controls[i], i, 1);
  }
  grid->setColumnStretch(1, 1);

  connect(tcs_, &QComboBox::activated, this, [this] { SeparatePositions(tcs_, tpt_); });
  connect(tpt_, &QComboBox::activated, this, [this] { SeparatePositions(tpt_, tcs_); });
  connect(symbol_rate_, &QComboBox::activated, this, [this](int index) {
    services_.settings.SetInt(Key::kSr, index);
    services_.settings.ReloadSymbolRates();
  });
  connect(channels_, &QComboBox::activated, this, [this](int index) {
    services_.settings.SetInt(Key::kNumCanales, index);
    emit TableSizesChanged();
  });
  connect(transponders_, &QComboBox::activated, this, [this](int index) {
    services_.settings.SetInt(Key::kNumTransp, index);
    emit TableSizesChanged();
  });
  connect(lnb_low_, &QLineEdit::textEdited, this, [this] { FilterLnb(lnb_low_); });
  connect(lnb_high_, &QLineEdit::textEdited, this, [this] { FilterLnb(lnb_high_); });
  connect(sat_a_, &QLineEdit::textEdited, this, &TuningGroup::FixSatelliteBoxes);
  connect(sat_b_, &QLineEdit::textEdited, this, &TuningGroup::FixSatelliteBoxes);
  connect(sat_a_, &QLineEdit::editingFinished, this, [this] { ApplySatelliteName(0); });
  connect(sat_b_, &QLineEdit::editingFinished, this, [this] { ApplySatelliteName(1); });
  ApplyTexts();
  ShowSettings();
}

void TuningGroup::ApplyTexts() {
  const Texts& t = services_.texts;
  setTitle(t.Key(text_key::kSintonizacion));
  const int keys[] = {
      text_key::kPosicionTCS,     text_key::kPosicionTPT,     text_key::kSymbolRate140,
      text_key::kNumeroDeCanales, text_key::kNumeroDeTransp,  text_key::kFrecLNBBajo,
      text_key::kFrecLNBAlto,     text_key::kNombreSateliteA, text_key::kNombreSateliteB};
  for (int i = 0; i < 9; ++i) labels_[i]->setText(t.Key(keys[i]));
}

void TuningGroup::ShowSettings() {
  const Settings& settings = services_.settings;
  ShowIndex(tcs_, settings.Int(Key::kTcs));
  ShowIndex(tpt_, settings.Int(Key::kTpt));
  ShowIndex(symbol_rate_, settings.Int(Key::kSr));
  ShowIndex(channels_, settings.Int(Key::kNumCanales));
  ShowIndex(transponders_, settings.Int(Key::kNumTransp));
  lnb_low_->setText(settings.Text(Key::kLnbLow));
  lnb_high_->setText(settings.Text(Key::kLnbHigh));
  sat_a_->setText(settings.Text(Key::kSatA));
  sat_b_->setText(settings.Text(Key::kSatB));
}

void TuningGroup::SeparatePositions(QComboBox* changed, QComboBox* other) {
  const int index = SeparatePosition(changed->currentIndex(), other->currentIndex());
  ShowIndex(changed, index);
  services_.settings.SetInt(changed == tcs_ ? Key::kTcs : Key::kTpt, index);
}

void TuningGroup::FilterLnb(QLineEdit* box) {
  const Key key = box == lnb_low_ ? Key::kLnbLow : Key::kLnbHigh;
  ReplaceText(box, FilterLnbText(box->text(), QString::fromUtf8(Spec(key).fallback_text)));
  services_.settings.SetText(key, box->text());
}

void TuningGroup::FixSatelliteBoxes() {
  QString a = sat_a_->text();
  QString b = sat_b_->text();
  FixSatelliteNames(&a, &b);
  ReplaceText(sat_a_, a);
  ReplaceText(sat_b_, b);
  services_.settings.SetText(Key::kSatA, a);
  services_.settings.SetText(Key::kSatB, b);
}

void TuningGroup::ApplySatelliteName(int satellite) {
  FixSatelliteBoxes();
  QString old_name;
  if (services_.settings.TakeSatelliteRename(satellite, &old_name))
    emit SatelliteRenamed(satellite, old_name, satellite_box(satellite)->text());
}

void TuningGroup::ApplySatelliteNames() {
  ApplySatelliteName(0);
  ApplySatelliteName(1);
}

}  // namespace tornavo

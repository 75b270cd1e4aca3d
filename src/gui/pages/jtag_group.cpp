#include "gui/pages/jtag_group.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "core/settings/config_rules.h"
#include "core/settings/settings.h"
#include "core/texts/text_names.h"
#include "core/texts/texts.h"
#include "gui/page_lock.h"
#include "gui/pages/parallel_group.h"

namespace tornavo {

namespace {

constexpr int kAddressLength = 8;

Key StartKey(int chip) { return chip == 0 ? Key::kFlash1Start : Key::kFlash2Start; }
Key TypeKey(int chip) { return chip == 0 ? Key::kFlash1Type : Key::kFlash2Type; }

QComboBox* AddressList(const QStringList& entries, QWidget* parent) {
  auto* list = new QComboBox(parent);
  list->setEditable(true);
  list->setInsertPolicy(QComboBox::NoInsert);
  list->addItems(entries);
  list->lineEdit()->setMaxLength(kAddressLength);
  // Completing a typed digit to a whole entry would defeat typing an address.
  list->setCompleter(nullptr);
  return list;
}

// Typing into an address list: the filtered text replaces the typed one.
void ShowFilteredText(QComboBox* list, const QString& text) {
  if (list->currentText() == text) return;
  const QSignalBlocker block(list);
  const int cursor = list->lineEdit()->cursorPosition() -
                     static_cast<int>(list->currentText().size() - text.size());
  list->setEditText(text);
  list->lineEdit()->setCursorPosition(std::clamp(cursor, 0, static_cast<int>(text.size())));
}

}  // namespace

JtagGroup::JtagGroup(AppServices& services, QWidget* parent)
    : QGroupBox(parent), services_(services) {
  Settings& settings = services.settings;
  // Two columns: the link and write options on the left, the two chips on the right.
  auto* columns = new QHBoxLayout(this);
  columns->setContentsMargins(4, 2, 4, 2);
  columns->setSpacing(6);
  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(4);
  grid->setVerticalSpacing(1);
  columns->addLayout(grid, 1);
  auto* chips = new QVBoxLayout;
  chips->setSpacing(2);
  columns->addLayout(chips, 1);
  tck_ = new SettingSlider(settings, Key::kDuracionTck, grid, 0, this);
  trap_label_ = new QLabel(this);
  trap_ = AddressList(Settings::TrapAddresses(), this);
  grid->addWidget(trap_label_, 1, 0);
  grid->addWidget(trap_, 1, 1, 1, 3);
  model_label_ = new QLabel(this);
  model_ = new QComboBox(this);
  grid->addWidget(model_label_, 2, 0, 1, 4);
  grid->addWidget(model_, 3, 0, 1, 4);
  const Key check_keys[] = {Key::kVerificarJtag, Key::kForzarJtag, Key::kAddFirmwareCrc};
  for (int i = 0; i < 3; ++i) {
    checks_[i] = new QCheckBox(this);
    grid->addWidget(checks_[i], 4 + i, 0, 1, 4);
    connect(checks_[i], &QCheckBox::clicked, this,
            [this, key = check_keys[i]](bool on) { services_.settings.SetBool(key, on); });
  }
  wait_start_ = new SettingSlider(settings, Key::kWStartBits, grid, 7, this);
  grid->setColumnStretch(1, 1);
  grid->setRowStretch(8, 1);
  AddChip(0, this);
  AddChip(1, this);
  chips->addWidget(chips_[0].group);
  chips->addWidget(chips_[1].group);
  chips->addStretch(1);

  connect(trap_->lineEdit(), &QLineEdit::textEdited, this, &JtagGroup::FilterTrapText);
  connect(trap_, &QComboBox::activated, this,
          [this] { services_.settings.SetText(Key::kTrapAdr, trap_->currentText()); });
  connect(trap_->lineEdit(), &QLineEdit::editingFinished, this,
          &JtagGroup::RoundTrapAddressOnLeaving);
  connect(model_, &QComboBox::activated, this, &JtagGroup::ChooseModel);
  ApplyTexts();
  ShowSettings();
}

void JtagGroup::AddChip(int chip, QWidget* parent) {
  ChipBoxes& boxes = chips_[chip];
  boxes.group = new QGroupBox(parent);
  QGridLayout* grid = CompactGrid(boxes.group);
  boxes.start_label = new QLabel(boxes.group);
  boxes.start = AddressList(Settings::FlashStarts(), boxes.group);
  boxes.type_label = new QLabel(boxes.group);
  boxes.type = new QComboBox(boxes.group);
  boxes.type->addItems(services_.settings.flash_types());
  grid->addWidget(boxes.start_label, 0, 0);
  grid->addWidget(boxes.start, 1, 0);
  grid->addWidget(boxes.type_label, 2, 0);
  grid->addWidget(boxes.type, 3, 0);
  connect(boxes.start->lineEdit(), &QLineEdit::textEdited, this, [this, chip](const QString& text) {
    QComboBox* list = chips_[chip].start;
    ShowFilteredText(list, FilterAddressText(text, list->itemText(0)));
    services_.settings.SetText(StartKey(chip), list->currentText());
  });
  connect(boxes.start, &QComboBox::activated, this, [this, chip] {
    services_.settings.SetText(StartKey(chip), chips_[chip].start->currentText());
  });
  connect(boxes.type, &QComboBox::activated, this, [this, chip](int index) {
    services_.settings.SetInt(TypeKey(chip), index);
    services_.settings.ReloadFlashType(chip);
  });
}

void JtagGroup::ApplyTexts() {
  const Texts& t = services_.texts;
  setTitle(t.Key(text_key::kJTag));
  tck_->SetTexts(t.Key(text_key::kDuracionTCK), t.Key(text_key::kCiclos));
  wait_start_->SetTexts(t.Key(text_key::kBitsWaitStart), QString());
  trap_label_->setText(t.Key(text_key::kDireccionTrap));
  model_label_->setText(t.Key(text_key::kModeloYPlacaDeDecodificador));
  chips_[0].group->setTitle(t.Key(text_key::kIntegradoConSofwareInteractivo));
  chips_[1].group->setTitle(t.Key(text_key::kIntegradoConListaDeCanales));
  for (ChipBoxes& boxes : chips_) {
    boxes.start_label->setText(t.Key(text_key::kDireccionInicialDeLaFlash));
    boxes.type_label->setText(t.Key(text_key::kTipoDeFlash));
  }
  checks_[0]->setText(t.Key(text_key::kVerificarEscrituraEnFlash));
  checks_[1]->setText(t.Key(text_key::kForzarEscrituraEnTodosLos));
  checks_[2]->setText(t.Key(text_key::kAnadirChecksumAlFirmware));
  // The model list's first entry follows the language.
  const QSignalBlocker block(model_);
  const int index = model_->currentIndex();
  model_->clear();
  model_->addItem(t.Slot(slot::kPersonalizado));
  model_->addItems(services_.settings.models());
  model_->setCurrentIndex(index);
}

void JtagGroup::ShowSettings() {
  const Settings& settings = services_.settings;
  tck_->ShowSetting();
  wait_start_->ShowSetting();
  {
    const QSignalBlocker block(trap_);
    trap_->setEditText(settings.Text(Key::kTrapAdr));
  }
  {
    const QSignalBlocker block(model_);
    model_->setCurrentIndex(static_cast<int>(settings.Int(Key::kModel)));
  }
  const Key check_keys[] = {Key::kVerificarJtag, Key::kForzarJtag, Key::kAddFirmwareCrc};
  for (int i = 0; i < 3; ++i) checks_[i]->setChecked(settings.Bool(check_keys[i]));
  ShowFlashFields();
}

void JtagGroup::ShowFlashFields() {
  const Settings& settings = services_.settings;
  for (int chip = 0; chip < 2; ++chip) {
    ChipBoxes& boxes = chips_[chip];
    const QSignalBlocker block_start(boxes.start);
    const QSignalBlocker block_type(boxes.type);
    boxes.start->setEditText(settings.Text(StartKey(chip)));
    const int64_t type = settings.Int(TypeKey(chip));
    boxes.type->setCurrentIndex(type < boxes.type->count() ? static_cast<int>(type) : -1);
    // A chosen model owns these fields.
    PageLock::SetEnabled(boxes.start, !settings.flash_fields_locked());
    PageLock::SetEnabled(boxes.type, !settings.flash_fields_locked());
  }
}

void JtagGroup::FilterTrapText(const QString& text) {
  ShowFilteredText(trap_, FilterAddressText(text, trap_->itemText(0)));
  services_.settings.SetText(Key::kTrapAdr, trap_->currentText());
}

void JtagGroup::RoundTrapAddressOnLeaving() {
  const QSignalBlocker block(trap_);
  trap_->setEditText(RoundTrapAddress(trap_->currentText()));
  services_.settings.SetText(Key::kTrapAdr, trap_->currentText());
}

void JtagGroup::ChooseModel(int index) {
  services_.settings.SetInt(Key::kModel, index);
  services_.settings.ApplyModel();
  ShowFlashFields();
}

}  // namespace tornavo

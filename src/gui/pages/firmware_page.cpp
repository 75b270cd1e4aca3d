#include "gui/pages/firmware_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/channels/channel_list.h"
#include "core/lpt/firmware_settings.h"
#include "core/lpt/firmware_upgrade.h"
#include "core/session/channel_service.h"
#include "core/settings/settings.h"
#include "core/texts/text_names.h"
#include "core/texts/texts.h"
#include "gui/file_dialogs.h"

namespace tornavo {

namespace {
constexpr int kRamListSlot =
    slot::kLaListaDeCanalesEn;  // "¡ La lista de canales en memoria no tiene ..."
constexpr int kNoListLoadedSlot =
    slot::kNoHayNingunaListaDe;  // "¡ No hay ninguna lista de canales cargada !"
constexpr int kOpenFilterSlot =
    slot::kArchivoBinarioBINRCUO;  // "Archivo Binario (BIN, RCU o RCS)|..."
constexpr Key kCommandKeys[] = {Key::kFirmComando1, Key::kFirmComando2, Key::kFirmComando3};
}  // namespace

FirmwarePage::FirmwarePage(AppServices& services, FirmwareUpgrade& upgrade, ParallelCheck& check,
                           QWidget* parent)
    : LogTaskPage(services,
                  {text_key::kFirmwareParaleloSerieEstado, text_key::kEstadoTarea82,
                   text_key::kEstadoDireccion83, text_key::kEstadoErrores84},
                  parent),
      upgrade_(upgrade),
      check_(check) {
  address_label_ = new QLabel(this);
  address_ = new QComboBox(this);
  address_->setEditable(true);
  address_->addItems(kFirmwareAddresses);
  address_->lineEdit()->setMaxLength(8);
  address_->setInsertPolicy(QComboBox::NoInsert);
  // Completing a typed digit to a whole entry would defeat typing an address.
  address_->setCompleter(nullptr);

  command_group_ = new QGroupBox(this);
  QVBoxLayout* command_layout = CompactChoices(command_group_);
  for (QRadioButton*& radio : commands_) {
    radio = new QRadioButton(command_group_);
    command_layout->addWidget(radio);
  }
  use_group_ = new QGroupBox(this);
  QVBoxLayout* use_layout = CompactChoices(use_group_);
  use_flash_ = new QRadioButton(use_group_);
  use_file_ = new QRadioButton(use_group_);
  use_layout->addWidget(use_flash_);
  use_layout->addWidget(use_file_);
  phases_ = new QCheckBox(this);
  progress_check_ = new QCheckBox(this);
  send_ = new QPushButton(this);
  check_button_ = new QPushButton(this);

  QVBoxLayout* column = control_column();
  column->addWidget(address_label_);
  column->addWidget(address_);
  column->addWidget(command_group_);
  column->addWidget(use_group_);
  column->addWidget(phases_);
  column->addWidget(progress_check_);
  column->addWidget(send_);
  column->addWidget(check_button_);

  connect(address_, &QComboBox::activated, this, &FirmwarePage::ChooseAddress);
  for (QAbstractButton* button :
       {static_cast<QAbstractButton*>(commands_[0]), static_cast<QAbstractButton*>(commands_[1]),
        static_cast<QAbstractButton*>(commands_[2]), static_cast<QAbstractButton*>(use_flash_),
        static_cast<QAbstractButton*>(use_file_), static_cast<QAbstractButton*>(phases_),
        static_cast<QAbstractButton*>(progress_check_)})
    connect(button, &QAbstractButton::toggled, this, &FirmwarePage::StoreChoices);
  connect(send_, &QPushButton::clicked, this, &FirmwarePage::StartUpgrade);
  connect(check_button_, &QPushButton::clicked, this, &FirmwarePage::CheckParallelPort);
  ApplyTexts();
  ShowSettings();
}

void FirmwarePage::ApplyTexts() {
  LogTaskPage::ApplyTexts();
  const Texts& t = services_.texts;
  address_label_->setText(t.Key(text_key::kFirmwareParaleloSerieDireccion));
  command_group_->setTitle(t.Key(text_key::kComando));
  const int command_keys[] = {text_key::kDLK2002, text_key::kPLK6003OK7003,
                              text_key::kFLK6003K7003OK2501};
  for (int i = 0; i < 3; ++i) commands_[i]->setText(t.Key(command_keys[i]));
  use_group_->setTitle(t.Key(text_key::kUsar));
  use_flash_->setText(t.Key(text_key::kTablaCanalesFlash));
  use_file_->setText(t.Key(text_key::kArchivo));
  phases_->setText(t.Key(text_key::kEnvioConFase1Y));
  progress_check_->setText(t.Key(text_key::kMostrarProgreso));
  send_->setText(t.Key(text_key::kFirmwareParaleloSerieEnviar));
  check_button_->setText(t.Key(text_key::kComprobarLPT));
}

void FirmwarePage::ShowSettings() {
  const Settings& s = services_.settings;
  const QSignalBlocker block_address(address_);
  address_->setCurrentIndex(static_cast<int>(s.Int(Key::kFirmDireccion)));
  // Signals stay blocked while the stored choices are shown, so none is stored half-way.
  std::vector<std::unique_ptr<QSignalBlocker>> blockers;
  for (QObject* o :
       std::initializer_list<QObject*>{commands_[0], commands_[1], commands_[2], use_flash_,
                                       use_file_, phases_, progress_check_})
    blockers.push_back(std::make_unique<QSignalBlocker>(o));
  int command = 0;
  for (int i = 0; i < 3; ++i)
    if (s.Bool(kCommandKeys[i])) command = i;
  commands_[command]->setChecked(true);
  (s.Bool(Key::kUsarFirmPsFlash) ? use_flash_ : use_file_)->setChecked(true);
  phases_->setChecked(s.Bool(Key::kFase1y2));
  progress_check_->setChecked(s.Bool(Key::kProgreso));
}

void FirmwarePage::StoreChoices() {
  Settings& s = services_.settings;
  for (int i = 0; i < 3; ++i) s.SetBool(kCommandKeys[i], commands_[i]->isChecked());
  s.SetBool(Key::kUsarFirmPsFlash, use_flash_->isChecked());
  s.SetBool(Key::kUsarFirmPsArchivo, use_file_->isChecked());
  s.SetBool(Key::kFase1y2, phases_->isChecked());
  s.SetBool(Key::kProgreso, progress_check_->isChecked());
}

void FirmwarePage::ChooseAddress(int index) {
  FirmwareCommand command;
  bool phases;
  if (!AddressPreset(address_->itemText(index), &command, &phases)) return;
  services_.settings.SetInt(Key::kFirmDireccion, index);
  commands_[static_cast<int>(command)]->setChecked(true);
  phases_->setChecked(phases);
}

FirmwareOptions FirmwarePage::Options() const {
  FirmwareOptions options = FirmwareOptionsOf(services_.settings);
  options.address = address_->currentText();
  for (int i = 0; i < 3; ++i)
    if (commands_[i]->isChecked()) options.command = static_cast<FirmwareCommand>(i);
  options.phases = phases_->isChecked();
  options.show_progress = progress_check_->isChecked();
  return options;
}

void FirmwarePage::StartUpgrade() {
  QByteArray data;
  if (use_flash_->isChecked()) {
    if (!TakeFlashImage(&data)) return;
  } else {
    const FileChoice choice =
        services_.dialogs.ChooseOpen({services_.texts.Slot(kOpenFilterSlot), 1, QString()});
    if (!choice.accepted) return;
    QString error;
    if (!ReadFirmwareFile(choice.path, services_.settings, &data, &error)) {
      services_.host.ShowError(error);
      return;
    }
  }
  upgrade_.Start(data, Options());
}

bool FirmwarePage::TakeFlashImage(QByteArray* data) {
  ChannelService& channels = services_.channels;
  if (!channels.list().flash_held()) {
    // A RAM table has no transponders and no place in the flash.
    services_.host.ShowError(
        services_.texts.Slot(channels.list().ram() ? kRamListSlot : kNoListLoadedSlot));
    return false;
  }
  QString error;
  *data = channels.FlashSendImage(channels.ChosenBlocks(), &error);
  if (data->isEmpty()) services_.host.ShowError(error);
  return !data->isEmpty();
}

void FirmwarePage::CheckParallelPort() { check_.Start(); }

}  // namespace tornavo

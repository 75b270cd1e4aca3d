#include "gui/pages/jtag_dump_page.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "core/eeprom/eeprom_image.h"
#include "core/jtag/debug_unit.h"
#include "core/jtag/dump_hand_over.h"
#include "core/jtag/jtag_texts.h"
#include "core/lpt/port_locator.h"
#include "core/lpt/port_registers.h"
#include "core/lpt/timing.h"
#include "core/runtime/blocking_runner.h"
#include "core/runtime/text_file.h"
#include "core/session/channel_service.h"
#include "core/session/jtag_service.h"
#include "core/settings/flash_chip.h"
#include "core/settings/settings.h"
#include "core/texts/text_names.h"
#include "core/texts/texts.h"
#include "gui/file_dialogs.h"

namespace tornavo {

namespace {
// Copied crosswise from the parallel+serial page: this caption takes that page's status panel
// "Dirección :", and the status panel here takes that page's field caption.
constexpr int kAddressCaptionKey = text_key::kEstadoDireccion83;    // "Dirección :"
constexpr int kLengthCaptionKey = text_key::kFirmwareJTagLongitud;  // "Longitud : "
constexpr int kUseGroupKey = text_key::kUsar;                       // " Usar "
constexpr int kReceiveKey = text_key::kRecibir;                     // "Recibir"
constexpr int kSourceKeys[5] = {127, 125, 229, 47, 126};
constexpr Key kSourceSettings[5] = {Key::kUsarFirmJtagRam, Key::kUsarFirmJtagFlash,
                                    Key::kUsarFirmJtagImagen, Key::kUsarFirmJtagEeprom,
                                    Key::kUsarFirmJtagArchivo};
constexpr int kFileFilterSlot =
    slot::kArchivoBinarioBINBinArchivo122;                  // "Archivo Binario (BIN)|*.bin|..."
constexpr int kSendKey = text_key::kEepromEnviar;           // "Enviar"
constexpr int kEraseKey = text_key::kBorrarChip;            // "Borrar Chip"
constexpr int kEraseGroupKey = text_key::kMetodoDeBorrado;  // " Método de borrado "
constexpr int kEraseMethodKeys[] = {
    text_key::kPorBloques, text_key::kConUnSoloComando};  // "Por bloques", "Con un solo comando"
constexpr int kSendFilterSlot =
    slot::kArchivoBinarioBINRCUO;  // "Archivo Binario (BIN, RCU o RCS)|...|Todos ..."

QComboBox* MakeField(const QStringList& entries, QWidget* parent) {
  auto* box = new QComboBox(parent);
  box->setEditable(true);
  box->addItems(entries);
  box->setInsertPolicy(QComboBox::NoInsert);
  // Completing a typed digit to a whole entry would defeat typing an address or a length.
  box->setCompleter(nullptr);
  return box;
}
}  // namespace

JtagDumpPage::JtagDumpPage(AppServices& services, JtagPageLinks links, QWidget* parent)
    : LogTaskPage(services,
                  {text_key::kEepromEstado, text_key::kEstadoTarea76,
                   text_key::kFirmwareParaleloSerieDireccion, text_key::kEstadoErrores84},
                  parent),
      links_(std::move(links)) {
  address_label_ = new QLabel(this);
  address_ = MakeField(kDumpAddressEntries, this);
  length_label_ = new QLabel(this);
  length_ = MakeField(kDumpLengthEntries, this);
  use_group_ = new QGroupBox(this);
  QVBoxLayout* use_layout = CompactChoices(use_group_);
  for (QRadioButton*& radio : sources_) {
    radio = new QRadioButton(use_group_);
    use_layout->addWidget(radio);
  }
  cpu_ = new QPushButton(this);
  receive_ = new QPushButton(this);
  send_ = new QPushButton(this);
  erase_ = new QPushButton(this);
  erase_group_ = new QGroupBox(this);
  QVBoxLayout* erase_layout = CompactChoices(erase_group_);
  for (QRadioButton*& radio : erase_methods_) {
    radio = new QRadioButton(erase_group_);
    erase_layout->addWidget(radio);
  }
  erase_method(EraseMethod::kSingleCommand)->setChecked(true);
  QVBoxLayout* column = control_column();
  // Captions beside their fields, so that the column still fits the smallest window.
  auto* fields = new QGridLayout;
  fields->addWidget(address_label_, 0, 0);
  fields->addWidget(address_, 0, 1);
  fields->addWidget(length_label_, 1, 0);
  fields->addWidget(length_, 1, 1);
  fields->setColumnStretch(1, 1);
  column->addLayout(fields);
  column->addWidget(use_group_);
  column->addWidget(cpu_);
  // Side by side, for the same reason.
  auto* transfer_row = new QHBoxLayout;
  transfer_row->addWidget(receive_);
  transfer_row->addWidget(send_);
  column->addLayout(transfer_row);
  column->addWidget(erase_group_);
  column->addWidget(erase_);

  for (QComboBox* box : {address_, length_}) {
    const bool is_address = box == address_;
    connect(box->lineEdit(), &QLineEdit::textEdited, this,
            [this, box, is_address] { FilterField(box, is_address); });
    connect(box->lineEdit(), &QLineEdit::editingFinished, this,
            [this, box, is_address] { LeaveField(box, is_address); });
    connect(box, &QComboBox::activated, this, &JtagDumpPage::StoreFields);
  }
  for (int i = 0; i < 5; ++i)
    connect(sources_[i], &QRadioButton::toggled, this, [this, i](bool checked) {
      if (checked) ChooseSource(static_cast<DumpSource>(i));
    });
  connect(cpu_, &QPushButton::clicked, this, &JtagDumpPage::IdentifyTargetCpu);
  connect(receive_, &QPushButton::clicked, this, &JtagDumpPage::StartDump);
  connect(send_, &QPushButton::clicked, this, &JtagDumpPage::StartSend);
  connect(erase_, &QPushButton::clicked, this, &JtagDumpPage::EraseFlashChip);
  ApplyTexts();
  ShowSettings();
}

JtagDumpPage::~JtagDumpPage() = default;

void JtagDumpPage::ApplyTexts() {
  LogTaskPage::ApplyTexts();
  const Texts& t = services_.texts;
  address_label_->setText(t.Key(kAddressCaptionKey));
  length_label_->setText(t.Key(kLengthCaptionKey));
  use_group_->setTitle(t.Key(kUseGroupKey));
  for (int i = 0; i < 5; ++i) sources_[i]->setText(t.Key(kSourceKeys[i]));
  cpu_->setText(t.Key(jtag_slot::kCpuCodeCaptionKey));
  receive_->setText(t.Key(kReceiveKey));
  send_->setText(t.Key(kSendKey));
  erase_->setText(t.Key(kEraseKey));
  erase_group_->setTitle(t.Key(kEraseGroupKey));
  for (int i = 0; i < 2; ++i) erase_methods_[i]->setText(t.Key(kEraseMethodKeys[i]));
}

void JtagDumpPage::ShowSettings() {
  const Settings& s = services_.settings;
  // The stored source is shown without its presets: the stored fields win.
  for (int i = 0; i < 5; ++i) {
    const QSignalBlocker block(sources_[i]);
    if (s.Bool(kSourceSettings[i])) sources_[i]->setChecked(true);
  }
  address_->setEditText(LeaveDumpAddress(s.Text(Key::kDirecJtag)));
  length_->setEditText(LeaveDumpLength(s.Text(Key::kLongJtag)));
}

void JtagDumpPage::FilterField(QComboBox* box, bool address) {
  QLineEdit* line = box->lineEdit();
  const QString filtered = FilterDumpField(line->text(), address);
  if (filtered == line->text()) return;
  const int cursor = std::min(line->cursorPosition(), static_cast<int>(filtered.size()));
  line->setText(filtered);
  line->setCursorPosition(cursor);
}

void JtagDumpPage::LeaveField(QComboBox* box, bool address) {
  const QString shown =
      address ? LeaveDumpAddress(box->currentText()) : LeaveDumpLength(box->currentText());
  if (shown != box->currentText()) box->setEditText(shown);
  StoreFields();
}

void JtagDumpPage::StoreFields() {
  services_.settings.SetText(Key::kDirecJtag, address_->currentText());
  services_.settings.SetText(Key::kLongJtag, length_->currentText());
}

void JtagDumpPage::ChooseSource(DumpSource source) {
  Settings& s = services_.settings;
  for (int i = 0; i < 5; ++i) s.SetBool(kSourceSettings[i], sources_[i]->isChecked());
  const std::optional<DumpFields> preset = links_.jtag.Preset(source);
  if (!preset) return;
  address_->setEditText(preset->address);
  length_->setEditText(preset->length);
  StoreFields();
}

DumpSource JtagDumpPage::ChosenSource() const {
  for (int i = 0; i < 5; ++i)
    if (sources_[i]->isChecked()) return static_cast<DumpSource>(i);
  return DumpSource::kFile;
}

JtagState& JtagDumpPage::jtag_state() { return links_.jtag.state(); }

JtagDumpRequest JtagDumpPage::Request() {
  LeaveField(address_, true);
  LeaveField(length_, false);
  // Left fields hold hexadecimal digits only. A stand-in that cannot be written leaves no trap
  // place: the operation says the routine is missing.
  return links_.jtag.DumpRequest(
      ChosenSource(), address_->currentText().toUInt(nullptr, 16),
      length_->currentText().toUInt(nullptr, 16),
      links_.jtag.TrapPlaces({}, ChosenPort(nullptr).value_or(PortLocator{}), nullptr));
}

void JtagDumpPage::StartDump() {
  if (links_.runner.running()) return;
  const JtagDumpRequest request = Request();
  if (links_.before_dump && !links_.before_dump(request)) return;
  QString file;
  if (request.source == DumpSource::kFile) {
    const FileChoice choice =
        services_.dialogs.ChooseSave({services_.texts.Slot(kFileFilterSlot), 1, QString()});
    if (!choice.accepted || choice.path.isEmpty()) return;
    file = choice.path;
  }
  std::shared_ptr<PortRegisters> port = OpenPort(false);
  if (!port) return;
  // On this thread, while the dump still holds the port.
  auto hand_over = [this, request, file](const JtagDumpResult& result) {
    if (request.source != DumpSource::kFile) {
      if (links_.hand_over) links_.hand_over(request, result);
      return;
    }
    QString error;
    if (!WriteFileAtomically(file, RawDumpBytes(request, result), &error))
      services_.host.ShowError(error);
  };
  (void)links_.jtag.Start(
      links_.runner, services_.host, port,
      [request, hand_over](JtagSession& session) { RunJtagDump(session, request, hand_over); });
}

std::optional<PortLocator> JtagDumpPage::ChosenPort(QString* error) const {
  PortLocator locator;
  if (!ParsePortLocator(links_.port_name(), &locator, error)) return std::nullopt;
  return locator;
}

std::shared_ptr<PortRegisters> JtagDumpPage::OpenPort(bool changes_flash) {
  QString error;
  const std::optional<PortLocator> locator = ChosenPort(&error);
  std::shared_ptr<PortRegisters> port;
  if (locator) port = links_.jtag.OpenPort(*locator, changes_flash, &error);
  if (!port)
    services_.host.ShowError(
        PortRefusedText(services_.texts.Slot(jtag_slot::kPortNotOpened), error));
  return port;
}

void JtagDumpPage::IdentifyTargetCpu() {
  if (links_.runner.running()) return;
  std::shared_ptr<PortRegisters> port = OpenPort(false);
  if (!port) return;
  const QString caption = services_.texts.Key(jtag_slot::kCpuCodeCaptionKey);
  (void)links_.jtag.Start(links_.runner, services_.host, port,
                          [caption](JtagSession& session) { IdentifyCpu(session, caption); });
}

JtagSendRequest JtagDumpPage::SendRequest() {
  return links_.jtag.SendRequest(Request(), links_.port_name ? links_.port_name() : QString(),
                                 true);
}

bool JtagDumpPage::GatherSendInputs(JtagSendSource source, JtagSendInputs* inputs) {
  switch (source) {
    case JtagSendSource::kRamTable:
    case JtagSendSource::kFlashTable: {
      // Without a held table of the kind the operation itself says so.
      ChannelService& channels = services_.channels;
      QString error;
      if (source == JtagSendSource::kRamTable)
        inputs->ram_table = channels.RamSendBuffer(&error);
      else
        inputs->flash_image = channels.FlashSendImage(channels.ChosenBlocks(), &error);
      if (error.isEmpty()) return true;
      services_.host.ShowError(error);
      return false;
    }
    case JtagSendSource::kEeprom: {
      const auto bytes = services_.eeprom_image.Bytes();
      inputs->eeprom = QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                  static_cast<qsizetype>(bytes.size()));
      return true;
    }
    case JtagSendSource::kFile: {
      const FileChoice choice =
          services_.dialogs.ChooseOpen({services_.texts.Slot(kSendFilterSlot), 1, QString()});
      if (!choice.accepted || choice.path.isEmpty()) return false;
      QString error;
      if (!ReadWholeFile(choice.path, &inputs->file, &error)) {
        // The reader's own reason: missing, refused, too long.
        services_.host.ShowError(error);
        return false;
      }
      return true;
    }
    case JtagSendSource::kCapturedImage:
      break;
  }
  return false;
}

void JtagDumpPage::RunOnPort(std::function<void(JtagSession&)> operation) {
  std::shared_ptr<PortRegisters> port = OpenPort(true);
  // Locked from the click, also while the erase warning is up, until the operation has ended.
  if (port) (void)links_.jtag.Start(links_.runner, services_.host, port, std::move(operation));
}

void JtagDumpPage::StartSend() {
  if (links_.runner.running()) return;
  JtagSendSource source = JtagSendSource::kCapturedImage;
  switch (ChosenSource()) {
    case DumpSource::kRam:
      source = JtagSendSource::kRamTable;
      break;
    case DumpSource::kFlash:
      source = JtagSendSource::kFlashTable;
      break;
    case DumpSource::kEeprom:
      source = JtagSendSource::kEeprom;
      break;
    case DumpSource::kFile:
      source = JtagSendSource::kFile;
      break;
    case DumpSource::kImage:
      return;  // a captured picture is never sent
  }
  const JtagSendRequest request = SendRequest();
  if (source == JtagSendSource::kEeprom && links_.before_eeprom_send &&
      !links_.before_eeprom_send(request))
    return;
  auto inputs = std::make_shared<JtagSendInputs>();
  if (!GatherSendInputs(source, inputs.get())) return;
  RunOnPort([request, source, inputs](JtagSession& session) {
    StartJtagSend(session, request, source, *inputs);
  });
}

void JtagDumpPage::EraseFlashChip() {
  if (links_.runner.running()) return;
  const JtagSendRequest request = SendRequest();
  const EraseMethod method = erase_method(EraseMethod::kBlocks)->isChecked()
                                 ? EraseMethod::kBlocks
                                 : EraseMethod::kSingleCommand;
  // The beep comes before the warning, which the operation asks first.
  QApplication::beep();
  RunOnPort([request, method](JtagSession& session) { EraseChip(session, request, method); });
}

}  // namespace tornavo

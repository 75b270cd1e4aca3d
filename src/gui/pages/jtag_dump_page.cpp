#include "gui/pages/jtag_dump_page.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "core/app/blocking_runner.h"
#include "core/app/flash_chip.h"
#include "core/app/settings.h"
#include "core/app/text_file.h"
#include "core/app/text_names.h"
#include "core/app/texts.h"
#include "core/channels/channel_list.h"
#include "core/channels/table_settings.h"
#include "core/jtag/debug_unit.h"
#include "core/jtag/jtag_texts.h"
#include "core/lpt/port_registers.h"
#include "core/lpt/timing.h"
#include "gui/file_dialogs.h"

namespace tornavo {

namespace {
constexpr int kAddressCaptionKey = text_key::kFirmwareParaleloSerieDireccion;  // "Dirección : "
constexpr int kLengthCaptionKey = text_key::kFirmwareJTagLongitud;             // "Longitud : "
constexpr int kUseGroupKey = text_key::kUsar;                                  // " Usar "
constexpr int kReceiveKey = text_key::kRecibir;                                // "Recibir"
constexpr int kSourceKeys[5] = {127, 125, 229, 47, 126};
constexpr Key kSourceSettings[5] = {Key::kUsarFirmJtagRam, Key::kUsarFirmJtagFlash,
                                    Key::kUsarFirmJtagImagen, Key::kUsarFirmJtagEeprom,
                                    Key::kUsarFirmJtagArchivo};
constexpr int kFileFilterSlot =
    slot::kArchivoBinarioBINBinArchivo122;  // "Archivo Binario (BIN)|*.bin|..."

QComboBox* MakeField(const QStringList& entries, QWidget* parent) {
  auto* box = new QComboBox(parent);
  box->setEditable(true);
  box->addItems(entries);
  box->setInsertPolicy(QComboBox::NoInsert);
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
  auto* use_layout = new QVBoxLayout(use_group_);
  for (QRadioButton*& radio : sources_) {
    radio = new QRadioButton(use_group_);
    use_layout->addWidget(radio);
  }
  cpu_ = new QPushButton(this);
  receive_ = new QPushButton(this);
  QVBoxLayout* column = control_column();
  column->addWidget(address_label_);
  column->addWidget(address_);
  column->addWidget(length_label_);
  column->addWidget(length_);
  column->addWidget(use_group_);
  column->addWidget(cpu_);
  column->addWidget(receive_);

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
  switch (source) {
    case DumpSource::kRam:
      address_->setEditText(QStringLiteral("401289A0"));
      length_->setEditText(ChannelRowsOf(s) == ChannelList::kLargeChannelRows
                               ? QStringLiteral("EC00")
                               : QStringLiteral("7600"));
      break;
    case DumpSource::kFlash:
      address_->setEditText(s.Text(Key::kFlash1Start));
      length_->setEditText(QStringLiteral("50000"));
      break;
    case DumpSource::kImage:
      address_->setEditText(QStringLiteral("C00D0000"));
      length_->setEditText(QStringLiteral("98000"));
      break;
    case DumpSource::kEeprom:
      address_->setEditText(QStringLiteral("00000000"));
      length_->setEditText(QStringLiteral("00800"));
      break;
    case DumpSource::kFile:
      return;
  }
  StoreFields();
}

DumpSource JtagDumpPage::ChosenSource() const {
  for (int i = 0; i < 5; ++i)
    if (sources_[i]->isChecked()) return static_cast<DumpSource>(i);
  return DumpSource::kFile;
}

JtagTiming JtagDumpPage::Timing() const {
  JtagTiming timing;
  timing.tck_cycles = services_.settings.Int(Key::kDuracionTck);
  timing.wait_start_bits = static_cast<int32_t>(services_.settings.Int(Key::kWStartBits));
  return timing;
}

JtagDumpRequest JtagDumpPage::Request() {
  LeaveField(address_, true);
  LeaveField(length_, false);
  const Settings& s = services_.settings;
  JtagDumpRequest request;
  request.source = ChosenSource();
  request.address = address_->currentText().toUInt(nullptr, 16);
  request.length = length_->currentText().toUInt(nullptr, 16);
  const FlashChipDescription chip = s.flash_chip(0);
  request.flash_chip = {chip.start, chip.size()};
  if (!ParseHexAddress(s.Text(Key::kTrapAdr), &request.trap_address))
    request.trap_address = 0x40010000;
  request.trap_address &= ~3u;
  request.trap_places = TrapFilePlaces(QCoreApplication::applicationDirPath(), s.ini_folder());
  if (!links_.trap_stand_in.isEmpty()) request.trap_places << links_.trap_stand_in;
  return request;
}

void JtagDumpPage::StartDump() {
  if (links_.runner.running()) return;
  const JtagDumpRequest request = Request();
  QString file;
  if (request.source == DumpSource::kFile) {
    const FileChoice choice =
        services_.dialogs.ChooseSave({services_.texts.Slot(kFileFilterSlot), 1, QString()});
    if (!choice.accepted || choice.path.isEmpty()) return;
    file = choice.path;
  }
  QString error;
  std::shared_ptr<PortRegisters> port = links_.open_port(&error);
  if (!port) {
    services_.host.ShowError(error.isEmpty() ? services_.texts.Slot(jtag_slot::kPortNotOpened)
                                             : error);
    return;
  }
  auto result = std::make_shared<JtagDumpResult>();
  const JtagTiming timing = Timing();
  links_.runner.Run(
      [this, port, request, result, timing](OperationHost& host) {
        SteadyMonotonicClock clock;
        JtagSession session{*port, clock, host, services_.texts, state_, timing};
        *result = RunJtagDump(session, request);
      },
      [this, request, result, file] {
        if (result->outcome != DumpOutcome::kDone) return;
        if (request.source == DumpSource::kFile) {
          QString error;
          if (!WriteFileAtomically(
                  file, result->buffer.left(static_cast<qsizetype>(request.length)), &error))
            services_.host.ShowError(error);
          return;
        }
        if (links_.hand_over) links_.hand_over(request, *result);
      });
}

void JtagDumpPage::IdentifyTargetCpu() {
  if (links_.runner.running()) return;
  QString error;
  std::shared_ptr<PortRegisters> port = links_.open_port(&error);
  if (!port) {
    services_.host.ShowError(error.isEmpty() ? services_.texts.Slot(jtag_slot::kPortNotOpened)
                                             : error);
    return;
  }
  const JtagTiming timing = Timing();
  const QString caption = services_.texts.Key(jtag_slot::kCpuCodeCaptionKey);
  links_.runner.Run(
      [this, port, timing, caption](OperationHost& host) {
        SteadyMonotonicClock clock;
        JtagSession session{*port, clock, host, services_.texts, state_, timing};
        IdentifyCpu(session, caption);
      },
      [] {});
}

}  // namespace tornavo

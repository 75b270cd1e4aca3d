#include "gui/pages/serial_group.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QSignalBlocker>

#include "core/port/port_diagnosis.h"
#include "core/serial/port_choices.h"
#include "core/texts/text_names.h"
#include "core/texts/texts.h"

namespace tornavo {

namespace {

// A port this user cannot open says why and what to do, on its entry and on the list while
// it is selected.
void ShowPortDiagnoses(QComboBox* list, const Texts& texts) {
  const PortInspector inspector(QStringLiteral("/"), CurrentUser(), texts);
  for (int i = 0; i < list->count(); ++i)
    list->setItemData(i, inspector.Serial(list->itemText(i)).Explanation(), Qt::ToolTipRole);
}

void ShowSelectedPortDiagnosis(QComboBox* list) {
  list->setToolTip(list->currentData(Qt::ToolTipRole).toString());
}

// Replaces a list's entries keeping its selected index.
void SetEntries(QComboBox* list, const QStringList& entries) {
  const QSignalBlocker block(list);
  const int index = list->currentIndex();
  list->clear();
  list->addItems(entries);
  list->setCurrentIndex(index);
}

}  // namespace

SerialGroup::SerialGroup(AppServices& services, PortChoices& choices, QWidget* parent)
    : QGroupBox(parent), services_(services), choices_(choices) {
  auto* form = new QFormLayout(this);
  QComboBox** lists[] = {&port_, &baud_, &data_bits_, &parity_, &stop_bits_, &flow_};
  for (int i = 0; i < 6; ++i) {
    *lists[i] = new QComboBox(this);
    labels_[i] = new QLabel(this);
    form->addRow(labels_[i], *lists[i]);
  }
  port_->addItems(choices.port_names());
  connect(port_, &QComboBox::currentIndexChanged, this,
          [this] { ShowSelectedPortDiagnosis(port_); });
  for (int baud : kBaudRates) baud_->addItem(QString::number(baud));
  for (int bits : kDataBits) data_bits_->addItem(QString::number(bits));
  for (int bits : kStopBits) stop_bits_->addItem(QString::number(bits));
  parity_->addItems(QStringList(5, QString()));
  flow_->addItems(QStringList(3, QString()));

  // Only the user's choices apply: programmatic selections are made under a blocker.
  connect(port_, &QComboBox::activated, this, [this](int i) { choices_.ApplyPort(i); });
  connect(baud_, &QComboBox::activated, this, [this](int i) { choices_.ApplyBaud(i); });
  connect(data_bits_, &QComboBox::activated, this, [this](int i) { choices_.ApplyDataBits(i); });
  connect(parity_, &QComboBox::activated, this, [this](int i) { choices_.ApplyParity(i); });
  connect(stop_bits_, &QComboBox::activated, this, [this](int i) { choices_.ApplyStopBits(i); });
  connect(flow_, &QComboBox::activated, this, [this](int i) { choices_.ApplyFlow(i); });
  ApplyTexts();
  ShowSelections();
}

void SerialGroup::ApplyTexts() {
  const Texts& t = services_.texts;
  setTitle(t.Key(text_key::kPuertoSerie));
  const int keys[] = {text_key::kPuerto,       text_key::kPuertoSerieVelocidad,
                      text_key::kBitsDeDatos,  text_key::kParidad,
                      text_key::kBitsDeParada, text_key::kControlDeFlujo};
  for (int i = 0; i < 6; ++i) labels_[i]->setText(t.Key(keys[i]));
  SetEntries(parity_, {t.Key(text_key::kNinguna), t.Key(text_key::kPar), t.Key(text_key::kImpar),
                       t.Key(text_key::kMarca), t.Key(text_key::kEspacio)});
  SetEntries(flow_, {t.Key(text_key::kControlDeFlujoNinguno), QStringLiteral("Software"),
                     QStringLiteral("Hardware")});
  ShowPortDiagnoses(port_, t);
  ShowSelectedPortDiagnosis(port_);
}

void SerialGroup::ShowPortNames() {
  SetEntries(port_, choices_.port_names());
  ShowPortDiagnoses(port_, services_.texts);
  ShowSelections();
}

void SerialGroup::ShowSelections() {
  const std::pair<QComboBox*, int> selections[] = {
      {port_, choices_.port()},           {baud_, choices_.baud()},
      {data_bits_, choices_.data_bits()}, {parity_, choices_.parity()},
      {stop_bits_, choices_.stop_bits()}, {flow_, choices_.flow()}};
  for (const auto& [list, index] : selections) {
    const QSignalBlocker block(list);
    list->setCurrentIndex(index < list->count() ? index : -1);
  }
  ShowSelectedPortDiagnosis(port_);
}

}  // namespace tornavo

#include "gui/pages/parallel_group.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <algorithm>

#include "core/lpt/firmware_settings.h"
#include "core/lpt/port_locator.h"
#include "core/port/port_diagnosis.h"
#include "core/settings/settings.h"
#include "core/texts/text_names.h"
#include "core/texts/texts.h"

namespace tornavo {

QGridLayout* CompactGrid(QWidget* group) {
  auto* grid = new QGridLayout(group);
  grid->setContentsMargins(3, 2, 3, 2);
  grid->setHorizontalSpacing(3);
  grid->setVerticalSpacing(0);
  return grid;
}

SettingSlider::SettingSlider(Settings& settings, Key key, QGridLayout* grid, int row,
                             QWidget* parent, std::function<void()> moved)
    : QObject(parent), settings_(settings), key_(key), moved_(std::move(moved)) {
  caption_ = new QLabel(parent);
  slider_ = new QSlider(Qt::Horizontal, parent);
  slider_->setRange(Spec(key).minimum, Spec(key).maximum);
  // Long enough that a step of the mouse is a small part of the range.
  slider_->setMinimumWidth(Spec(key).maximum - Spec(key).minimum > 255 ? 70 : 60);
  value_ = new QSpinBox(parent);
  value_->setRange(Spec(key).minimum, Spec(key).maximum);
  value_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  // A typed value counts once it is complete (Enter or leaving the box), not digit by digit.
  value_->setKeyboardTracking(false);
  // Typed, or stepped with the arrow keys and the wheel: the slider beside it is the mouse's.
  value_->setButtonSymbols(QAbstractSpinBox::NoButtons);
  unit_ = new QLabel(parent);
  grid->addWidget(caption_, row, 0);
  grid->addWidget(slider_, row, 1);
  grid->addWidget(value_, row, 2);
  grid->addWidget(unit_, row, 3);
  connect(slider_, &QSlider::valueChanged, this, &SettingSlider::StoreMovedValue);
  connect(value_, &QSpinBox::valueChanged, slider_, &QSlider::setValue);
  ShowSetting();
}

void SettingSlider::SetTexts(const QString& caption, const QString& unit) {
  caption_->setText(caption);
  unit_->setText(unit);
  // The unit is shown inside the value's box, which saves the page a column.
  value_->setSuffix(unit.isEmpty() ? QString() : QLatin1Char(' ') + unit);
  unit_->setVisible(false);
}

void SettingSlider::ShowSetting() {
  const QSignalBlocker block(slider_);
  slider_->setValue(static_cast<int>(settings_.Int(key_)));
  const QSignalBlocker block_box(value_);
  value_->setValue(slider_->value());
}

void SettingSlider::StoreMovedValue(int value) {
  settings_.SetInt(key_, value);
  {
    const QSignalBlocker block(value_);
    value_->setValue(value);
  }
  if (moved_) moved_();
}

ParallelGroup::ParallelGroup(AppServices& services, QWidget* parent)
    : QGroupBox(parent), services_(services) {
  QGridLayout* grid = CompactGrid(this);
  address_label_ = new QLabel(this);
  address_ = new QComboBox(this);
  address_->addItems({QStringLiteral("278-27F, 678-67A"), QStringLiteral("378-37F, 778-77A"),
                      QStringLiteral("3BC-3C3, 7BC-7BE"), QStringLiteral("A068-A06F, A468-A46F")});
  grid->addWidget(address_label_, 0, 0);
  grid->addWidget(address_, 0, 1, 1, 3);
  access_label_ = new QLabel(this);
  access_ = new QComboBox(this);
  grid->addWidget(access_label_, 1, 0);
  grid->addWidget(access_, 1, 1, 1, 3);
  int row = 2;
  for (const DelaySlider& delay : ParallelDelaySliders())
    sliders_.push_back(new SettingSlider(services.settings, delay.key, grid, row++, this));
  grid->setColumnStretch(1, 1);
  connect(address_, &QComboBox::activated, this, [this](int index) {
    services_.settings.SetInt(Key::kParalelo, index);
    services_.settings.ApplyParallelAddress();
    // Direct I/O follows the address chosen here.
    if (access_->currentData().toString().startsWith(QLatin1String("direct:"))) StoreAccess();
  });
  connect(access_, &QComboBox::activated, this, &ParallelGroup::StoreAccess);
  connect(access_, &QComboBox::currentIndexChanged, this, &ParallelGroup::ShowAccessDiagnosis);
  SetBackendChoices(PpdevLocatorsPresent(), false);
  ApplyTexts();
  ShowSettings();
}

QString ParallelGroup::DirectLocator() const {
  const int index = std::clamp(address_->currentIndex(), 0, 3);
  return PortLocator{PortLocator::Kind::kDirect, {}, kDirectBases[index]}.Text();
}

void ParallelGroup::SetBackendChoices(const QStringList& ppdev_locators, bool virtual_receiver) {
  const QSignalBlocker block(access_);
  ppdev_locators_ = ppdev_locators;
  virtual_receiver_ = virtual_receiver;
  access_->clear();
  for (const QString& locator : ppdev_locators) access_->addItem(locator.mid(6), locator);
  access_->addItem(QString(), QStringLiteral("direct:"));
  if (virtual_receiver) access_->addItem(QString(), QStringLiteral("virtual"));
  ShowAccessCaptions();
  ShowSettings();
}

void ParallelGroup::StoreAccess() {
  QString locator = access_->currentData().toString();
  if (locator.startsWith(QLatin1String("direct:"))) locator = DirectLocator();
  services_.settings.SetText(Key::kAccesoParalelo, locator);
}

void ParallelGroup::ApplyTexts() {
  const Texts& t = services_.texts;
  setTitle(t.Key(text_key::kPuertoParalelo));
  address_label_->setText(t.Key(text_key::kIntervaloDeEntradaSalida));
  access_label_->setText(t.Key(text_key::kAcceso));
  ShowAccessCaptions();
  const auto delays = ParallelDelaySliders();
  for (size_t i = 0; i < delays.size(); ++i)
    sliders_[i]->SetTexts(t.Key(delays[i].caption_key),
                          t.Key(delays[i].milliseconds ? text_key::kMs : text_key::kCiclos));
}

void ParallelGroup::ShowAccessCaptions() {
  // The ppdev entries are device names; these two speak the interface's language.
  for (const auto& [locator, key] :
       {std::pair{"direct:", text_key::kESDirecta}, std::pair{"virtual", text_key::kVirtual}}) {
    const int entry = access_->findData(QString::fromLatin1(locator));
    if (entry >= 0) access_->setItemText(entry, services_.texts.Key(key));
  }
}

int ParallelGroup::MissingDeviceEntry(const QString& locator) {
  int index = access_->findData(locator);
  if (index >= 0) return index;
  const QString device = locator.mid(6);
  access_->addItem(services_.texts.Format(text_key::kFalta, {device}), locator);
  index = access_->count() - 1;
  access_->setItemData(index,
                       PortInspector(QStringLiteral("/"), CurrentUser(), services_.texts)
                           .Parallel(device)
                           .Explanation(),
                       Qt::ToolTipRole);
  return index;
}

void ParallelGroup::ShowSettings() {
  {
    const QSignalBlocker block(address_);
    address_->setCurrentIndex(static_cast<int>(services_.settings.Int(Key::kParalelo)));
  }
  const QSignalBlocker block(access_);
  const QString locator = ParallelLocatorOf(services_.settings, ppdev_locators_, virtual_receiver_);
  int index = access_->findData(
      locator.startsWith(QLatin1String("direct:")) ? QStringLiteral("direct:") : locator);
  // Operations still use a stored device that is gone: it stays shown, marked missing.
  if (index < 0 && locator.startsWith(QLatin1String("ppdev:"))) index = MissingDeviceEntry(locator);
  access_->setCurrentIndex(index >= 0 ? index : access_->findData(QStringLiteral("direct:")));
  ShowAccessDiagnosis();
  for (SettingSlider* slider : sliders_) slider->ShowSetting();
}

void ParallelGroup::ShowAccessDiagnosis() {
  access_->setToolTip(access_->currentData(Qt::ToolTipRole).toString());
}

}  // namespace tornavo

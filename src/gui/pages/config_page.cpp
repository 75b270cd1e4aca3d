#include "gui/pages/config_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "core/serial/port_choices.h"
#include "core/serial/serial_transport.h"
#include "core/serial/terminal.h"
#include "core/settings/language.h"
#include "core/settings/settings.h"
#include "core/texts/text_names.h"
#include "core/texts/texts.h"
#include "gui/pages/jtag_group.h"
#include "gui/pages/parallel_group.h"
#include "gui/pages/picture_group.h"
#include "gui/pages/serial_group.h"
#include "gui/pages/tuning_group.h"

namespace tornavo {

ConfigPage::ConfigPage(AppServices& services, PortChoices& port_choices, QWidget* parent)
    : QWidget(parent), services_(services), port_choices_(port_choices) {
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  scroll_ = new QScrollArea(this);
  scroll_->setFrameShape(QFrame::NoFrame);
  scroll_->setWidgetResizable(true);
  outer->addWidget(scroll_);
  content_ = new QWidget(scroll_);
  // A point smaller than the rest of the window: the page holds every setting at once.
  QFont font = content_->font();
  font.setPointSizeF(font.pointSizeF() - 1);
  content_->setFont(font);
  scroll_->setWidget(content_);

  serial_ = new SerialGroup(services, port_choices, content_);
  parallel_ = new ParallelGroup(services, content_);
  tuning_ = new TuningGroup(services, content_);
  jtag_ = new JtagGroup(services, content_);
  picture_ = new PictureGroup(services, content_);
  language_group_ = new QGroupBox(content_);
  QGridLayout* language_grid = CompactGrid(language_group_);
  language_label_ = new QLabel(language_group_);
  language_ = new QComboBox(language_group_);
  // The built-in language first, always, in its own words: the way back from any other.
  language_->addItem(QString::fromUtf8(kBuiltInLanguageName));
  language_->addItems(services.settings.languages());
  language_grid->addWidget(language_label_, 0, 0);
  language_grid->addWidget(language_, 0, 1);
  language_grid->setColumnStretch(1, 1);
  terminal_group_ = new QGroupBox(content_);
  QGridLayout* terminal_grid = CompactGrid(terminal_group_);
  checksum_ = new QCheckBox(terminal_group_);
  terminal_grid->addWidget(checksum_, 0, 0);
  backup_ = new QCheckBox(content_);
  defaults_ = new QPushButton(content_);

  ArrangeGroups();
  // Lists as wide as a short entry; their pop-ups show the whole text.
  for (QComboBox* list : content_->findChildren<QComboBox*>()) {
    list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    list->setMinimumContentsLength(6);
  }

  // Entry i + 1 is the language file Idioma<i>; the built-in language is stored as -1.
  connect(language_, &QComboBox::activated, this, [this](int entry) {
    services_.settings.SetInt(Key::kIdioma, entry - 1);
    emit LanguageChosen(entry - 1);
  });
  connect(checksum_, &QCheckBox::clicked, this, [this](bool on) {
    services_.settings.SetBool(Key::kChecksum, on);
    services_.terminal.SetAppendChecksum(on);
  });
  connect(backup_, &QCheckBox::clicked, this,
          [this](bool on) { services_.settings.SetBool(Key::kCopiaSeguridad, on); });
  connect(defaults_, &QPushButton::clicked, this, &ConfigPage::ApplyDefaults);
  connect(tuning_, &TuningGroup::TableSizesChanged, this, &ConfigPage::TableSizesChanged);
  connect(tuning_, &TuningGroup::SatelliteRenamed, this, &ConfigPage::SatelliteRenamed);
  ApplyTexts();
  ShowSettings();
}

void ConfigPage::ArrangeGroups() {
  // Left: serial, language, terminal and tuning. Right: the parallel port beside the
  // picture, the JTAG group under both, and the backup box beside the button.
  auto* columns = new QHBoxLayout(content_);
  columns->setContentsMargins(1, 1, 1, 1);
  columns->setSpacing(3);
  auto* left = new QVBoxLayout;
  auto* right = new QVBoxLayout;
  auto* top_right = new QHBoxLayout;
  for (QBoxLayout* box : std::initializer_list<QBoxLayout*>{left, right, top_right})
    box->setSpacing(3);
  columns->addLayout(left);
  columns->addLayout(right, 1);
  left->addWidget(serial_);
  left->addWidget(language_group_);
  left->addWidget(terminal_group_);
  left->addWidget(tuning_);
  left->addStretch(1);
  top_right->addWidget(parallel_, 3);
  top_right->addWidget(picture_, 2);
  right->addLayout(top_right);
  right->addWidget(jtag_);
  right->addStretch(1);
  auto* bottom_right = new QHBoxLayout;
  bottom_right->addWidget(backup_);
  bottom_right->addStretch(1);
  bottom_right->addWidget(defaults_);
  right->addLayout(bottom_right);
}

void ConfigPage::ApplyTexts() {
  const Texts& t = services_.texts;
  serial_->ApplyTexts();
  parallel_->ApplyTexts();
  tuning_->ApplyTexts();
  jtag_->ApplyTexts();
  picture_->ApplyTexts();
  language_group_->setTitle(t.Key(text_key::kConfiguracionIdioma));
  language_label_->setText(t.Key(text_key::kIdioma));
  terminal_group_->setTitle(t.Key(text_key::kConfiguracionTerminal));
  checksum_->setText(t.Key(text_key::kAnadirChecksum));
  backup_->setText(t.Key(text_key::kCopiaDeSeguridadAntes));
  defaults_->setText(t.Key(text_key::kValoresPorDefecto));
}

void ConfigPage::ShowSettings() {
  const Settings& settings = services_.settings;
  serial_->ShowSelections();
  parallel_->ShowSettings();
  tuning_->ShowSettings();
  jtag_->ShowSettings();
  picture_->ShowSettings();
  {
    const QSignalBlocker block(language_);
    language_->setCurrentIndex(static_cast<int>(settings.Int(Key::kIdioma)) + 1);
  }
  checksum_->setChecked(settings.Bool(Key::kChecksum));
  backup_->setChecked(settings.Bool(Key::kCopiaSeguridad));
}

void ConfigPage::ShowPortNames() { serial_->ShowPortNames(); }

void ConfigPage::ApplyDefaults() {
  Settings& settings = services_.settings;
  settings.ApplyDefaults();
  // The serial settings take effect on the port; a closed port stays closed.
  port_choices_.ApplyAll();
  services_.terminal.SetAppendChecksum(settings.Bool(Key::kChecksum));
  ShowSettings();
  emit TableSizesChanged();
}

void ConfigPage::hideEvent(QHideEvent* event) {
  tuning_->ApplySatelliteNames();
  QWidget::hideEvent(event);
}

}  // namespace tornavo

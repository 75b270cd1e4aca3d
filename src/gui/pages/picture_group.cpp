#include "gui/pages/picture_group.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSignalBlocker>

#include "core/settings/settings.h"
#include "core/texts/text_names.h"
#include "core/texts/texts.h"
#include "gui/pages/parallel_group.h"

namespace tornavo {

namespace {
constexpr Key kFormatKeys[] = {Key::kFormato16x9, Key::kFormato4x3, Key::kFormatoOriginal};
}  // namespace

PictureGroup::PictureGroup(AppServices& services, QWidget* parent)
    : QGroupBox(parent), services_(services) {
  // Captions above their controls: the group stands in a narrow column.
  QGridLayout* grid = CompactGrid(this);
  quality_ = new SettingSlider(services.settings, Key::kCalidadJpeg, grid, 1, this,
                               [this] { services_.settings.ApplyPictureOptions(); });
  grid->addWidget(quality_->caption(), 0, 0, 1, 4);
  size_label_ = new QLabel(this);
  size_ = new QComboBox(this);
  size_->addItems(Settings::CaptureSizes());
  grid->addWidget(size_label_, 2, 0, 1, 4);
  grid->addWidget(size_, 3, 0, 1, 4);
  format_label_ = new QLabel(this);
  grid->addWidget(format_label_, 4, 0, 1, 4);
  // The stored choices may all be clear, so the buttons are not exclusive by themselves.
  for (int i = 0; i < 3; ++i) {
    formats_[i] = new QRadioButton(this);
    formats_[i]->setAutoExclusive(false);
    grid->addWidget(formats_[i], 5 + i, 0, 1, 4);
    connect(formats_[i], &QRadioButton::clicked, this, [this, i] {
      services_.settings.SetBool(kFormatKeys[i], true);
      services_.settings.ApplyPictureOptions();
      ShowSettings();
    });
  }
  for (QLabel* label : {quality_->caption(), size_label_, format_label_}) label->setWordWrap(true);
  grid->setColumnStretch(1, 1);
  connect(size_, &QComboBox::activated, this, [this](int index) {
    services_.settings.SetInt(Key::kTamano, index);
    services_.settings.ApplyPictureOptions();
  });
  ApplyTexts();
  ShowSettings();
}

void PictureGroup::ApplyTexts() {
  const Texts& t = services_.texts;
  setTitle(QLatin1Char(' ') + t.Slot(slot::kImagen) + QLatin1Char(' '));
  // The captions wrap in the narrow group; the closing colon stays with its last word.
  auto keep_colon = [](QString text) {
    return text.replace(QStringLiteral(" :"), QStringLiteral("\u00A0:"));
  };
  quality_->SetTexts(keep_colon(t.Slot(slot::kCalidadDeLaImagenJpeg)), QString());
  size_label_->setText(keep_colon(t.Slot(slot::kTamanoDeLaImagenCapturada)));
  format_label_->setText(keep_colon(t.Slot(slot::kFormatoDeLaImagen)));
  formats_[0]->setText(QStringLiteral("16:9"));
  formats_[1]->setText(QStringLiteral("4:3"));
  formats_[2]->setText(t.Slot(slot::kNoCambiarElFormato));
}

void PictureGroup::ShowSettings() {
  quality_->ShowSetting();
  {
    const QSignalBlocker block(size_);
    size_->setCurrentIndex(static_cast<int>(services_.settings.Int(Key::kTamano)));
  }
  for (int i = 0; i < 3; ++i) formats_[i]->setChecked(services_.settings.Bool(kFormatKeys[i]));
}

}  // namespace tornavo

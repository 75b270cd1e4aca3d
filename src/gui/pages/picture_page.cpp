#include "gui/pages/picture_page.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "core/app/operation_host.h"
#include "core/app/text_names.h"
#include "core/app/texts.h"
#include "core/capture/capture_file.h"
#include "core/capture/convert_capture.h"
#include "core/capture/picture_file.h"
#include "gui/file_dialogs.h"

namespace tornavo {

namespace {

constexpr int kOpenFilterSlot =
    slot::kArchivoRAMBINBinTodos;  // "Archivo RAM (BIN)|*.bin|Todos los archivos (*.*)|*.*"
constexpr int kOpenKey = text_key::kLeerArchivo;        // "Leer Archivo...", as on "Eeprom"
constexpr int kSaveKey = text_key::kEepromGuardarComo;  // "Guardar como...", as on "Eeprom"
constexpr int kWideWindowWidth = 1043;
constexpr int kButtonWidth = 110;
constexpr int kButtonHeight = 25;

}  // namespace

PicturePage::PicturePage(AppServices& services, QWidget* parent)
    : QWidget(parent), services_(services) {
  area_ = new QLabel(this);
  area_->setFixedSize(720, 576);
  area_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  open_ = new QPushButton(this);
  save_ = new QPushButton(this);
  for (QPushButton* button : {open_, save_}) button->setFixedSize(kButtonWidth, kButtonHeight);
  save_->setEnabled(false);
  connect(open_, &QPushButton::clicked, this, &PicturePage::OpenCaptureFile);
  connect(save_, &QPushButton::clicked, this, &PicturePage::SavePictureAs);
  ApplyTexts();
  PlaceControls();
}

void PicturePage::ApplyTexts() {
  open_->setText(services_.texts.Key(kOpenKey));
  save_->setText(services_.texts.Key(kSaveKey));
}

void PicturePage::ShowCapture(const QByteArray& bytes) {
  const PictureOptions& options = services_.picture_options;
  QImage shown = MakeShownPicture(bytes, options);
  if (shown.isNull()) return;  // a capture size outside what a frame can be
  picture_ = std::move(shown);
  save_->setEnabled(true);
  if (options.format == PictureFormat::kWide16x9 && window() != this)
    window()->resize(kWideWindowWidth, window()->height());
  area_->setFixedSize(picture_.size());
  area_->setPixmap(QPixmap::fromImage(picture_));
  PlaceControls();
}

void PicturePage::OpenCaptureFile() {
  const FileChoice choice =
      services_.dialogs.ChooseOpen({services_.texts.Slot(kOpenFilterSlot), 1, QString()});
  if (!choice.accepted) return;
  QByteArray bytes;
  QString error;
  if (!ReadCaptureFile(choice.path, &bytes, &error)) {
    services_.host.ShowError(error);
    return;
  }
  ShowCapture(bytes);
}

void PicturePage::SavePictureAs() {
  if (picture_.isNull()) return;
  const FileChoice choice = services_.dialogs.ChooseSave(
      {QString::fromUtf8(kPictureSaveFilter), kPictureSaveJpegIndex, QString()});
  if (!choice.accepted) return;
  QString error;
  if (!WritePictureFile(choice.path, picture_, PictureFileTypeForFilter(choice.filter_index),
                        services_.picture_options.jpeg_quality, &error))
    services_.host.ShowError(error);
}

void PicturePage::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  PlaceControls();
}

// The picture and its two buttons stay centred on the page, whatever its size.
void PicturePage::PlaceControls() {
  const int w = width(), h = height();
  area_->move(w / 2 - area_->width() / 2, h / 2 - area_->height() / 2 - 13);
  const int top = h / 2 - save_->height() / 2 + 289;
  save_->move(w / 2 - save_->width() / 2 + 56, top);
  open_->move(w / 2 - open_->width() / 2 - 72, top);
}

}  // namespace tornavo

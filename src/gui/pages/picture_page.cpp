#include "gui/pages/picture_page.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <algorithm>

#include "core/runtime/operation_host.h"
#include "core/session/picture_service.h"
#include "core/texts/text_names.h"
#include "core/texts/texts.h"
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
// The picture area before any capture, and the room kept under the picture and the buttons.
constexpr int kAreaWidth = 720;
constexpr int kAreaHeight = 576;
constexpr int kButtonGap = 2;
constexpr int kBottomGap = 2;

}  // namespace

PicturePage::PicturePage(AppServices& services, QWidget* parent)
    : QWidget(parent), services_(services), pictures_(services.pictures) {
  area_ = new QLabel(this);
  area_->setFixedSize(kAreaWidth, kAreaHeight);
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
  QString error;
  const bool taken = pictures_.TakeCapture(bytes, &error);
  ShowTaken(taken, error);
}

void PicturePage::OpenCaptureFile() {
  const FileChoice choice =
      services_.dialogs.ChooseOpen({services_.texts.Slot(kOpenFilterSlot), 1, QString()});
  if (!choice.accepted) return;
  QString error;
  const bool taken = pictures_.OpenCaptureFile(choice.path, &error);
  ShowTaken(taken, error);
}

void PicturePage::ShowTaken(bool taken, const QString& error) {
  if (!taken) {
    services_.host.ShowError(error);
    return;
  }
  save_->setEnabled(true);
  if (pictures_.options().format == PictureFormat::kWide16x9 && window() != this)
    window()->resize(kWideWindowWidth, window()->height());
  area_->clear();
  PlaceControls();
}

void PicturePage::SavePictureAs() {
  if (pictures_.picture().isNull()) return;
  const FileChoice choice = services_.dialogs.ChooseSave(
      {QString::fromUtf8(kPictureSaveFilter), kPictureSaveJpegIndex, QString()});
  if (!choice.accepted) return;
  QString error;
  if (!pictures_.SavePicture(choice.path, PictureFileTypeForFilter(choice.filter_index), &error))
    services_.host.ShowError(error);
}

void PicturePage::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  PlaceControls();
}

// The picture and its two buttons stay centred on the page, the buttons just under the
// picture. A page too small for the picture shows it scaled down, in its proportions, so that
// the buttons stay on the page.
void PicturePage::PlaceControls() {
  const QImage& picture = pictures_.picture();
  const int w = width(), h = height();
  const QSize natural = picture.isNull() ? QSize(kAreaWidth, kAreaHeight) : picture.size();
  const QSize room(std::max(w, 1), std::max(h - kButtonHeight - kButtonGap - kBottomGap, 1));
  const QSize shown = natural.width() <= room.width() && natural.height() <= room.height()
                          ? natural
                          : natural.scaled(room, Qt::KeepAspectRatio);
  if (area_->size() != shown || (area_->pixmap().isNull() && !picture.isNull())) {
    area_->setFixedSize(shown);
    if (!picture.isNull())
      area_->setPixmap(QPixmap::fromImage(
          shown == picture.size()
              ? picture
              : picture.scaled(shown, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
  }
  const int lowest_top = h - kBottomGap - kButtonHeight - kButtonGap - shown.height();
  const int top = std::max(0, std::min(h / 2 - shown.height() / 2 - 13, lowest_top));
  area_->move(w / 2 - shown.width() / 2, top);
  const int button_top = top + shown.height() + kButtonGap;
  save_->move(w / 2 - save_->width() / 2 + 56, button_top);
  open_->move(w / 2 - open_->width() / 2 - 72, button_top);
}

}  // namespace tornavo

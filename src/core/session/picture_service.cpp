#include "core/session/picture_service.h"

#include "core/capture/capture_file.h"
#include "core/capture/convert_capture.h"

namespace tornavo {

bool PictureService::TakeCapture(const QByteArray& bytes, QString* error) {
  QImage shown = MakeShownPicture(bytes, options_);
  if (shown.isNull()) {
    if (error)
      *error = QStringLiteral("No picture can be made at a capture size of %1 x %2.")
                   .arg(options_.capture_width)
                   .arg(options_.capture_height);
    return false;
  }
  picture_ = std::move(shown);
  return true;
}

bool PictureService::OpenCaptureFile(const QString& path, QString* error) {
  QByteArray bytes;
  return ReadCaptureFile(path, &bytes, error) && TakeCapture(bytes, error);
}

bool PictureService::SavePicture(const QString& path, PictureFileType type, QString* error) const {
  return WritePictureFile(path, picture_, type, options_.jpeg_quality, error);
}

}  // namespace tornavo

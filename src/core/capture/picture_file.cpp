#include "core/capture/picture_file.h"

#include <QBuffer>
#include <QImageWriter>

#include "core/capture/jpeg_encoder.h"
#include "core/runtime/text_file.h"

namespace tornavo {

PictureFileType PictureFileTypeForFilter(int filter_index) {
  return filter_index == kPictureSaveJpegIndex ? PictureFileType::kJpeg : PictureFileType::kBmp;
}

bool EncodeBmp(const QImage& picture, QByteArray* out, QString* error) {
  if (picture.isNull()) {
    if (error) *error = QStringLiteral("No picture to write.");
    return false;
  }
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "BMP");
  const QImage rgb = picture.format() == QImage::Format_RGB888
                         ? picture
                         : picture.convertToFormat(QImage::Format_RGB888);
  if (!writer.write(rgb)) {
    if (error) *error = writer.errorString();
    return false;
  }
  *out = bytes;
  return true;
}

bool WritePictureFile(const QString& path, const QImage& picture, PictureFileType type,
                      int jpeg_quality, QString* error) {
  QByteArray bytes;
  const bool encoded = type == PictureFileType::kJpeg
                           ? EncodeJpeg(picture, jpeg_quality, &bytes, error)
                           : EncodeBmp(picture, &bytes, error);
  return encoded && WriteFileAtomically(path, bytes, error);
}

}  // namespace tornavo

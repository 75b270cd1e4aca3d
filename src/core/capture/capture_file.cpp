#include "core/capture/capture_file.h"

#include <QFile>

#include "core/capture/frame_layout.h"

namespace tornavo {

bool ReadCaptureFile(const QString& path, QByteArray* bytes, QString* error) {
  if (path.isEmpty()) {
    if (error) *error = QStringLiteral("No file name given.");
    return false;
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    if (error) *error = QStringLiteral("%1: %2").arg(path, file.errorString());
    return false;
  }
  QByteArray read = file.read(kMaxCaptureBytes);
  if (file.error() != QFileDevice::NoError) {
    if (error) *error = QStringLiteral("%1: %2").arg(path, file.errorString());
    return false;
  }
  *bytes = read;
  return true;
}

}  // namespace tornavo

#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include "core/capture/picture_file.h"
#include "core/settings/picture_options.h"

namespace tornavo {

// The held picture for one front end, and the options it is made with (the settings write
// them, or the command line's options do). Every operation that fails leaves the held picture
// as it was.
class PictureService {
 public:
  PictureOptions& options() { return options_; }
  const QImage& picture() const { return picture_; }

  // Converts a captured frame with the options as they stand and holds it at its format's
  // size. False, with *error, when the options make no picture of it.
  bool TakeCapture(const QByteArray& bytes, QString* error);
  // The same for a raw capture file; false with the system's text when it cannot be read.
  bool OpenCaptureFile(const QString& path, QString* error);
  // The held picture as `type`, JPEG at the options' quality, replacing the file atomically.
  bool SavePicture(const QString& path, PictureFileType type, QString* error) const;

 private:
  PictureOptions options_;
  QImage picture_;
};

}  // namespace tornavo

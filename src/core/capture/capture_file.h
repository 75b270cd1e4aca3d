#pragma once

#include <QByteArray>
#include <QString>

namespace tornavo {

// Reads a raw capture file. Only the first 640 000 bytes can ever be used, so no more are
// read, however large the file. On failure returns false, sets *error to the system's text
// and leaves *bytes as it was.
bool ReadCaptureFile(const QString& path, QByteArray* bytes, QString* error);

}  // namespace tornavo

#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace tornavo {

// Encodes a picture as a baseline colour JPEG with libjpeg at `quality` (1...100 on the
// library's scale; values outside are brought to the nearest end), every other setting
// the library's default. On failure returns false and sets *error to the library's text.
bool EncodeJpeg(const QImage& picture, int quality, QByteArray* out, QString* error);

}  // namespace tornavo

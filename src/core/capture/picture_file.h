#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace tornavo {

// The file types of "Guardar como...", in the order of its filter.
enum class PictureFileType { kBmp, kJpeg };

// The save dialog's filter (not translated) and the type it preselects.
inline constexpr char kPictureSaveFilter[] =
    "Archivo Bitmap de Windows (BMP)|*.bmp|Archivo JPEG (JPG)|*.jpg|";
inline constexpr int kPictureSaveJpegIndex = 2;

// The chosen filter decides the type, never the name's extension.
PictureFileType PictureFileTypeForFilter(int filter_index);

// A Windows bitmap, 24 bits per pixel.
bool EncodeBmp(const QImage& picture, QByteArray* out, QString* error);

// Encodes the picture as `type` and replaces the file atomically: on failure the previous
// file stays whole, false is returned and *error holds the system's or the encoder's text.
bool WritePictureFile(const QString& path, const QImage& picture, PictureFileType type,
                      int jpeg_quality, QString* error);

}  // namespace tornavo

#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

#include "core/settings/picture_options.h"

namespace tornavo {

// Largest width or height a conversion accepts; the receiver's frames are at most 720 × 576.
inline constexpr int kMaxCaptureSide = 2048;

// Which colour stage converts: the fastest this processor has, or the portable one (kept
// selectable so that both can be checked against each other).
enum class ColourPath { kFastest, kPortable };

// Turns a block of the decoder's frame memory into a 24-bit picture of width × height
// pixels. Only the first min(length, 640 000) bytes are read; a sample at or beyond that
// counts as missing and reads as black (Y = 16, Cb = Cr = 128). Every input gives a
// picture; a width or height outside 1...kMaxCaptureSide gives a null image.
QImage ConvertCapture(const uint8_t* bytes, qsizetype length, int width, int height,
                      ColourPath path = ColourPath::kFastest);
QImage ConvertCapture(const QByteArray& bytes, int width, int height);

// The size of the picture area for a format: 1024 × 576 for "16:9", 720 × 576 for "4:3",
// the picture's own size for "No cambiar el formato".
QSize PictureAreaSize(PictureFormat format, QSize picture);

// The picture at its area's size, smoothly scaled, 24 bits per pixel.
QImage ScaleForFormat(const QImage& picture, PictureFormat format);

// The whole road from captured bytes to the picture that is shown and saved.
QImage MakeShownPicture(const QByteArray& bytes, const PictureOptions& options);

}  // namespace tornavo

#include <QCommandLineParser>
#include <algorithm>
#include <iterator>

#include "cli/commands.h"
#include "cli/console.h"
#include "core/session/picture_service.h"

namespace tornavo::cli {

namespace {

// The entries of "Tamaño de la imagen capturada :".
constexpr int kCaptureWidths[] = {352, 528, 544, 704, 720};

bool ParseFormat(const QString& text, PictureFormat* format) {
  if (text == QLatin1String("16:9"))
    *format = PictureFormat::kWide16x9;
  else if (text == QLatin1String("4:3"))
    *format = PictureFormat::kStandard4x3;
  else if (text == QLatin1String("original"))
    *format = PictureFormat::kOriginal;
  else
    return false;
  return true;
}

bool ParseType(const QString& text, PictureFileType* type) {
  if (text == QLatin1String("bmp"))
    *type = PictureFileType::kBmp;
  else if (text == QLatin1String("jpeg") || text == QLatin1String("jpg"))
    *type = PictureFileType::kJpeg;
  else
    return false;
  return true;
}

int Usage(const QString& message) {
  Err(QStringLiteral("tornavo capture: %1").arg(message));
  Err(QStringLiteral("Try 'tornavo capture --help'."));
  return kExitUsage;
}

}  // namespace

int RunCaptureCommand(const QStringList& arguments) {
  PictureService pictures;
  PictureOptions& options = pictures.options();  // the settings' defaults
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "convert IN OUT: turns a raw capture of the receiver's frame memory (IN) into a picture "
      "file (OUT), as the page \"Imagen\" shows and saves it."));
  parser.addPositionalArgument(QStringLiteral("convert"), QStringLiteral("the action"));
  parser.addPositionalArgument(QStringLiteral("IN"), QStringLiteral("raw capture file"));
  parser.addPositionalArgument(QStringLiteral("OUT"), QStringLiteral("picture file to write"));
  parser.addOptions({
      {"size", "Capture width: 352, 528, 544, 704 or 720 (default 720; height 576).", "WIDTH",
       QString::number(options.capture_width)},
      {"format", "Picture format: 16:9 (1024 x 576), 4:3 (720 x 576) or original (default 4:3).",
       "FORMAT", QStringLiteral("4:3")},
      {"type", "File type: bmp or jpeg (default jpeg); the name's extension does not matter.",
       "TYPE", QStringLiteral("jpeg")},
      {"quality", "JPEG quality, 1 to 100 (default 100).", "QUALITY",
       QString::number(options.jpeg_quality)},
  });
  if (!Parse(parser, arguments)) return kExitUsage;
  const QStringList positional = parser.positionalArguments();
  if (positional.isEmpty() || positional[0] != QLatin1String("convert"))
    return Usage(QStringLiteral("give the action 'convert'."));
  if (positional.size() != 3) return Usage(QStringLiteral("give exactly IN and OUT."));

  bool ok = false;
  options.capture_width = parser.value("size").toInt(&ok);
  if (!ok || std::find(std::begin(kCaptureWidths), std::end(kCaptureWidths),
                       options.capture_width) == std::end(kCaptureWidths))
    return Usage(QStringLiteral("--size must be 352, 528, 544, 704 or 720."));
  if (!ParseFormat(parser.value("format"), &options.format))
    return Usage(QStringLiteral("--format must be 16:9, 4:3 or original."));
  PictureFileType type = PictureFileType::kJpeg;
  if (!ParseType(parser.value("type"), &type))
    return Usage(QStringLiteral("--type must be bmp or jpeg."));
  options.jpeg_quality = parser.value("quality").toInt(&ok);
  if (!ok || options.jpeg_quality < 1 || options.jpeg_quality > 100)
    return Usage(QStringLiteral("--quality must be a whole number from 1 to 100."));

  QString error;
  if (!pictures.OpenCaptureFile(positional[1], &error) ||
      !pictures.SavePicture(positional[2], type, &error)) {
    Err(error);
    return kExitBadInput;
  }
  const QImage& picture = pictures.picture();
  Out(QStringLiteral("%1: %2 x %3 %4")
          .arg(positional[2])
          .arg(picture.width())
          .arg(picture.height())
          .arg(type == PictureFileType::kJpeg ? QStringLiteral("JPEG") : QStringLiteral("BMP")));
  return kExitOk;
}

}  // namespace tornavo::cli

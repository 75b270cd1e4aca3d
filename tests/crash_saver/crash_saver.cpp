// Saves one kind of file over and over, for the crash-safety test to kill at random moments.
//   crash_saver --list               the kinds, one a line
//   crash_saver --once KIND PATH     saves version a to PATH once
//   crash_saver KIND PATH REFDIR     writes the two versions to REFDIR/a and REFDIR/b, saves
//                                    version a to PATH, prints "ready", then saves b, a, b ...
//                                    to PATH, printing "saved" after each, until it is killed
// Every kind goes through the program's own save path. A new kind of save is one more entry
// in kKinds.
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <cstdio>
#include <functional>

#include "core/capture/picture_file.h"
#include "core/eeprom/eeprom_files.h"
#include "core/runtime/text_file.h"
#include "core/settings/settings.h"

using namespace tornavo;

namespace {

// Saves version 0 or 1 of a kind to a path; false on failure.
using SaveFunction = std::function<bool(int version, const QString& path)>;

class SilentHost : public OperationHost {
 public:
  void AppendLog(LogId, const QString&) override {}
  void Report(StatusPage, const ProgressReport&) override {}
  void ShowError(const QString& text) override { std::fprintf(stderr, "%s\n", qPrintable(text)); }
  void ShowInformation(const QString&) override {}
  void DisablePages() override {}
  void EnablePages() override {}
};

bool SaveEeprom(EepromFormat format, int version, const QString& path) {
  EepromImage image;
  for (int a = 0; a < kEepromBytes; ++a)
    image.SetCellAt(a, ByteText(static_cast<uint8_t>(a * (version ? 7 : 11) + a / 256)));
  SilentHost host;
  return SaveEepromFile(path, format, image, host);
}

bool SavePicture(PictureFileType type, int version, const QString& path) {
  QImage picture(720, 576, QImage::Format_RGB888);
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x)
      picture.setPixel(x, y, qRgb((x + y * version) % 256, (x * 3) % 256, version ? 40 : 200));
  QString error;
  return WritePictureFile(path, picture, type, 90, &error);
}

// The log view's "Guardar como...": its lines as UTF-8 text.
bool SaveLog(int version, const QString& path) {
  QStringList lines;
  for (int i = 0; i < 3000; ++i)
    lines << QStringLiteral("%EE?%1010 línea %2 versión %3")
                 .arg(i % 128, 2, 16, QChar('0'))
                 .arg(i)
                 .arg(version);
  QString error;
  return WriteFileAtomically(path, EncodeLinesUtf8(lines), &error);
}

// The settings save at window close, in the folder of PATH (whose name must be Tornavo.ini).
bool SaveSettings(int version, const QString& path) {
  SymbolRateTable rates{};
  PictureOptions options;
  Settings settings(rates, options);
  settings.Load(QFileInfo(path).absolutePath() + QLatin1Char('/'), {});
  settings.SetText(Key::kSatA, version ? QStringLiteral("Satélite de la versión uno") : "A");
  settings.SetText(Key::kDirecJtag, version ? QStringLiteral("60000000") : "7FE00000");
  settings.SetInt(Key::kTop, version ? 1234 : 0);
  settings.SetInt(Key::kRetardoBusy, version ? 650 : 300);
  // The dialogs' folders default to the settings folder; the references are made in other
  // folders, so these are fixed.
  for (Key folder : {Key::kOpenDlgInitialDir, Key::kSaveDlgInitialDir})
    settings.SetDialogFolder(folder, QStringLiteral("/srv/tornavo"));
  QString error;
  return settings.Save(&error);
}

struct Kind {
  const char* name;
  SaveFunction save;
};

const Kind kKinds[] = {
    {"eeprom-own", [](int v, const QString& p) { return SaveEeprom(EepromFormat::kOwn, v, p); }},
    {"eeprom-kvl", [](int v, const QString& p) { return SaveEeprom(EepromFormat::kKvl, v, p); }},
    {"eeprom-bin", [](int v, const QString& p) { return SaveEeprom(EepromFormat::kBin, v, p); }},
    {"picture-bmp",
     [](int v, const QString& p) { return SavePicture(PictureFileType::kBmp, v, p); }},
    {"picture-jpeg",
     [](int v, const QString& p) { return SavePicture(PictureFileType::kJpeg, v, p); }},
    {"log", SaveLog},
    {"settings", SaveSettings},
};

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.value(1) == QLatin1String("--list")) {
    for (const Kind& kind : kKinds) std::printf("%s\n", kind.name);
    return 0;
  }
  if (args.size() == 4 && args[1] == QLatin1String("--once")) {
    for (const Kind& kind : kKinds)
      if (args[2] == QLatin1String(kind.name)) return kind.save(0, args[3]) ? 0 : 2;
    return 1;
  }
  if (args.size() != 4) {
    std::fprintf(stderr, "usage: crash_saver --list | --once KIND PATH | KIND PATH REFDIR\n");
    return 1;
  }
  for (const Kind& kind : kKinds) {
    if (args[1] != QLatin1String(kind.name)) continue;
    const QString path = args[2];
    const QDir refs(args[3]);
    // The settings save reads the file it updates: its references are made in folders of
    // their own, from nothing, as the two states a finished save leaves.
    for (int version : {0, 1}) {
      const QString ref_folder = refs.filePath(QString::number(version));
      QDir().mkpath(ref_folder);
      const QString ref = QDir(ref_folder).filePath(QFileInfo(path).fileName());
      if (!kind.save(version, ref)) return 2;
      if (!QFile::copy(ref, refs.filePath(version ? "b" : "a"))) return 2;
    }
    if (!kind.save(0, path)) return 2;
    std::printf("ready\n");
    std::fflush(stdout);
    for (int version = 1;; version ^= 1) {
      if (!kind.save(version, path)) return 2;
      std::printf("saved\n");  // lets the test kill after a chosen number of saves
      std::fflush(stdout);
    }
  }
  std::fprintf(stderr, "crash_saver: unknown kind %s\n", argv[1]);
  return 1;
}

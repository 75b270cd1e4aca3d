// The INI reader and the settings load over a folder of fuzzed files: the settings file and
// four catalogue files that it may name (A.ini ... D.ini as a language, a flash type, a model
// and a symbol-rate file). The files are the input's pieces, split at each 0x1E byte.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

#include "core/settings/ini_file.h"
#include "core/settings/settings.h"
#include "fuzz_check.h"

using namespace tornavo;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  static QCoreApplication app(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static QTemporaryDir folder;
  static const QStringList kNames = {"Tornavo.ini", "A.ini", "B.ini", "C.ini", "D.ini"};
  const QList<QByteArray> pieces =
      QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)).split('\x1e');
  for (int i = 0; i < kNames.size(); ++i) {
    const QString path = folder.filePath(kNames[i]);
    if (i >= pieces.size()) {
      QFile::remove(path);
      continue;
    }
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(pieces[i]) == pieces[i].size());
  }

  SymbolRateTable symbol_rates{};
  PictureOptions picture_options;
  Settings settings(symbol_rates, picture_options);
  settings.Load(folder.path() + QLatin1Char('/'), {QStringLiteral("/dev/ttyS0")});
  const QStringList lines = settings.SaveLines();
  FUZZ_CHECK(!lines.isEmpty());
  FUZZ_CHECK(picture_options.jpeg_quality >= 1 && picture_options.jpeg_quality <= 100);

  // The reader on its own: every line's name looked up, as the catalogue files are read.
  const TIniFile32 ini(folder.filePath(kNames[0]));
  for (const QString& line : ini.lines()) {
    const QString name = line.section(QLatin1Char('='), 0, 0).trimmed();
    const QString value = ini.ReadString(QStringLiteral("TForm1"), name, QStringLiteral("\x01"));
    (void)ini.ReadInteger(QStringLiteral("TForm1"), name, 0);
    FUZZ_CHECK(!value.isEmpty());  // an empty value gives the default back
  }
  return 0;
}

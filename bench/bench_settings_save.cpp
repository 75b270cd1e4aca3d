// The settings save at window close against one atomic store of the same bytes, both into
// the same folder of the disk the temporary folder is on. The save of old, which stored the
// whole file after each key, is measured too, for comparison.
#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include "core/runtime/text_file.h"
#include "core/settings/ini_file.h"
#include "core/settings/settings.h"
#include "ratio_report.h"

namespace {

using tornavo::Settings;

// A settings file as the tool leaves it, with a hand-written section before it.
struct SavedSettings {
  SavedSettings() : settings(rates, picture) {
    const QString path = folder() + Settings::kFileName;
    QFile seed(path);
    seed.open(QIODevice::WriteOnly);
    seed.write("; notes\r\n[Otra]\r\nk=v\r\n");
    seed.close();
    settings.Load(folder(), {"ttyS0", "ttyUSB0"});
    QString error;
    settings.Save(&error);
    QFile saved(path);
    saved.open(QIODevice::ReadOnly);
    bytes = saved.readAll();
  }
  QString folder() const { return dir.path() + '/'; }

  QTemporaryDir dir;
  tornavo::SymbolRateTable rates{};
  tornavo::PictureOptions picture;
  Settings settings;
  QByteArray bytes;
};

void BM_StoreSameBytesOnce(benchmark::State& state) {
  SavedSettings saved;
  const QString path = saved.folder() + "copy.ini";
  QString error;
  for (auto _ : state)
    if (!tornavo::WriteFileAtomically(path, saved.bytes, &error)) state.SkipWithError("store");
  state.counters["bytes"] = static_cast<double>(saved.bytes.size());
}
BENCHMARK(BM_StoreSameBytesOnce)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_SaveSettings(benchmark::State& state) {
  SavedSettings saved;
  QString error;
  int top = 0;
  for (auto _ : state) {
    // A value changes at each close, as the window's place does.
    saved.settings.SetInt(tornavo::Key::kTop, ++top % 2);
    if (!saved.settings.Save(&error)) state.SkipWithError("save");
  }
}
BENCHMARK(BM_SaveSettings)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_SaveStoringAfterEachKey(benchmark::State& state) {
  SavedSettings saved;
  QString error;
  for (auto _ : state) {
    tornavo::TIniFile32 file(saved.folder() + Settings::kFileName);
    for (const QString& line : saved.settings.SaveLines()) {
      const qsizetype equals = line.indexOf('=');
      if (!file.WriteString(Settings::kSection, line.left(equals), line.mid(equals + 1), &error))
        state.SkipWithError("write");
    }
  }
}
BENCHMARK(BM_SaveStoringAfterEachKey)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunAndPrintRatios(argc, argv,
                                  {{"BM_SaveSettings", "BM_StoreSameBytesOnce", 1.5},
                                   {"BM_SaveStoringAfterEachKey", "BM_StoreSameBytesOnce", 0}});
}

// Time from starting the program to the first expose of its window: the real window against
// a bare window with eight tabs, each started as a new process (this program again, in a
// child mode) so that both pay the same start of the toolkit. Run it on the display to
// measure (for example under xvfb-run); the offscreen platform works too.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>
#include <QMainWindow>
#include <QProcess>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <utility>
#include <vector>

#include "core/serial/serial_transport.h"
#include "gui/file_dialogs.h"
#include "gui/main_window.h"
#include "gui/message_boxes.h"

namespace {

constexpr char kChildFlag[] = "--child";
constexpr char kCloseFlag[] = "--close-child";
constexpr int kSettleMs = 300;

// Calls `exposed` once, when the window is first exposed.
class ExposeWatch : public QObject {
 public:
  explicit ExposeWatch(std::function<void()> exposed) : exposed_(std::move(exposed)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed() &&
        exposed_) {
      std::exchange(exposed_, nullptr)();
    }
    return false;
  }

 private:
  std::function<void()> exposed_;
};

std::unique_ptr<QMainWindow> MakeWindow(const char* kind, const char* ini_dir) {
  if (std::strcmp(kind, "bare") == 0) {
    auto window = std::make_unique<QMainWindow>();
    auto* tabs = new QTabWidget(window.get());
    for (int i = 0; i < 8; ++i) tabs->addTab(new QLabel(QStringLiteral("page")), "Tab");
    window->setCentralWidget(tabs);
    window->resize(736, 657);
    return window;
  }
  tornavo::WindowOptions options;
  options.ini_dir = QString::fromLocal8Bit(ini_dir);
  // As the program opens it.
  options.list_ports_in_background = true;
  return std::make_unique<tornavo::TForm1>(std::move(options));
}

// Opening: prints a line and leaves at once when the window is first exposed. Closing: a
// while after the window shows, closes and destroys it and prints the milliseconds that took.
int RunChild(int argc, char** argv, bool closing, const char* kind, const char* ini_dir) {
  QApplication app(argc, argv);
  std::unique_ptr<QMainWindow> window = MakeWindow(kind, ini_dir);
  ExposeWatch watch([&] {
    if (!closing) {
      std::fputs("exposed\n", stdout);
      std::fflush(stdout);
      std::_Exit(0);
    }
    // Closed a while after it shows, as a person would: start-up work is over by then.
    QTimer::singleShot(kSettleMs, &app, [&] {
      QElapsedTimer timer;
      timer.start();
      window->close();
      window.reset();
      std::printf("%.3f\n", static_cast<double>(timer.nsecsElapsed()) / 1e6);
      std::fflush(stdout);
      std::_Exit(0);
    });
  });
  window->winId();
  window->windowHandle()->installEventFilter(&watch);
  window->show();
  return QApplication::exec();
}

// Starts the child and waits for its line: milliseconds, or a negative value on failure.
double StartChild(const char* kind, const QString& ini_dir) {
  QProcess child;
  QElapsedTimer timer;
  timer.start();
  child.start(QCoreApplication::applicationFilePath(), {kChildFlag, kind, ini_dir});
  if (!child.waitForReadyRead(30000)) return -1;
  const double milliseconds = static_cast<double>(timer.nsecsElapsed()) / 1e6;
  child.waitForFinished(30000);
  return milliseconds;
}

// The milliseconds the child reports for closing its window, or a negative value.
double CloseInChild(const char* kind, const QString& ini_dir) {
  QProcess child;
  child.start(QCoreApplication::applicationFilePath(), {kCloseFlag, kind, ini_dir});
  if (!child.waitForFinished(30000) || child.exitCode() != 0) return -1;
  bool ok = false;
  const double milliseconds = child.readAllStandardOutput().trimmed().toDouble(&ok);
  return ok ? milliseconds : -1;
}

std::vector<double> bare_times;
std::vector<double> window_times;

// Both kinds in turns, the first of each pair alternating, so that a change in the
// machine's other load falls on both alike.
void BM_WindowStarts(benchmark::State& state) {
  QTemporaryDir ini_dir;
  bool bare_first = true;
  for (auto _ : state) {
    double bare = 0;
    double window = 0;
    if (bare_first) {
      bare = StartChild("bare", ini_dir.path());
      window = StartChild("window", ini_dir.path());
    } else {
      window = StartChild("window", ini_dir.path());
      bare = StartChild("bare", ini_dir.path());
    }
    bare_first = !bare_first;
    if (bare < 0 || window < 0) {
      state.SkipWithError("a child window never showed");
      return;
    }
    bare_times.push_back(bare);
    window_times.push_back(window);
    state.SetIterationTime(window / 1e3);
  }
}
BENCHMARK(BM_WindowStarts)->UseManualTime()->Iterations(15)->Unit(benchmark::kMillisecond);

std::vector<double> bare_close_times;
std::vector<double> window_close_times;

// Closing, for information: the settings are stored and every page destroyed.
void BM_WindowCloses(benchmark::State& state) {
  QTemporaryDir ini_dir;
  for (auto _ : state) {
    const double bare = CloseInChild("bare", ini_dir.path());
    const double window = CloseInChild("window", ini_dir.path());
    if (bare < 0 || window < 0) {
      state.SkipWithError("a child window never closed");
      return;
    }
    bare_close_times.push_back(bare);
    window_close_times.push_back(window);
    state.SetIterationTime(window / 1e3);
  }
}
BENCHMARK(BM_WindowCloses)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

double Median(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 4 && std::strcmp(argv[1], kChildFlag) == 0)
    return RunChild(argc, argv, false, argv[2], argv[3]);
  if (argc >= 4 && std::strcmp(argv[1], kCloseFlag) == 0)
    return RunChild(argc, argv, true, argv[2], argv[3]);
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (!window_close_times.empty()) {
    std::printf("median close: bare window %.1f ms, Tornavo %.1f ms (%zu each)\n",
                Median(bare_close_times), Median(window_close_times), window_close_times.size());
  }
  if (bare_times.empty()) return 0;
  const double bare = Median(bare_times);
  const double window = Median(window_times);
  std::printf("median start to first expose: bare window %.1f ms, Tornavo %.1f ms (%zu each)\n",
              bare, window, bare_times.size());
  std::printf("ratio Tornavo / bare window = %.2f (aim <= 1.50: %s)\n", window / bare,
              window / bare <= 1.5 ? "met" : "NOT met");
  return 0;
}

#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <functional>

#include "core/runtime/operation_host.h"
#include "support/qt_printers.h"

namespace tornavo::testing {

// An OperationHost that remembers everything an operation did to it.
class RecordingHost : public OperationHost {
 public:
  struct Box {
    bool error;
    QString text;
  };

  void AppendLog(LogId log, const QString& line) override { logs[static_cast<int>(log)] << line; }
  void Report(StatusPage page, const ProgressReport& report) override {
    const int p = static_cast<int>(page);
    for (int f = 0; f < kStatusFieldCount; ++f)
      if (const auto& text = report.text(static_cast<StatusField>(f))) status[p][f] = *text;
    if (report.total()) progress_maximum[p] = *report.total();
    if (report.done()) {
      progress[p] = *report.done();
      progress_history[p].push_back(*report.done());
    }
  }
  void ShowError(const QString& text) override { Show(true, text); }
  void ShowInformation(const QString& text) override { Show(false, text); }
  void DisablePages() override { pages_enabled = false; }
  void EnablePages() override { pages_enabled = true; }

  const QStringList& Log(LogId log) const { return logs[static_cast<int>(log)]; }
  const QString& Status(StatusPage page, StatusField field) const {
    return status[static_cast<int>(page)][static_cast<int>(field)];
  }
  bool StatusEmpty(StatusPage page) const {
    for (const QString& value : status[static_cast<int>(page)])
      if (!value.isEmpty()) return false;
    return true;
  }

  std::array<QStringList, kLogCount> logs;
  std::array<std::array<QString, kStatusFieldCount>, kStatusPageCount> status;
  std::array<int, 3> progress{};
  std::array<int, 3> progress_maximum{};
  std::array<std::vector<int>, 3> progress_history;
  std::vector<Box> boxes;
  bool pages_enabled = true;
  // Runs when a box is shown, with the state as it stands at that moment.
  std::function<void(const Box&)> on_box;

 private:
  void Show(bool error, const QString& text) {
    boxes.push_back({error, text});
    if (on_box) on_box(boxes.back());
  }
};

}  // namespace tornavo::testing

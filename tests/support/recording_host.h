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
  // Kept as the command line keeps them, so the tests that read a panel also check that a
  // report leaves unset what it does not carry.
  void Report(StatusPage page, const ProgressReport& report) override {
    panels[static_cast<int>(page)].Apply(report);
    if (report.done()) progress_history[static_cast<int>(page)].push_back(*report.done());
  }
  void ShowError(const QString& text) override { Show(true, text); }
  void ShowInformation(const QString& text) override { Show(false, text); }
  void DisablePages() override { pages_enabled = false; }
  void EnablePages() override {
    pages_enabled = true;
    ++unlocks;
  }

  const QStringList& Log(LogId log) const { return logs[static_cast<int>(log)]; }
  const QString& Status(StatusPage page, StatusField field) const {
    return panels[static_cast<int>(page)].Text(field);
  }
  bool StatusEmpty(StatusPage page) const {
    for (const QString& value : panels[static_cast<int>(page)].texts)
      if (!value.isEmpty()) return false;
    return true;
  }

  std::array<QStringList, kLogCount> logs;
  std::array<TaskPanel, kStatusPageCount> panels;
  std::array<std::vector<int>, kStatusPageCount> progress_history;
  std::vector<Box> boxes;
  bool pages_enabled = true;
  int unlocks = 0;  // each must match a lock: a second one could free someone else's
  // Runs when a box is shown, with the state as it stands at that moment.
  std::function<void(const Box&)> on_box;

 private:
  void Show(bool error, const QString& text) {
    boxes.push_back({error, text});
    if (on_box) on_box(boxes.back());
  }
};

}  // namespace tornavo::testing

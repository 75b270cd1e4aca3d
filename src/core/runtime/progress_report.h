#pragma once

#include <QString>
#include <array>
#include <optional>

namespace tornavo {

// The three pages that carry a task status panel and a progress bar.
enum class StatusPage { kEeprom = 0, kFirmware = 1, kJtag = 2 };
inline constexpr int kStatusPageCount = 3;

// The five value fields of a task status panel, top to bottom.
enum class StatusField { kTask = 0, kAddress, kErrors, kSpeed, kRemaining };
inline constexpr int kStatusFieldCount = 5;

// One step of an operation as its task panel shows it: the stage it is in, how far it has come
// (done of total), and the panel's other texts at that step. What a report leaves unset, the
// panel keeps from the reports before it.
class ProgressReport {
 public:
  // The panel at rest: progress at 0 and every text empty.
  static ProgressReport Rest() {
    ProgressReport report;
    report.done_ = 0;
    report.texts_.fill(QString());
    return report;
  }

  // An operation's first step: its stage and first address, no errors, nothing done of total.
  static ProgressReport Start(const QString& stage, const QString& address, int total) {
    return ProgressReport()
        .Stage(stage)
        .Address(address)
        .Errors(QStringLiteral("0"))
        .Total(total)
        .Done(0);
  }

  ProgressReport& Stage(const QString& text) { return With(StatusField::kTask, text); }
  ProgressReport& Address(const QString& text) { return With(StatusField::kAddress, text); }
  ProgressReport& Errors(const QString& text) { return With(StatusField::kErrors, text); }
  ProgressReport& Speed(const QString& text) { return With(StatusField::kSpeed, text); }
  ProgressReport& Remaining(const QString& text) { return With(StatusField::kRemaining, text); }
  ProgressReport& Done(int done) {
    done_ = done;
    return *this;
  }
  ProgressReport& Total(int total) {
    total_ = total;
    return *this;
  }

  const std::optional<QString>& text(StatusField field) const {
    return texts_[static_cast<int>(field)];
  }
  const std::optional<int>& done() const { return done_; }
  const std::optional<int>& total() const { return total_; }

 private:
  ProgressReport& With(StatusField field, const QString& text) {
    texts_[static_cast<int>(field)] = text;
    return *this;
  }

  std::array<std::optional<QString>, kStatusFieldCount> texts_;
  std::optional<int> done_;
  std::optional<int> total_;
};

// A task panel as the reports so far leave it, for hosts that show it other than as widgets.
struct TaskPanel {
  std::array<QString, kStatusFieldCount> texts;
  int done = 0;
  int total = 0;

  void Apply(const ProgressReport& report) {
    for (int f = 0; f < kStatusFieldCount; ++f)
      if (const auto& text = report.text(static_cast<StatusField>(f))) texts[f] = *text;
    if (report.total()) total = *report.total();
    if (report.done()) done = *report.done();
  }
  const QString& Text(StatusField field) const { return texts[static_cast<int>(field)]; }
};

}  // namespace tornavo

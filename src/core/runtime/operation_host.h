#pragma once

#include <QString>
#include <functional>

#include "core/runtime/progress_report.h"

namespace tornavo {

enum class LogId { kEeprom = 0, kFirmware, kJtag, kTerminal };
inline constexpr int kLogCount = 4;

// A log line's weight: a step only goes to the log; a success or a failure ends an operation
// and is also shown to the user, in the same words.
enum class LogLevel { kStep, kSuccess, kFailure };

// The questions an operation may ask, and their answers.
// kSaveDiscardCancel comes before something would replace edits that no file holds.
enum class Question { kAbortRetryIgnore, kOkCancel, kSaveDiscardCancel };
enum class Answer { kAbort, kRetry, kIgnore, kOk, kCancel, kSave, kDiscard };

// What an operation needs from the window. The window implements it; the command line and
// the tests have their own implementations. Operations never touch a widget.
class OperationHost {
 public:
  virtual ~OperationHost() = default;

  virtual void AppendLog(LogId log, const QString& line) = 0;
  // One step of an operation's progress, on the task panel of its page.
  virtual void Report(StatusPage page, const ProgressReport& report) = 0;
  // Modal boxes with one OK button; they return when the user closes them.
  virtual void ShowError(const QString& text) = 0;
  virtual void ShowInformation(const QString& text) = 0;
  virtual void DisablePages() = 0;
  virtual void EnablePages() = 0;
  // A log line at its level. The window logs a success or a failure and shows it in a box; a
  // host that prints both in one stream says it once.
  virtual void Log(LogId log, LogLevel level, const QString& line) {
    AppendLog(log, line);
    if (level == LogLevel::kSuccess) ShowInformation(line);
    if (level == LogLevel::kFailure) ShowError(line);
  }
  // A modal question; it returns the button chosen. A host that cannot ask gives the answer
  // that stops the operation.
  virtual Answer Ask(Question question, const QString& text) {
    (void)text;
    return question == Question::kAbortRetryIgnore ? Answer::kAbort : Answer::kCancel;
  }

  // The same question with a check box captioned option: *checked gives its state on entry
  // and takes it on return. A host without check boxes leaves it as it was.
  virtual Answer AskWithOption(Question question, const QString& text, const QString& option,
                               bool* checked) {
    (void)option;
    (void)checked;
    return Ask(question, text);
  }

  // Runs work where the host lives and returns once it has run: a step of an operation that
  // hands its result to what the window holds, in its place among the operation's steps.
  virtual void Call(const std::function<void()>& work) { work(); }

  // The resting state of a panel: progress at 0 and all five values empty.
  void ResetStatus(StatusPage page) { Report(page, ProgressReport::Rest()); }
};

}  // namespace tornavo

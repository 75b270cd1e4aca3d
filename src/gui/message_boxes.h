#pragma once

#include <QString>

#include "core/runtime/operation_host.h"

class QWidget;

namespace tornavo {

// Modal boxes with one OK button; behind an interface so that tests can answer them.
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  virtual void ShowError(const QString& text) = 0;
  virtual void ShowInformation(const QString& text) = 0;
  // A question with its buttons; boxes that cannot ask stop the operation.
  virtual Answer Ask(Question question, const QString& text) {
    (void)text;
    return question == Question::kAbortRetryIgnore ? Answer::kAbort : Answer::kCancel;
  }
  // A warning with OK and Cancel before something that cannot be undone; true for OK.
  virtual bool Confirm(const QString& text) {
    return Ask(Question::kOkCancel, text) == Answer::kOk;
  }
  // The same with a check box captioned `option` (such as "do not ask again"); *option_checked
  // gives its state on entry and takes it on return, whatever the answer.
  virtual bool ConfirmWithOption(const QString& text, const QString& option, bool* option_checked) {
    (void)option;
    (void)option_checked;
    return Confirm(text);
  }
};

// The real boxes, titled with the program's name; their buttons speak the language of Qt's
// installed translation.
class QtMessageBoxes : public MessageBoxes {
 public:
  static constexpr const char* kTitle = "Tornavo";

  explicit QtMessageBoxes(QWidget* parent) : parent_(parent) {}
  void ShowError(const QString& text) override;
  void ShowInformation(const QString& text) override;
  Answer Ask(Question question, const QString& text) override;
  bool ConfirmWithOption(const QString& text, const QString& option, bool* option_checked) override;

 private:
  QWidget* parent_;
};

}  // namespace tornavo

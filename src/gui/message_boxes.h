#pragma once

#include <QString>

class QWidget;

namespace tornavo {

// Modal boxes with one OK button; behind an interface so that tests can answer them.
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  virtual void ShowError(const QString& text) = 0;
  virtual void ShowInformation(const QString& text) = 0;
  // A warning with OK and Cancel; true for OK.
  virtual bool Confirm(const QString& text) = 0;
};

class QtMessageBoxes : public MessageBoxes {
 public:
  explicit QtMessageBoxes(QWidget* parent) : parent_(parent) {}
  void ShowError(const QString& text) override;
  void ShowInformation(const QString& text) override;
  bool Confirm(const QString& text) override;

 private:
  QWidget* parent_;
};

}  // namespace tornavo

#pragma once

#include <QWidget>

#include "gui/app_services.h"

class QLineEdit;

namespace tornavo {

class LogView;

// Page "Terminal": the command line on top, the terminal log below it.
class TerminalPage : public QWidget {
  Q_OBJECT

 public:
  TerminalPage(AppServices& services, QWidget* parent);
  void ApplyTexts();

  QLineEdit* command_line() const { return command_; }
  LogView* log() const { return log_; }

 private:
  void SendTypedCommand();

  AppServices& services_;
  QLineEdit* command_;
  LogView* log_;
};

}  // namespace tornavo

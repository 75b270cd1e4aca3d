#pragma once

#include <QWidget>

#include "core/serial/command_history.h"
#include "gui/app_services.h"

class QLabel;
class QLineEdit;

namespace tornavo {

class LogView;

// Page "Terminal": the terminal log, and under it the port it talks through and the command
// line. Up and Down in the command line bring back the commands sent before, also in earlier
// runs.
class TerminalPage : public QWidget {
  Q_OBJECT

 public:
  TerminalPage(AppServices& services, QWidget* parent);
  void ApplyTexts();
  // Names the port the commands go through, and says so when it is not open.
  void ShowPort();

  QLineEdit* command_line() const { return command_; }
  QLabel* port_label() const { return port_; }
  LogView* log() const { return log_; }
  const CommandHistory& history() const { return history_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void SendTypedCommand();

  AppServices& services_;
  CommandHistory history_;
  QLabel* port_;
  QLineEdit* command_;
  LogView* log_;
};

}  // namespace tornavo

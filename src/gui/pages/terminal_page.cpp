#include "gui/pages/terminal_page.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "core/serial/serial_transport.h"
#include "core/serial/terminal.h"
#include "core/settings/settings.h"
#include "core/texts/text_names.h"
#include "core/texts/texts.h"
#include "gui/log_view.h"

namespace tornavo {

TerminalPage::TerminalPage(AppServices& services, QWidget* parent)
    : QWidget(parent), services_(services) {
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  port_ = new QLabel(this);
  command_ = new QLineEdit(this);
  command_->setFont(fixed);
  command_->installEventFilter(this);
  log_ = new LogView(services.texts, services.dialogs, services.boxes, this);
  log_->setFont(fixed);
  auto* input = new QHBoxLayout;
  input->setSpacing(6);
  input->addWidget(port_);
  input->addWidget(command_, 1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  // The input line under the log, where the newest lines appear.
  layout->addWidget(log_, 1);
  layout->addLayout(input);
  connect(command_, &QLineEdit::returnPressed, this, &TerminalPage::SendTypedCommand);
  history_.Load(services.settings.ini_folder() + QString::fromLatin1(CommandHistory::kFileName));
  ShowPort();
}

void TerminalPage::ApplyTexts() {
  log_->ApplyTexts();
  ShowPort();
}

void TerminalPage::ShowPort() {
  const Texts& t = services_.texts;
  const QString name = services_.transport.settings().name;
  QString shown = name.isEmpty() ? t.Key(text_key::kNinguno) : name;
  if (!name.isEmpty() && !services_.transport.IsOpen())
    shown = t.Format(text_key::kPuertoCerrado, {name});
  port_->setText(t.Key(text_key::kPuerto) + shown);
}

void TerminalPage::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // The port is chosen on another page.
  ShowPort();
}

void TerminalPage::SendTypedCommand() {
  const QString command = command_->text();
  if (!services_.terminal.Submit(command)) return;
  command_->clear();
  history_.Add(command);
  // Kept at once: a command sent is worth having again even after a crash. A history that
  // cannot be stored costs nothing else.
  QString ignored;
  history_.Save(&ignored);
  ShowPort();
}

bool TerminalPage::eventFilter(QObject* watched, QEvent* event) {
  if (watched == command_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
      command_->setText(key == Qt::Key_Up ? history_.Older(command_->text()) : history_.Newer());
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace tornavo

#include "gui/pages/terminal_page.h"

#include <QFontDatabase>
#include <QLineEdit>
#include <QVBoxLayout>

#include "core/serial/terminal.h"
#include "gui/log_view.h"

namespace tornavo {

TerminalPage::TerminalPage(AppServices& services, QWidget* parent)
    : QWidget(parent), services_(services) {
  command_ = new QLineEdit(this);
  command_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  log_ = new LogView(services.texts, services.dialogs, services.boxes, this);
  log_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  // The input line under the log, where the newest lines appear.
  layout->addWidget(log_, 1);
  layout->addWidget(command_);
  connect(command_, &QLineEdit::returnPressed, this, &TerminalPage::SendTypedCommand);
}

void TerminalPage::ApplyTexts() { log_->ApplyTexts(); }

void TerminalPage::SendTypedCommand() {
  if (services_.terminal.Submit(command_->text())) command_->clear();
}

}  // namespace tornavo

#include "gui/section_dialog.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/texts/text_names.h"
#include "core/texts/texts.h"

namespace tornavo {

TForm4::TForm4(AppServices& services, QWidget* parent) : QDialog(parent), services_(services) {
  setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  prompt_ = new QLabel(this);
  table_ = new QTableWidget(0, 2, this);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setTabKeyNavigation(false);  // Tab goes on to "Ok"
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->setColumnWidth(0, 110);
  ok_ = new QPushButton(this);
  ok_->setDefault(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(prompt_);
  layout->addWidget(table_, 1);
  layout->addWidget(ok_, 0, Qt::AlignHCenter);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(table_, &QTableWidget::cellDoubleClicked, this, &QDialog::accept);
  resize(280, 220);
  ApplyTexts();
}

void TForm4::ApplyTexts() {
  const Texts& t = services_.texts;
  setWindowTitle(t.Key(text_key::kSeccionesActivas));
  prompt_->setText(t.Key(text_key::kEligeUnaDeLasSiguientes));
  table_->setHorizontalHeaderLabels({t.Key(text_key::kSeccion), t.Key(text_key::kContenido)});
  ok_->setText(t.Key(text_key::kOk));
}

void TForm4::Fill(const char* tag, const std::vector<int64_t>& sections) {
  // The channel sections show six digits at least, the transponder sections two.
  const int digits = QByteArray(tag) == kChannelTag ? 6 : 2;
  table_->setRowCount(static_cast<int>(sections.size()));
  for (int r = 0; r < static_cast<int>(sections.size()); ++r) {
    table_->setItem(r, 0,
                    new QTableWidgetItem(
                        QStringLiteral("%1")
                            .arg(sections[static_cast<size_t>(r)], digits, 16, QLatin1Char('0'))
                            .toUpper()));
    table_->setItem(r, 1, new QTableWidgetItem(QString::fromLatin1(tag)));
  }
  table_->setCurrentCell(0, 0);
}

int64_t TForm4::CurrentSection() const {
  const QTableWidgetItem* item = table_->item(std::max(table_->currentRow(), 0), 0);
  return item ? item->text().toLongLong(nullptr, 16) : -1;
}

std::optional<int64_t> TForm4::ChooseSection(const char* tag,
                                             const std::vector<int64_t>& sections) {
  Fill(tag, sections);
  // Esc closes the dialog too; that gives the load up.
  if (exec() != QDialog::Accepted) return std::nullopt;
  return CurrentSection();
}

}  // namespace tornavo

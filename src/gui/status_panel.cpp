#include "gui/status_panel.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>

namespace tornavo {

StatusPanel::StatusPanel(QWidget* parent) : QGroupBox(parent) {
  auto* grid = new QGridLayout(this);
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  for (int i = 0; i < kStatusFieldCount; ++i) {
    captions_[i] = new QLabel(this);
    values_[i] = new QLabel(this);
    values_[i]->setFont(fixed);
    values_[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    values_[i]->setMinimumWidth(
        QFontMetrics(fixed).horizontalAdvance(QStringLiteral("0000000000")));
    grid->addWidget(captions_[i], i, 0);
    grid->addWidget(values_[i], i, 1);
  }
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void StatusPanel::SetCaptions(const QString& group,
                              const std::array<QString, kStatusFieldCount>& labels) {
  setTitle(group);
  for (int i = 0; i < kStatusFieldCount; ++i) captions_[i]->setText(labels[i]);
}

void StatusPanel::Show(const ProgressReport& report) {
  for (int f = 0; f < kStatusFieldCount; ++f)
    if (const auto& text = report.text(static_cast<StatusField>(f))) values_[f]->setText(*text);
}

QString StatusPanel::Value(StatusField field) const {
  return values_[static_cast<int>(field)]->text();
}

}  // namespace tornavo

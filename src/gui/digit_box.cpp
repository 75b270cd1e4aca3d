#include "gui/digit_box.h"

#include <QLineEdit>

namespace tornavo {

QString KeepDigits(const QString& text, const QString& default_text, bool one_separator) {
  QString kept;
  bool separator = false;
  for (const QChar c : text) {
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
      kept += c;
    } else if (one_separator && (c == QLatin1Char(',') || c == QLatin1Char('.')) && !separator) {
      kept += c;
      separator = true;
    }
  }
  return kept.isEmpty() ? default_text : kept;
}

void BindDigitBox(QLineEdit* box, int max_length, const QString& default_text, qint64 limit,
                  const QString& over_limit_text) {
  BindDigitBox(
      box, max_length, default_text, [limit] { return limit; }, over_limit_text);
}

void BindDigitBox(QLineEdit* box, int max_length, const QString& default_text,
                  std::function<qint64()> limit, const QString& over_limit_text) {
  box->setMaxLength(max_length);
  QObject::connect(box, &QLineEdit::textChanged, box, [box, default_text](const QString& text) {
    const QString kept = KeepDigits(text, default_text);
    if (kept != text) box->setText(kept);
  });
  QObject::connect(box, &QLineEdit::editingFinished, box, [box, limit, over_limit_text] {
    if (box->text().toLongLong() > limit()) box->setText(over_limit_text);
  });
}

}  // namespace tornavo

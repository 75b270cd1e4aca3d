#pragma once

#include <QString>
#include <functional>

class QLineEdit;

namespace tornavo {

// The dialogs' number boxes: on every change each character that is not a decimal digit is
// removed and an emptied box gets its default text; on leaving, a value above the limit
// becomes the text given for it.
void BindDigitBox(QLineEdit* box, int max_length, const QString& default_text, qint64 limit,
                  const QString& over_limit_text);
// The same with a limit that is looked up each time the box is left.
void BindDigitBox(QLineEdit* box, int max_length, const QString& default_text,
                  std::function<qint64()> limit, const QString& over_limit_text);

// Digits only, an emptied box gets its default (the target row box, the frequency box, which
// also keeps its first decimal separator, comma or point).
QString KeepDigits(const QString& text, const QString& default_text, bool one_separator = false);

}  // namespace tornavo

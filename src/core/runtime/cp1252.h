#pragma once

#include <QByteArray>
#include <QString>

namespace tornavo {

// Windows-1252, the 8-bit text of the receiver's files and the settings file. Characters
// with no code become '?'.
QByteArray ToCp1252(const QString& text);
QString FromCp1252(const QByteArray& bytes);

}  // namespace tornavo

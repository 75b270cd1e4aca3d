#include "core/app/text_file.h"

#include <QFile>
#include <QSaveFile>

#include "core/app/cp1252.h"

namespace tornavo {

bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
    if (error) *error = QStringLiteral("%1: %2").arg(path, file.errorString());
    return false;
  }
  return true;
}

QByteArray EncodeLines8Bit(const QStringList& lines) {
  QByteArray out;
  for (const QString& line : lines) {
    out += ToCp1252(line);
    out += "\r\n";
  }
  return out;
}

bool ReadWholeFile(const QString& path, QByteArray* bytes, QString* error) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    if (error) *error = QStringLiteral("%1: %2").arg(path, file.errorString());
    return false;
  }
  *bytes = file.readAll();
  return true;
}

}  // namespace tornavo

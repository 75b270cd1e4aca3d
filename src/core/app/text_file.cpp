#include "core/app/text_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "core/app/cp1252.h"

namespace tornavo {

namespace {

bool Fail(const QString& path, const QFileDevice& file, QString* error) {
  if (error) *error = QStringLiteral("%1: %2").arg(path, file.errorString());
  return false;
}

// Devices and FIFOs take the bytes as a stream: unbuffered, so that a failure shows here.
bool WriteInPlace(const QString& path, const QByteArray& bytes, QString* error) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return Fail(path, file, error);
  qsizetype done = 0;
  while (done < bytes.size()) {
    const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
    if (written <= 0) return Fail(path, file, error);
    done += written;
  }
  return true;
}

bool NoName(QString* error) {
  if (error) *error = QStringLiteral("No file name given.");
  return false;
}

}  // namespace

bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error) {
  if (path.isEmpty()) return NoName(error);
  const QFileInfo info(path);
  if (info.exists() && !info.isFile() && !info.isDir()) return WriteInPlace(path, bytes, error);
  // The link's target is replaced, not the link.
  const QString target = info.isSymLink() && info.exists() ? info.canonicalFilePath() : path;
  QSaveFile file(target);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
    return Fail(path, file, error);
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

bool ReadWholeFile(const QString& path, QByteArray* bytes, QString* error, qsizetype max_bytes,
                   bool* too_long) {
  if (too_long) *too_long = false;
  if (path.isEmpty()) return NoName(error);
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return Fail(path, file, error);
  // A regular file's size is known before reading; a device's or a FIFO's only by reading,
  // and never more than one byte past the limit.
  QByteArray read = file.size() > max_bytes ? QByteArray() : file.read(max_bytes + 1);
  if (file.error() != QFileDevice::NoError) return Fail(path, file, error);
  if (file.size() > max_bytes || read.size() > max_bytes) {
    if (too_long) *too_long = true;
    if (error) *error = QStringLiteral("%1: longer than %2 bytes").arg(path).arg(max_bytes);
    return false;
  }
  *bytes = read;
  return true;
}

}  // namespace tornavo

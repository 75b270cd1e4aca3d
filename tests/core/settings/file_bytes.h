#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace tornavo {

// Whole files in and out, for the tests that lay out and inspect settings folders.
inline bool WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Empty when the file cannot be read.
inline QByteArray ReadBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace tornavo

#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tornavo {

// Replaces a file atomically: a crash or a full disk leaves the previous file whole.
// On failure returns false and sets *error to the system's text.
bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error);

// Lines as 8-bit Windows-1252 text, each followed by CR LF.
QByteArray EncodeLines8Bit(const QStringList& lines);

// Reads a whole file; on failure returns false and sets *error.
bool ReadWholeFile(const QString& path, QByteArray* bytes, QString* error);

}  // namespace tornavo

#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tornavo {

// Replaces a file atomically: a crash or a full disk leaves the previous file whole, and no
// temporary file outlives the next save of the same file. A symbolic link stays a link (its
// target is replaced, or created when it is missing); an existing target that is not a
// regular file (a device, a FIFO) is written in place, as replacing it would lose it.
// On failure returns false and sets *error to the system's text.
bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error);
// Whether WriteFileAtomically could write path now, asked before work whose result it would
// write: false, with the system's text in *error, for a missing or closed folder, a folder in
// the file's place, or a device that cannot be opened for writing.
bool FileCanBeWritten(const QString& path, QString* error);

// Lines as 8-bit Windows-1252 text, each followed by CR LF: the files the tool reads back.
QByteArray EncodeLines8Bit(const QStringList& lines);
// Lines as UTF-8, each followed by CR LF: text only people read, such as a saved log.
QByteArray EncodeLinesUtf8(const QStringList& lines);

// Reads a whole file of at most max_bytes, reading no more than that; on failure returns
// false and sets *error, and *too_long (when given) tells a file that was longer.
bool ReadWholeFile(const QString& path, QByteArray* bytes, QString* error,
                   qsizetype max_bytes = 4 * 1024 * 1024, bool* too_long = nullptr);

}  // namespace tornavo

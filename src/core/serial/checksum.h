#pragma once

#include <QByteArray>

namespace tornavo {

// The command text followed by its checksum: the complement of the XOR of every character
// after the first, as two upper-case hexadecimal digits ("%EE?00010" -> "%EE?00010F1").
QByteArray AppendChecksum(const QByteArray& text);

}  // namespace tornavo

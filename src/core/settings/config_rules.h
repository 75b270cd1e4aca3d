#pragma once

#include <QString>

namespace tornavo {

// The editing rules of the configuration page's boxes and lists, as plain functions so that
// the window and the command line agree.

// "Posición TCS :" and "Posición TPT :" never select the same entry: a list changed onto the
// other's entry steps back one entry, or to entry 1 from entry 0. Returns the changed list's
// new index.
int SeparatePosition(int changed, int other);

// An address list's text while it is typed: an empty text becomes the list's first entry,
// any other is turned to upper case and keeps its hexadecimal digits only.
QString FilterAddressText(const QString& text, const QString& first_entry);

// The trap address on leaving its box: rounded down to a multiple of 4, eight digits.
QString RoundTrapAddress(const QString& text);

// An LNB frequency box: decimal digits only, at most 5; an emptied box gets its default.
inline constexpr int kLnbMaximumLength = 5;
QString FilterLnbText(const QString& text, const QString& fallback);

// The two satellite name boxes: an emptied box gets "A" or "B"; equal names reset both.
void FixSatelliteNames(QString* name_a, QString* name_b);

}  // namespace tornavo

#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

#include "core/channels/text_grid.h"

namespace tornavo {

// What clipboard text holds: 0 nothing to paste, 2 channel rows, 3 transponder rows.
inline constexpr int kClipboardNothing = 0;
inline constexpr int kClipboardChannels = 2;
inline constexpr int kClipboardTransponders = 3;
int ClipboardKind(const QString& text);
// The rows pasted text holds: one per CR, split into their TAB-separated fields.
std::vector<QStringList> ClipboardRows(const QString& text);

// Rows top ... bottom, columns 0 to 10, each cell followed by a TAB and each row by CR LF:
// the clipboard text and, from row 0 on, the text export.
QString RowsText(const TextGrid& grid, int top, int bottom);
QString GridText(const TextGrid& grid);
// The text export as a file holds it (8-bit).
QByteArray GridTextFile(const TextGrid& grid);
// One HTML table; channel rows take their colours.
QByteArray GridHtmlFile(const TextGrid& grid, bool channel_table);

}  // namespace tornavo

#include "core/channels/clipboard_text.h"

#include "core/channels/table_records.h"
#include "core/runtime/cp1252.h"

namespace tornavo {

namespace {

constexpr qsizetype kClipboardLimit = 65535;

QString HtmlColour(const Rgb& colour) {
  return QStringLiteral("%1%2%3")
      .arg(colour.red, 2, 16, QLatin1Char('0'))
      .arg(colour.green, 2, 16, QLatin1Char('0'))
      .arg(colour.blue, 2, 16, QLatin1Char('0'))
      .toUpper();
}

}  // namespace

int ClipboardKind(const QString& text) {
  const QString head = text.left(kClipboardLimit);
  const qsizetype tabs = head.count(QLatin1Char('\t'));
  if (tabs == 0 || tabs % 11 != 0) return kClipboardNothing;
  qsizetype at = -1;
  for (int i = 0; i < 7; ++i) at = head.indexOf(QLatin1Char('\t'), at + 1);
  return head.mid(at + 1, 1) == QLatin1String("O") ? kClipboardTransponders : kClipboardChannels;
}

std::vector<QStringList> ClipboardRows(const QString& text) {
  std::vector<QStringList> rows;
  qsizetype start = 0;
  for (qsizetype cr = text.indexOf(QLatin1Char('\r')); cr != -1;
       cr = text.indexOf(QLatin1Char('\r'), start)) {
    QStringView line = QStringView(text).mid(start, cr - start);
    if (line.startsWith(QLatin1Char('\n'))) line = line.mid(1);
    QStringList fields;
    for (const QStringView field : line.split(QLatin1Char('\t'))) fields.append(field.toString());
    rows.push_back(std::move(fields));
    start = cr + 1;
  }
  return rows;
}

QString RowsText(const TextGrid& grid, int top, int bottom) {
  QString text;
  for (int r = std::max(top, 0); r <= bottom && r < grid.rows(); ++r) {
    for (int c = 0; c < TextGrid::kColumns; ++c) {
      text += grid.Cell(r, c);
      text += QLatin1Char('\t');
    }
    text += QLatin1String("\r\n");
  }
  return text;
}

QString GridText(const TextGrid& grid) { return RowsText(grid, 0, grid.rows() - 1); }

QByteArray GridTextFile(const TextGrid& grid) { return ToCp1252(GridText(grid)); }

QByteArray GridHtmlFile(const TextGrid& grid, bool channel_table) {
  QString html = QStringLiteral("<table bgcolor=#FFFFFF border=1 cellspacing=0 cellpadding=2>\n");
  for (int r = 0; r < grid.rows(); ++r) {
    html += QLatin1String(" <tr>\n");
    const QString colour = r == 0          ? QStringLiteral("C0C0C0")
                           : channel_table ? HtmlColour(ChannelRowColour(grid, r))
                                           : QStringLiteral("FFFFFF");
    for (int c = 0; c < TextGrid::kColumns; ++c) {
      const bool heading = r == 0 || c == 0;
      const bool left = r > 0 && c == 1 && channel_table;
      const QString tag = heading ? QStringLiteral("th") : QStringLiteral("td");
      const QString text = grid.Cell(r, c).toHtmlEscaped();
      html += QStringLiteral("  <%1 align=%2 bgcolor=#%3>%4</%1>\n")
                  .arg(tag, left ? QStringLiteral("left") : QStringLiteral("center"),
                       heading ? QStringLiteral("C0C0C0") : colour,
                       text.isEmpty() ? QStringLiteral("&nbsp;") : text);
    }
    html += QLatin1String(" </tr>\n");
  }
  html += QLatin1String("</table>\n");
  return ToCp1252(html);
}

}  // namespace tornavo

#include "cli/section_options.h"

#include <QStringList>
#include <algorithm>

#include "core/channels/table_records.h"

namespace tornavo::cli {

void AddSectionOptions(QCommandLineParser& parser) {
  parser.addOptions(
      {{"section-tcs", "The channel section to use when there are several.", "HEX"},
       {"section-tpt", "The transponder section to use when there are several.", "HEX"}});
}

std::optional<int64_t> OptionChooser::ChooseSection(const char* tag,
                                                    const std::vector<int64_t>& sections) {
  const bool channels = QByteArray(tag) == kChannelTag;
  const QString& given = channels ? tcs_ : tpt_;
  bool ok = false;
  const int64_t value = given.toLongLong(&ok, 16);
  if (ok && std::find(sections.begin(), sections.end(), value) != sections.end()) return value;
  QStringList shown;
  for (const int64_t p : sections) shown << QStringLiteral("%1").arg(p, 6, 16, QLatin1Char('0'));
  problem_ = QStringLiteral("the image holds several %1 sections (%2); choose one with %3.")
                 .arg(QString::fromLatin1(tag), shown.join(", ").toUpper(),
                      channels ? "--section-tcs" : "--section-tpt");
  return std::nullopt;
}

}  // namespace tornavo::cli

#pragma once

#include <QCommandLineParser>
#include <QString>

#include "core/channels/channel_list.h"

namespace tornavo {
class Texts;
}

namespace tornavo::cli {

// The options that pick one section when an image holds several of a table.
void AddSectionOptions(QCommandLineParser& parser);

// Answers the section question from --section-tcs / --section-tpt; without an answer the
// load fails and problem() lists the sections.
class OptionChooser : public SectionChooser {
 public:
  OptionChooser(const QString& tcs, const QString& tpt) : tcs_(tcs), tpt_(tpt) {}
  explicit OptionChooser(const QCommandLineParser& parser)
      : OptionChooser(parser.value("section-tcs"), parser.value("section-tpt")) {}

  std::optional<int64_t> ChooseSection(const char* tag,
                                       const std::vector<int64_t>& sections) override;
  const QString& problem() const { return problem_; }
  // Why a load failed: no channel section, no transponder section, or no choice among
  // several; empty for a load that succeeded.
  QString LoadProblem(LoadResult result, const QByteArray& file, const Texts& texts) const;

 private:
  QString tcs_, tpt_, problem_;
};

}  // namespace tornavo::cli

#pragma once

#include <QCommandLineParser>
#include <QString>

#include "core/channels/channel_list.h"
#include "core/session/channel_service.h"

namespace tornavo::cli {

// The options that pick one section when an image holds several of a table.
void AddSectionOptions(QCommandLineParser& parser);

// Answers the section question from --section-tcs / --section-tpt; without an answer the
// load fails and Problem names the sections.
class OptionChooser : public SectionChooser {
 public:
  OptionChooser(const QString& tcs, const QString& tpt) : tcs_(tcs), tpt_(tpt) {}
  explicit OptionChooser(const QCommandLineParser& parser)
      : OptionChooser(parser.value("section-tcs"), parser.value("section-tpt")) {}

  std::optional<int64_t> ChooseSection(const char* tag,
                                       const std::vector<int64_t>& sections) override;
  // Why a load failed: its refusal, or the sections to choose among; empty for a load that
  // succeeded.
  QString Problem(const ChannelLoad& load) const {
    return load.kind == ChannelLoad::Kind::kGivenUp ? problem_ : load.error;
  }

 private:
  QString tcs_, tpt_, problem_;
};

}  // namespace tornavo::cli

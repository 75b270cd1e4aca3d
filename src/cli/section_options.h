#pragma once

#include <QString>

#include "core/channels/channel_list.h"

namespace tornavo::cli {

// Answers the section question from --section-tcs / --section-tpt; without an answer the
// load fails and problem() lists the sections.
class OptionChooser : public SectionChooser {
 public:
  OptionChooser(const QString& tcs, const QString& tpt) : tcs_(tcs), tpt_(tpt) {}

  std::optional<int64_t> ChooseSection(const char* tag,
                                       const std::vector<int64_t>& sections) override;
  const QString& problem() const { return problem_; }

 private:
  QString tcs_, tpt_, problem_;
};

}  // namespace tornavo::cli

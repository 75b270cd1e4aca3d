#include "sim/target_cable.h"

#include "core/runtime/text_file.h"
#include "sim/trap_stand_in.h"
#include "sim/virtual_catalogue.h"

namespace tornavo::sim {

namespace {

// A cable that owns its target.
class OwnTargetCable : public TargetCable {
 public:
  explicit OwnTargetCable(std::unique_ptr<JtagTarget> target)
      : TargetCable(*target, *target, Chips::kErased), target_(std::move(target)) {}

 private:
  std::unique_ptr<JtagTarget> target_;
};

}  // namespace

TargetCable::TargetCable(JtagTarget& target, PortRegisters& registers, Chips chips)
    : target_(target), registers_(registers), chips_(chips) {}

void TargetCable::Follow(const std::array<FlashChipDescription, 2>& chips) {
  if (chips_ == Chips::kKeepBytes) {
    FollowFlashChips(target_, chips);
    return;
  }
  for (int c = 0; c < 2; ++c) {
    const FlashChipDescription& chip = chips[c];
    if (!FlashChipProblem(chip).empty()) continue;
    const int target_chip = c == 0 ? 1 : 0;  // the target lists the channel chip first
    target_.SetFlashChip(target_chip, chip.start, chip.size());
    target_.SetFlashBlocks(target_chip,
                           std::vector<uint32_t>(chip.block_offsets.begin(),
                                                 chip.block_offsets.begin() + chip.num_blocks + 1));
  }
}

QString TargetCable::TrapStandIn(QString* error) {
  if (!stand_in_.isEmpty()) return stand_in_;
  if (!stand_in_dir_) stand_in_dir_ = std::make_unique<QTemporaryDir>();
  if (!stand_in_dir_->isValid()) {
    if (error) *error = stand_in_dir_->errorString();
    return {};
  }
  const QString path = stand_in_dir_->filePath(QStringLiteral("trap.bin"));
  if (WriteFileAtomically(path, sim::TrapStandIn(), error)) stand_in_ = path;
  return stand_in_;
}

std::unique_ptr<VirtualCable> MakeCommandTargetCable(const QStringList& faults, QString* unknown) {
  auto target = std::make_unique<JtagTarget>();
  for (const QString& fault : faults) {
    if (!target->ApplyFault(fault)) {
      if (unknown) *unknown = fault;
      return nullptr;
    }
  }
  return std::make_unique<OwnTargetCable>(std::move(target));
}

}  // namespace tornavo::sim

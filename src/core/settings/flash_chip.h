#pragma once

#include <QString>
#include <array>
#include <cstdint>

#include "core/texts/texts.h"

namespace tornavo {

// One flash chip of the receiver as its flash type file describes it. Block k spans
// start + block_offsets[k] up to start + block_offsets[k + 1]; the chip ends at
// start + block_offsets[num_blocks].
struct FlashChipDescription {
  static constexpr int kMaximumBlocks = 1024;
  static constexpr int kOffsetCount = kMaximumBlocks + 1;  // block0 ... block1024

  uint32_t start = 0;
  int num_blocks = 1;         // 0 ... kMaximumBlocks
  uint8_t erasure_mode = 48;  // passed to the trap routine as it stands
  std::array<uint32_t, kOffsetCount> block_offsets{};
  // Why no flash operation may use this description (names the file), empty when usable.
  TextRef problem;

  uint32_t size() const { return block_offsets[num_blocks]; }
};

// Reads the flash type file "<folder><type>.ini" (section named like the type) into the
// description, keeping its start address. A missing file, or no type at all, gives the
// built-in values: one block, erase parameter 48, every offset 0. A block count outside
// 0 ... 1024 is brought into that range so that the offset table is never read past its end.
// A missing file, a block count outside 1 ... 1024 or offsets that do not rise leave a
// problem text naming the file, so that no block of zero or negative length ever reaches an
// erase.
void LoadFlashType(const QString& ini_folder, const QString& type, FlashChipDescription* chip);

// The problem, else a block table that does not rise (however it was filled) or a chip that
// with its start would run past FFFFFFFF. Empty when flash operations may use it.
TextRef FlashChipProblem(const FlashChipDescription& chip);

// Address text of the flash and trap boxes: up to 8 hexadecimal digits. Returns false for
// an empty text, a non-hexadecimal character or more than 32 bits.
bool ParseHexAddress(const QString& text, uint32_t* value);

}  // namespace tornavo

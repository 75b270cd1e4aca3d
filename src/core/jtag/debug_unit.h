#pragma once

#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstdint>
#include <span>

#include "core/jtag/tap_driver.h"
#include "core/lpt/timing.h"
#include "core/runtime/operation_host.h"
#include "core/texts/texts.h"

namespace tornavo {

// Target addresses of the debug unit and the trap routine.
inline constexpr uint32_t kDcuStatusRegister = 0x3000;
inline constexpr uint32_t kDcuRunRegister = 0x3004;
inline constexpr uint32_t kCommandBlockPointer = 0x80000048;
inline constexpr uint32_t kTrapVectorAddress = 0x8000004C;
inline constexpr uint32_t kTrapRunningValue = 0x00060000;
inline constexpr int kTrapSize = 696;
inline constexpr uint32_t kTrapBufferOffset = 0x500;
inline constexpr int kReadBlockMax = 256;
inline constexpr int kWriteChunk = 252;
inline constexpr const char* kTrapFileName = "trap.bin";

// Trap command codes.
inline constexpr uint32_t kTrapProgram = 0x100;
inline constexpr uint32_t kTrapEraseBlock = 0x200;
inline constexpr uint32_t kTrapEraseChip = 0x400;
inline constexpr uint32_t kTrapReadEeprom = 0x800;
inline constexpr uint32_t kTrapWriteEeprom = 0x1000;

// The places "trap.bin" is looked for, in order: beside the executable, then the settings
// folder. An explicit file replaces both.
QStringList TrapFilePlaces(const QString& executable_folder, const QString& ini_folder,
                           const QString& explicit_file = {});

// Target memory through the debug unit's messages on the DCU link, and the trap routine's
// remote commands. Runs inside an acquired port; logs and the status panel go to the JTAG
// page of the host.
// The part of a written range that the progress bar counts: the rest only rewrites what was
// there before.
struct CountedSpan {
  uint32_t offset = 0;
  uint32_t length = UINT32_MAX;
  uint32_t Of(uint32_t done) const { return done <= offset ? 0 : std::min(done - offset, length); }
};

class DebugUnit {
 public:
  DebugUnit(TapDriver& tap, MonotonicClock& clock, OperationHost& host, const Texts& texts)
      : tap_(tap), clock_(clock), host_(host), texts_(texts) {}

  void DcuResetSequence();
  void DcuReleaseReset();
  // Whether this unit has shown a box of its own (unreadable status, trap missing or not
  // loaded), so that the operation does not show a second one for the same failure.
  bool error_shown() const { return error_shown_; }

  // Reads one block from address. Returns the count the target announced (4 to 256) when
  // every byte of it arrived, else 0. Only the first buffer.size() bytes are kept, so a
  // block never runs past the end of the buffer.
  int DcuReadBlock(uint32_t address, std::span<uint8_t> buffer);
  // n a multiple of 4 up to 252. Returns n when every byte was accepted, else 0.
  int DcuWriteBlock(uint32_t address, const uint8_t* data, int n);
  bool DcuWriteWord(uint32_t address, uint32_t value);
  bool DcuReadWord(uint32_t address, uint32_t* value);

  // Blocks until length bytes are in the buffer or a block fails; the bytes read. Never
  // writes past the end of the buffer.
  uint32_t ReadRangeWithProgress(std::span<uint8_t> buffer, uint32_t address, uint32_t length);
  uint32_t WriteRangeWithProgress(const uint8_t* data, uint32_t address, uint32_t display_base,
                                  uint32_t progress_base, uint32_t length,
                                  CountedSpan counted = {});
  // With verify, the bytes written are read back: the count is then of those found equal, from
  // the start up to the first that differs.
  uint32_t LoadRamImage(const uint8_t* data, uint32_t address, uint32_t length,
                        bool verify = false);
  // How many of length bytes from address, from the first on, read back equal to data.
  uint32_t ReadBackEqual(const uint8_t* data, uint32_t address, uint32_t length);

  // Loads the first of places that opens, unless the trap already runs.
  bool StartTrap(uint32_t trap_address, const QStringList& places);
  bool InstallTrapVector(uint32_t trap_address);

  // The five trap commands. The data ones pass through the trap buffer, trap address + 0x500.
  // progress_base: where this write starts within the whole operation, for the progress bar;
  // counted: the bytes of it the bar counts.
  bool TrapProgramFlash(uint32_t trap_address, uint32_t destination, const uint8_t* data,
                        uint32_t count, uint32_t chip_base, uint32_t progress_base = 0,
                        CountedSpan counted = {});
  bool TrapEraseBlock(uint32_t block, uint32_t chip_base, uint32_t erase_parameter);
  bool TrapEraseChip(uint32_t chip_base);
  // The bytes read into out (at most its size), 0 when the command failed.
  uint32_t TrapReadEeprom(uint32_t trap_address, uint32_t start, uint32_t length,
                          std::span<uint8_t> out);
  bool TrapWriteEeprom(uint32_t trap_address, uint32_t start, const uint8_t* data, uint32_t length);

  TapDriver& tap() { return tap_; }

 private:
  struct Field {
    uint32_t offset;
    uint32_t value;
  };
  void Log(const QString& line);
  // Empties the link; false when it is still delivering after limit bytes.
  bool Drain(int limit);
  bool PostCommand(uint32_t code, std::initializer_list<Field> fields, int poll_limit,
                   int after_slot = -1);
  void ShowRate(uint32_t done, uint32_t length, uint64_t start_ms, bool spaced, uint32_t progress,
                uint32_t shown_address);

  TapDriver& tap_;
  MonotonicClock& clock_;
  OperationHost& host_;
  const Texts& texts_;
  bool error_shown_ = false;
};

}  // namespace tornavo

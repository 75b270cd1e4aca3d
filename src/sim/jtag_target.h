#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <vector>

#include "core/lpt/port_registers.h"
#include "sim/eeprom_bytes.h"

namespace tornavo::sim {

inline constexpr uint32_t kIdcodeSti5510 = 0x2D4CD041;
inline constexpr uint32_t kIdcodeSti5512 = 0x5D406041;

// The receiver's memory as the debug unit sees it.
inline constexpr uint32_t kRamStart = 0x40000000;
inline constexpr uint32_t kRamSize = 0x200000;
inline constexpr uint32_t kRamChannelTable = 0x401289A0;
inline constexpr uint32_t kVideoStart = 0xC00D0000;
inline constexpr uint32_t kVideoSize = 0x98000;
inline constexpr uint32_t kDcuStatus = 0x3000;
inline constexpr uint32_t kDcuRun = 0x3004;
inline constexpr uint32_t kCommandBlockPointer = 0x80000048;
inline constexpr uint32_t kTrapVector = 0x8000004C;
inline constexpr uint32_t kTrapSize = 696;
// Where the target keeps the trap's command block, and what 0x3004 holds once it runs.
inline constexpr uint32_t kTargetCommandBlock = 0x40000100;
inline constexpr uint32_t kTrapRunning = 0x00060000;

// How the target misbehaves, switched on by name for the command line and the window.
struct JtagFaults {
  bool no_target = false;      // nothing on the cable: TDO floats high
  bool tdo_stuck_low = false;  // TDO shorted low
  bool no_ack = false;         // bytes from the host are neither taken nor acknowledged
  bool late_ack = false;       // acknowledge after the byte (0, 1, 0) instead of during it
  int slow_start = 0;          // clocks of silence before each answer
  int busy_patterns = 0;       // 0, 1, 0 patterns before each answer (keep the host waiting)
  int short_read = 0;          // bytes per read block when not 0 (a multiple of 4, up to 252)
  uint8_t header_tag = 0;      // low two bits set in every read header (the host ignores them)
  bool trap_silent = false;    // the trap never answers on 0x3004
  int trap_late_reads = 0;     // 0x3004 reads that still miss the trap's answer after the start
  // The next N erase (program) commands change nothing and never report completion.
  int erase_failures = 0;
  int program_failures = 0;
  int verify_failures = 0;      // the next N program commands clear one bit too many
  int flash_read_failures = 0;  // the next N reads of flash get no answer
};

// The JTAG side of the virtual receiver: an IEEE 1149.1 TAP clocked by the TCK edges written
// to the data register (TMS bit 0, TCK bit 1, TDI bit 2, DCU reset bit 3), TDO on the Select
// status line. A 5-bit instruction register: IDCODE 0x02, the DCU link 0x10 (an endless bit
// stream carrying the debug unit's read and write messages), every other code a bypass bit.
// Behind the debug unit: RAM, two flash chips, video memory, the DCU registers and a trap
// emulation that runs the command block on the flash models and an I2C EEPROM. Thread-safe.
class JtagTarget : public PortRegisters {
 public:
  explicit JtagTarget(uint32_t idcode = kIdcodeSti5510);

  bool Acquire(QString* error) override;
  void Release() override;
  uint8_t Read(PortRegister reg) override;
  void Write(PortRegister reg, uint8_t value) override;

  void SetIdcode(uint32_t idcode);
  void SetFaults(const JtagFaults& faults);
  JtagFaults faults() const;
  // "jtag-none", "jtag-tdo-low", "jtag-no-ack", "jtag-late-ack", "jtag-slow-start[:N]",
  // "jtag-busy:N", "jtag-short-read:N", "jtag-trap-silent", "jtag-trap-late:N",
  // "jtag-erase-fail:N", "jtag-program-fail:N", "jtag-verify-fail:N", "jtag-read-fail:N",
  // "jtag-sti5512"; false for an unknown name.
  bool ApplyFault(const QString& name);

  // A flash chip at start, size bytes, erased. Index 0 or 1; a later call replaces it. Chip 0
  // starts at 0x7FE00000 holding a channel list, chip 1 at 0x60000000, both 2 MiB.
  void SetFlashChip(int index, uint32_t start, uint32_t size);
  // The chip's block offsets from its start, as a flash type file lists them (block0 ...
  // blockN, rising); a block erase then clears the listed block holding its address. Without
  // a table, blocks are 64 KiB.
  void SetFlashBlocks(int index, std::vector<uint32_t> offsets);
  // Lays chip index out as a flash type file describes it: offsets are block0 ... blockN
  // (rising, the last one the size). The contents stay when start and size are unchanged;
  // otherwise the chip is new and erased. Sizes of 0 or above kMaximumFlashSize are ignored.
  void ShapeFlashChip(int index, uint32_t start, std::vector<uint32_t> offsets);
  static constexpr uint32_t kMaximumFlashSize = 0x4000000;
  // Erase and program commands the trap ran on the flash chips.
  int flash_erases() const;
  int flash_programs() const;
  // Puts bytes into whatever memory lies there (RAM, flash, video), skipping unmapped bytes.
  void Load(uint32_t address, const QByteArray& bytes);
  // Bytes as the debug unit would read them; unmapped bytes read 0.
  QByteArray Memory(uint32_t address, uint32_t length) const;

  // The EEPROM the trap reads and writes. By default a private copy; the virtual receiver
  // hands in its own so that both cables see one chip.
  void SetEepromAccess(std::function<EepromBytes()> get,
                       std::function<void(const EepromBytes&)> set);
  EepromBytes Eeprom() const;

  bool trap_running() const;
  // Trap commands executed, and the TCK edges seen, for tests and the benchmark.
  int trap_commands() const;
  uint64_t edges() const;
  // Read messages served for this start address.
  int reads_of(uint32_t address) const;

 private:
  enum class Tap : uint8_t {
    kReset,
    kIdle,
    kSelectDr,
    kCaptureDr,
    kShiftDr,
    kExit1Dr,
    kPauseDr,
    kExit2Dr,
    kUpdateDr,
    kSelectIr,
    kCaptureIr,
    kShiftIr,
    kExit1Ir,
    kPauseIr,
    kExit2Ir,
    kUpdateIr
  };
  struct Region {
    uint32_t start;
    std::vector<uint8_t> bytes;
    bool flash;
    std::vector<uint32_t> blocks = {};
  };
  enum class Message { kHeader, kAddress, kData };

  static Tap Next(Tap state, bool tms);
  void RisingEdge(bool tms, bool tdi);
  void LinkClock(bool tdi);
  void TakeByte(uint8_t byte);
  void Answer(uint32_t address);
  void PushByte(uint8_t byte);
  bool Tdo() const;

  Region* RegionAt(uint32_t address);
  const Region* RegionAt(uint32_t address) const;
  uint8_t ReadByte(uint32_t address) const;
  uint32_t ReadWord(uint32_t address) const;
  void StoreByte(uint32_t address, uint8_t value);  // RAM and video only, as the bus allows
  void WriteWord(uint32_t address, uint32_t value);
  bool TrapLoaded() const;
  void RunCommand(uint32_t code);
  void EraseFlash(uint32_t from, uint32_t to);
  void ProgramFlash(uint32_t destination, uint32_t source, uint32_t count, bool damage);
  void EraseBlockAt(uint32_t address);

  mutable std::mutex mu_;
  JtagFaults faults_;
  uint32_t idcode_;
  uint8_t data_ = 0;
  uint8_t control_ = 0x0C;
  uint64_t edges_ = 0;

  Tap tap_ = Tap::kReset;
  uint8_t ir_ = 0x02;
  uint8_t ir_shift_ = 0;
  uint64_t dr_ = 0;

  // The link: the host's bytes come in framed by 0, 1, 1; ours go out the same way.
  unsigned rx_window_ = 0;
  int rx_bits_ = -1;  // data bits received of the current byte, -1 between bytes
  uint8_t rx_byte_ = 0;
  bool link_tdo_ = false;
  std::deque<bool> out_bits_;
  Message message_ = Message::kHeader;
  bool read_message_ = false;
  int address_bytes_ = 0;
  uint32_t address_ = 0;
  int data_count_ = 0;
  std::vector<uint8_t> payload_;

  std::vector<Region> regions_;  // RAM, video, vector page, then the flash chips
  uint32_t run_register_ = 0;
  int late_reads_left_ = 0;
  std::map<uint32_t, int> reads_;
  bool trap_running_ = false;
  int trap_commands_ = 0;
  int flash_erases_ = 0;
  int flash_programs_ = 0;
  std::set<uint32_t> written_words_;
  EepromBytes eeprom_{};
  std::function<EepromBytes()> get_eeprom_;
  std::function<void(const EepromBytes&)> set_eeprom_;
};

}  // namespace tornavo::sim

#include "sim/jtag_target.h"

#include <algorithm>

#include "sim/channel_tables.h"
#include "sim/default_eeprom.h"
#include "sim/test_picture.h"

namespace tornavo::sim {

namespace {

constexpr uint8_t kTms = 0x01;
constexpr uint8_t kTck = 0x02;
constexpr uint8_t kTdi = 0x04;
constexpr uint8_t kDcuReset = 0x08;
constexpr uint8_t kTdo = 0x10;

constexpr uint8_t kIrIdcode = 0x02;
constexpr uint8_t kIrDcuLink = 0x10;
constexpr int kIrBits = 5;

constexpr uint32_t kVectorPage = 0x80000000;
constexpr uint32_t kVectorPageSize = 0x1000;
constexpr uint32_t kOldVector = 0x7FF00040;
constexpr uint32_t kDcuPage = 0x3000;
constexpr uint32_t kDcuPageSize = 0x100;
constexpr uint32_t kDcuStatusValue = 0x00000001;  // halted, under reset
constexpr uint32_t kRunRequest = 0x20000000;
constexpr uint32_t kFlashBlock = 0x10000;
constexpr uint32_t kDefaultFlashSize = 0x200000;

// Trap command codes and the offsets of their fields in the command block.
constexpr uint32_t kProgram = 0x100;
constexpr uint32_t kEraseBlock = 0x200;
constexpr uint32_t kEraseChip = 0x400;
constexpr uint32_t kReadEeprom = 0x800;
constexpr uint32_t kWriteEeprom = 0x1000;

// A slow start long enough to outlast the longest search the host may set.
constexpr int kDefaultSlowStart = 4096;

}  // namespace

JtagTarget::JtagTarget(uint32_t idcode) : idcode_(idcode) {
  regions_.push_back({kRamStart, std::vector<uint8_t>(kRamSize, 0), false});
  const QByteArray picture = BuildTestPicture();
  regions_.push_back({kVideoStart, std::vector<uint8_t>(picture.begin(), picture.end()), false});
  regions_.push_back({kVectorPage, std::vector<uint8_t>(kVectorPageSize, 0), false});
  regions_.push_back({0x7FE00000, std::vector<uint8_t>(kDefaultFlashSize, 0xFF), true});
  regions_.push_back({0x60000000, std::vector<uint8_t>(kDefaultFlashSize, 0xFF), true});
  const auto put_word = [this](uint32_t address, uint32_t value) {
    Region* region = RegionAt(address);
    for (int i = 0; i < 4; ++i)
      region->bytes[address - region->start + i] = static_cast<uint8_t>(value >> (8 * i));
  };
  const QByteArray table = BuildRamChannelTable();
  std::copy(table.begin(), table.end(), regions_[0].bytes.begin() + (kRamChannelTable - kRamStart));
  const QByteArray flash = BuildFlashChannelImage();
  std::copy(flash.begin(), flash.end(), regions_[3].bytes.begin());
  put_word(kCommandBlockPointer, kTargetCommandBlock);
  put_word(kTrapVector, kOldVector);
  eeprom_ = BuildDefaultEeprom();
}

bool JtagTarget::Acquire(QString*) { return true; }
void JtagTarget::Release() {}

uint8_t JtagTarget::Read(PortRegister reg) {
  std::lock_guard lock(mu_);
  switch (reg) {
    case PortRegister::kData:
      return data_;
    case PortRegister::kStatus:
      return (Tdo() ? kTdo : 0) | 0x08;  // nFault high: nothing else on the lines
    case PortRegister::kControl:
      return control_;
    default:
      return 0xFF;
  }
}

void JtagTarget::Write(PortRegister reg, uint8_t value) {
  std::lock_guard lock(mu_);
  if (reg == PortRegister::kControl) control_ = value;
  if (reg != PortRegister::kData) return;
  const bool rising = (value & kTck) && !(data_ & kTck);
  // The DCU reset restarts the debug link: a message a host left halfway (a program killed
  // mid-send) is forgotten. The trap, once started, runs on.
  if ((value & kDcuReset) && !(data_ & kDcuReset) && !faults_.no_target) {
    late_reads_left_ = 0;
    rx_window_ = 0;
    rx_bits_ = -1;
    link_tdo_ = false;
    out_bits_.clear();
    message_ = Message::kHeader;
    payload_.clear();
  }
  data_ = value;
  if (rising && !faults_.no_target) RisingEdge((value & kTms) != 0, (value & kTdi) != 0);
}

bool JtagTarget::Tdo() const {
  if (faults_.no_target) return true;
  if (faults_.tdo_stuck_low) return false;
  switch (tap_) {
    case Tap::kShiftDr:
      return ir_ == kIrDcuLink ? link_tdo_ : (dr_ & 1) != 0;
    case Tap::kShiftIr:
      return (ir_shift_ & 1) != 0;
    default:
      return true;  // not driven: the pull-up wins
  }
}

JtagTarget::Tap JtagTarget::Next(Tap s, bool tms) {
  switch (s) {
    case Tap::kReset:
      return tms ? Tap::kReset : Tap::kIdle;
    case Tap::kIdle:
      return tms ? Tap::kSelectDr : Tap::kIdle;
    case Tap::kSelectDr:
      return tms ? Tap::kSelectIr : Tap::kCaptureDr;
    case Tap::kCaptureDr:
      return tms ? Tap::kExit1Dr : Tap::kShiftDr;
    case Tap::kShiftDr:
      return tms ? Tap::kExit1Dr : Tap::kShiftDr;
    case Tap::kExit1Dr:
      return tms ? Tap::kUpdateDr : Tap::kPauseDr;
    case Tap::kPauseDr:
      return tms ? Tap::kExit2Dr : Tap::kPauseDr;
    case Tap::kExit2Dr:
      return tms ? Tap::kUpdateDr : Tap::kShiftDr;
    case Tap::kUpdateDr:
      return tms ? Tap::kSelectDr : Tap::kIdle;
    case Tap::kSelectIr:
      return tms ? Tap::kReset : Tap::kCaptureIr;
    case Tap::kCaptureIr:
      return tms ? Tap::kExit1Ir : Tap::kShiftIr;
    case Tap::kShiftIr:
      return tms ? Tap::kExit1Ir : Tap::kShiftIr;
    case Tap::kExit1Ir:
      return tms ? Tap::kUpdateIr : Tap::kPauseIr;
    case Tap::kPauseIr:
      return tms ? Tap::kExit2Ir : Tap::kPauseIr;
    case Tap::kExit2Ir:
      return tms ? Tap::kUpdateIr : Tap::kShiftIr;
    case Tap::kUpdateIr:
      return tms ? Tap::kSelectDr : Tap::kIdle;
  }
  return Tap::kReset;
}

void JtagTarget::RisingEdge(bool tms, bool tdi) {
  ++edges_;
  // The shift states move one bit on the edge that leaves them.
  if (tap_ == Tap::kShiftIr) {
    ir_shift_ = static_cast<uint8_t>((ir_shift_ >> 1) | (tdi ? 1u << (kIrBits - 1) : 0u));
  } else if (tap_ == Tap::kShiftDr) {
    if (ir_ == kIrDcuLink)
      LinkClock(tdi);
    else if (ir_ == kIrIdcode)
      dr_ = (dr_ >> 1) | (tdi ? 1ull << 31 : 0);
    else
      dr_ = tdi ? 1 : 0;
  }
  tap_ = Next(tap_, tms);
  switch (tap_) {
    case Tap::kReset:
      ir_ = kIrIdcode;
      break;
    case Tap::kCaptureIr:
      ir_shift_ = 0b00001;
      break;
    case Tap::kUpdateIr:
      ir_ = ir_shift_ & 0x1F;
      break;
    case Tap::kCaptureDr:
      dr_ = ir_ == kIrIdcode ? idcode_ : 0;
      break;
    default:
      break;
  }
}

void JtagTarget::LinkClock(bool tdi) {
  bool byte_done = false;
  if (rx_bits_ >= 0) {
    if (tdi) rx_byte_ |= static_cast<uint8_t>(1u << rx_bits_);
    if (++rx_bits_ == 8) {
      byte_done = true;
      rx_bits_ = -1;
      rx_window_ = 0;
    }
  } else if (!faults_.no_ack) {
    rx_window_ = ((rx_window_ << 1) | (tdi ? 1u : 0u)) & 7u;
    // 0, 1, 0 between bytes opens a write: a message the host gave up on is forgotten.
    if (rx_window_ == 0b010) message_ = Message::kHeader;
    if (rx_window_ == 0b011) {
      rx_bits_ = 0;
      rx_byte_ = 0;
      // A new request abandons whatever answer the host stopped listening to.
      if (message_ == Message::kHeader) out_bits_.clear();
    }
  }
  if (byte_done) {
    if (!faults_.no_ack && faults_.late_ack)
      out_bits_.insert(out_bits_.begin(), {false, true, false});
    TakeByte(rx_byte_);
  }
  if (rx_bits_ >= 0) {
    // During the host's byte: one rising TDO on its last data bit says "taken".
    link_tdo_ = !faults_.no_ack && !faults_.late_ack && rx_bits_ == 7;
  } else if (!out_bits_.empty()) {
    link_tdo_ = out_bits_.front();
    out_bits_.pop_front();
  } else {
    link_tdo_ = false;
  }
}

void JtagTarget::TakeByte(uint8_t byte) {
  switch (message_) {
    case Message::kHeader:
      read_message_ = (byte & 3) == 1;
      data_count_ = byte & 0xFC;
      address_ = 0;
      address_bytes_ = 0;
      payload_.clear();
      message_ = Message::kAddress;
      return;
    case Message::kAddress:
      address_ |= static_cast<uint32_t>(byte) << (8 * address_bytes_);
      if (++address_bytes_ < 4) return;
      if (read_message_) {
        Answer(address_);
        message_ = Message::kHeader;
      } else {
        message_ = data_count_ == 0 ? Message::kHeader : Message::kData;
      }
      return;
    case Message::kData:
      payload_.push_back(byte);
      if (static_cast<int>(payload_.size()) < data_count_) return;
      for (size_t i = 0; i + 3 < payload_.size(); i += 4)
        WriteWord(address_ + static_cast<uint32_t>(i),
                  payload_[i] | (payload_[i + 1] << 8) | (payload_[i + 2] << 16) |
                      (static_cast<uint32_t>(payload_[i + 3]) << 24));
      message_ = Message::kHeader;
      return;
  }
}

void JtagTarget::Answer(uint32_t address) {
  const Region* region = RegionAt(address);
  if (region && region->flash && faults_.flash_read_failures > 0) {
    --faults_.flash_read_failures;
    return;
  }
  const int count = faults_.short_read > 0 ? std::min(faults_.short_read & 0xFC, 252) : 256;
  const int silence = 2 + faults_.slow_start;
  for (int i = 0; i < silence; ++i) out_bits_.push_back(false);
  for (int i = 0; i < faults_.busy_patterns; ++i)
    out_bits_.insert(out_bits_.end(), {false, true, false});
  PushByte(static_cast<uint8_t>((count & 0xFC) | (faults_.header_tag & 3)));
  for (int i = 0; i < count; ++i) PushByte(ReadByte(address + static_cast<uint32_t>(i)));
  ++reads_[address];
  if (address == kDcuRun && late_reads_left_ > 0 && --late_reads_left_ == 0)
    run_register_ = kTrapRunning;
}

void JtagTarget::PushByte(uint8_t byte) {
  out_bits_.insert(out_bits_.end(), {false, true, true});
  for (int i = 0; i < 8; ++i) out_bits_.push_back(((byte >> i) & 1) != 0);
}

JtagTarget::Region* JtagTarget::RegionAt(uint32_t address) {
  for (Region& r : regions_)
    if (address >= r.start && address - r.start < r.bytes.size()) return &r;
  return nullptr;
}

const JtagTarget::Region* JtagTarget::RegionAt(uint32_t address) const {
  return const_cast<JtagTarget*>(this)->RegionAt(address);
}

uint8_t JtagTarget::ReadByte(uint32_t address) const {
  if (address >= kDcuPage && address < kDcuPage + kDcuPageSize) {
    const uint32_t offset = address - kDcuPage;
    const uint32_t word = offset < 4 ? kDcuStatusValue : offset < 8 ? run_register_ : 0;
    return static_cast<uint8_t>(word >> (8 * (offset & 3)));
  }
  const Region* region = RegionAt(address);
  return region ? region->bytes[address - region->start] : 0;
}

uint32_t JtagTarget::ReadWord(uint32_t address) const {
  uint32_t value = 0;
  for (uint32_t i = 0; i < 4; ++i) value |= static_cast<uint32_t>(ReadByte(address + i)) << (8 * i);
  return value;
}

void JtagTarget::StoreByte(uint32_t address, uint8_t value) {
  Region* region = RegionAt(address);
  if (region && !region->flash) region->bytes[address - region->start] = value;
}

void JtagTarget::WriteWord(uint32_t address, uint32_t value) {
  if (address == kDcuRun) {
    if (value == kRunRequest && TrapLoaded() && !faults_.trap_silent) {
      trap_running_ = true;
      late_reads_left_ = faults_.trap_late_reads;
      run_register_ = late_reads_left_ > 0 ? kRunRequest : kTrapRunning;
    } else {
      run_register_ = value;
    }
    return;
  }
  for (uint32_t i = 0; i < 4; ++i) StoreByte(address + i, static_cast<uint8_t>(value >> (8 * i)));
  written_words_.insert(address);
  const uint32_t block = ReadWord(kCommandBlockPointer);
  if (trap_running_ && address == block && value != 0 && (value & 1) == 0) RunCommand(value);
}

bool JtagTarget::TrapLoaded() const {
  const uint32_t trap = ReadWord(kTrapVector);
  for (uint32_t offset = 0; offset < kTrapSize; offset += 4)
    if (!written_words_.count(trap + offset)) return false;
  return RegionAt(trap) != nullptr;
}

void JtagTarget::EraseFlash(uint32_t from, uint32_t to) {
  for (uint32_t a = from; a < to; ++a) {
    Region* region = RegionAt(a);
    if (region && region->flash) region->bytes[a - region->start] = 0xFF;
  }
}

void JtagTarget::ProgramFlash(uint32_t destination, uint32_t source, uint32_t count, bool damage) {
  for (uint32_t i = 0; i < count && i < kRamSize; ++i) {
    Region* region = RegionAt(destination + i);
    if (!region || !region->flash) continue;
    // Programming only clears bits; a damaged write clears the lowest set bit of byte 0.
    uint8_t& cell = region->bytes[destination + i - region->start];
    cell &= ReadByte(source + i);
    if (damage && i == 0) cell &= static_cast<uint8_t>(cell - 1);
  }
}

// Erases the block holding address: the chip's own block layout where it has one, else the
// fixed block size.
void JtagTarget::EraseBlockAt(uint32_t address) {
  uint32_t start = address & ~(kFlashBlock - 1);
  uint32_t end = start + kFlashBlock;
  if (const Region* region = RegionAt(address); region && !region->blocks.empty()) {
    const uint32_t offset = address - region->start;
    for (size_t k = 0; k + 1 < region->blocks.size(); ++k) {
      if (offset >= region->blocks[k] && offset < region->blocks[k + 1]) {
        start = region->start + region->blocks[k];
        end = region->start + region->blocks[k + 1];
        break;
      }
    }
  }
  EraseFlash(start, end);
}

void JtagTarget::RunCommand(uint32_t code) {
  const uint32_t block = ReadWord(kCommandBlockPointer);
  const auto field = [&](uint32_t offset) { return ReadWord(block + offset); };
  ++trap_commands_;
  switch (code) {
    case kProgram: {
      // A chip that reports a failed program or erase leaves the command unfinished: bit 0
      // never comes, so the host polls to its limit, as it would with a real trap.
      if (faults_.program_failures > 0) {
        --faults_.program_failures;
        return;
      }
      const bool damage = faults_.verify_failures > 0;
      if (damage) --faults_.verify_failures;
      ++flash_programs_;
      ProgramFlash(field(4), field(8), field(12), damage);
      break;
    }
    case kEraseBlock: {
      if (faults_.erase_failures > 0) {
        --faults_.erase_failures;
        return;
      }
      ++flash_erases_;
      EraseBlockAt(field(4));
      break;
    }
    case kEraseChip: {
      if (faults_.erase_failures > 0) {
        --faults_.erase_failures;
        return;
      }
      Region* region = RegionAt(field(16));
      if (region && region->flash)
        std::fill(region->bytes.begin(), region->bytes.end(), uint8_t{0xFF});
      break;
    }
    case kReadEeprom:
    case kWriteEeprom: {
      const uint32_t start = field(16), length = field(20), buffer = field(24);
      EepromBytes chip = get_eeprom_ ? get_eeprom_() : eeprom_;
      for (uint32_t i = 0; i < length && i < static_cast<uint32_t>(kEepromSize); ++i) {
        const uint32_t cell = (start + i) % kEepromSize;  // the chip's address counter wraps
        if (code == kReadEeprom)
          StoreByte(buffer + i, chip[cell]);
        else
          chip[cell] = ReadByte(buffer + i);
      }
      if (code == kWriteEeprom) {
        if (set_eeprom_)
          set_eeprom_(chip);
        else
          eeprom_ = chip;
      }
      break;
    }
    default:
      break;
  }
  for (uint32_t i = 0; i < 4; ++i)
    StoreByte(block + i, static_cast<uint8_t>((code | 1) >> (8 * i)));
}

void JtagTarget::SetIdcode(uint32_t idcode) {
  std::lock_guard lock(mu_);
  idcode_ = idcode;
}

void JtagTarget::SetFaults(const JtagFaults& faults) {
  std::lock_guard lock(mu_);
  faults_ = faults;
}

JtagFaults JtagTarget::faults() const {
  std::lock_guard lock(mu_);
  return faults_;
}

bool JtagTarget::ApplyFault(const QString& name) {
  const QString key = name.section(QLatin1Char(':'), 0, 0);
  const QString arg = name.section(QLatin1Char(':'), 1);
  bool ok = true;
  const int n = arg.isEmpty() ? -1 : arg.toInt(&ok);
  if (!ok || (!arg.isEmpty() && n < 0)) return false;
  std::lock_guard lock(mu_);
  if (key == QLatin1String("jtag-none") && arg.isEmpty()) {
    faults_.no_target = true;
  } else if (key == QLatin1String("jtag-tdo-low") && arg.isEmpty()) {
    faults_.tdo_stuck_low = true;
  } else if (key == QLatin1String("jtag-no-ack") && arg.isEmpty()) {
    faults_.no_ack = true;
  } else if (key == QLatin1String("jtag-late-ack") && arg.isEmpty()) {
    faults_.late_ack = true;
  } else if (key == QLatin1String("jtag-slow-start")) {
    faults_.slow_start = n < 0 ? kDefaultSlowStart : n;
  } else if (key == QLatin1String("jtag-busy") && n >= 0) {
    faults_.busy_patterns = n;
  } else if (key == QLatin1String("jtag-short-read") && n >= 4 && n <= 252 && n % 4 == 0) {
    faults_.short_read = n;
  } else if (key == QLatin1String("jtag-trap-silent") && arg.isEmpty()) {
    faults_.trap_silent = true;
  } else if (key == QLatin1String("jtag-trap-late") && n >= 0) {
    faults_.trap_late_reads = n;
  } else if (key == QLatin1String("jtag-erase-fail") && n >= 0) {
    faults_.erase_failures = n;
  } else if (key == QLatin1String("jtag-program-fail") && n >= 0) {
    faults_.program_failures = n;
  } else if (key == QLatin1String("jtag-verify-fail") && n >= 0) {
    faults_.verify_failures = n;
  } else if (key == QLatin1String("jtag-read-fail") && n >= 0) {
    faults_.flash_read_failures = n;
  } else if (key == QLatin1String("jtag-sti5512") && arg.isEmpty()) {
    idcode_ = kIdcodeSti5512;
  } else {
    return false;
  }
  return true;
}

void JtagTarget::SetFlashChip(int index, uint32_t start, uint32_t size) {
  if (index < 0 || index > 1) return;
  std::lock_guard lock(mu_);
  regions_[3 + index] = {start, std::vector<uint8_t>(size, 0xFF), true};
}

void JtagTarget::ShapeFlashChip(int index, uint32_t start, std::vector<uint32_t> offsets) {
  if (index < 0 || index > 1 || offsets.empty()) return;
  const uint32_t size = offsets.back();
  if (size == 0 || size > kMaximumFlashSize) return;
  std::lock_guard lock(mu_);
  Region& region = regions_[3 + index];
  if (region.start != start || region.bytes.size() != size)
    region = {start, std::vector<uint8_t>(size, 0xFF), true};
  region.blocks = std::move(offsets);
}

void JtagTarget::SetFlashBlocks(int index, std::vector<uint32_t> offsets) {
  if (index < 0 || index > 1) return;
  std::lock_guard lock(mu_);
  regions_[3 + index].blocks = std::move(offsets);
}

int JtagTarget::flash_erases() const {
  std::lock_guard lock(mu_);
  return flash_erases_;
}

int JtagTarget::flash_programs() const {
  std::lock_guard lock(mu_);
  return flash_programs_;
}

void JtagTarget::Load(uint32_t address, const QByteArray& bytes) {
  std::lock_guard lock(mu_);
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    Region* region = RegionAt(address + static_cast<uint32_t>(i));
    if (region) region->bytes[address + i - region->start] = static_cast<uint8_t>(bytes[i]);
  }
}

QByteArray JtagTarget::Memory(uint32_t address, uint32_t length) const {
  std::lock_guard lock(mu_);
  QByteArray out;
  out.reserve(length);
  for (uint32_t i = 0; i < length; ++i) out.append(static_cast<char>(ReadByte(address + i)));
  return out;
}

void JtagTarget::SetEepromAccess(std::function<EepromBytes()> get,
                                 std::function<void(const EepromBytes&)> set) {
  std::lock_guard lock(mu_);
  get_eeprom_ = std::move(get);
  set_eeprom_ = std::move(set);
}

EepromBytes JtagTarget::Eeprom() const {
  std::lock_guard lock(mu_);
  return get_eeprom_ ? get_eeprom_() : eeprom_;
}

bool JtagTarget::trap_running() const {
  std::lock_guard lock(mu_);
  return trap_running_;
}

int JtagTarget::trap_commands() const {
  std::lock_guard lock(mu_);
  return trap_commands_;
}

int JtagTarget::reads_of(uint32_t address) const {
  std::lock_guard lock(mu_);
  const auto it = reads_.find(address);
  return it == reads_.end() ? 0 : it->second;
}

uint64_t JtagTarget::edges() const {
  std::lock_guard lock(mu_);
  return edges_;
}

}  // namespace tornavo::sim

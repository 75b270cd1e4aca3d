#include "core/jtag/debug_unit.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <algorithm>
#include <array>
#include <cmath>

#include "core/jtag/jtag_texts.h"

namespace tornavo {

namespace {

constexpr int kDrainLimit = 1024;
constexpr int kDrainLimitBeforeRead = 1025;
constexpr int kStartPolls = 100;
constexpr int kCommandPolls = 1000;
constexpr int kEepromWritePolls = 7500;
constexpr int64_t kResetSettleMs = 100;
constexpr uint8_t kReadHeader = 0x01;
constexpr uint32_t kRunRequest = 0x20000000;
constexpr uint32_t kEepromDevice = 0xA0;

QString Hex8(uint32_t value) {
  return QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0')).toUpper();
}

}  // namespace

QStringList TrapFilePlaces(const QString& executable_folder, const QString& ini_folder,
                           const QString& explicit_file) {
  if (!explicit_file.isEmpty()) return {explicit_file};
  const QString name = QString::fromLatin1(kTrapFileName);
  QStringList places{QDir(executable_folder).filePath(name)};
  const QString in_settings = QDir(ini_folder).filePath(name);
  if (QDir::cleanPath(in_settings) != QDir::cleanPath(places.front())) places << in_settings;
  return places;
}

void DebugUnit::Log(const QString& line) { host_.AppendLog(LogId::kJtag, line); }

void DebugUnit::DcuResetSequence() {
  tap_.SetDcuReset(false);
  WaitMs(clock_, kResetSettleMs);
  tap_.SetDcuReset(true);
  Log(texts_.Slot(jtag_slot::kResetOn));
  WaitMs(clock_, kResetSettleMs);
  tap_.TapReset();
  Log(texts_.Slot(jtag_slot::kRunTestIdle));
  WaitMs(clock_, kResetSettleMs);
}

void DebugUnit::DcuReleaseReset() {
  tap_.SetDcuReset(false);
  Log(texts_.Slot(jtag_slot::kResetOff));
}

bool DebugUnit::Drain(int limit) {
  uint8_t byte = 0;
  for (int i = 0; i < limit; ++i)
    if (!tap_.LinkReadByte(&byte)) return true;
  return false;
}

int DebugUnit::DcuReadBlock(uint32_t address, std::span<uint8_t> buffer) {
  tap_.EnterDataScan();
  if (!Drain(kDrainLimitBeforeRead)) return 0;
  const bool header_sent = tap_.LinkWriteByte(kReadHeader);
  const bool sent = tap_.LinkWriteWord(address) && header_sent;
  uint8_t header = 0;
  const bool answered = tap_.LinkReadByte(&header);
  const int count = (header & 0xFC) == 0 ? kReadBlockMax : (header & 0xFC);
  if (!answered) return 0;
  for (int i = 0; i < count; ++i) {
    uint8_t byte = 0;
    if (!tap_.LinkReadByte(&byte)) return 0;
    if (static_cast<size_t>(i) < buffer.size()) buffer[i] = byte;
  }
  return sent ? count : 0;
}

int DebugUnit::DcuWriteBlock(uint32_t address, const uint8_t* data, int n) {
  tap_.EnterDataScan();
  if (!Drain(kDrainLimit)) return 0;
  for (bool tdi : {false, true, false}) tap_.JtagClock(false, tdi, false);
  const bool header = tap_.LinkWriteByte(static_cast<uint8_t>(n & 0xFC));
  if (!(tap_.LinkWriteWord(address) && header)) return 0;
  for (int i = 0; i < n; ++i)
    if (!tap_.LinkWriteByte(data[i])) return 0;
  return n;
}

bool DebugUnit::DcuWriteWord(uint32_t address, uint32_t value) {
  tap_.EnterDataScan();
  if (!Drain(kDrainLimit)) return false;
  for (bool tdi : {false, true, false}) tap_.JtagClock(false, tdi, false);
  bool all = tap_.LinkWriteByte(0x04);
  all = tap_.LinkWriteWord(address) && all;
  return tap_.LinkWriteWord(value) && all;
}

bool DebugUnit::DcuReadWord(uint32_t address, uint32_t* value) {
  std::array<uint8_t, kReadBlockMax + 1> block{};
  *value = 0;
  if (DcuReadBlock(address, block) != 0) {
    *value =
        block[0] | (block[1] << 8) | (block[2] << 16) | (static_cast<uint32_t>(block[3]) << 24);
    return true;
  }
  // A port that stopped working is not the cable's fault: the operation names it instead.
  if (address == kDcuStatusRegister && !tap_.port().failed()) {
    const QString message = texts_.Slot(jtag_slot::kDcuStatusUnreadable);
    Log(message);
    host_.ShowError(message);
    error_shown_ = true;
  }
  return false;
}

void DebugUnit::ShowRate(uint32_t done, uint32_t length, uint64_t start_ms, bool spaced,
                         uint32_t progress, uint32_t shown_address) {
  ProgressReport report;
  const uint64_t elapsed = clock_.NowMs() - start_ms;
  if (elapsed > 0) {
    const double speed = (done / 1024.0) / (elapsed / 1000.0);
    const QString gap = spaced ? QStringLiteral(" ") : QString();
    report.Speed(QLocale().toString(speed, 'f', 2) + gap + texts_.Slot(slot::kKilobytesPerSecond));
    if (speed != 0) {
      const double remaining = length > done ? (length - done) / (speed * 1024.0) : 0.0;
      report.Remaining(QString::number(std::llround(remaining)) + gap +
                       texts_.Slot(slot::kSeconds));
    }
  }
  host_.Report(StatusPage::kJtag,
               report.Done(static_cast<int>(progress)).Address(Hex8(shown_address)));
}

uint32_t DebugUnit::ReadRangeWithProgress(std::span<uint8_t> buffer, uint32_t address,
                                          uint32_t length) {
  uint32_t done = 0;
  const uint64_t start = clock_.NowMs();
  int last = 1;
  while (done < length && last > 0 && done < buffer.size()) {
    last = DcuReadBlock(address + done, buffer.subspan(done));
    // A block longer than the room left keeps only what fits.
    done += std::min<uint32_t>(static_cast<uint32_t>(last),
                               static_cast<uint32_t>(buffer.size()) - done);
    if (last > 0 && done % 15 == 0) ShowRate(done, length, start, false, done, address + done);
  }
  return done;
}

uint32_t DebugUnit::WriteRangeWithProgress(const uint8_t* data, uint32_t address,
                                           uint32_t display_base, uint32_t progress_base,
                                           uint32_t length, CountedSpan counted) {
  const uint32_t body = length & ~3u;
  const uint32_t tail = length & 3u;
  const uint64_t start = clock_.NowMs();
  uint32_t done = 0;
  int last = 1;
  while (done < body && last > 0) {
    const int chunk = static_cast<int>(std::min<uint32_t>(body - done, kWriteChunk));
    last = DcuWriteBlock(address + done, data + done, chunk);
    done += static_cast<uint32_t>(last);
    if (last > 0 && done % 15 == 0)
      ShowRate(done, length, start, true, progress_base + counted.Of(done), display_base + done);
  }
  // The last 1 to 3 bytes go in by read-modify-write of their word; they count only when both
  // steps did, and only after a whole body.
  if (tail != 0 && done == body) {
    std::array<uint8_t, kReadBlockMax + 1> block{};
    if (DcuReadBlock(address + done, block) != 0) {
      std::copy(data + done, data + done + tail, block.begin());
      if (DcuWriteBlock(address + done, block.data(), 4) == 4) done += tail;
    }
  }
  host_.Report(StatusPage::kJtag, ProgressReport()
                                      .Done(static_cast<int>(progress_base + counted.Of(body)))
                                      .Address(Hex8(display_base + body)));
  return done;
}

uint32_t DebugUnit::LoadRamImage(const uint8_t* data, uint32_t address, uint32_t length,
                                 bool verify) {
  DcuResetSequence();
  Log(texts_.Slot(jtag_slot::kSendingFile));
  uint32_t written = WriteRangeWithProgress(data, address, 0, 0, length);
  std::array<uint8_t, kReadBlockMax + 1> block{};
  DcuReadBlock(address, block);  // lets the last write settle; its bytes are not needed
  if (verify) written = ReadBackEqual(data, address, written);
  DcuReleaseReset();
  return written;
}

uint32_t DebugUnit::ReadBackEqual(const uint8_t* data, uint32_t address, uint32_t length) {
  std::array<uint8_t, kReadBlockMax + 1> block{};
  uint32_t same = 0;
  while (same < length) {
    const int n = DcuReadBlock(address + same, block);
    if (n <= 0) break;
    const uint32_t take = std::min<uint32_t>(static_cast<uint32_t>(n), length - same);
    const auto differs = std::mismatch(block.begin(), block.begin() + take, data + same);
    same += static_cast<uint32_t>(differs.first - block.begin());
    if (differs.first != block.begin() + take) break;
  }
  return same;
}

bool DebugUnit::StartTrap(uint32_t trap_address, const QStringList& places) {
  JtagState& state = tap_.state();
  if (state.trap_started) return true;
  QByteArray routine;
  bool found = false;
  for (const QString& place : places) {
    QFile file(place);
    if (!file.open(QIODevice::ReadOnly)) continue;
    routine = file.read(kTrapSize);
    found = true;
    break;
  }
  if (!found) {
    QString message = texts_.Slot(jtag_slot::kTrapMissing);
    for (const QString& place : places)
      message += QLatin1Char('\n') + QDir::toNativeSeparators(place);
    Log(message);
    host_.ShowError(message);
    error_shown_ = true;
    return false;
  }
  // A short file would leave the target running whatever lay past its end.
  int written = 0;
  if (routine.size() == kTrapSize) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(routine.constData());
    written += DcuWriteBlock(trap_address, bytes, 252);
    written += DcuWriteBlock(trap_address + 252, bytes + 252, 252);
    written += DcuWriteBlock(trap_address + 504, bytes + 504, 192);
  }
  if (written < kTrapSize) {
    const QString message = texts_.Slot(jtag_slot::kTrapInitFailed);
    Log(message);
    if (!tap_.port().failed()) {
      host_.ShowError(message);
      error_shown_ = true;
    }
    return false;
  }
  bool ok = DcuWriteWord(kDcuRunRegister, 0);
  ok = ok && InstallTrapVector(trap_address);
  ok = ok && DcuWriteWord(kDcuRunRegister, kRunRequest);
  uint32_t run = 0;
  ok = ok && DcuReadWord(kDcuRunRegister, &run);
  int again = 0;
  while (ok && run != kTrapRunningValue && again < kStartPolls) {
    ++again;
    ok = DcuReadWord(kDcuRunRegister, &run);
  }
  // Needing every one of the further reads counts as no answer, even if the last one had it.
  if (!ok || again >= kStartPolls || run != kTrapRunningValue) return false;
  if (!DcuWriteWord(kDcuRunRegister, 0)) return false;
  state.trap_started = true;
  return true;
}

bool DebugUnit::InstallTrapVector(uint32_t trap_address) {
  uint32_t block = 0;
  uint32_t old_vector = 0;
  uint32_t check = 0;
  bool ok = DcuReadWord(kCommandBlockPointer, &block);
  tap_.state().command_block = block;
  ok = DcuReadWord(kTrapVectorAddress, &old_vector) && ok;
  ok = DcuWriteWord(kTrapVectorAddress, trap_address) && ok;
  ok = DcuReadWord(kTrapVectorAddress, &check) && ok;
  return ok;
}

bool DebugUnit::PostCommand(uint32_t code, std::initializer_list<Field> fields, int poll_limit,
                            int after_slot) {
  const uint32_t block = tap_.state().command_block;
  for (const Field& field : fields)
    if (!DcuWriteWord(block + field.offset, field.value)) return false;
  if (!DcuWriteWord(block, code)) return false;
  if (after_slot >= 0) Log(texts_.Slot(after_slot));
  for (int poll = 0; poll < poll_limit; ++poll) {
    uint32_t status = 0;
    // A read that fails says nothing about the command: a broken cable is not completion.
    if (!DcuReadWord(block, &status)) return false;
    if (status & 1) return true;
  }
  return false;
}

bool DebugUnit::TrapProgramFlash(uint32_t trap_address, uint32_t destination, const uint8_t* data,
                                 uint32_t count, uint32_t chip_base, uint32_t progress_base,
                                 CountedSpan counted) {
  Log(texts_.Slot(jtag_slot::kProgramAt) + Hex8(destination));
  const uint32_t buffer = trap_address + kTrapBufferOffset;
  if (WriteRangeWithProgress(data, buffer, destination, progress_base, count, counted) < count)
    return false;
  return PostCommand(kTrapProgram, {{4, destination}, {8, buffer}, {12, count}, {16, chip_base}},
                     kCommandPolls);
}

bool DebugUnit::TrapEraseBlock(uint32_t block, uint32_t chip_base, uint32_t erase_parameter) {
  Log(texts_.Slot(jtag_slot::kEraseBlock) + Hex8(block));
  return PostCommand(kTrapEraseBlock, {{4, block}, {16, chip_base}, {28, erase_parameter}},
                     kCommandPolls);
}

bool DebugUnit::TrapEraseChip(uint32_t chip_base) {
  Log(texts_.Slot(jtag_slot::kEraseChip) + Hex8(chip_base));
  return PostCommand(kTrapEraseChip, {{16, chip_base}}, kCommandPolls);
}

uint32_t DebugUnit::TrapReadEeprom(uint32_t trap_address, uint32_t start, uint32_t length,
                                   std::span<uint8_t> out) {
  Log(texts_.Slot(jtag_slot::kReadingEeprom));
  const uint32_t buffer = trap_address + kTrapBufferOffset;
  if (!PostCommand(kTrapReadEeprom, {{12, kEepromDevice}, {16, start}, {20, length}, {24, buffer}},
                   kCommandPolls))
    return 0;
  return ReadRangeWithProgress(out, buffer, length);
}

bool DebugUnit::TrapWriteEeprom(uint32_t trap_address, uint32_t start, const uint8_t* data,
                                uint32_t length) {
  Log(texts_.Slot(jtag_slot::kWritingEeprom));
  const uint32_t buffer = trap_address + kTrapBufferOffset;
  if (WriteRangeWithProgress(data, buffer, start, 0, length) < length) return false;
  return PostCommand(kTrapWriteEeprom,
                     {{12, kEepromDevice}, {16, start}, {20, length}, {24, buffer}},
                     kEepromWritePolls, jtag_slot::kAwaitingWrite);
}

}  // namespace tornavo

#include "core/jtag/jtag_dump.h"

#include <algorithm>
#include <span>

#include "core/jtag/debug_unit.h"
#include "core/jtag/jtag_texts.h"
#include "core/jtag/port_frame.h"
#include "core/jtag/tap_driver.h"

namespace tornavo {

const QStringList kDumpAddressEntries = {"401289A0", "401F1B70", "7FE00000",
                                         "60000000", "C00D0000", "C0168000"};
const QStringList kDumpLengthEntries = {"4",      "7600",   "EC00",   "50000",  "80000",
                                        "98000",  "100000", "180000", "200000", "280000",
                                        "300000", "380000", "400000"};

namespace {

constexpr int kDefaultLengthEntry = 4;
constexpr uint32_t kRamStart = 0x40000000;
constexpr uint32_t kRamEnd = 0x40200000;
constexpr uint32_t kRamTableMinimum = 0x7600;
constexpr uint32_t kFlashDumpMinimum = 0x50000;
constexpr uint32_t kImageStart = 0xC0000000;
constexpr uint32_t kImageMinimum = 0x98000;
constexpr uint32_t kEepromSize = 0x800;

QString Hex(uint32_t value, int digits) {
  return QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

}  // namespace

QString FilterDumpField(const QString& text, bool address) {
  QString kept;
  for (QChar c : text.toUpper())
    if ((c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
        (c >= QLatin1Char('A') && c <= QLatin1Char('F')))
      kept += c;
  if (kept.isEmpty())
    return address ? kDumpAddressEntries.front() : kDumpLengthEntries[kDefaultLengthEntry];
  return kept;
}

QString LeaveDumpAddress(const QString& text) {
  QString digits = FilterDumpField(text, true);
  if (digits.size() > 8) digits = kDumpAddressEntries.front();
  return Hex(digits.toUInt(nullptr, 16) & ~3u, 8);
}

QString LeaveDumpLength(const QString& text) {
  QString digits = FilterDumpField(text, false);
  if (digits.size() > 6) digits = kDumpLengthEntries[kDefaultLengthEntry];
  // 1 to 3 would round down to nothing to read, as 0 would.
  if ((digits.toUInt(nullptr, 16) & 0xFFFFFC) == 0) digits = kDumpLengthEntries.front();
  return Hex(digits.toUInt(nullptr, 16) & 0xFFFFFC, 6);
}

uint32_t RoundedDumpLength(uint32_t length) {
  return (length & 0xFF) == 0 ? length : (length | 0xFF);
}

uint32_t DumpBufferSize(uint32_t length) {
  return std::max<uint32_t>(RoundedDumpLength(length) + 1, 257);
}

bool DumpRangeAccepted(DumpSource source, uint32_t address, uint32_t length,
                       const DumpFlashChip& chip) {
  switch (source) {
    case DumpSource::kRam:
      return address >= kRamStart && address < kRamEnd && length >= kRamTableMinimum;
    case DumpSource::kFlash:
      return address >= chip.start && uint64_t{address} < uint64_t{chip.start} + chip.size &&
             length >= kFlashDumpMinimum;
    case DumpSource::kImage:
      return address >= kImageStart && length >= kImageMinimum;
    case DumpSource::kEeprom:
      return address < kEepromSize && uint64_t{address} + length <= kEepromSize;
    case DumpSource::kFile:
      return true;
  }
  return false;
}

bool NearestAcceptedRange(DumpSource source, const DumpFlashChip& chip, uint32_t* address,
                          uint32_t* length) {
  const auto clamp = [](uint32_t value, uint32_t low, uint32_t high) {
    return std::clamp(value, low, high);
  };
  switch (source) {
    case DumpSource::kRam:
      *address = clamp(*address, kRamStart, kRamEnd - 4);
      *length = std::max(*length, kRamTableMinimum);
      break;
    case DumpSource::kFlash:
      if (chip.size < 4) return false;
      *address = clamp(*address, chip.start, static_cast<uint32_t>(chip.start + chip.size - 4));
      *length = std::max(*length, kFlashDumpMinimum);
      break;
    case DumpSource::kImage:
      *address = std::max(*address, kImageStart);
      *length = std::max(*length, kImageMinimum);
      break;
    case DumpSource::kEeprom:
      *address = std::min(*address, kEepromSize - 4);
      *length = clamp(*length, 4, kEepromSize - *address);
      break;
    case DumpSource::kFile:
      break;
  }
  // Nothing past the end of the address space.
  *length = static_cast<uint32_t>(std::min<uint64_t>(*length, (uint64_t{1} << 32) - *address));
  return *length > 0 && DumpRangeAccepted(source, *address, *length, chip);
}

namespace {

// Reads rounded bytes of the request into buffer, the EEPROM through the trap and the rest
// word by word, with the CPU held in reset around it. Returns the bytes read.
uint32_t ReadDumpBytes(JtagSession& session, const JtagDumpRequest& request, uint32_t rounded,
                       std::span<uint8_t> buffer) {
  TapDriver tap(session.port, session.state, session.timing);
  DebugUnit unit(tap, session.clock, session.host, session.texts);
  unit.DcuResetSequence();
  uint32_t n = 0;
  if (request.source == DumpSource::kEeprom) {
    uint32_t status = 0;
    if (unit.DcuReadWord(kDcuStatusRegister, &status) &&
        unit.StartTrap(request.trap_address, request.trap_places)) {
      n = unit.TrapReadEeprom(request.trap_address, request.address, rounded, buffer);
      unit.DcuReadWord(kDcuStatusRegister, &status);
    }
  } else {
    session.host.AppendLog(LogId::kJtag, session.texts.Slot(jtag_slot::kReceiving));
    n = unit.ReadRangeWithProgress(buffer, request.address, rounded);
  }
  unit.DcuReleaseReset();
  return n;
}

}  // namespace

JtagDumpResult RunJtagDump(JtagSession& session, const JtagDumpRequest& request,
                           const std::function<void(const JtagDumpResult&)>& hand_over) {
  JtagDumpResult result;
  OperationHost& host = session.host;
  const Texts& texts = session.texts;
  const auto log = [&](const QString& line) { host.AppendLog(LogId::kJtag, line); };
  const bool eeprom = request.source == DumpSource::kEeprom;

  PortFrame frame(session);
  if (!frame.Open(&result.port_error)) return result;
  if (!DumpRangeAccepted(request.source, request.address, request.length, request.flash_chip)) {
    result.outcome = DumpOutcome::kBadRange;
    host.ShowError(texts.Slot(jtag_slot::kBadAddressLength));
    return result;
  }

  const uint32_t rounded = RoundedDumpLength(request.length);
  result.buffer = QByteArray(static_cast<qsizetype>(DumpBufferSize(request.length)), '\0');
  std::span<uint8_t> buffer(reinterpret_cast<uint8_t*>(result.buffer.data()),
                            static_cast<size_t>(result.buffer.size()));
  host.Report(StatusPage::kJtag,
              ProgressReport::Start(texts.Slot(slot::kTaskRead), Hex(request.address, 8),
                                    static_cast<int>(request.length)));

  const uint32_t n = ReadDumpBytes(session, request, rounded, buffer);
  result.count = n;
  ProgressReport read_to = ProgressReport().Done(static_cast<int>(n));
  if (!eeprom) read_to.Address(Hex(request.address + n - 1, 8));
  host.Report(StatusPage::kJtag, read_to);

  session.port.Flush();
  if (n >= rounded && !session.port.failed()) {
    result.outcome = DumpOutcome::kDone;
    host.Log(LogId::kJtag, LogLevel::kSuccess,
             texts.Slot(eeprom ? jtag_slot::kEepromRead : jtag_slot::kFirmwareRead));
    // The bytes reach their page while the port is still held, before "Cerrando LPT1".
    if (hand_over) host.Call([&] { hand_over(result); });
  } else {
    result.outcome = DumpOutcome::kReadFailed;
    ProgressReport failed_at = ProgressReport().Errors(QStringLiteral("1"));
    if (!eeprom) failed_at.Address(Hex(request.address + n, 8));
    host.Report(StatusPage::kJtag, failed_at);
    if (session.port.failed()) log(session.port.failure());
    host.ShowError(PortRefusedText(
        texts.Slot(jtag_slot::kErrorAtAddress) + QLatin1Char(' ') + Hex(request.address + n, 8),
        session.port.failure()));
  }
  host.ResetStatus(StatusPage::kJtag);
  return result;
}

}  // namespace tornavo

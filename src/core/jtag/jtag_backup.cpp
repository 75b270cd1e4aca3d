#include "core/jtag/jtag_backup.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "core/eeprom/eeprom_files.h"
#include "core/eeprom/eeprom_image.h"
#include "core/jtag/debug_unit.h"
#include "core/lpt/port_registers.h"
#include "core/texts/text_names.h"
#include "core/texts/texts.h"

namespace tornavo {

namespace {

// A read block carries kReadBlockMax bytes. Around it the link clocks: one byte search that
// finds nothing (wait_start_bits clocks, emptying the link), the five request bytes (3 frame
// bits, 8 data bits and about 1 for the acknowledge each), then the answer's header and data
// bytes (3 frame bits and 8 data bits each).
constexpr double kRequestClocks = 5 * 12;
constexpr double kClocksPerAnswerByte = 11;
// Each clock samples TDO once and writes the data register twice (TCK up, TCK down), plus a
// third write when TMS or TDI change: about 3.1 port accesses. One access to a parallel port
// costs about a microsecond on the bus, through ioperm or a ppdev ioctl alike.
constexpr double kAccessesPerClock = 3.1;
constexpr double kSecondsPerAccess = 1e-6;
// The busy loop around each TCK edge runs DuracionTCK + 1 passes of about a nanosecond.
constexpr double kSecondsPerSpinPass = 1e-9;

QString Hex8(uint32_t value) {
  return QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0')).toUpper();
}

void Fail(JtagSession& session, const QString& text) {
  session.host.Log(LogId::kJtag, LogLevel::kFailure, text);
}

// A copy that could not be read: one box says that nothing was written and, when the port
// stopped working, why. The operation does not name the port again.
void FailCopyRead(JtagSession& session) {
  const QString text = session.texts.Key(text_key::kNoSePudoLeerLaCopia);
  if (!session.port.failed()) return Fail(session, text);
  session.host.AppendLog(LogId::kJtag, session.port.failure());
  session.host.AppendLog(LogId::kJtag, text);
  session.host.ShowError(PortRefusedText(text, session.port.failure()));
}

}  // namespace

int EstimatedJtagReadSeconds(uint32_t length, const JtagTiming& timing) {
  const double blocks = std::ceil(length / static_cast<double>(kReadBlockMax));
  const double clocks = blocks * (std::max(timing.wait_start_bits, 0) + kRequestClocks +
                                  (kReadBlockMax + 1) * kClocksPerAnswerByte);
  const double per_clock =
      kAccessesPerClock * kSecondsPerAccess +
      2.0 * (std::max<int64_t>(timing.tck_cycles, 0) + 1) * kSecondsPerSpinPass;
  return std::max(1, static_cast<int>(std::ceil(clocks * per_clock)));
}

bool ReadForBackup(JtagSession& session, DebugUnit& unit, uint32_t address, uint32_t length,
                   QByteArray* bytes) {
  OperationHost& host = session.host;
  const QString stage = session.texts.Key(text_key::kLeyendoElChipParaLaCopia);
  host.AppendLog(LogId::kJtag, stage);
  host.Report(
      StatusPage::kJtag,
      ProgressReport().Stage(stage).Address(Hex8(address)).Total(static_cast<int>(length)).Done(0));
  *bytes = QByteArray(static_cast<qsizetype>(length), '\0');
  const uint32_t got = unit.ReadRangeWithProgress(
      std::span(reinterpret_cast<uint8_t*>(bytes->data()), length), address, length);
  host.ResetStatus(StatusPage::kJtag);
  session.port.Flush();
  if (got >= length && !session.port.failed()) return true;
  FailCopyRead(session);
  return false;
}

bool KeepBackup(JtagSession& session, const BackupStore& store, const QString& operation,
                uint32_t address, const QByteArray& bytes, const QString& extension) {
  const BackupResult kept = store.Save(operation, address, bytes, extension);
  if (!kept.saved) {
    Fail(session, session.texts.Format(text_key::kNoSePudoGuardarLaCopia, {kept.error}));
    return false;
  }
  session.host.AppendLog(LogId::kJtag,
                         session.texts.Format(text_key::kCopiaDeSeguridad, {kept.path}));
  return true;
}

void LogNoBackup(JtagSession& session, int key) {
  session.host.AppendLog(LogId::kJtag, session.texts.Key(key));
}

bool BackUpEepromRows(JtagSession& session, DebugUnit& unit, const BackupStore& store,
                      uint32_t trap_address, uint32_t start, uint32_t length) {
  if (length == 0) return true;
  const uint32_t first = start & ~uint32_t{kEepromColumns - 1};
  const uint32_t end = std::min<uint32_t>(
      (start + length + kEepromColumns - 1) & ~uint32_t{kEepromColumns - 1}, kEepromBytes);
  QByteArray bytes(static_cast<qsizetype>(end - first), '\0');
  const uint32_t got =
      unit.TrapReadEeprom(trap_address, first, end - first,
                          std::span(reinterpret_cast<uint8_t*>(bytes.data()), end - first));
  session.host.ResetStatus(StatusPage::kJtag);
  session.port.Flush();
  if (got < end - first || session.port.failed()) {
    FailCopyRead(session);
    return false;
  }
  EepromImage image;
  image.PlaceBytes(reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<int>(first),
                   static_cast<int>(end - first));
  const EepromRows rows = RowsBetween(static_cast<int>(first / kEepromColumns),
                                      static_cast<int>(end / kEepromColumns) - 1);
  return KeepBackup(session, store, QStringLiteral("jtag-eeprom-send"), start,
                    EncodeEepromFile(EepromFormat::kOwn, image, rows), QStringLiteral("txt"));
}

}  // namespace tornavo

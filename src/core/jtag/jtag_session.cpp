#include "core/jtag/jtag_session.h"

#include "core/jtag/debug_unit.h"
#include "core/jtag/jtag_texts.h"
#include "core/jtag/port_frame.h"
#include "core/jtag/tap_driver.h"
#include "core/settings/flash_chip.h"

namespace tornavo {

uint32_t TrapAddressFromText(const QString& text) {
  uint32_t address = kDefaultTrapAddress;
  if (!ParseHexAddress(text, &address)) address = kDefaultTrapAddress;
  return address & ~3u;
}

CpuKind ClassifyIdcode(uint32_t idcode) {
  switch (idcode) {
    case 0xFFFFFFFF:
      return CpuKind::kWrongCode;
    case kIdcodeSti5510:
      return CpuKind::kSti5510;
    case kIdcodeSti5512:
      return CpuKind::kSti5512;
    default:
      return CpuKind::kUnknown;
  }
}

CpuIdentity IdentifyCpu(JtagSession& session, const QString& caption) {
  CpuIdentity identity;
  const Texts& texts = session.texts;
  OperationHost& host = session.host;
  PortFrame frame(session);
  if (!frame.Open(&identity.port_error)) return identity;
  TapDriver tap(session.port, session.state, session.timing);
  DebugUnit unit(tap, session.clock, host, texts);
  unit.DcuResetSequence();
  identity.idcode = tap.ReadIdcode();
  session.port.Flush();
  // A code read from a port that stopped working is no code at all.
  identity.kind = session.port.failed() ? CpuKind::kPortFailed : ClassifyIdcode(identity.idcode);
  if (identity.kind != CpuKind::kPortFailed)
    host.AppendLog(
        LogId::kJtag,
        caption + QStringLiteral(" (IDCODE) : ") +
            QStringLiteral("%1").arg(identity.idcode, 8, 16, QLatin1Char('0')).toUpper());
  switch (identity.kind) {
    case CpuKind::kPortFailed:
      host.Log(LogId::kJtag, LogLevel::kFailure, session.port.failure());
      break;
    case CpuKind::kWrongCode:
      host.AppendLog(LogId::kJtag, texts.Slot(jtag_slot::kCpuCodeWrong));
      break;
    case CpuKind::kSti5510:
      host.AppendLog(LogId::kJtag, texts.Slot(jtag_slot::kCpuType) + QStringLiteral("STi5510"));
      break;
    case CpuKind::kSti5512:
      host.AppendLog(LogId::kJtag, texts.Slot(jtag_slot::kCpuType) + QStringLiteral("STi5512"));
      break;
    default:
      host.AppendLog(LogId::kJtag, texts.Slot(jtag_slot::kCpuCodeUnknown));
      break;
  }
  unit.DcuReleaseReset();
  return identity;
}

}  // namespace tornavo

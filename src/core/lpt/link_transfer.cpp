#include "core/lpt/link_transfer.h"

#include <QLocale>
#include <cmath>

#include "core/texts/text_names.h"

namespace tornavo {

namespace {

constexpr int kSlotOpening = slot::kAbriendoLpt1;
constexpr int kSlotStateAfterOpen = slot::kEstadoTrasAperturaYNegociacion;
constexpr int kSlotTermination1 = slot::kTerminacion1Erronea;
constexpr int kSlotStateNow = slot::kEstadoActual;
constexpr int kSlotSending = slot::kEnviandoArchivo;
constexpr int kSlotErrorAt = slot::kErrorEnLaPosicion;
constexpr int kSlotContinuing = slot::kContinuoLaTransmisionCorrigiendoEl;
constexpr int kSlotRecoveryFailed = slot::kErrorEnLaRecuperacionDe;
constexpr int kSlotClosing = slot::kCerrandoLpt1;
constexpr int kSlotTermination2 = slot::kTerminacion2Erronea;
constexpr int kSlotPortRefused = slot::kNoSeHaPodidoAbrir;

QString Address(uint64_t value) {
  return QStringLiteral("%1").arg(value & 0xFFFFFFFFu, 8, 16, QLatin1Char('0')).toUpper();
}

int Clamped(int64_t value) {
  return static_cast<int>(std::min<int64_t>(value, std::numeric_limits<int>::max()));
}

// Speed, time left, bytes sent and the address reached, after `sent` of `count` bytes.
void ShowProgress(OperationHost& host, const Texts& texts, double speed, int64_t sent,
                  int64_t count, uint64_t destination) {
  ProgressReport report;
  report.Speed(QLocale().toString(speed, 'f', 1) + texts.Slot(slot::kKilobytesPerSecond));
  if (speed != 0) {
    const double remaining = (count - sent) / (speed * 1024);
    report.Remaining(QString::number(static_cast<long long>(std::nearbyint(remaining))) +
                     texts.Slot(slot::kSeconds));
  }
  host.Report(StatusPage::kFirmware,
              report.Done(Clamped(sent)).Address(Address(destination + sent)));
}

}  // namespace

LinkTransferResult SendBufferOverLink(PortRegisters& registers, MonotonicClock& clock,
                                      OperationHost& host, const Texts& texts,
                                      const LinkDelays& delays, QString& state,
                                      const LinkTransferRequest& request) {
  LinkTransferResult result;
  QString error;
  if (!registers.Acquire(&error)) {
    host.AppendLog(LogId::kFirmware, error);
    host.ShowError(PortRefusedText(texts.Slot(kSlotPortRefused), error));
    result.access_refused = true;
    return result;
  }
  auto log = [&](const QString& line) { host.AppendLog(LogId::kFirmware, line); };
  ParallelPort port(registers, clock);
  ParallelLink link(port, delays, state);
  const auto show_failure = [&] {
    if (const std::optional<int> slot = link.TakeFailure()) host.ShowError(texts.Slot(*slot));
  };

  log(texts.Slot(kSlotOpening));
  link.OpenParallelLink();
  show_failure();
  log(texts.Slot(kSlotStateAfterOpen) + state);
  if ((state == link_state::kNoData || state == link_state::kData) && !link.TerminateLink())
    log(texts.Slot(kSlotTermination1));
  log(texts.Slot(kSlotStateNow) + state);
  log(texts.Slot(kSlotSending));
  port.WaitMs(delays.start_ms);
  const uint64_t start_ms = clock.NowMs();

  const QByteArray& buffer = request.buffer;
  const int64_t count = buffer.size();
  int64_t i = 0;
  int errors = 0;
  bool fatal = false;
  bool pending_error = false;
  double speed = 0;
  while (i < count && errors < kLinkErrorLimit && !fatal && !registers.failed()) {
    const int r = link.SendLinkByte(static_cast<uint8_t>(buffer.at(static_cast<qsizetype>(i))));
    ++i;
    if (request.show_progress && i % kProgressStep == 0) {
      const uint64_t elapsed = clock.NowMs() - start_ms;
      if (elapsed > 0) speed = (i / 1024.0) / (elapsed / 1000.0);
      ShowProgress(host, texts, speed, i, count, request.destination);
    }
    if (delays.between_bytes != 0) SpinDelayWide(delays.between_bytes);
    pending_error = r != 0;
    if (pending_error) {
      --i;
      ++errors;
      host.Report(StatusPage::kFirmware,
                  ProgressReport()
                      .Address(Address(request.destination + i))
                      .Errors(QString::number(errors))
                      .Remaining(QStringLiteral("0 ") + texts.Slot(slot::kSeconds)));
      log(texts.Slot(kSlotErrorAt) + QString::number(i) + texts.Slot(kSlotContinuing));
      fatal = link.RecoverLink();
    }
  }
  host.Report(StatusPage::kFirmware,
              ProgressReport().Done(Clamped(i)).Address(Address(request.destination + i - 1)));
  if (fatal) log(texts.Slot(kSlotRecoveryFailed));
  link.Negotiate1284();
  show_failure();
  log(texts.Slot(kSlotClosing));
  if (!link.TerminateLink()) log(texts.Slot(kSlotTermination2));
  registers.Flush();
  // Bytes written to a port that failed never reached the receiver, whatever the loop saw.
  result.port_failure = registers.failure();
  if (registers.failed()) log(result.port_failure);
  registers.Release();

  result.errors = errors;
  result.complete = i == count && !pending_error && errors < kLinkErrorLimit && !fatal &&
                    result.port_failure.isEmpty();
  if (!result.complete && result.port_failure.isEmpty())
    result.link_failure =
        fatal ? texts.Slot(kSlotRecoveryFailed) : texts.Slot(kSlotErrorAt) + QString::number(i);
  return result;
}

}  // namespace tornavo

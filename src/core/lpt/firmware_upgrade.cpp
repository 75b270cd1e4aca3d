#include "core/lpt/firmware_upgrade.h"

#include "core/serial/checksum.h"
#include "core/serial/service_reply.h"
#include "core/texts/text_names.h"

namespace tornavo {

namespace {

constexpr int kSlotSending = slot::kEnviando;
constexpr int kSlotWaitingForReceiver = slot::kEsperandoRespuestaDelDecodificadorPuede;
constexpr int kSlotPortRefused = slot::kNoSeHaPodidoAbrir;
constexpr int kSlotRefused = slot::kElDecodificadorNoPermiteEnviar;
constexpr int kSlotSucceeded = slot::kActualizacionCompletadaConExito;
constexpr int kSlotReportedFailed = slot::kElDecodificadorInformaQueLa;
constexpr int kSlotNoPhase1Reply = slot::kNoHayRespuestaDelDecodificador45;
constexpr int kSlotNoPhase2Reply = slot::kNoHayRespuestaDelDecodificador46;
constexpr StatusPage kPage = StatusPage::kFirmware;

const char* const kHeads[] = {"%DL", "%PL", "%FL"};

// The typed address as a number: hexadecimal digits only, 0 for anything else.
uint64_t AddressValue(const QString& text) {
  bool ok = false;
  const uint64_t value = text.toULongLong(&ok, 16);
  return ok && !text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? value : 0;
}

QString Hex(uint64_t value, int digits) {
  return QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

}  // namespace

bool AddressPreset(const QString& address, FirmwareCommand* command, bool* phases) {
  const int index = static_cast<int>(kFirmwareAddresses.indexOf(address));
  if (index < 0) return false;
  static constexpr FirmwareCommand kCommands[] = {FirmwareCommand::kDL, FirmwareCommand::kFL,
                                                  FirmwareCommand::kFL, FirmwareCommand::kPL};
  *command = kCommands[index];
  *phases = index == 0;
  return true;
}

QByteArray UpgradeCommandText(FirmwareCommand command, const QString& address,
                              const QByteArray& data) {
  uint16_t sum = 0;
  for (char c : data) sum = static_cast<uint16_t>(sum + static_cast<uint8_t>(c));
  return QByteArray(kHeads[static_cast<int>(command)]) + '=' + address.left(8).toLatin1() +
         Hex(static_cast<uint64_t>(data.size()), 8).toLatin1() + Hex(sum, 4).toLatin1();
}

FirmwareUpgrade::FirmwareUpgrade(ServiceLink& link, OperationHost& host, const Texts& texts,
                                 BlockingRunner& runner, MonotonicClock& clock)
    : link_(link), host_(host), texts_(texts), runner_(runner), clock_(clock) {}

bool FirmwareUpgrade::Start(const QByteArray& data, const FirmwareOptions& options) {
  if (running() || runner_.running()) return false;
  // The port is tried before the receiver is told to expect the bytes: one that cannot be
  // used must leave the receiver as it was.
  QString error;
  std::shared_ptr<PortRegisters> port(opener_ ? opener_(&error).release() : nullptr);
  if (!port || !port->Acquire(&error)) {
    host_.AppendLog(LogId::kFirmware, error);
    host_.ShowError(PortRefusedText(texts_.Slot(kSlotPortRefused), error));
    outcome_ = FirmwareOutcome::kPortRefused;
    return false;
  }
  port->Release();
  port_ = std::move(port);
  options_ = options;
  buffer_ = data;
  host_.DisablePages();
  link_.Begin(opcode::kFirmware);
  phase_ = 0;
  errors_ = 0;
  outcome_ = FirmwareOutcome::kRunning;
  host_.Report(kPage,
               ProgressReport::Start(texts_.Slot(kSlotSending), options_.address,
                                     static_cast<int>(std::min<qsizetype>(data.size(), INT_MAX))));
  link_.SendServiceCommand(
      AppendChecksum(UpgradeCommandText(options_.command, options_.address, buffer_)));
  return true;
}

void FirmwareUpgrade::OnFrameSent(const QByteArray& frame) {
  host_.AppendLog(LogId::kFirmware, QString::fromLatin1(frame));
}

void FirmwareUpgrade::OnReply(const QByteArray& line) {
  host_.AppendLog(LogId::kFirmware, QString::fromLatin1(line));
  host_.AppendLog(LogId::kTerminal, QString::fromLatin1(line));
  // A line under the upgrade's code while none runs starts nothing.
  if (!running()) return;
  if (phase_ == 2) {
    if (IsPositiveReply(line)) {
      host_.ShowInformation(texts_.Slot(kSlotSucceeded));
      Finish(FirmwareOutcome::kSucceeded);
    } else {
      host_.ShowError(texts_.Slot(kSlotReportedFailed));
      Finish(FirmwareOutcome::kReportedFailed);
    }
    return;
  }
  if (phase_ == 1) {
    phase_ = 2;
    SendVerificationQuery();
    return;
  }
  if (!IsPositiveReply(line)) {
    ++errors_;
    host_.ShowError(texts_.Slot(kSlotRefused));
    Finish(FirmwareOutcome::kRefused);
    return;
  }
  RunTransfer();
}

void FirmwareUpgrade::RunTransfer() {
  // Replies that come while the bytes go out are handled once the phase has moved on.
  link_.HoldReplies();
  LinkTransferRequest request;
  request.buffer = buffer_;
  request.destination = AddressValue(options_.address);
  request.show_progress = options_.show_progress;
  // The backend was chosen at the start, on the caller's thread; the worker only uses it.
  const bool started = runner_.Run(
      [this, request, port = port_](OperationHost& host) {
        transfer_result_ =
            SendBufferOverLink(*port, clock_, host, texts_, options_.delays, link_state_, request);
      },
      [this] { OnTransferDone(transfer_result_); });
  if (!started) OnTransferDone(LinkTransferResult{});
}

void FirmwareUpgrade::OnTransferDone(const LinkTransferResult& result) {
  if (!result.complete) {
    // A port that stopped working is said once, naming it; the link's own failures are
    // in the log.
    if (!result.port_failure.isEmpty())
      host_.ShowError(result.port_failure);
    else if (!result.link_failure.isEmpty())
      host_.ShowError(result.link_failure);
    Finish(result.access_refused ? FirmwareOutcome::kPortRefused
                                 : FirmwareOutcome::kTransferFailed);
    link_.ReleaseReplies();
    return;
  }
  if (options_.phases) {
    host_.AppendLog(LogId::kFirmware, texts_.Slot(kSlotWaitingForReceiver));
    phase_ = 1;
    link_.StartReplyTimer(ServiceLink::kFirmwareTimeoutMs);
  } else {
    phase_ = 2;
    SendVerificationQuery();
  }
  link_.ReleaseReplies();
}

void FirmwareUpgrade::SendVerificationQuery() {
  WaitMs(clock_, options_.verification_delay_ms);
  link_.SendServiceCommand(
      AppendChecksum(QByteArray(kHeads[static_cast<int>(options_.command)]) + '?'));
}

void FirmwareUpgrade::OnEarlyReply(const QByteArray& text) {
  host_.AppendLog(LogId::kFirmware, QString::fromLatin1(text));
}

void FirmwareUpgrade::OnTimeout() {
  host_.ResetStatus(kPage);
  if (phase_ == 0) {
    host_.AppendLog(LogId::kFirmware, texts_.Slot(slot::kNoReply));
    host_.ShowError(NoReplyMessage(texts_, link_.port_name()));
  } else {
    const int message = phase_ == 1 ? kSlotNoPhase1Reply : kSlotNoPhase2Reply;
    host_.AppendLog(LogId::kFirmware, texts_.Slot(message));
    host_.ShowError(texts_.Slot(message));
  }
  // The link gives the pages back after every time-out.
  Finish(FirmwareOutcome::kNoReply, /*unlock=*/false);
}

void FirmwareUpgrade::OnPortFailure(const QString& message) {
  host_.AppendLog(LogId::kFirmware, message);
  host_.ShowError(message);
  // As after a time-out, the link gives the pages back.
  Finish(FirmwareOutcome::kSerialFailed, /*unlock=*/false);
}

void FirmwareUpgrade::Finish(FirmwareOutcome outcome, bool unlock) {
  host_.ResetStatus(kPage);
  link_.End();
  buffer_.clear();
  port_.reset();
  outcome_ = outcome;
  if (unlock) host_.EnablePages();
  if (on_finished_) on_finished_();
}

const QString ParallelCheck::kPortGood =
    QStringLiteral("El puerto paralelo del decodificador está en perfecto estado.");
const QString ParallelCheck::kPortBad =
    QStringLiteral("El decodificador informa que el puerto paralelo no funciona correctamente.");

void ParallelCheck::Start() {
  host_.DisablePages();
  link_.Begin(opcode::kParallelCheck);
  outcome_ = FirmwareOutcome::kRunning;
  link_.SendServiceCommand(AppendChecksum("%PR?"));
}

void ParallelCheck::OnFrameSent(const QByteArray& frame) {
  host_.AppendLog(LogId::kFirmware, QString::fromLatin1(frame));
}

void ParallelCheck::OnReply(const QByteArray& line) {
  host_.AppendLog(LogId::kFirmware, QString::fromLatin1(line));
  link_.End();
  const bool good = IsPositiveReply(line);
  outcome_ = good ? FirmwareOutcome::kSucceeded : FirmwareOutcome::kReportedFailed;
  if (good)
    host_.ShowInformation(kPortGood);
  else
    host_.ShowError(kPortBad);
  host_.EnablePages();
  if (on_finished_) on_finished_();
}

void ParallelCheck::OnPortFailure(const QString& message) {
  outcome_ = FirmwareOutcome::kSerialFailed;
  host_.AppendLog(LogId::kFirmware, message);
  host_.ShowError(message);
  if (on_finished_) on_finished_();
}

void ParallelCheck::OnTimeout() {
  outcome_ = FirmwareOutcome::kNoReply;
  host_.AppendLog(LogId::kFirmware, texts_.Slot(slot::kNoReply));
  host_.ShowError(NoReplyMessage(texts_, link_.port_name()));
  if (on_finished_) on_finished_();
}

}  // namespace tornavo

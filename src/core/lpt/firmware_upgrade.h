#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

#include "core/lpt/link_transfer.h"
#include "core/lpt/parallel_link.h"
#include "core/lpt/port_registers.h"
#include "core/lpt/timing.h"
#include "core/runtime/blocking_runner.h"
#include "core/runtime/operation_host.h"
#include "core/serial/serial_operation.h"
#include "core/serial/service_link.h"
#include "core/texts/texts.h"

namespace tornavo {

// The upgrade command letters: DL (K2002), PL (K6003, K7003), FL (K6003, K7003, K2501).
enum class FirmwareCommand { kDL = 0, kPL, kFL };

// What an upgrade is sent with, from the page or the command line.
struct FirmwareOptions {
  QString address = QStringLiteral("7FE00000");  // "Dirección" as typed
  FirmwareCommand command = FirmwareCommand::kDL;
  bool phases = true;  // "Envío con fase 1 y 2"
  bool show_progress = false;
  LinkDelays delays;
  int64_t verification_delay_ms = 1000;  // RetardoVerificacion
};

// The entries of the "Dirección" list, each choosing a command and the phase option.
inline const QStringList kFirmwareAddresses = {"7FE00000", "60000000", "FFF90000", "FFF82000"};
// False for an address that is not one of them (typed text changes nothing).
bool AddressPreset(const QString& address, FirmwareCommand* command, bool* phases);

// "%DL=" + address as typed + count in 8 digits + 16-bit sum in 4, before the checksum.
QByteArray UpgradeCommandText(FirmwareCommand command, const QString& address,
                              const QByteArray& data);

enum class FirmwareOutcome {
  kNone,
  kRunning,
  kSucceeded,       // the receiver verified the upgrade
  kRefused,         // the receiver refused the command
  kReportedFailed,  // the receiver's verification said no
  kNoReply,
  kTransferFailed,  // the parallel transfer ended early
  kPortRefused,     // port access refused
  kSerialFailed,    // the serial port stopped working
};

// The firmware upgrade over the serial link and the parallel port. Phase 0: the command is
// announced; an acceptance runs the parallel transfer (off the caller's thread when the
// runner says so, the link holding replies meanwhile); phase 1: the receiver's own
// completion line, up to 75 s; phase 2: the verification query and its verdict.
class FirmwareUpgrade : public SerialOperation {
 public:
  // Opens the chosen parallel port backend for one operation; null with *error if it can't.
  using PortOpener = std::function<std::unique_ptr<PortRegisters>(QString* error)>;

  FirmwareUpgrade(ServiceLink& link, OperationHost& host, const Texts& texts,
                  BlockingRunner& runner, MonotonicClock& clock);

  void SetPortOpener(PortOpener opener) { opener_ = std::move(opener); }
  void SetOnFinished(std::function<void()> finished) { on_finished_ = std::move(finished); }

  // Starts an upgrade of data; false (nothing sent) while one runs, or when the parallel
  // port cannot be used (said in a box, outcome kPortRefused).
  bool Start(const QByteArray& data, const FirmwareOptions& options);

  void OnFrameSent(const QByteArray& frame) override;
  void OnReply(const QByteArray& line) override;
  void OnTimeout() override;
  void OnPortFailure(const QString& message) override;
  // The receiver's end-of-transfer line, when no phase waits for it.
  void OnEarlyReply(const QByteArray& text) override;

  int phase() const { return phase_; }
  FirmwareOutcome outcome() const { return outcome_; }
  const QString& link_state() const { return link_state_; }
  bool running() const { return outcome_ == FirmwareOutcome::kRunning; }

 private:
  void RunTransfer();
  void OnTransferDone(const LinkTransferResult& result);
  void SendVerificationQuery();
  // Ends the upgrade; unlock: give the pages back (a time-out leaves that to the link).
  void Finish(FirmwareOutcome outcome, bool unlock = true);

  ServiceLink& link_;
  OperationHost& host_;
  const Texts& texts_;
  BlockingRunner& runner_;
  MonotonicClock& clock_;
  PortOpener opener_;
  std::function<void()> on_finished_;

  FirmwareOptions options_;
  QByteArray buffer_;
  std::shared_ptr<PortRegisters> port_;  // from the start to the end of one upgrade
  int phase_ = 0;
  int errors_ = 0;
  QString link_state_;
  FirmwareOutcome outcome_ = FirmwareOutcome::kNone;
  LinkTransferResult transfer_result_;
};

// "Comprobar LPT": one "%PR?" and the receiver's verdict on its parallel port.
class ParallelCheck : public SerialOperation {
 public:
  ParallelCheck(ServiceLink& link, OperationHost& host, const Texts& texts)
      : link_(link), host_(host), texts_(texts) {}

  void SetOnFinished(std::function<void()> finished) { on_finished_ = std::move(finished); }
  void Start();

  void OnFrameSent(const QByteArray& frame) override;
  void OnReply(const QByteArray& line) override;
  void OnTimeout() override;
  void OnPortFailure(const QString& message) override;

  FirmwareOutcome outcome() const { return outcome_; }
  bool running() const { return outcome_ == FirmwareOutcome::kRunning; }

  static const QString kPortGood;
  static const QString kPortBad;

 private:
  ServiceLink& link_;
  OperationHost& host_;
  const Texts& texts_;
  std::function<void()> on_finished_;
  FirmwareOutcome outcome_ = FirmwareOutcome::kNone;
};

}  // namespace tornavo

#pragma once

#include <QDeadlineTimer>
#include <QObject>
#include <QTimer>
#include <map>
#include <optional>

#include "core/runtime/operation_host.h"
#include "core/serial/reply_accumulator.h"
#include "core/serial/serial_operation.h"
#include "core/serial/serial_transport.h"
#include "core/texts/texts.h"

namespace tornavo {

// The one service conversation with the receiver: frames go out through SendServiceCommand,
// reply lines come back through the accumulator and are routed by the serial operation code
// to the operation that waits, and one reply timer ends a conversation the receiver does
// not answer. A port that fails ends the conversation at once, with the port's reason.
class ServiceLink : public QObject {
  Q_OBJECT

 public:
  static constexpr int kReplyTimeoutMs = 15000;
  static constexpr int kFirmwareTimeoutMs = 75000;

  ServiceLink(SerialTransport& transport, OperationHost& host, QObject* parent = nullptr);

  // Routing table. Codes without a route, and every reply while no operation waits, go to
  // the terminal route.
  void Route(uint8_t code, SerialOperation* operation);
  void SetTerminalRoute(SerialOperation* terminal) { terminal_ = terminal; }

  // An operation takes the link under a code before its first send ...
  void Begin(uint8_t code);
  // ... and gives it back on every ending path, so that a late reply cannot restart it.
  void End();
  bool waiting() const { return waiting_; }
  uint8_t operation_code() const { return code_; }

  // SendServiceCommand: logs the frame by operation code, arms the reply timer, writes.
  // Whatever arrived before it (a line held back while a transfer ran, the tail of an earlier
  // reply) never answers it: that text goes to the terminal log and OnEarlyReply first.
  // A closed port (one that failed before) is opened again first; one that cannot be opened
  // is sent and logged nothing. When the port cannot be opened, fails or cannot be written,
  // the operation gets OnPortFailure instead of a time-out, never within this call.
  void SendServiceCommand(const QByteArray& frame);
  // Re-arms the reply timer with another period (the firmware upgrade's long wait).
  void StartReplyTimer(int period_ms);
  bool reply_timer_active() const { return timer_.isActive(); }

  // While a blocking port operation runs, replies wait in the transport; released, they are
  // handled as if they had just arrived, by the operation and phase current then. So is a
  // failure of the port meanwhile.
  void HoldReplies() { held_ = true; }
  void ReleaseReplies();

  // Shorter periods for tests; the product keeps the defaults.
  void SetTimeoutScale(double scale) { scale_ = scale; }

  // The device the receiver is reached on.
  QString port_name() const { return transport_.settings().name; }

 private:
  void TakeEarlyReplies();
  void OnBytesReceived();
  void OnReplyTimeout();
  // A failure is handed to the operation from the event loop: it may come while the
  // operation is still inside its own send.
  void FailLater(const QString& message);
  void DeliverFailure();
  SerialOperation* RouteFor(uint8_t code) const;

  SerialTransport& transport_;
  OperationHost& host_;
  ReplyAccumulator accumulator_;
  QTimer timer_;
  std::map<uint8_t, SerialOperation*> routes_;
  SerialOperation* terminal_ = nullptr;
  uint8_t code_ = opcode::kNone;
  bool waiting_ = false;
  bool held_ = false;
  std::optional<QString> failure_;  // a port failure not yet handed to the operation
  int period_ms_ = kReplyTimeoutMs;
  double scale_ = 1.0;
  // However the reply dribbles in, a request ends at the latest twice its period after it
  // was sent.
  QDeadlineTimer deadline_;
};

// The two-line message of a receiver that did not answer, with a third naming the port.
QString NoReplyMessage(const Texts& texts, const QString& port);

}  // namespace tornavo

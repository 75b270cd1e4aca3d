#include "core/serial/service_link.h"

#include <algorithm>
#include <utility>

#include "core/texts/text_names.h"

namespace tornavo {

ServiceLink::ServiceLink(SerialTransport& transport, OperationHost& host, QObject* parent)
    : QObject(parent), transport_(transport), host_(host) {
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &ServiceLink::OnReplyTimeout);
  connect(&transport_, &SerialTransport::BytesReceived, this, &ServiceLink::OnBytesReceived);
  connect(&transport_, &SerialTransport::PortFailed, this, &ServiceLink::FailLater);
}

void ServiceLink::Route(uint8_t code, SerialOperation* operation) { routes_[code] = operation; }

void ServiceLink::Begin(uint8_t code) {
  code_ = code;
  waiting_ = true;
}

void ServiceLink::End() { waiting_ = false; }

SerialOperation* ServiceLink::RouteFor(uint8_t code) const {
  if (!waiting_) return terminal_;
  auto it = routes_.find(code);
  return it != routes_.end() ? it->second : terminal_;
}

void ServiceLink::TakeEarlyReplies() {
  QByteArray early = accumulator_.pending() + transport_.ReadArrived();
  accumulator_.Clear();
  if (early.isEmpty()) return;
  host_.AppendLog(LogId::kTerminal, QString::fromLatin1(early));
  if (!waiting_) return;
  if (SerialOperation* operation = RouteFor(code_))
    if (operation != terminal_) operation->OnEarlyReply(early);
}

void ServiceLink::SendServiceCommand(const QByteArray& frame) {
  // The operation ends with the failure already on its way.
  if (failure_) return;
  QString error;
  if (!transport_.IsOpen() && !transport_.Open(&error)) {
    FailLater(error);
    return;
  }
  TakeEarlyReplies();
  if (!transport_.IsOpen()) return;  // the port failed as the early replies were taken
  if (waiting_ && code_ != opcode::kTerminal) {
    if (SerialOperation* operation = RouteFor(code_)) operation->OnFrameSent(frame);
  }
  host_.AppendLog(LogId::kTerminal, QString::fromLatin1(frame));
  StartReplyTimer(kReplyTimeoutMs);
  if (!transport_.Write(frame, &error)) FailLater(error);
}

void ServiceLink::StartReplyTimer(int period_ms) {
  period_ms_ = period_ms;
  const int scaled = static_cast<int>(period_ms * scale_);
  deadline_.setRemainingTime(2 * static_cast<qint64>(scaled));
  timer_.start(scaled);
}

void ServiceLink::ReleaseReplies() {
  held_ = false;
  if (failure_) {
    DeliverFailure();
    return;
  }
  OnBytesReceived();
}

void ServiceLink::OnBytesReceived() {
  if (held_) return;
  const QByteArray piece = transport_.ReadAll();
  if (piece.isEmpty()) return;
  timer_.stop();
  if (std::optional<QByteArray> line = accumulator_.Feed(piece)) {
    // The line is out of the accumulator before the handler runs: a handler that shows a
    // message box runs a nested event loop in which more bytes may arrive.
    if (SerialOperation* operation = RouteFor(code_)) operation->OnReply(*line);
    return;
  }
  const QByteArray dropped = accumulator_.TakeOverlong();
  if (!dropped.isEmpty()) {
    if (SerialOperation* operation = RouteFor(code_)) operation->OnOverlongReply(dropped);
    // The operation may have sent again (a fresh period) or ended (nothing to wait for).
    if (timer_.isActive() || !waiting_) return;
  }
  // A reply that has started but not ended must not hold the pages for ever: the wait is
  // measured again from the last character, but never past the request's deadline.
  if (waiting_ && (!accumulator_.pending().isEmpty() || !dropped.isEmpty())) {
    const qint64 period = static_cast<qint64>(period_ms_ * scale_);
    const qint64 left = deadline_.remainingTime();
    timer_.start(static_cast<int>(left < 0 ? period : std::min(left, period)));
  }
}

void ServiceLink::OnReplyTimeout() {
  SerialOperation* operation = RouteFor(code_);
  if (code_ != opcode::kTerminal) waiting_ = false;
  if (operation) operation->OnTimeout();
  timer_.stop();
  host_.EnablePages();
}

void ServiceLink::FailLater(const QString& message) {
  // The first failure says why; what follows from it (a write to the closed port) adds
  // nothing.
  if (failure_) return;
  failure_ = message;
  transport_.Close();
  // No reply can come: the time-out must not take the operation first.
  timer_.stop();
  QMetaObject::invokeMethod(this, &ServiceLink::DeliverFailure, Qt::QueuedConnection);
}

void ServiceLink::DeliverFailure() {
  if (held_ || !failure_) return;
  const QString message = *std::exchange(failure_, std::nullopt);
  // A reply the failure cut short answers nothing.
  accumulator_.Clear();
  // When nothing waited, the terminal says so, and the pages stay as whatever holds them (a
  // JTAG operation, perhaps) has them.
  const bool was_waiting = waiting_;
  SerialOperation* operation = RouteFor(code_);
  if (code_ != opcode::kTerminal) waiting_ = false;
  if (operation) operation->OnPortFailure(message);
  if (was_waiting) host_.EnablePages();
}

}  // namespace tornavo

namespace tornavo {

QString NoReplyMessage(const Texts& texts, const QString& port) {
  const QString message = texts.TwoLines(slot::kNoReply, slot::kCheckServiceMode);
  return port.isEmpty() ? message
                        : message + QLatin1Char('\n') + texts.Key(text_key::kPuerto) + port;
}

}  // namespace tornavo

#include "core/serial/qt_serial_transport.h"

#include <poll.h>

#include <QSerialPortInfo>

#include "core/port/port_diagnosis.h"
#include "core/texts/texts.h"

namespace tornavo {

namespace {

constexpr qint64 kBufferSize = 2048;

QSerialPort::Parity ToQt(Parity parity) {
  switch (parity) {
    case Parity::kNone:
      return QSerialPort::NoParity;
    case Parity::kEven:
      return QSerialPort::EvenParity;
    case Parity::kOdd:
      return QSerialPort::OddParity;
    case Parity::kMark:
      return QSerialPort::MarkParity;
    case Parity::kSpace:
      return QSerialPort::SpaceParity;
  }
  return QSerialPort::NoParity;
}

QSerialPort::FlowControl ToQt(FlowControl flow) {
  switch (flow) {
    case FlowControl::kNone:
      return QSerialPort::NoFlowControl;
    case FlowControl::kSoftware:
      return QSerialPort::SoftwareControl;
    case FlowControl::kHardware:
      return QSerialPort::HardwareControl;
  }
  return QSerialPort::NoFlowControl;
}

bool IsPortFailure(QSerialPort::SerialPortError error) {
  return error == QSerialPort::ReadError || error == QSerialPort::WriteError ||
         error == QSerialPort::ResourceError;
}

// Whether the device behind the descriptor hung up (an adapter unplugged, the far end of a
// pseudo-terminal closed).
bool HungUp(qintptr handle) {
  pollfd probe{static_cast<int>(handle), POLLIN, 0};
  return ::poll(&probe, 1, 0) > 0 && (probe.revents & POLLHUP) != 0;
}

}  // namespace

QtSerialTransport::QtSerialTransport(const Texts* texts, QObject* parent)
    : SerialTransport(parent), texts_(texts) {
  port_.setReadBufferSize(kBufferSize);
  connect(&port_, &QSerialPort::readyRead, this, &SerialTransport::BytesReceived);
  connect(&port_, &QSerialPort::errorOccurred, this, &QtSerialTransport::OnPortError);
}

QStringList QtSerialTransport::AvailablePorts() {
  QStringList names;
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
    names << info.systemLocation();
  return names;
}

void QtSerialTransport::SetPortName(const QString& name) {
  settings_.name = name;
  if (!port_.isOpen()) return;
  port_.close();
  QString ignored;
  Open(&ignored);
}

void QtSerialTransport::SetBaudRate(int baud) {
  settings_.baud = baud;
  if (port_.isOpen()) port_.setBaudRate(baud);
}

void QtSerialTransport::SetDataBits(int bits) {
  settings_.data_bits = bits;
  if (port_.isOpen()) port_.setDataBits(static_cast<QSerialPort::DataBits>(bits));
}

void QtSerialTransport::SetParity(Parity parity) {
  settings_.parity = parity;
  if (port_.isOpen()) port_.setParity(ToQt(parity));
}

void QtSerialTransport::SetStopBits(int bits) {
  settings_.stop_bits = bits;
  if (port_.isOpen()) port_.setStopBits(bits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
}

void QtSerialTransport::SetFlowControl(FlowControl flow) {
  settings_.flow = flow;
  if (!port_.isOpen()) return;
  port_.setFlowControl(ToQt(flow));
  ApplyModemLines();
}

void QtSerialTransport::ApplyLineSettings() {
  port_.setBaudRate(settings_.baud);
  port_.setDataBits(static_cast<QSerialPort::DataBits>(settings_.data_bits));
  port_.setParity(ToQt(settings_.parity));
  port_.setStopBits(settings_.stop_bits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
  port_.setFlowControl(ToQt(settings_.flow));
}

void QtSerialTransport::ApplyModemLines() {
  // DTR asserted, RTS negated unless the handshake owns it. Pseudo-terminals refuse these
  // ioctls; that is harmless, so the error is cleared and the port stays usable.
  port_.setDataTerminalReady(true);
  if (settings_.flow != FlowControl::kHardware) port_.setRequestToSend(false);
  port_.clearError();
}

bool QtSerialTransport::Open(QString* error) {
  if (port_.isOpen()) return true;
  port_.setPortName(settings_.name);
  ApplyLineSettings();
  if (!port_.open(QIODevice::ReadWrite)) {
    if (error) *error = ErrorText(QStringLiteral("open")) + Advice();
    port_.clearError();
    return false;
  }
  ApplyLineSettings();
  ApplyModemLines();
  return true;
}

QString QtSerialTransport::Advice() const {
  // The system's reason alone ("Permission denied") does not say what to do about it.
  const QString advice =
      PortInspector(QStringLiteral("/"), CurrentUser(), texts_ ? *texts_ : Texts())
          .Serial(settings_.name)
          .Explanation();
  return advice.isEmpty() ? advice : u'\n' + advice;
}

bool QtSerialTransport::IsOpen() const { return port_.isOpen(); }

void QtSerialTransport::Close() {
  if (port_.isOpen()) port_.close();
}

bool QtSerialTransport::Write(const QByteArray& bytes, QString* error) {
  if (!port_.isOpen()) {
    if (error) *error = QStringLiteral("write %1: the port is not open").arg(settings_.name);
    return false;
  }
  if (port_.write(bytes) != bytes.size()) {
    if (error) *error = ErrorText(QStringLiteral("write"));
    port_.clearError();
    return false;
  }
  writing_ = true;
  port_.flush();
  writing_ = false;
  return true;
}

QByteArray QtSerialTransport::ReadAll() { return port_.isOpen() ? port_.readAll() : QByteArray(); }

QByteArray QtSerialTransport::ReadArrived() {
  if (!port_.isOpen()) return {};
  {
    // Takes what the device holds into the buffer without announcing it.
    const QSignalBlocker quiet(port_);
    port_.waitForReadyRead(0);
  }
  const QByteArray arrived = port_.readAll();
  // The read that found the line gone was not announced either.
  OnPortError(port_.error());
  port_.clearError();
  return arrived;
}

void QtSerialTransport::OnPortError(QSerialPort::SerialPortError error) {
  // A port that is not open has not failed: Open reports its own errors.
  if (!port_.isOpen() || !IsPortFailure(error)) return;
  const bool write = writing_ || error == QSerialPort::WriteError;
  // A line that hung up reads as an end of file, which sets no system error: the port's
  // error text is then whatever an earlier call left.
  const QString reason =
      HungUp(port_.handle()) ? QStringLiteral("the device hung up") : port_.errorString();
  const QString message =
      QStringLiteral("%1 %2: %3")
          .arg(write ? QStringLiteral("write") : QStringLiteral("read"), settings_.name, reason) +
      Advice();
  port_.close();
  emit PortFailed(message);
}

QString QtSerialTransport::ErrorText(const QString& action) const {
  return QStringLiteral("%1 %2: %3").arg(action, settings_.name, port_.errorString());
}

}  // namespace tornavo

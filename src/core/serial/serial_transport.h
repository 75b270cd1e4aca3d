#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include "core/serial/port_settings.h"

namespace tornavo {

// The serial device as the service link uses it. Receive and failure notifications arrive on
// the thread the transport lives on (the user-interface thread in the window).
class SerialTransport : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;
  ~SerialTransport() override = default;

  // Applies one setting; while open it takes effect at once. A new name reopens an open port.
  virtual void SetPortName(const QString& name) = 0;
  virtual void SetBaudRate(int baud) = 0;
  virtual void SetDataBits(int bits) = 0;
  virtual void SetParity(Parity parity) = 0;
  virtual void SetStopBits(int bits) = 0;
  virtual void SetFlowControl(FlowControl flow) = 0;
  virtual PortSettings settings() const = 0;
  // Applies every line setting and the name at once.
  void Configure(const PortSettings& s) {
    SetPortName(s.name);
    SetBaudRate(s.baud);
    SetDataBits(s.data_bits);
    SetParity(s.parity);
    SetStopBits(s.stop_bits);
    SetFlowControl(s.flow);
  }

  // Opens the named device with the current settings. On failure returns false and sets
  // *error to the serial layer's text.
  virtual bool Open(QString* error) = 0;
  virtual bool IsOpen() const = 0;
  virtual void Close() = 0;
  // Hands all bytes to the device. On failure returns false and sets *error.
  virtual bool Write(const QByteArray& bytes, QString* error) = 0;
  // Returns the waiting bytes without blocking.
  virtual QByteArray ReadAll() = 0;
  // Every byte received so far, also those the device holds that no receive notification
  // has announced yet, without notifying: what arrived before a request is sent.
  virtual QByteArray ReadArrived() { return ReadAll(); }

 signals:
  void BytesReceived();
  // The open port stopped working: the device went away, the line hung up, a read or write
  // failed. The port is closed by then; `message` names it and gives the system's reason, as
  // a failed Open does. Also emitted from inside Write or ReadArrived.
  void PortFailed(const QString& message);
};

}  // namespace tornavo

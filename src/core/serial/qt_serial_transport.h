#pragma once

#include <QSerialPort>
#include <QStringList>

#include "core/serial/serial_transport.h"

namespace tornavo {

class Texts;

// SerialTransport over QSerialPort.
class QtSerialTransport : public SerialTransport {
  Q_OBJECT

 public:
  // A port that cannot be opened says why in the language of the texts (the built-in texts
  // without them); they must outlive the transport.
  explicit QtSerialTransport(const Texts* texts = nullptr, QObject* parent = nullptr);

  // Names of the serial devices present (USB adapters included), as the system lists them.
  static QStringList AvailablePorts();

  void SetPortName(const QString& name) override;
  void SetBaudRate(int baud) override;
  void SetDataBits(int bits) override;
  void SetParity(Parity parity) override;
  void SetStopBits(int bits) override;
  void SetFlowControl(FlowControl flow) override;
  PortSettings settings() const override { return settings_; }

  bool Open(QString* error) override;
  bool IsOpen() const override;
  void Close() override;
  bool Write(const QByteArray& bytes, QString* error) override;
  QByteArray ReadAll() override;
  QByteArray ReadArrived() override;

 private:
  void ApplyLineSettings();
  void ApplyModemLines();
  QString ErrorText(const QString& action) const;
  // What the system says about the device, when that is something to act on: on a line of
  // its own, or nothing.
  QString Advice() const;
  // A read, write or resource error of the open port closes it and reports it: left open, a
  // hung-up line signals readiness without end.
  void OnPortError(QSerialPort::SerialPortError error);

  const Texts* texts_;
  QSerialPort port_;
  PortSettings settings_;
  bool writing_ = false;  // inside Write: a failure now is the write's
};

}  // namespace tornavo

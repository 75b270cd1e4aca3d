#pragma once

#include <QByteArray>
#include <QList>

#include "core/serial/serial_transport.h"

namespace tornavo::testing {

// A serial port whose far end is the test: it records what is written and delivers the
// pieces the test hands it, each as one receive event.
class FakeTransport : public SerialTransport {
  Q_OBJECT

 public:
  // Like the real port, an open port is reopened under the new name (closed if that fails).
  void SetPortName(const QString& name) override {
    settings_.name = name;
    if (open_) open_ = !fail_open;
  }
  void SetBaudRate(int baud) override { settings_.baud = baud; }
  void SetDataBits(int bits) override { settings_.data_bits = bits; }
  void SetParity(Parity parity) override { settings_.parity = parity; }
  void SetStopBits(int bits) override { settings_.stop_bits = bits; }
  void SetFlowControl(FlowControl flow) override { settings_.flow = flow; }
  PortSettings settings() const override { return settings_; }

  bool Open(QString* error) override {
    if (fail_open) {
      *error = QStringLiteral("open %1: No such file or directory").arg(settings_.name);
      return false;
    }
    open_ = true;
    ++open_count;
    return true;
  }
  bool IsOpen() const override { return open_; }
  void Close() override { open_ = false; }
  bool Write(const QByteArray& bytes, QString* error) override {
    if (!open_ || fail_write) {
      *error = open_ ? QStringLiteral("write %1: Input/output error").arg(settings_.name)
                     : QStringLiteral("write: the port is not open");
      return false;
    }
    written << bytes;
    return true;
  }
  QByteArray ReadAll() override {
    QByteArray out;
    out.swap(pending_);
    return out;
  }

  void Deliver(const QByteArray& piece) {
    pending_ += piece;
    emit BytesReceived();
  }
  // The device goes away under the open port, as the real one reports it.
  void FailPort(const QString& message) {
    open_ = false;
    emit PortFailed(message);
  }

  QList<QByteArray> written;
  bool fail_open = false;
  bool fail_write = false;
  int open_count = 0;

 private:
  PortSettings settings_;
  QByteArray pending_;
  bool open_ = false;
};

}  // namespace tornavo::testing

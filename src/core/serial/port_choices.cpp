#include "core/serial/port_choices.h"

namespace tornavo {

namespace {
bool InRange(int index, size_t size) { return index >= 0 && static_cast<size_t>(index) < size; }
}  // namespace

PortChoices::PortChoices(SerialTransport& transport, OperationHost& host)
    : transport_(transport), host_(host) {}

void PortChoices::SetPortNames(const QStringList& system_ports, const QStringList& extra_ports) {
  names_.clear();
  for (const QString& name : system_ports + extra_ports)
    if (!name.isEmpty() && !names_.contains(name)) names_ << name;
}

void PortChoices::ApplyPort(int index) {
  if (!InRange(index, names_.size())) return;
  port_ = index;
  transport_.SetPortName(names_[index]);
  if (!transport_.IsOpen()) OpenPort();
}

void PortChoices::ApplyBaud(int index) {
  if (!InRange(index, kBaudRates.size())) return;
  baud_ = index;
  transport_.SetBaudRate(kBaudRates[index]);
}

void PortChoices::ApplyDataBits(int index) {
  if (!InRange(index, kDataBits.size())) return;
  data_bits_ = index;
  transport_.SetDataBits(kDataBits[index]);
}

void PortChoices::ApplyParity(int index) {
  if (!InRange(index, 5)) return;
  parity_ = index;
  transport_.SetParity(static_cast<Parity>(index));
}

void PortChoices::ApplyStopBits(int index) {
  if (!InRange(index, kStopBits.size())) return;
  stop_bits_ = index;
  transport_.SetStopBits(kStopBits[index]);
}

void PortChoices::ApplyFlow(int index) {
  if (!InRange(index, 3)) return;
  flow_ = index;
  transport_.SetFlowControl(static_cast<FlowControl>(index));
}

void PortChoices::ApplyAllAndOpen() {
  if (!InRange(port_, names_.size())) return;
  transport_.SetPortName(names_[port_]);
  ApplyBaud(baud_);
  ApplyDataBits(data_bits_);
  ApplyFlow(flow_);
  ApplyParity(parity_);
  ApplyStopBits(stop_bits_);
  OpenPort();
}

bool PortChoices::OpenPort() {
  QString error;
  if (transport_.Open(&error)) return true;
  host_.ShowError(error);
  return false;
}

void PortChoices::Select(int port, int baud, int data_bits, int parity, int stop_bits, int flow) {
  port_ = InRange(port, names_.size()) ? port : -1;
  baud_ = baud;
  data_bits_ = data_bits;
  parity_ = parity;
  stop_bits_ = stop_bits;
  flow_ = flow;
}

}  // namespace tornavo

#include "core/serial/port_choices.h"

#include "core/settings/settings.h"

namespace tornavo {

namespace {
bool InRange(int index, size_t size) { return index >= 0 && static_cast<size_t>(index) < size; }
}  // namespace

PortChoices::PortChoices(SerialTransport& transport, OperationHost& host, Settings& settings)
    : transport_(transport), host_(host), settings_(settings) {}

int PortChoices::port() const { return static_cast<int>(settings_.Int(Key::kPuerto)); }
int PortChoices::baud() const { return static_cast<int>(settings_.Int(Key::kVelocidad)); }
int PortChoices::data_bits() const { return static_cast<int>(settings_.Int(Key::kBitsDatos)); }
int PortChoices::parity() const { return static_cast<int>(settings_.Int(Key::kParidad)); }
int PortChoices::stop_bits() const { return static_cast<int>(settings_.Int(Key::kBitsParada)); }
int PortChoices::flow() const { return static_cast<int>(settings_.Int(Key::kControlFlujo)); }

void PortChoices::SetPortNames(const QStringList& system_ports, const QStringList& extra_ports) {
  names_.clear();
  for (const QString& name : system_ports + extra_ports)
    if (!name.isEmpty() && !names_.contains(name)) names_ << name;
  settings_.SetPortNames(names_);
}

void PortChoices::ApplyPort(int index) {
  if (!InRange(index, names_.size())) return;
  settings_.SetInt(Key::kPuerto, index);
  transport_.SetPortName(names_[index]);
  if (!transport_.IsOpen()) OpenPort();
}

void PortChoices::ApplyBaud(int index) {
  if (!InRange(index, kBaudRates.size())) return;
  settings_.SetInt(Key::kVelocidad, index);
  transport_.SetBaudRate(kBaudRates[index]);
}

void PortChoices::ApplyDataBits(int index) {
  if (!InRange(index, kDataBits.size())) return;
  settings_.SetInt(Key::kBitsDatos, index);
  transport_.SetDataBits(kDataBits[index]);
}

void PortChoices::ApplyParity(int index) {
  if (!InRange(index, 5)) return;
  settings_.SetInt(Key::kParidad, index);
  transport_.SetParity(static_cast<Parity>(index));
}

void PortChoices::ApplyStopBits(int index) {
  if (!InRange(index, kStopBits.size())) return;
  settings_.SetInt(Key::kBitsParada, index);
  transport_.SetStopBits(kStopBits[index]);
}

void PortChoices::ApplyFlow(int index) {
  if (!InRange(index, 3)) return;
  settings_.SetInt(Key::kControlFlujo, index);
  transport_.SetFlowControl(static_cast<FlowControl>(index));
}

void PortChoices::ApplyAll() {
  if (InRange(port(), names_.size())) {
    const bool was_open = transport_.IsOpen();
    transport_.SetPortName(names_[port()]);
    // An open port is reopened under the new name; when that fails, the reason is shown, as
    // when the port is chosen from its list.
    if (was_open && !transport_.IsOpen()) OpenPort();
  }
  ApplyBaud(baud());
  ApplyDataBits(data_bits());
  ApplyFlow(flow());
  ApplyParity(parity());
  ApplyStopBits(stop_bits());
}

void PortChoices::ApplyAllAndOpen() {
  if (!InRange(port(), names_.size())) return;
  ApplyAll();
  OpenPort();
}

bool PortChoices::OpenPort() {
  QString error;
  if (transport_.Open(&error)) return true;
  host_.ShowError(error);
  return false;
}

void PortChoices::Select(int port, int baud, int data_bits, int parity, int stop_bits, int flow) {
  settings_.SetInt(Key::kPuerto, InRange(port, names_.size()) ? port : -1);
  settings_.SetInt(Key::kVelocidad, baud);
  settings_.SetInt(Key::kBitsDatos, data_bits);
  settings_.SetInt(Key::kParidad, parity);
  settings_.SetInt(Key::kBitsParada, stop_bits);
  settings_.SetInt(Key::kControlFlujo, flow);
}

}  // namespace tornavo

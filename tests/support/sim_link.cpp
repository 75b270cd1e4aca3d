#include "support/sim_link.h"

namespace tornavo::testing {

SimLink::SimLink() {
  receiver.SetPacing(false);
  if (!receiver.Start(&error)) return;
  transport.SetPortName(receiver.device_path());
  link.SetTerminalRoute(&terminal);
  link.Route(opcode::kTerminal, &terminal);
  ready = transport.Open(&error);
}

SimLink::~SimLink() {
  transport.Close();
  receiver.Stop();
}

}  // namespace tornavo::testing

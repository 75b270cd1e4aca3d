#pragma once

#include <deque>
#include <vector>

#include "core/jtag/tap_driver.h"
#include "core/lpt/port_registers.h"

namespace tornavo::testing {

// A cable with a scripted far end: each status read takes the next TDO level from the
// script (idle_tdo once it runs out); every data write is kept, and each rising TCK edge is
// kept with the TMS and TDI levels it clocked in.
class ScriptedJtagPort : public PortRegisters {
 public:
  struct Edge {
    bool tms;
    bool tdi;
  };

  bool Acquire(QString*) override { return true; }
  void Release() override {}
  uint8_t Read(PortRegister reg) override {
    if (reg != PortRegister::kData && reg != PortRegister::kStatus) return 0;
    if (reg == PortRegister::kData) return data;
    ++samples;
    bool tdo = idle_tdo;
    if (!tdo_script.empty()) {
      tdo = tdo_script.front();
      tdo_script.pop_front();
    }
    return tdo ? JtagMask(JtagSignal::kTdo) : 0;
  }
  void Write(PortRegister reg, uint8_t value) override {
    if (reg != PortRegister::kData) return;
    writes.push_back(value);
    const uint8_t tck = JtagMask(JtagSignal::kTck);
    if ((value & tck) && !(data & tck))
      edges.push_back(
          {(value & JtagMask(JtagSignal::kTms)) != 0, (value & JtagMask(JtagSignal::kTdi)) != 0});
    data = value;
  }

  void Script(std::initializer_list<int> bits) {
    for (int b : bits) tdo_script.push_back(b != 0);
  }
  std::vector<int> Tms() const {
    std::vector<int> out;
    for (const Edge& e : edges) out.push_back(e.tms);
    return out;
  }
  std::vector<int> Tdi() const {
    std::vector<int> out;
    for (const Edge& e : edges) out.push_back(e.tdi);
    return out;
  }

  uint8_t data = 0;
  bool idle_tdo = false;
  int samples = 0;
  std::deque<bool> tdo_script;
  std::vector<uint8_t> writes;
  std::vector<Edge> edges;
};

}  // namespace tornavo::testing

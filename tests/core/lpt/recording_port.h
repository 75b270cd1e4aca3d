#pragma once

#include <vector>

#include "core/lpt/port_registers.h"

namespace tornavo::testing {

// Forwards to another port and remembers every access, in order.
class RecordingPort : public PortRegisters {
 public:
  struct Access {
    bool write;
    PortRegister reg;
    uint8_t value;
  };

  explicit RecordingPort(PortRegisters& inner) : inner_(inner) {}
  bool Acquire(QString* error) override { return inner_.Acquire(error); }
  void Release() override { inner_.Release(); }
  uint8_t Read(PortRegister reg) override {
    const uint8_t value = inner_.Read(reg);
    accesses.push_back({false, reg, value});
    return value;
  }
  void Write(PortRegister reg, uint8_t value) override {
    accesses.push_back({true, reg, value});
    inner_.Write(reg, value);
  }

  // The values written to one register, in order.
  std::vector<uint8_t> Writes(PortRegister reg) const {
    std::vector<uint8_t> values;
    for (const Access& a : accesses)
      if (a.write && a.reg == reg) values.push_back(a.value);
    return values;
  }

  std::vector<Access> accesses;

 private:
  PortRegisters& inner_;
};

}  // namespace tornavo::testing

#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

#include "core/jtag/flash_programming.h"
#include "core/jtag/jtag_dump.h"
#include "core/jtag/jtag_session.h"
#include "core/jtag/jtag_state.h"
#include "core/lpt/port_backends.h"
#include "core/runtime/blocking_runner.h"
#include "core/runtime/operation_host.h"
#include "core/settings/settings.h"
#include "core/texts/texts.h"

namespace tornavo {

// The "Dirección" and "Longitud" texts a dump source fills in when chosen.
struct DumpFields {
  QString address;
  QString length;
};

// The chip of the group " Integrado con Lista de Canales ", which the FLASH source reads.
DumpFlashChip ChannelChipOf(const Settings& settings);

// The flash chips, the flash options and the backups of a send or erase as the settings give
// them; backups only when keep_backups allows them too.
void TakeSendSettings(const Settings& settings, bool keep_backups, JtagSendRequest* request);

// The JTAG cable's work for one front end: turns the settings into timing and trap places,
// opens the port a locator names, and builds each operation's session around the state that
// outlives operations. Settings are read on the caller's thread; the bound operation may run
// on another.
class JtagService {
 public:
  JtagService(const Settings& settings, const Texts& texts, PortBackends backends)
      : settings_(settings), texts_(texts), backends_(backends) {}

  JtagState& state() { return state_; }
  bool cable_is_virtual() const { return backends_.virtual_cable() != nullptr; }

  // The cycle lengths the settings give.
  JtagTiming Timing() const;
  // The trap routine's load address the settings give, kDefaultTrapAddress when unreadable.
  uint32_t TrapAddress() const;
  // Where the trap routine is looked for on the port the locator names: explicit_file when
  // given; the virtual receiver's stand-in on its cable; else beside the program, then in the
  // settings folder. Empty, with *error, when the stand-in cannot be written.
  QStringList TrapPlaces(const QString& explicit_file, const PortLocator& locator,
                         QString* error) const;

  // What choosing the source fills the fields with: none for a file, which keeps them.
  std::optional<DumpFields> Preset(DumpSource source) const;
  // A dump of the range from the source, with the channel chip and the trap address as the
  // settings give them and the trap's places (TrapPlaces).
  JtagDumpRequest DumpRequest(DumpSource source, uint32_t address, uint32_t length,
                              QStringList trap_places) const;
  // A send or erase at the dump's range and trap, to the port named, with what the settings
  // give (TakeSendSettings).
  JtagSendRequest SendRequest(const JtagDumpRequest& dump, const QString& port,
                              bool keep_backups) const;

  // The port the locator names, for one operation; null with *error. On the virtual cable,
  // an operation that changes the flash (changes_flash) finds its chips laid out as the
  // settings describe them.
  std::shared_ptr<PortRegisters> OpenPort(const PortLocator& locator, bool changes_flash,
                                          QString* error);
  // The operation on port, with the timing as the settings give it now, ready to run on any
  // thread; the service must outlive it.
  std::function<void(OperationHost&)> Bind(std::shared_ptr<PortRegisters> port,
                                           std::function<void(JtagSession&)> operation);
  // The bound operation on the runner, with host's pages locked from now until it has ended,
  // however it ends; then done, on this thread. False, with nothing run and the pages as they
  // were, when the runner is busy.
  bool Start(BlockingRunner& runner, OperationHost& host, std::shared_ptr<PortRegisters> port,
             std::function<void(JtagSession&)> operation, std::function<void()> done = {});

 private:
  const Settings& settings_;
  const Texts& texts_;
  PortBackends backends_;
  JtagState state_;
};

}  // namespace tornavo

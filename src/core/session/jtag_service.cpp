#include "core/session/jtag_service.h"

#include <QCoreApplication>

#include "core/channels/channel_list.h"
#include "core/channels/table_settings.h"
#include "core/jtag/debug_unit.h"
#include "core/lpt/timing.h"
#include "core/lpt/virtual_cable.h"

namespace tornavo {

JtagTiming JtagService::Timing() const {
  JtagTiming timing;
  timing.tck_cycles = settings_.Int(Key::kDuracionTck);
  timing.wait_start_bits = static_cast<int32_t>(settings_.Int(Key::kWStartBits));
  return timing;
}

uint32_t JtagService::TrapAddress() const {
  return TrapAddressFromText(settings_.Text(Key::kTrapAdr));
}

QStringList JtagService::TrapPlaces(const QString& explicit_file, const PortLocator& locator,
                                    QString* error) const {
  if (!explicit_file.isEmpty()) return {explicit_file};
  VirtualCable* cable = backends_.virtual_cable();
  // The virtual receiver gets its stand-in, never a real routine; a real receiver, on a real
  // port while a virtual one runs beside it, never the stand-in.
  if (cable && locator.kind == PortLocator::Kind::kVirtual) {
    const QString stand_in = cable->TrapStandIn(error);
    return stand_in.isEmpty() ? QStringList() : QStringList{stand_in};
  }
  return TrapFilePlaces(QCoreApplication::applicationDirPath(), settings_.ini_folder());
}

std::optional<DumpFields> JtagService::Preset(DumpSource source) const {
  switch (source) {
    case DumpSource::kRam:
      return DumpFields{QStringLiteral("401289A0"),
                        ChannelRowsOf(settings_) == ChannelList::kLargeChannelRows
                            ? QStringLiteral("EC00")
                            : QStringLiteral("7600")};
    case DumpSource::kFlash:
      return DumpFields{settings_.Text(Key::kFlash2Start), QStringLiteral("50000")};
    case DumpSource::kImage:
      return DumpFields{QStringLiteral("C00D0000"), QStringLiteral("98000")};
    case DumpSource::kEeprom:
      return DumpFields{QStringLiteral("00000000"), QStringLiteral("00800")};
    case DumpSource::kFile:
      break;
  }
  return std::nullopt;
}

DumpFlashChip ChannelChipOf(const Settings& settings) {
  const FlashChipDescription chip = settings.flash_chip(1);
  return {chip.start, chip.size()};
}

JtagDumpRequest JtagService::DumpRequest(DumpSource source, uint32_t address, uint32_t length,
                                         QStringList trap_places) const {
  JtagDumpRequest request;
  request.source = source;
  request.address = address;
  request.length = length;
  request.flash_chip = ChannelChipOf(settings_);
  request.trap_address = TrapAddress();
  request.trap_places = std::move(trap_places);
  return request;
}

void TakeSendSettings(const Settings& settings, bool keep_backups, JtagSendRequest* request) {
  request->chips = {settings.flash_chip(0), settings.flash_chip(1)};
  request->options = {settings.Bool(Key::kForzarJtag), settings.Bool(Key::kVerificarJtag),
                      settings.Bool(Key::kAddFirmwareCrc)};
  // Where the data folder is now; with the setting off, nothing is read or kept.
  request->backups = BackupsWhen(keep_backups && settings.Bool(Key::kCopiaSeguridad));
}

JtagSendRequest JtagService::SendRequest(const JtagDumpRequest& dump, const QString& port,
                                         bool keep_backups) const {
  JtagSendRequest request;
  TakeSendSettings(settings_, keep_backups, &request);
  request.destination = dump.address;
  request.length = dump.length;
  request.trap_address = dump.trap_address;
  request.trap_places = dump.trap_places;
  request.port = port;
  return request;
}

std::shared_ptr<PortRegisters> JtagService::OpenPort(const PortLocator& locator, bool changes_flash,
                                                     QString* error) {
  std::shared_ptr<PortRegisters> port = backends_.Make(locator, error);
  if (port && changes_flash && locator.kind == PortLocator::Kind::kVirtual)
    backends_.virtual_cable()->Follow({settings_.flash_chip(0), settings_.flash_chip(1)});
  return port;
}

std::function<void(OperationHost&)> JtagService::Bind(std::shared_ptr<PortRegisters> port,
                                                      std::function<void(JtagSession&)> operation) {
  return [this, port = std::move(port), timing = Timing(),
          operation = std::move(operation)](OperationHost& host) {
    SteadyMonotonicClock clock;
    JtagSession session{*port, clock, host, texts_, state_, timing};
    operation(session);
  };
}

bool JtagService::Start(BlockingRunner& runner, OperationHost& host,
                        std::shared_ptr<PortRegisters> port,
                        std::function<void(JtagSession&)> operation, std::function<void()> done) {
  if (runner.running()) return false;
  // Locked here, on the host's thread, so that no click lands between the start and the
  // operation's first step; unlocked after its last.
  host.DisablePages();
  const bool started =
      runner.Run(Bind(std::move(port), std::move(operation)), [&host, done = std::move(done)] {
        if (done) done();
        host.EnablePages();
      });
  if (!started) host.EnablePages();
  return started;
}

}  // namespace tornavo

#include "core/lpt/firmware_settings.h"

#include <algorithm>

#include "core/lpt/port_locator.h"
#include "core/runtime/text_file.h"

namespace tornavo {

LinkDelays LinkDelaysOf(const Settings& settings) {
  auto byte = [&](Key key) { return static_cast<uint8_t>(settings.Int(key)); };
  LinkDelays d;
  d.busy_ms = settings.Int(Key::kRetardoBusy);
  d.strobe = byte(Key::kRetardoStrobe);
  d.negotiation1 = byte(Key::kRetardoNegociacion1);
  d.negotiation2_ms = settings.Int(Key::kRetardoNegociacion2);
  d.negotiation3_ms = settings.Int(Key::kRetardoNegociacion3);
  d.negotiation4 = byte(Key::kRetardoNegociacion4);
  d.open1_ms = settings.Int(Key::kRetardoApertura1);
  d.open2_ms = settings.Int(Key::kRetardoApertura2);
  d.close1_ms = settings.Int(Key::kRetardoClausura1);
  d.close2_ms = settings.Int(Key::kRetardoClausura2);
  d.start_ms = settings.Int(Key::kRetardoComienzo);
  d.between_bytes = settings.Int(Key::kRetardoEntreBytes);
  return d;
}

QString ParallelLocatorOf(const Settings& settings, const QStringList& ppdev_present,
                          bool virtual_receiver) {
  const QString stored = settings.Text(Key::kAccesoParalelo);
  if (!stored.isEmpty()) return stored;
  if (virtual_receiver) return QStringLiteral("virtual");
  if (!ppdev_present.isEmpty()) return ppdev_present.first();
  const int64_t index = settings.Int(Key::kParalelo);
  const uint16_t base = kDirectBases[index >= 0 && index < 4 ? index : 1];
  return PortLocator{PortLocator::Kind::kDirect, {}, base}.Text();
}

qsizetype FirmwareFileLimit(const Settings& settings) {
  const qsizetype largest =
      std::max<qsizetype>(settings.flash_chip(0).size(), settings.flash_chip(1).size());
  return largest > 0 ? largest : kUndescribedFlashLimit;
}

bool ReadFirmwareFile(const QString& path, const Settings& settings, QByteArray* data,
                      QString* error) {
  QByteArray bytes;
  if (!ReadWholeFile(path, &bytes, error, FirmwareFileLimit(settings))) return false;
  if (bytes.isEmpty()) {
    if (error) *error = path + QStringLiteral(": the file is empty.");
    return false;
  }
  *data = std::move(bytes);
  return true;
}

FirmwareOptions FirmwareOptionsOf(const Settings& settings) {
  FirmwareOptions options;
  const int64_t address = settings.Int(Key::kFirmDireccion);
  options.address = kFirmwareAddresses.value(static_cast<int>(address), kFirmwareAddresses[0]);
  options.command = settings.Bool(Key::kFirmComando2)   ? FirmwareCommand::kPL
                    : settings.Bool(Key::kFirmComando3) ? FirmwareCommand::kFL
                                                        : FirmwareCommand::kDL;
  options.phases = settings.Bool(Key::kFase1y2);
  options.show_progress = settings.Bool(Key::kProgreso);
  options.delays = LinkDelaysOf(settings);
  options.verification_delay_ms = settings.Int(Key::kRetardoVerificacion);
  return options;
}

}  // namespace tornavo

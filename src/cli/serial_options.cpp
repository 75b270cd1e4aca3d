#include "cli/serial_options.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <algorithm>
#include <array>

#include "cli/console.h"
#include "core/serial/qt_serial_transport.h"
#include "core/serial/service_link.h"
#include "core/settings/ini_folder.h"
#include "core/settings/settings.h"

namespace tornavo::cli {

namespace {

const QStringList kParityNames = {"none", "even", "odd", "mark", "space"};
const QStringList kFlowNames = {"none", "software", "hardware"};

template <typename List>
bool Contains(const List& list, int value) {
  return std::find(list.begin(), list.end(), value) != list.end();
}

// The value at a stored list index; the built-in one for an index outside the list.
template <typename List, typename Value>
Value Pick(const List& list, int64_t index, Value fallback) {
  return index >= 0 && index < static_cast<int64_t>(list.size())
             ? static_cast<Value>(list[static_cast<size_t>(index)])
             : fallback;
}

PortSettings StoredLine(const Settings& settings) {
  static constexpr std::array<Parity, 5> kParities = {Parity::kNone, Parity::kEven, Parity::kOdd,
                                                      Parity::kMark, Parity::kSpace};
  static constexpr std::array<FlowControl, 3> kFlows = {FlowControl::kNone, FlowControl::kSoftware,
                                                        FlowControl::kHardware};
  const PortSettings built_in;
  PortSettings line;
  line.baud = Pick(kBaudRates, settings.Int(Key::kVelocidad), built_in.baud);
  line.data_bits = Pick(kDataBits, settings.Int(Key::kBitsDatos), built_in.data_bits);
  line.stop_bits = Pick(kStopBits, settings.Int(Key::kBitsParada), built_in.stop_bits);
  line.parity = Pick(kParities, settings.Int(Key::kParidad), built_in.parity);
  line.flow = Pick(kFlows, settings.Int(Key::kControlFlujo), built_in.flow);
  return line;
}

// Replaces *value with the option's number when it is given; false when that is not in `allowed`.
template <typename List>
bool OverrideNumber(const QCommandLineParser& parser, const QString& option, const List& allowed,
                    int* value) {
  if (!parser.isSet(option)) return true;
  bool ok = false;
  const int given = parser.value(option).toInt(&ok);
  if (!ok || !Contains(allowed, given)) return false;
  *value = given;
  return true;
}

// Replaces *value with the position of the option's name in `names` when it is given.
template <typename Enum>
bool OverrideChoice(const QCommandLineParser& parser, const QString& option,
                    const QStringList& names, Enum* value) {
  if (!parser.isSet(option)) return true;
  const qsizetype index = names.indexOf(parser.value(option));
  if (index < 0) return false;
  *value = static_cast<Enum>(index);
  return true;
}

}  // namespace

void AddSerialOptions(QCommandLineParser& parser) {
  parser.addOptions({
      {"port", "Serial device (for example /dev/ttyUSB0).", "DEVICE"},
      {"ini-dir",
       "Folder of the settings file, whose serial line settings the options below override.",
       "DIR"},
      {"baud", "Bits per second (without a settings file 9600).", "N"},
      {"data-bits", "6, 7 or 8 (without a settings file 7).", "N"},
      {"parity", "none, even, odd, mark or space (without a settings file odd).", "P"},
      {"stop-bits", "1 or 2 (without a settings file 1).", "N"},
      {"flow", "none, software or hardware (without a settings file software).", "F"},
      {"timeout", "Reply time-out in milliseconds (default 15000).", "MS", "15000"},
  });
}

void LoadSettingsFolder(const QCommandLineParser& parser, Settings& settings) {
  settings.Load(ResolveIniFolder(parser.value("ini-dir"), QCoreApplication::applicationDirPath()),
                {});
}

bool ReadSerialOptions(const QCommandLineParser& parser, const Settings& settings,
                       PortSettings* line, double* timeout_scale, QString* error) {
  *line = StoredLine(settings);
  line->name = parser.value("port");
  if (line->name.isEmpty()) {
    *error = QStringLiteral("--port DEVICE is required.");
    return false;
  }
  if (!OverrideNumber(parser, QStringLiteral("baud"), kBaudRates, &line->baud)) {
    *error = QStringLiteral("--baud: not one of the port's rates.");
    return false;
  }
  if (!OverrideNumber(parser, QStringLiteral("data-bits"), kDataBits, &line->data_bits)) {
    *error = QStringLiteral("--data-bits: 6, 7 or 8.");
    return false;
  }
  if (!OverrideNumber(parser, QStringLiteral("stop-bits"), kStopBits, &line->stop_bits)) {
    *error = QStringLiteral("--stop-bits: 1 or 2.");
    return false;
  }
  if (!OverrideChoice(parser, QStringLiteral("parity"), kParityNames, &line->parity) ||
      !OverrideChoice(parser, QStringLiteral("flow"), kFlowNames, &line->flow)) {
    *error = QStringLiteral("--parity or --flow: not one of the listed choices.");
    return false;
  }
  bool ok = false;
  const int timeout = parser.value("timeout").toInt(&ok);
  if (!ok || timeout <= 0) {
    *error = QStringLiteral("--timeout: a number of milliseconds.");
    return false;
  }
  *timeout_scale = static_cast<double>(timeout) / ServiceLink::kReplyTimeoutMs;
  return true;
}

bool ReadSerialOptions(const QCommandLineParser& parser, PortSettings* line, double* timeout_scale,
                       QString* error) {
  SymbolRateTable symbol_rates{};
  PictureOptions picture_options;
  Settings settings(symbol_rates, picture_options);
  LoadSettingsFolder(parser, settings);
  return ReadSerialOptions(parser, settings, line, timeout_scale, error);
}

bool OpenSerialLine(const PortSettings& line, QtSerialTransport& transport) {
  transport.Configure(line);
  QString error;
  if (transport.Open(&error)) return true;
  Err(error);
  return false;
}

}  // namespace tornavo::cli

#include "cli/serial_options.h"

#include <QCommandLineParser>
#include <algorithm>

#include "core/serial/service_link.h"

namespace tornavo::cli {

namespace {

const QStringList kParityNames = {"none", "even", "odd", "mark", "space"};
const QStringList kFlowNames = {"none", "software", "hardware"};

template <typename List>
bool Contains(const List& list, int value) {
  return std::find(list.begin(), list.end(), value) != list.end();
}

}  // namespace

void AddSerialOptions(QCommandLineParser& parser) {
  parser.addOptions({
      {"port", "Serial device (for example /dev/ttyUSB0).", "DEVICE"},
      {"baud", "Bits per second (default 9600).", "N", "9600"},
      {"data-bits", "6, 7 or 8 (default 7).", "N", "7"},
      {"parity", "none, even, odd, mark or space (default odd).", "P", "odd"},
      {"stop-bits", "1 or 2 (default 1).", "N", "1"},
      {"flow", "none, software or hardware (default software).", "F", "software"},
      {"timeout", "Reply time-out in milliseconds (default 15000).", "MS", "15000"},
  });
}

bool ReadSerialOptions(const QCommandLineParser& parser, PortSettings* settings,
                       double* timeout_scale, QString* error) {
  settings->name = parser.value("port");
  if (settings->name.isEmpty()) {
    *error = QStringLiteral("--port DEVICE is required.");
    return false;
  }
  bool ok = false;
  settings->baud = parser.value("baud").toInt(&ok);
  if (!ok || !Contains(kBaudRates, settings->baud)) {
    *error = QStringLiteral("--baud: not one of the port's rates.");
    return false;
  }
  settings->data_bits = parser.value("data-bits").toInt(&ok);
  if (!ok || !Contains(kDataBits, settings->data_bits)) {
    *error = QStringLiteral("--data-bits: 6, 7 or 8.");
    return false;
  }
  settings->stop_bits = parser.value("stop-bits").toInt(&ok);
  if (!ok || !Contains(kStopBits, settings->stop_bits)) {
    *error = QStringLiteral("--stop-bits: 1 or 2.");
    return false;
  }
  const qsizetype parity = kParityNames.indexOf(parser.value("parity"));
  const qsizetype flow = kFlowNames.indexOf(parser.value("flow"));
  if (parity < 0 || flow < 0) {
    *error = QStringLiteral("--parity or --flow: not one of the listed choices.");
    return false;
  }
  settings->parity = static_cast<Parity>(parity);
  settings->flow = static_cast<FlowControl>(flow);
  const int timeout = parser.value("timeout").toInt(&ok);
  if (!ok || timeout <= 0) {
    *error = QStringLiteral("--timeout: a number of milliseconds.");
    return false;
  }
  *timeout_scale = static_cast<double>(timeout) / ServiceLink::kReplyTimeoutMs;
  return true;
}

}  // namespace tornavo::cli

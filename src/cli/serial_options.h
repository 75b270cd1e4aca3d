#pragma once

#include <QString>

#include "core/serial/port_settings.h"

class QCommandLineParser;

namespace tornavo::cli {

// --port, --baud, --data-bits, --parity, --stop-bits, --flow, --timeout, shared by every
// subcommand that talks to a receiver.
void AddSerialOptions(QCommandLineParser& parser);
// Reads them; false with *error for a value outside its list or a missing --port.
bool ReadSerialOptions(const QCommandLineParser& parser, PortSettings* settings,
                       double* timeout_scale, QString* error);

}  // namespace tornavo::cli

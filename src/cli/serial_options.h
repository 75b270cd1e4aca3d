#pragma once

#include <QString>

#include "core/serial/port_settings.h"

class QCommandLineParser;

namespace tornavo {
class QtSerialTransport;
class Settings;
}  // namespace tornavo

namespace tornavo::cli {

// --port, --ini-dir, --baud, --data-bits, --parity, --stop-bits, --flow, --timeout, shared by
// every subcommand that talks to a receiver over the serial port.
void AddSerialOptions(QCommandLineParser& parser);
// Loads the settings folder --ini-dir names, else the usual one.
void LoadSettingsFolder(const QCommandLineParser& parser, Settings& settings);
// The line settings stored in `settings`, each overridden by its option when given; false
// with *error for a value outside its list or a missing --port.
bool ReadSerialOptions(const QCommandLineParser& parser, const Settings& settings,
                       PortSettings* line, double* timeout_scale, QString* error);
// The same for a command that needs nothing else from the settings folder: loads it here.
bool ReadSerialOptions(const QCommandLineParser& parser, PortSettings* line, double* timeout_scale,
                       QString* error);
// Opens the serial port with the line settings; false, with the reason on stderr, when the
// port cannot be opened.
bool OpenSerialLine(const PortSettings& line, QtSerialTransport& transport);

}  // namespace tornavo::cli

#pragma once

#include <QString>
#include <array>

namespace tornavo {

enum class Parity { kNone = 0, kEven, kOdd, kMark, kSpace };  // "Ninguna" ... "Espacio"
enum class FlowControl { kNone = 0, kSoftware, kHardware };   // "Ninguno" ... "Hardware"

inline constexpr std::array<int, 13> kBaudRates = {110,   300,   600,   1200,  2400,  4800,  9600,
                                                   14400, 19200, 38400, 56000, 57600, 115200};
inline constexpr std::array<int, 3> kDataBits = {6, 7, 8};
inline constexpr std::array<int, 2> kStopBits = {1, 2};

// Line settings of the serial port. The built-in values are the ones the port has before
// the stored settings are applied: 9600 bits per second, 7 data bits, odd parity, 1 stop
// bit, XON/XOFF flow control.
struct PortSettings {
  QString name;
  int baud = 9600;
  int data_bits = 7;
  Parity parity = Parity::kOdd;
  int stop_bits = 1;
  FlowControl flow = FlowControl::kSoftware;

  // Bit times one character takes on the wire: start, data, parity, stop.
  int BitsPerCharacter() const {
    return 1 + data_bits + (parity == Parity::kNone ? 0 : 1) + stop_bits;
  }
};

}  // namespace tornavo

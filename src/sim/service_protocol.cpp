#include "sim/service_protocol.h"

#include <optional>

#include "core/serial/checksum.h"

namespace tornavo::sim {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr int kRows = kEepromSize / 16;

// Upper-case hexadecimal only, as the tool sends it; nothing for anything else.
std::optional<uint32_t> ParseHex(const QByteArray& text) {
  if (text.isEmpty() || text.size() > 8) return std::nullopt;
  uint32_t value = 0;
  for (char c : text) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) return std::nullopt;
    value = value << 4 | static_cast<uint32_t>(digit);
  }
  return value;
}

// "RR010": the row's start address in three digits and the byte count 0x10.
std::optional<int> ParseRowAddress(const QByteArray& text) {
  if (text.size() != 5 || text.mid(2) != "010") return std::nullopt;
  const auto row = ParseHex(text.left(2));
  if (!row || *row >= kRows) return std::nullopt;
  return static_cast<int>(*row);
}

QByteArray Positive(const char* command) { return QByteArray("$.") + command + '\r'; }

}  // namespace

QByteArray ServiceProtocol::Rejection(char reason) { return QByteArray("$?C0") + reason + '\r'; }

QByteArray ServiceProtocol::Answer(const QByteArray& frame) {
  if (frame.size() < 3 || AppendChecksum(frame.left(frame.size() - 2)) != frame) {
    return Rejection(kBadChecksum);
  }
  const QByteArray text = frame.left(frame.size() - 2);
  const QByteArray head = text.left(4);
  const QByteArray arguments = text.mid(4);
  if (head == "%EE?") return ReadRow(arguments);
  if (head == "%EE=") return WriteRow(arguments);
  if (head == "%DL=" || head == "%PL=" || head == "%FL=") return Upgrade(head[1], arguments);
  if (arguments.isEmpty()) {
    if (head == "%DL?" || head == "%PL?" || head == "%FL?") {
      const char name[] = {head[1], 'L', '\0'};
      return parallel_ && parallel_->Verified(head[1]) ? Positive(name) : Rejection(kRefused);
    }
    if (head == "%PR?") return parallel_ok_ ? Positive("PR") : Rejection(kRefused);
  }
  return Rejection(kUnknownCommand);
}

QByteArray ServiceProtocol::ReadRow(const QByteArray& arguments) const {
  const auto row = ParseRowAddress(arguments);
  if (!row) return Rejection(kBadArguments);
  QByteArray reply("$.EE");
  for (int i = 0; i < 16; ++i) {
    const uint8_t byte = (*eeprom_)[*row * 16 + i];
    reply.append(kHexDigits[byte >> 4]).append(kHexDigits[byte & 0x0F]);
  }
  return reply.append('\r');
}

QByteArray ServiceProtocol::WriteRow(const QByteArray& arguments) {
  const auto row = ParseRowAddress(arguments.left(5));
  if (!row || arguments.size() != 5 + 32) return Rejection(kBadArguments);
  uint8_t bytes[16];
  for (int i = 0; i < 16; ++i) {
    const auto byte = ParseHex(arguments.mid(5 + 2 * i, 2));
    if (!byte) return Rejection(kBadArguments);
    bytes[i] = static_cast<uint8_t>(*byte);
  }
  // Only a whole, valid row reaches the EEPROM.
  for (int i = 0; i < 16; ++i) (*eeprom_)[*row * 16 + i] = bytes[i];
  return Positive("EE");
}

QByteArray ServiceProtocol::Upgrade(char command, const QByteArray& arguments) {
  // Address (1 to 8 characters), then the count in 8 digits and the sum in 4.
  const qsizetype address_size = arguments.size() - 12;
  if (address_size < 1 || address_size > 8) return Rejection(kBadArguments);
  const auto count = ParseHex(arguments.mid(address_size, 8));
  const auto sum = ParseHex(arguments.right(4));
  if (!count || !sum) return Rejection(kBadArguments);
  UpgradeRequest request;
  request.command = command;
  request.address = arguments.left(address_size);
  request.count = *count;
  request.sum = static_cast<uint16_t>(*sum);
  upgrades_.append(request);
  if (upgrade_refused_) return Rejection(kRefused);
  if (parallel_) parallel_->Expect(command, request.count, request.sum);
  return Positive(command == 'D' ? "DL" : command == 'P' ? "PL" : "FL");
}

}  // namespace tornavo::sim

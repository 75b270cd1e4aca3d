#pragma once

#include <QByteArray>
#include <QList>
#include <cstdint>

#include "sim/eeprom_bytes.h"
#include "sim/parallel_peripheral.h"

namespace tornavo::sim {

// A firmware transfer the receiver was asked to accept ("%DL=", "%PL=", "%FL=").
struct UpgradeRequest {
  char command = 0;    // 'D', 'P' or 'F'
  QByteArray address;  // as the tool typed it, up to 8 characters
  uint32_t count = 0;  // bytes announced
  uint16_t sum = 0;    // 16-bit sum of those bytes, as announced
};

// What the receiver's service mode does with one request frame: it checks the frame and
// answers it, reading and writing its EEPROM. Not thread-safe; the caller serialises.
class ServiceProtocol {
 public:
  // An accepted upgrade tells the parallel side how many bytes to expect; the verification
  // asks it whether they came.
  ServiceProtocol(EepromBytes* eeprom, ParallelPeripheral* parallel)
      : eeprom_(eeprom), parallel_(parallel) {}

  // The reply to a frame (command text plus checksum), carriage return included.
  QByteArray Answer(const QByteArray& frame);

  void set_parallel_check_accepted(bool accepted) { parallel_ok_ = accepted; }
  void set_upgrade_refused(bool refused) { upgrade_refused_ = refused; }
  const QList<UpgradeRequest>& upgrade_requests() const { return upgrades_; }

  // Rejections: "$?C0" then a digit saying why, for whoever reads them on a terminal.
  static QByteArray Rejection(char reason);
  static constexpr char kBadChecksum = '1';
  static constexpr char kUnknownCommand = '2';
  static constexpr char kBadArguments = '3';
  static constexpr char kRefused = '4';

 private:
  QByteArray ReadRow(const QByteArray& arguments) const;
  QByteArray WriteRow(const QByteArray& arguments);
  QByteArray Upgrade(char command, const QByteArray& arguments);

  EepromBytes* eeprom_;
  ParallelPeripheral* parallel_;
  bool parallel_ok_ = true;
  bool upgrade_refused_ = false;
  QList<UpgradeRequest> upgrades_;
};

}  // namespace tornavo::sim

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>

#include "core/serial/port_settings.h"
#include "sim/eeprom_bytes.h"
#include "sim/parallel_peripheral.h"
#include "sim/service_protocol.h"

namespace tornavo::sim {

// A receiver in service mode on a pseudo-terminal. It answers the service protocol on the
// master side, on a thread of its own, so that the tool under test (or a user trying the
// window) opens the slave device like any serial port. All public calls are thread-safe.
class VirtualReceiver {
 public:
  VirtualReceiver();
  ~VirtualReceiver();  // Stops.

  // Opens the pseudo-terminal pair and starts answering. False with *error on failure.
  bool Start(QString* error);
  void Stop();
  // The slave device to open as a serial port ("/dev/pts/N"); empty before Start.
  QString device_path() const;

  // Pacing: replies leave at the line rate of these settings (bits per character, baud) and
  // requests count as received only when their characters would have crossed the line.
  // Off, it answers at once.
  void SetLineSettings(const PortSettings& settings);
  void SetPacing(bool on);

  // The EEPROM. It starts as a plausible receiver's.
  EepromBytes Eeprom() const;
  void SetEeprom(const EepromBytes& bytes);
  // Loads a 2048-byte image file. False with *error when unreadable or of another size.
  bool LoadEepromFile(const QString& path, QString* error);
  static EepromBytes DefaultEeprom();

  // "%PR?": whether the parallel-port check is accepted.
  void SetParallelCheckAccepted(bool accepted);
  // "%DL=", "%PL=", "%FL=": whether the upgrade command is refused.
  void SetUpgradeRefused(bool refused);

  // The parallel side: the port the tool opens as "virtual" (or through a socket server).
  // After a DL transfer has brought every announced byte, the receiver sends its own
  // completion line, "$.DL".
  ParallelPeripheral& parallel();

  // Fault injection. Each applies to the next replies, in the order they are due.
  void RejectNext(int count);                     // answer "$?C0..." instead of serving
  void SetSilent(bool silent);                    // read requests, answer nothing
  void SetSilentAfter(int replies);               // answer that many more, then fall silent
  void SplitNextReply(int pieces,                 // send the next reply in that many pieces,
                      int gap_ms = kSplitGapMs);  // that far apart
  void MergeNextTwoReplies();                     // hold one reply and send it with the next
  void DelayNextReply(int milliseconds);          // answer the next request that much later
  void CorruptNextReply();                        // damage one data character of the next reply
  // Named faults, for the command line: "reject:N", "silent", "silent:N", "split:N", "merge",
  // "delay:MS", "corrupt", "refuse-upgrade", "refuse-check", and the parallel side's
  // ("busy", "ack-low:K", "paper-end", "data", "silent-event2", "ack-low-event6",
  // "select-high-event6"). False for an unknown name.
  bool ApplyFault(const QString& fault);
  // Back to serving every request normally ("none" for ApplyFault).
  void ClearFaults();

  static constexpr int kSplitGapMs = 10;
  // A held reply goes out alone when no second one comes within this time.
  static constexpr int kMergeHoldMs = 200;

  // What arrived: every complete request frame, in order.
  QList<QByteArray> ReceivedFrames() const;
  void ClearReceivedFrames();
  // The firmware transfers it was asked to accept, in order.
  QList<UpgradeRequest> UpgradeRequests() const;

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tornavo::sim

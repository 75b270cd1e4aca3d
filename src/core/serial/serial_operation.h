#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace tornavo {

// Serial operation codes: which operation the next reply line belongs to.
namespace opcode {
inline constexpr uint8_t kNone = 0;
inline constexpr uint8_t kEepromReadAll = 1;
inline constexpr uint8_t kEepromWriteAll = 2;
inline constexpr uint8_t kEepromVerifyAll = 3;
inline constexpr uint8_t kFirmware = 4;
inline constexpr uint8_t kEepromWriteRow = 5;
inline constexpr uint8_t kEepromReadFirst = 6;
inline constexpr uint8_t kEepromWriteFirst = 7;
inline constexpr uint8_t kEepromVerifyFirst = 8;
inline constexpr uint8_t kEepromReadRow = 9;
inline constexpr uint8_t kEepromVerifyRow = 10;
inline constexpr uint8_t kParallelCheck = 11;
inline constexpr uint8_t kTerminal = 255;

inline constexpr bool IsEeprom(uint8_t code) {
  return (code >= 1 && code <= 3) || (code >= 5 && code <= 10);
}
}  // namespace opcode

// One conversation over the service link: the EEPROM transfer, the terminal, the firmware
// upgrade. The link calls it for the replies, the time-out and the port failures of the codes
// it is routed for.
class SerialOperation {
 public:
  virtual ~SerialOperation() = default;
  // A frame is about to go out under one of this operation's codes.
  virtual void OnFrameSent(const QByteArray& frame) { (void)frame; }
  // One complete reply line, its carriage return included.
  virtual void OnReply(const QByteArray& line) = 0;
  // The receiver did not answer in time. The link then enables the pages.
  virtual void OnTimeout() = 0;
  // The port failed under the operation (the device went away, hung up, could not be read,
  // written or opened again); `message` names the port and says why. The link has closed the
  // port and enables the pages after this. An operation that has no ending of its own for it
  // ends as if the receiver had not answered, at once rather than after the wait.
  virtual void OnPortFailure(const QString& message) {
    (void)message;
    OnTimeout();
  }
  // The link dropped received text that grew longer than any reply can be without ending.
  virtual void OnOverlongReply(const QByteArray& dropped) { (void)dropped; }
  // Text that arrived before a frame of this operation went out: it answers none of its
  // requests. The link has put it in the terminal log.
  virtual void OnEarlyReply(const QByteArray& text) { (void)text; }
};

}  // namespace tornavo

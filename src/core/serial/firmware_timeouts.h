#pragma once

#include "core/app/operation_host.h"
#include "core/app/texts.h"
#include "core/serial/serial_operation.h"

namespace tornavo {

// What a silent receiver means under the firmware upgrade and parallel-port check codes,
// for as long as no operation of those codes is routed: the firmware page is cleared and the
// receiver's silence reported. Frames and replies go to the firmware log.
class FirmwareTimeouts : public SerialOperation {
 public:
  FirmwareTimeouts(OperationHost& host, const Texts& texts, uint8_t code)
      : host_(host), texts_(texts), code_(code) {}

  void OnFrameSent(const QByteArray& frame) override;
  void OnReply(const QByteArray& line) override;
  void OnTimeout() override;

 private:
  OperationHost& host_;
  const Texts& texts_;
  uint8_t code_;
};

}  // namespace tornavo

#include "core/serial/firmware_timeouts.h"

namespace tornavo {

void FirmwareTimeouts::OnFrameSent(const QByteArray& frame) {
  host_.AppendLog(LogId::kFirmware, QString::fromLatin1(frame));
}

void FirmwareTimeouts::OnReply(const QByteArray& line) {
  host_.AppendLog(LogId::kFirmware, QString::fromLatin1(line));
  host_.AppendLog(LogId::kTerminal, QString::fromLatin1(line));
}

void FirmwareTimeouts::OnTimeout() {
  if (code_ == opcode::kFirmware) host_.ResetStatus(StatusPage::kFirmware);
  host_.AppendLog(LogId::kFirmware, texts_.Slot(slot::kNoReply));
  host_.ShowError(texts_.TwoLines(slot::kNoReply, slot::kCheckServiceMode));
}

}  // namespace tornavo

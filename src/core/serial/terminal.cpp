#include "core/serial/terminal.h"

#include "core/runtime/cp1252.h"
#include "core/serial/checksum.h"

namespace tornavo {

Terminal::Terminal(ServiceLink& link, OperationHost& host, const Texts& texts)
    : link_(link), host_(host), texts_(texts) {}

bool Terminal::Submit(const QString& line) {
  if (line.isEmpty()) return false;
  link_.Begin(opcode::kTerminal);
  const QByteArray text = ToCp1252(line);  // the receiver reads 8-bit text
  link_.SendServiceCommand(append_checksum_ ? AppendChecksum(text) : text);
  return true;
}

void Terminal::OnReply(const QByteArray& line) {
  host_.AppendLog(LogId::kTerminal, FromCp1252(line));
}

void Terminal::OnTimeout() { host_.AppendLog(LogId::kTerminal, texts_.Slot(slot::kNoReply)); }

void Terminal::OnPortFailure(const QString& message) { host_.AppendLog(LogId::kTerminal, message); }

}  // namespace tornavo

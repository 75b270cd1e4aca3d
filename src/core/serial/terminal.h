#pragma once

#include <QString>

#include "core/runtime/operation_host.h"
#include "core/serial/serial_operation.h"
#include "core/serial/service_link.h"
#include "core/texts/texts.h"

namespace tornavo {

// The hand-typed service console: sends the typed line as it stands (with its checksum when
// asked) and logs every reply routed to it.
class Terminal : public SerialOperation {
 public:
  Terminal(ServiceLink& link, OperationHost& host, const Texts& texts);

  void SetAppendChecksum(bool on) { append_checksum_ = on; }
  bool append_checksum() const { return append_checksum_; }

  // Sends one typed line; an empty line sends nothing. Returns whether a frame went out.
  bool Submit(const QString& line);

  void OnReply(const QByteArray& line) override;
  void OnTimeout() override;
  // Also when nothing waited: the log is where an idle port's end shows.
  void OnPortFailure(const QString& message) override;
  // What arrived without ending is shown as it came.
  void OnOverlongReply(const QByteArray& dropped) override { OnReply(dropped); }

 private:
  ServiceLink& link_;
  OperationHost& host_;
  const Texts& texts_;
  bool append_checksum_ = true;
};

}  // namespace tornavo

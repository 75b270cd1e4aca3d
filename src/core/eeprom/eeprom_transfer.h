#pragma once

#include <QList>
#include <QString>
#include <cstdint>
#include <functional>

#include "core/eeprom/eeprom_image.h"
#include "core/runtime/clock.h"
#include "core/runtime/operation_host.h"
#include "core/serial/serial_operation.h"
#include "core/serial/service_link.h"
#include "core/texts/texts.h"

namespace tornavo {

// The " Longitud " choices.
enum class EepromRange { kAll, kFirst176, kSelectedRow };
enum class EepromTask { kRead, kWrite, kVerify };

// The rows a transfer over a range covers; `row` (0x00 ... 0x7F) is the selected row's.
EepromRows RowsOfRange(EepromRange range, int row);

// The line a verify ends with: the differing rows (0x00 ... 0x7F) counted and the first
// few named by their addresses, "3 filas diferentes: 120, 3A0, 7F0".
QString DifferingRowsVerdict(const QList<int>& rows, const Texts& texts);

// How the last transfer ended.
enum class TransferOutcome { kNone, kRunning, kDone, kRetryLimit, kNoReply };

// Read, write and verify of the receiver's EEPROM in service mode, sixteen bytes a request.
// Each transfer is driven by the replies: a start sends the first request, every reply
// either sends the next or ends the transfer, and the link's time-out ends a silent one.
class EepromTransfer : public SerialOperation {
 public:
  static constexpr int kRetryLimit = 10;

  EepromTransfer(ServiceLink& link, OperationHost& host, const Texts& texts, EepromImage& image,
                 Clock& clock);

  // Takes the link's routes for every EEPROM operation code.
  void RegisterRoutes();
  // Called at every normal end, before the closing message (the interpreted view).
  void SetRefreshView(std::function<void()> refresh) { refresh_view_ = std::move(refresh); }
  // Called when a transfer starts, after the pages are disabled (to show the grid).
  void SetOnStarted(std::function<void()> started) { on_started_ = std::move(started); }
  // Called on every ending path, after the closing message.
  void SetOnFinished(std::function<void()> finished) { on_finished_ = std::move(finished); }

  // The three buttons. Write and verify validate the image first: nothing is sent while a
  // cell is invalid. Return whether the transfer started.
  bool StartEepromRead(EepromRange range) { return Start(EepromTask::kRead, range); }
  bool StartEepromWrite(EepromRange range) { return Start(EepromTask::kWrite, range); }
  bool StartEepromVerify(EepromRange range) { return Start(EepromTask::kVerify, range); }

  void OnFrameSent(const QByteArray& frame) override;
  void OnReply(const QByteArray& line) override;
  void OnTimeout() override;
  void OnOverlongReply(const QByteArray& dropped) override;

  bool running() const { return outcome_ == TransferOutcome::kRunning; }
  TransferOutcome outcome() const { return outcome_; }
  // Rows (0x00 ... 0x7F) whose verify reply differed from the image, in order.
  const QList<int>& differing_rows() const { return differing_rows_; }
  int row_counter() const { return row_; }
  EepromTask task() const { return task_; }
  // The rows the last transfer covered (or covers).
  EepromRows rows() const { return rows_; }

 private:
  bool Start(EepromTask task, EepromRange range);
  void SendRequest();
  void CountBadReply();
  void Continue();
  void ShowProgress();
  void Finish();
  bool RowMode() const { return range_ == EepromRange::kSelectedRow; }

  ServiceLink& link_;
  OperationHost& host_;
  const Texts& texts_;
  EepromImage& image_;
  Clock& clock_;
  std::function<void()> refresh_view_;
  std::function<void()> on_started_;
  std::function<void()> on_finished_;

  EepromTask task_ = EepromTask::kRead;
  EepromRange range_ = EepromRange::kAll;
  TransferOutcome outcome_ = TransferOutcome::kNone;
  int row_ = 0;        // row of the request in flight, 0x00 ... 0x7F
  int row_limit_ = 0;  // rows end when the counter reaches it
  int errors_ = 0;     // consecutive rejections of the current row
  uint32_t start_ms_ = 0;
  QList<int> differing_rows_;
  EepromRows rows_;
};

}  // namespace tornavo

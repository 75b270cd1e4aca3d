#pragma once

#include <QList>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

#include "core/eeprom/eeprom_image.h"
#include "core/runtime/backup_store.h"
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

// How the last transfer ended. kBackupFailed: the backup before a write could not be saved,
// and nothing was written. kPortFailed: the serial port failed under the transfer.
enum class TransferOutcome {
  kNone,
  kRunning,
  kDone,
  kRetryLimit,
  kNoReply,
  kBackupFailed,
  kPortFailed
};

// The stages of a transfer: a write with backups on first reads the rows it covers.
enum class TransferStage { kBackupRead, kTransfer };

// Read, write and verify of the receiver's EEPROM in service mode, sixteen bytes a request.
// Each transfer is driven by the replies: a start sends the first request, every reply
// either sends the next or ends the transfer, and the link's time-out ends a silent one.
// With backups on, a write first reads the rows it covers and keeps them in a file; only
// then does it send, and only the rows that differ from what the receiver held.
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
  // Asked as each write starts: where to keep the backup, or nothing when backups are off
  // (also when never set).
  void SetBackups(std::function<std::optional<BackupStore>()> backups) {
    backups_ = std::move(backups);
  }
  // Called with each line that says what a write did about its backup (the file, or none)
  // and which rows it sends; the EEPROM log gets the same lines.
  void SetOnNote(std::function<void(const QString&)> note) { on_note_ = std::move(note); }

  // The three buttons. Write and verify validate the image first: nothing is sent while a
  // cell is invalid. Return whether the transfer started.
  bool StartEepromRead(EepromRange range) { return Start(EepromTask::kRead, range); }
  bool StartEepromWrite(EepromRange range) { return Start(EepromTask::kWrite, range); }
  bool StartEepromVerify(EepromRange range) { return Start(EepromTask::kVerify, range); }

  void OnFrameSent(const QByteArray& frame) override;
  void OnReply(const QByteArray& line) override;
  void OnTimeout() override;
  void OnPortFailure(const QString& message) override;
  void OnOverlongReply(const QByteArray& dropped) override;

  bool running() const { return outcome_ == TransferOutcome::kRunning; }
  TransferOutcome outcome() const { return outcome_; }
  // Rows (0x00 ... 0x7F) whose verify reply differed from the image, in order.
  const QList<int>& differing_rows() const { return differing_rows_; }
  int row_counter() const { return row_; }
  EepromTask task() const { return task_; }
  // The rows the last transfer covered (or covers).
  EepromRows rows() const { return rows_; }
  TransferStage stage() const { return stage_; }
  // The backup the last write kept; empty when it kept none.
  const QString& backup_path() const { return backup_path_; }

 private:
  bool Start(EepromTask task, EepromRange range);
  // Starts a stage of requests of one kind over `rows`, shown in the panel as `task_name`.
  void BeginStage(TransferStage stage, EepromTask exchange, const EepromRows& rows,
                  const QString& task_name);
  void SendRequest();
  void TakeRowReply(const QString& data);
  void CountBadReply();
  void Continue();
  void ShowProgress();
  // After the backup read: keep the file, then send the rows that differ.
  void KeepBackupAndSend();
  void EndTransfer(TransferOutcome outcome);
  void Finish();
  // Ends a transfer that got no answer (silence or a failed port), keeping the rows done.
  void EndUnanswered(TransferOutcome outcome, const QString& log_line, QString message);
  // Logs that nothing was written because the backup read failed; returns the line.
  QString BackupReadFailed();
  void Note(const QString& line);
  bool RowMode() const { return range_ == EepromRange::kSelectedRow; }

  ServiceLink& link_;
  OperationHost& host_;
  const Texts& texts_;
  EepromImage& image_;
  Clock& clock_;
  std::function<void()> refresh_view_;
  std::function<void()> on_started_;
  std::function<void()> on_finished_;
  std::function<std::optional<BackupStore>()> backups_;
  std::function<void(const QString&)> on_note_;

  EepromTask task_ = EepromTask::kRead;
  EepromTask exchange_ = EepromTask::kRead;  // the kind of request the current stage sends
  TransferStage stage_ = TransferStage::kTransfer;
  EepromRange range_ = EepromRange::kAll;
  TransferOutcome outcome_ = TransferOutcome::kNone;
  int row_ = 0;       // row of the request in flight, 0x00 ... 0x7F
  EepromRows to_do_;  // rows of the stage not yet done, row_ among them
  int stage_rows_ = 0;
  int done_ = 0;    // rows of the stage done
  int errors_ = 0;  // consecutive rejections of the current row
  uint32_t start_ms_ = 0;
  QList<int> differing_rows_;
  EepromRows rows_;
  std::optional<BackupStore> backup_store_;
  EepromImage backup_;  // what the receiver held in the rows a write covers
  QString backup_path_;
};

}  // namespace tornavo

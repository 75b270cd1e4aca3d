#include "core/eeprom/eeprom_transfer.h"

#include <QLocale>
#include <cmath>

#include "core/eeprom/eeprom_files.h"
#include "core/serial/checksum.h"
#include "core/serial/service_reply.h"
#include "core/texts/text_names.h"

namespace tornavo {

namespace {

constexpr int kBytesPerRow = 16;

// Message slots of the transfer.
constexpr int kRetryLimitNoAccent = 19;  // "Se ha llegado al limite de reintentos. "
constexpr int kContactAuthor = 20;
constexpr int kReadDone = 21;
constexpr int kWriteDone = 22;
constexpr int kRowDiffers = 23;
constexpr int kRowVerified = 24;
constexpr int kRetryLimitAccent = 25;  // "Se ha llegado al límite de reintentos. "
constexpr int kVerifyDone = 26;
// Rows a verdict names; more are counted only.
constexpr int kVerdictRows = 8;

// 32 hex digits (already in upper case): sixteen bytes.
bool IsRowData(const QString& data) {
  if (data.size() != 2 * kBytesPerRow) return false;
  for (QChar c : data)
    if (!((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F'))) return false;
  return true;
}

// The first row of `rows` at or after `from`; kEepromRows when there is none.
int NextRow(const EepromRows& rows, int from) {
  while (from < kEepromRows && !rows.test(static_cast<size_t>(from))) ++from;
  return from;
}

QByteArray RowHex(int row) { return QByteArray::number(row, 16).toUpper().rightJustified(2, '0'); }

struct RangeCodes {
  uint8_t read, write, verify;
};

uint8_t CodeFor(EepromTask task, EepromRange range) {
  static constexpr RangeCodes kAll = {opcode::kEepromReadAll, opcode::kEepromWriteAll,
                                      opcode::kEepromVerifyAll};
  static constexpr RangeCodes kFirst = {opcode::kEepromReadFirst, opcode::kEepromWriteFirst,
                                        opcode::kEepromVerifyFirst};
  static constexpr RangeCodes kRow = {opcode::kEepromReadRow, opcode::kEepromWriteRow,
                                      opcode::kEepromVerifyRow};
  const RangeCodes& codes = range == EepromRange::kAll        ? kAll
                            : range == EepromRange::kFirst176 ? kFirst
                                                              : kRow;
  return task == EepromTask::kRead    ? codes.read
         : task == EepromTask::kWrite ? codes.write
                                      : codes.verify;
}

}  // namespace

EepromRows RowsOfRange(EepromRange range, int row) {
  switch (range) {
    case EepromRange::kAll:
      return EepromRows().set();
    case EepromRange::kFirst176:
      return RowsBetween(0, 10);
    case EepromRange::kSelectedRow:
      break;
  }
  return RowsBetween(row, row);
}

QString DifferingRowsVerdict(const QList<int>& rows, const Texts& texts) {
  if (rows.isEmpty()) return texts.Key(text_key::kNingunaFilaDiferente);
  QStringList named;
  for (int row : rows.mid(0, kVerdictRows)) named << ByteText(static_cast<uint8_t>(row)) + u'0';
  QString list = named.join(QStringLiteral(", "));
  if (rows.size() > kVerdictRows) list += QStringLiteral(", ...");
  if (rows.size() == 1) return texts.Format(text_key::kUnaFilaDiferente, {list});
  return texts.Format(text_key::kFilasDiferentes, {QString::number(rows.size()), list});
}

EepromTransfer::EepromTransfer(ServiceLink& link, OperationHost& host, const Texts& texts,
                               EepromImage& image, Clock& clock)
    : link_(link), host_(host), texts_(texts), image_(image), clock_(clock) {}

void EepromTransfer::RegisterRoutes() {
  for (uint8_t code = 1; code <= 10; ++code)
    if (opcode::IsEeprom(code)) link_.Route(code, this);
}

bool EepromTransfer::Start(EepromTask task, EepromRange range) {
  if (running()) return false;
  if (task != EepromTask::kRead && !image_.ValidateImage(host_, texts_)) return false;
  host_.DisablePages();
  if (on_started_) on_started_();

  task_ = task;
  range_ = range;
  differing_rows_.clear();
  backup_path_.clear();
  // With no row selected yet the first row is meant; requests never leave the EEPROM.
  rows_ = RowsOfRange(range, std::clamp(image_.selected_row(), 1, kEepromRows) - 1);
  backup_store_.reset();
  if (task == EepromTask::kWrite && backups_) backup_store_ = backups_();
  outcome_ = TransferOutcome::kRunning;
  if (backup_store_) {
    host_.AppendLog(LogId::kEeprom, texts_.Key(text_key::kLeyendoLaEepromParaLaCopia));
    backup_.ClearImage();
    // A task name as short as the others: the panel widens to its longest value.
    BeginStage(TransferStage::kBackupRead, EepromTask::kRead, rows_,
               texts_.Key(text_key::kTareaCopia));
    return true;
  }
  if (task == EepromTask::kWrite) Note(texts_.Key(text_key::kSinCopiaDeSeguridad));
  const int task_slot = task == EepromTask::kRead    ? slot::kTaskRead
                        : task == EepromTask::kWrite ? slot::kTaskWrite
                                                     : slot::kTaskVerify;
  BeginStage(TransferStage::kTransfer, task, rows_, texts_.Slot(task_slot));
  return true;
}

void EepromTransfer::BeginStage(TransferStage stage, EepromTask exchange, const EepromRows& rows,
                                const QString& task_name) {
  stage_ = stage;
  exchange_ = exchange;
  to_do_ = rows;
  stage_rows_ = static_cast<int>(rows.count());
  done_ = 0;
  errors_ = 0;
  row_ = NextRow(rows, 0);
  ProgressReport start = ProgressReport()
                             .Stage(task_name)
                             .Address(QStringLiteral("000"))
                             .Errors(QStringLiteral("0"))
                             .Done(0);
  // A single row leaves the bar's length as it stands.
  if (!RowMode()) start.Total(stage_rows_ - 1);
  host_.Report(StatusPage::kEeprom, start);
  start_ms_ = clock_.NowMs();
  link_.Begin(CodeFor(exchange, range_));
  SendRequest();
}

void EepromTransfer::SendRequest() {
  if (exchange_ == EepromTask::kWrite) {
    link_.SendServiceCommand(
        AppendChecksum("%EE=" + RowHex(row_) + "010" + image_.RowText(row_ + 1).toLatin1()));
  } else {
    link_.SendServiceCommand(AppendChecksum("%EE?" + RowHex(row_) + "010"));
  }
}

void EepromTransfer::OnFrameSent(const QByteArray& frame) {
  host_.Report(StatusPage::kEeprom,
               ProgressReport().Address(QString::fromLatin1(RowHex(row_) + "0")));
  host_.AppendLog(LogId::kEeprom, QString::fromLatin1(frame));
}

void EepromTransfer::OnReply(const QByteArray& line) {
  if (!running()) return;
  const QString text = QString::fromLatin1(line);
  host_.AppendLog(LogId::kEeprom, text);
  host_.AppendLog(LogId::kTerminal, text);

  // A read or verify reply must carry its row as 32 hex digits after "%EE?"-like four
  // characters; anything else (noise, a cut line) would be taken for data, so it counts
  // as a rejection and the row is asked for again. A write is confirmed only by a positive
  // reply: a damaged rejection is no proof that the row was stored.
  const QString data = text.mid(4, 2 * kBytesPerRow).toUpper();
  const bool rejected = exchange_ == EepromTask::kWrite
                            ? !IsPositiveReply(line)
                            : line.startsWith("$?C0") || !IsRowData(data);
  if (rejected) {
    CountBadReply();
  } else {
    TakeRowReply(data);
    to_do_.reset(static_cast<size_t>(row_));
    ++done_;
    row_ = NextRow(to_do_, row_);
    errors_ = 0;
  }
  Continue();
}

void EepromTransfer::TakeRowReply(const QString& data) {
  if (exchange_ == EepromTask::kRead) {
    // The backup read fills its own image: the grid keeps what is about to be sent.
    EepromImage& target = stage_ == TransferStage::kBackupRead ? backup_ : image_;
    for (int i = 0; i < kBytesPerRow; ++i) target.SetCell(row_ + 1, i + 1, data.mid(2 * i, 2));
    // The row holds what the receiver holds: no edit of it is left to lose.
    if (&target == &image_) image_.Keep(RowsBetween(row_, row_));
  } else if (exchange_ == EepromTask::kVerify) {
    const bool same = data == image_.RowText(row_ + 1);
    if (!same) differing_rows_ << row_;
    host_.AppendLog(LogId::kEeprom, texts_.Slot(same ? kRowVerified : kRowDiffers));
  }
}

void EepromTransfer::OnOverlongReply(const QByteArray& dropped) {
  if (!running()) return;
  const QString text = QString::fromLatin1(dropped);
  host_.AppendLog(LogId::kEeprom, text);
  host_.AppendLog(LogId::kTerminal, text);
  CountBadReply();
  Continue();
}

void EepromTransfer::CountBadReply() {
  ++errors_;
  host_.Report(StatusPage::kEeprom, ProgressReport().Errors(QString::number(errors_)));
}

void EepromTransfer::Continue() {
  if (errors_ < kRetryLimit && to_do_.none() && stage_ == TransferStage::kBackupRead) {
    KeepBackupAndSend();
    return;
  }
  if (to_do_.none() || errors_ >= kRetryLimit) {
    Finish();
    return;
  }
  ShowProgress();
  SendRequest();
  if (!RowMode()) host_.Report(StatusPage::kEeprom, ProgressReport().Done(done_));
}

void EepromTransfer::ShowProgress() {
  const uint32_t elapsed = clock_.NowMs() - start_ms_;
  const double speed = elapsed == 0 ? 0.0 : done_ * kBytesPerRow / (elapsed / 1000.0);
  ProgressReport report;
  report.Speed(QLocale().toString(speed, 'f', 2) + texts_.Slot(slot::kBytesPerSecond));
  if (speed != 0.0) {
    const double remaining = (stage_rows_ - (done_ - 1)) * kBytesPerRow / speed;
    report.Remaining(QString::number(static_cast<long long>(std::nearbyint(remaining))) +
                     texts_.Slot(slot::kSeconds));
  }
  host_.Report(StatusPage::kEeprom, report);
}

void EepromTransfer::KeepBackupAndSend() {
  // The own text format names its rows: loaded on the page, it restores just these.
  const BackupResult saved = backup_store_->Save(
      QStringLiteral("eeprom-send"), static_cast<uint32_t>(NextRow(rows_, 0) * kBytesPerRow),
      EncodeEepromFile(EepromFormat::kOwn, backup_, rows_), QStringLiteral("txt"));
  if (!saved.saved) {
    const QString message = texts_.Format(text_key::kNoSePudoGuardarLaCopia, {saved.error});
    host_.AppendLog(LogId::kEeprom, message);
    EndTransfer(TransferOutcome::kBackupFailed);
    host_.ShowError(message);
    if (on_finished_) on_finished_();
    return;
  }
  backup_path_ = saved.path;
  Note(texts_.Format(text_key::kCopiaDeSeguridad, {saved.path}));
  EepromRows differing;
  for (int row = 0; row < kEepromRows; ++row)
    if (rows_.test(static_cast<size_t>(row)) && backup_.RowText(row + 1) != image_.RowText(row + 1))
      differing.set(static_cast<size_t>(row));
  Note(
      texts_.Format(text_key::kFilasDiferentesQueSeEnviaran, {QString::number(differing.count())}));
  if (differing.none()) {
    const QString same = texts_.Key(text_key::kLaEepromYaContiene);
    host_.AppendLog(LogId::kEeprom, same);
    EndTransfer(TransferOutcome::kDone);
    host_.ShowInformation(same);
    if (on_finished_) on_finished_();
    return;
  }
  BeginStage(TransferStage::kTransfer, EepromTask::kWrite, differing,
             texts_.Slot(slot::kTaskWrite));
}

void EepromTransfer::EndTransfer(TransferOutcome outcome) {
  host_.ResetStatus(StatusPage::kEeprom);
  row_ = 0;
  if (refresh_view_) refresh_view_();
  link_.End();
  outcome_ = outcome;
  host_.EnablePages();
}

void EepromTransfer::Finish() {
  const bool limit = errors_ >= kRetryLimit;
  EndTransfer(limit ? TransferOutcome::kRetryLimit : TransferOutcome::kDone);
  if (limit) {
    QString message = texts_.TwoLines(
        task_ == EepromTask::kVerify ? kRetryLimitAccent : kRetryLimitNoAccent, kContactAuthor);
    if (stage_ == TransferStage::kBackupRead) message += u'\n' + BackupReadFailed();
    host_.ShowError(message);
  } else if (task_ == EepromTask::kRead) {
    host_.ShowInformation(texts_.Slot(kReadDone));
  } else if (task_ == EepromTask::kWrite) {
    host_.ShowInformation(texts_.Slot(kWriteDone));
  } else {
    // The verdict closes the log and the message: rows that differ are not a success.
    const QString verdict = DifferingRowsVerdict(differing_rows_, texts_);
    host_.AppendLog(LogId::kEeprom, verdict);
    const QString message = texts_.Slot(kVerifyDone) + u'\n' + verdict;
    if (differing_rows_.isEmpty())
      host_.ShowInformation(message);
    else
      host_.ShowError(message);
  }
  if (on_finished_) on_finished_();
}

QString EepromTransfer::BackupReadFailed() {
  const QString line = texts_.Key(text_key::kNoSePudoLeerLaCopia);
  host_.AppendLog(LogId::kEeprom, line);
  return line;
}

void EepromTransfer::Note(const QString& line) {
  host_.AppendLog(LogId::kEeprom, line);
  if (on_note_) on_note_(line);
}

void EepromTransfer::OnTimeout() {
  EndUnanswered(TransferOutcome::kNoReply, texts_.Slot(slot::kNoReply),
                NoReplyMessage(texts_, link_.port_name()));
}

void EepromTransfer::OnPortFailure(const QString& message) {
  // As a time-out, but the port's reason replaces the receiver's silence.
  EndUnanswered(TransferOutcome::kPortFailed, message, message);
}

void EepromTransfer::EndUnanswered(TransferOutcome outcome, const QString& log_line,
                                   QString message) {
  // The rows done so far stay in the image; the view is refreshed at the next end.
  host_.ResetStatus(StatusPage::kEeprom);
  row_ = 0;
  link_.End();
  outcome_ = outcome;
  host_.AppendLog(LogId::kEeprom, log_line);
  if (stage_ == TransferStage::kBackupRead) message += u'\n' + BackupReadFailed();
  host_.ShowError(message);
  if (on_finished_) on_finished_();
}

}  // namespace tornavo

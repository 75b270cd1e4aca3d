#include "core/jtag/flash_programming.h"

#include <algorithm>
#include <span>
#include <vector>

#include "core/jtag/debug_unit.h"
#include "core/jtag/firmware_crc.h"
#include "core/jtag/jtag_backup.h"
#include "core/jtag/jtag_texts.h"
#include "core/jtag/port_frame.h"
#include "core/jtag/tap_driver.h"
#include "core/texts/text_names.h"
#include "core/texts/texts.h"

namespace tornavo {

namespace {

constexpr uint32_t kRamStart = 0x40000000;
constexpr uint32_t kEepromSize = 0x800;
const QString kDashes(40, QLatin1Char('-'));

// Catalogue slots of this file's texts.
constexpr int kEepromWritten = 22;       // "¡ Eeprom escrita con éxito !"
constexpr int kNoChannelList = 111;      // "¡ No hay ninguna lista de canales cargada !"
constexpr int kDataSent = 115;           // "¡ Datos enviados con éxito !"
constexpr int kChecking = 140;           // "Comprobando la dirección : "
constexpr int kIdentical = 141;          // "Los datos en la flash son identicos. ..."
constexpr int kVerifying = 142;          // "Verificando la dirección : "
constexpr int kVerifyFailed = 143;       // "Error en la verificación."
constexpr int kJtagSendFailed = 144;     // "Error en el envio por Jtag."
constexpr int kCheckCable = 145;         // "Comprueba que el Interfaz Jtag esté bien construido"
constexpr int kCheckAddresses = 146;     // "y que las direcciones Trap y destino son las ..."
constexpr int kNotInChip = 147;          // "La direccion especificada no está dentro del ..."
constexpr int kWarningTitle = 164;       // "¡ A T E N C I Ó N !"
constexpr int kWarningDestroy = 165;     // "¡ Borrar todo un integrado puede destruir ..."
constexpr int kWarningNotNeeded = 166;   // "Tornavo NO NECESITA BORRAR TODO EL INTEGRADO ..."
constexpr int kWarningCancel = 167;      // "Si no estás absolutamente seguro ..."
constexpr int kBlockEraseFailed = 168;   // "Se produjo un error borrando el bloque :"
constexpr int kChipEraseFailed = 169;    // "Se produjo un error borrando el chip."
constexpr int kEepromWriteFailed = 171;  // "¡ Se produjo un error escribiendo en la eeprom !"
constexpr int kBadAddress = 175;         // "¡ Dirección incorrecta !"
constexpr int kVerified = 179;           // "¡ Verificación correcta !"

const QString kCrLf = QStringLiteral("\r\n");

QString Hex8(uint32_t value) {
  return QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0')).toUpper();
}

bool Contains(const FlashChipDescription& chip, uint32_t address) {
  return address >= chip.start && uint64_t{address} < uint64_t{chip.start} + chip.size();
}

// Opens the bracket for a send; a port that cannot be had ends it as kPortFailed.
bool OpenFrame(PortFrame& frame, JtagSendResult* result) {
  if (frame.Open(&result->port_error)) return true;
  result->outcome = SendOutcome::kPortFailed;
  return false;
}

void StartStatus(JtagSession& session, uint32_t destination, uint32_t count) {
  session.host.Report(StatusPage::kJtag,
                      ProgressReport::Start(session.texts.Slot(slot::kTaskWrite), Hex8(destination),
                                            static_cast<int>(count)));
}

// Success only when every byte was sent, no block was passed over and the port still works;
// otherwise each of these that failed, on lines of their own: the first byte not sent, the
// blocks not written, the port's failure.
SendOutcome FinalReport(JtagSession& session, uint32_t destination, const BlocksResult& blocks,
                        uint32_t count) {
  OperationHost& host = session.host;
  if (blocks.backup_failed) {
    // Nothing was written; the reason has had its box.
    host.ResetStatus(StatusPage::kJtag);
    return SendOutcome::kFailed;
  }
  const uint32_t done = blocks.done;
  host.Report(StatusPage::kJtag,
              ProgressReport().Address(Hex8(destination + done - 1)).Done(static_cast<int>(done)));
  session.port.Flush();
  QStringList lines;
  int errors = 0;
  if (done < count) {
    lines << session.texts.Slot(jtag_slot::kErrorAtAddress) + Hex8(destination + done);
    ++errors;
  }
  if (!blocks.not_written.isEmpty()) {
    lines << session.texts.Key(text_key::kBloquesNoEscritos) << blocks.not_written;
    errors += static_cast<int>(blocks.not_written.size());
  }
  if (session.port.failed()) lines << session.port.failure();
  if (lines.isEmpty()) {
    host.Log(LogId::kJtag, LogLevel::kSuccess, session.texts.Slot(kDataSent));
  } else {
    host.Report(StatusPage::kJtag, ProgressReport().Errors(QString::number(std::max(errors, 1))));
    for (const QString& line : lines) host.AppendLog(LogId::kJtag, line);
    host.ShowError(lines.join(QLatin1Char('\n')));
  }
  host.ResetStatus(StatusPage::kJtag);
  return lines.isEmpty() ? SendOutcome::kDone : SendOutcome::kFailed;
}

// Fills buffer from address; false at a block that delivers nothing.
bool ReadRange(DebugUnit& unit, uint32_t address, std::span<uint8_t> buffer) {
  size_t got = 0;
  while (got < buffer.size()) {
    const int n = unit.DcuReadBlock(address + static_cast<uint32_t>(got), buffer.subspan(got));
    if (n <= 0) return false;
    got += static_cast<size_t>(n);
  }
  return true;
}

// Reads length bytes from address, stopping at a block that delivers nothing.
bool ReadEquals(DebugUnit& unit, uint32_t address, const uint8_t* expected, uint32_t length) {
  std::vector<uint8_t> buffer(length);
  return ReadRange(unit, address, buffer) && std::equal(buffer.begin(), buffer.end(), expected);
}

QString JtagSendFailedText(const Texts& texts) {
  return texts.Slot(kJtagSendFailed) + kCrLf + texts.Slot(kCheckCable) + kCrLf +
         texts.Slot(kCheckAddresses);
}

// The chip's problem, shown; true when the chip may be used.
bool ChipUsable(JtagSession& session, const FlashChipDescription& chip) {
  const QString problem = session.texts.Format(FlashChipProblem(chip));
  if (problem.isEmpty()) return true;
  session.host.Log(LogId::kJtag, LogLevel::kFailure, problem);
  return false;
}

// Steps common to the two flash programming operations once the port is open: reset, trap,
// block loop. Returns the bytes counted as sent.
// Bytes written into target RAM through the debug unit; returns how many were written.
// With verify, only the bytes read back equal count, up to the first that differs.
uint32_t LoadIntoRam(JtagSession& session, const uint8_t* bytes, uint32_t address, uint32_t count,
                     bool verify = false) {
  TapDriver tap(session.port, session.state, session.timing);
  DebugUnit unit(tap, session.clock, session.host, session.texts);
  return unit.LoadRamImage(bytes, address, count, verify);
}

BlocksResult ProgramChip(JtagSession& session, const JtagSendRequest& request,
                         const FlashChipDescription& chip, const uint8_t* data, uint32_t count,
                         BlockTexts texts) {
  TapDriver tap(session.port, session.state, session.timing);
  DebugUnit unit(tap, session.clock, session.host, session.texts);
  unit.DcuResetSequence();
  session.host.AppendLog(LogId::kJtag, session.texts.Slot(jtag_slot::kSendingFile));
  uint32_t status = 0;
  if (!unit.DcuReadWord(kDcuStatusRegister, &status) ||
      !unit.StartTrap(request.trap_address, request.trap_places)) {
    unit.DcuReleaseReset();
    return {};
  }
  return ProgramBlocks(session, unit, request, chip, data, count, texts);
}

}  // namespace

namespace {

// kReadFailed: a block the chunk covers only partly could not be read first, so it was not
// erased.
enum class BlockOutcome { kWritten, kReadFailed, kEraseFailed, kProgramFailed, kVerifyFailed };

// One block's turn: skipped when it is whole, not forced and equal to the flash; else erased,
// programmed and, when asked, read back. A block the chunk covers only partly is read first
// and programmed whole with the chunk laid over it, so that the bytes around the chunk stay.
// held: what the flash held from block_start, read for the backup; null: read it now.
BlockOutcome WriteBlock(JtagSession& session, DebugUnit& unit, const JtagSendRequest& request,
                        const FlashChipDescription& chip, uint32_t block_start, uint32_t block_size,
                        uint32_t at, const uint8_t* data, const uint8_t* held, uint32_t size,
                        uint32_t progress_base, BlockTexts texts) {
  const Texts& catalogue = session.texts;
  const auto log = [&](const QString& line) { session.host.AppendLog(LogId::kJtag, line); };
  const bool whole = size == block_size;
  if (!request.options.force && whole) {
    log(catalogue.Slot(kChecking) + Hex8(at));
    if (held ? std::equal(data, data + size, held) : ReadEquals(unit, at, data, size)) {
      log(catalogue.Slot(kIdentical));
      session.host.Report(StatusPage::kJtag,
                          ProgressReport().Done(static_cast<int>(progress_base + size)));
      return BlockOutcome::kWritten;
    }
  }
  std::vector<uint8_t> merged;
  const uint32_t offset = at - block_start;
  if (!whole) {
    merged.resize(block_size);
    if (held)
      std::copy(held, held + block_size, merged.begin());
    else if (!ReadRange(unit, block_start, merged))
      return BlockOutcome::kReadFailed;
    std::copy(data, data + size, merged.begin() + offset);
  }
  const uint8_t* bytes = whole ? data : merged.data();
  if (!unit.TrapEraseBlock(block_start, chip.start, chip.erasure_mode))
    return BlockOutcome::kEraseFailed;
  if (!unit.TrapProgramFlash(request.trap_address, block_start, bytes, block_size, chip.start,
                             progress_base, {offset, size}))
    return BlockOutcome::kProgramFailed;
  if (!request.options.verify) return BlockOutcome::kWritten;
  log(catalogue.Slot(kVerifying) + Hex8(block_start));
  if (!ReadEquals(unit, block_start, bytes, block_size)) return BlockOutcome::kVerifyFailed;
  log(texts == BlockTexts::kFile ? catalogue.Slot(kVerified) : catalogue.Slot(kVerified).mid(2));
  return BlockOutcome::kWritten;
}

// Why a block passed over was not written, as the closing message names it.
QString WhatFailed(BlockOutcome outcome, const Texts& texts) {
  switch (outcome) {
    case BlockOutcome::kReadFailed:  // read before its erase: nothing was erased
    case BlockOutcome::kEraseFailed:
      return texts.Key(text_key::kFalloElBorrado);
    case BlockOutcome::kProgramFailed:
      return texts.Key(text_key::kFalloLaProgramacion);
    default:
      return texts.Key(text_key::kFalloLaVerificacion);
  }
}

// With backups on, reads blocks first to the one holding the last byte before end (an erase
// clears whole blocks) into *held and keeps them; false when that failed. With backups off,
// says so.
bool BackUpBlocks(JtagSession& session, DebugUnit& unit, const JtagSendRequest& request,
                  const FlashChipDescription& chip, int first, uint64_t end, QByteArray* held) {
  if (!request.backups) {
    LogNoBackup(session);
    return true;
  }
  int last = first;
  while (last + 1 < chip.num_blocks && end > uint64_t{chip.start} + chip.block_offsets[last + 1])
    ++last;
  const uint32_t start = chip.start + chip.block_offsets[first];
  const uint32_t length = chip.block_offsets[last + 1] - chip.block_offsets[first];
  return ReadForBackup(session, unit, start, length, held) &&
         KeepBackup(session, *request.backups, QStringLiteral("flash-send"), start, *held,
                    QStringLiteral("bin"));
}

}  // namespace

BlocksResult ProgramBlocks(JtagSession& session, DebugUnit& unit, const JtagSendRequest& request,
                           const FlashChipDescription& chip, const uint8_t* data, uint32_t count,
                           BlockTexts texts) {
  OperationHost& host = session.host;
  const Texts& catalogue = session.texts;
  const uint64_t destination = request.destination;
  BlocksResult result;
  uint32_t status = 0;
  const auto finish = [&] {
    unit.DcuReadWord(kDcuStatusRegister, &status);
    unit.DcuReleaseReset();
    return result;
  };
  // A description no operation may use never reaches the loop, whoever calls it.
  if (!FlashChipProblem(chip).empty()) {
    host.ShowError(catalogue.Format(FlashChipProblem(chip)));
    return finish();
  }
  int k = 0;
  while (k < chip.num_blocks && !(destination >= uint64_t{chip.start} + chip.block_offsets[k] &&
                                  destination < uint64_t{chip.start} + chip.block_offsets[k + 1]))
    ++k;
  if (k >= chip.num_blocks) {
    host.ShowError(catalogue.Slot(kNotInChip));
    return finish();
  }
  const uint64_t end = destination + count;
  QByteArray held;  // what the blocks held, when backed up
  const uint32_t held_start = chip.start + chip.block_offsets[k];
  if (!BackUpBlocks(session, unit, request, chip, k, end, &held)) {
    result.backup_failed = true;
    return finish();
  }
  if (request.backups) StartStatus(session, request.destination, count);
  uint64_t done = 0;
  // A port that stopped working answers no question: the loop just ends.
  while (k < chip.num_blocks && done < count && !session.port.failed()) {
    const uint64_t bs = uint64_t{chip.start} + chip.block_offsets[k];
    const uint64_t be = uint64_t{chip.start} + chip.block_offsets[k + 1];
    uint64_t chunk;
    if (destination <= bs)
      chunk = be <= end ? be - bs : count - done;
    else
      chunk = be > end ? count : be - destination;
    const uint32_t at = static_cast<uint32_t>(destination + done);
    host.AppendLog(LogId::kJtag, kDashes);
    const uint8_t* held_block =
        held.isEmpty() ? nullptr
                       : reinterpret_cast<const uint8_t*>(held.constData()) + (bs - held_start);
    const BlockOutcome outcome = WriteBlock(
        session, unit, request, chip, static_cast<uint32_t>(bs), static_cast<uint32_t>(be - bs), at,
        data + done, held_block, static_cast<uint32_t>(chunk), static_cast<uint32_t>(done), texts);
    if (outcome == BlockOutcome::kWritten) {
      done += chunk;
      ++k;
      continue;
    }
    if (session.port.failed()) break;
    const QString question = outcome == BlockOutcome::kVerifyFailed && texts == BlockTexts::kFile
                                 ? catalogue.Slot(kVerifyFailed)
                                 : JtagSendFailedText(catalogue);
    // The block's own progress ran to its end; the question is about its start.
    host.Report(StatusPage::kJtag, ProgressReport().Address(Hex8(at)).Done(static_cast<int>(done)));
    const Answer answer = host.Ask(Question::kAbortRetryIgnore, question);
    if (answer == Answer::kRetry) {
      host.AppendLog(LogId::kJtag, catalogue.Format(text_key::kReintentandoElBloque, {Hex8(at)}));
    } else if (answer == Answer::kIgnore) {
      result.not_written << Hex8(at) + QStringLiteral(" : ") + WhatFailed(outcome, catalogue);
      done += chunk;
      ++k;
    } else {
      break;
    }
  }
  result.done = static_cast<uint32_t>(done);
  return finish();
}

JtagSendResult SendRamChannelTable(JtagSession& session, const JtagSendRequest& request,
                                   const QByteArray& table) {
  JtagSendResult result;
  if (table.isEmpty()) {
    result.outcome = SendOutcome::kRefused;
    session.host.ShowError(session.texts.Slot(kNoChannelList));
    return result;
  }
  PortFrame frame(session);
  if (!OpenFrame(frame, &result)) return result;
  const auto count = static_cast<uint32_t>(table.size());
  StartStatus(session, request.destination, count);
  if (request.destination < kRamStart) {
    result.outcome = SendOutcome::kRefused;
    session.host.ShowError(session.texts.Slot(kBadAddress));
    session.host.ResetStatus(StatusPage::kJtag);
  } else {
    result.done = LoadIntoRam(session, reinterpret_cast<const uint8_t*>(table.constData()),
                              request.destination, count);
    result.outcome = FinalReport(session, request.destination, {result.done, {}}, count);
  }
  return result;
}

JtagSendResult ProgramFlashImage(JtagSession& session, const JtagSendRequest& request,
                                 const QByteArray& image) {
  JtagSendResult result;
  if (image.isEmpty()) {
    result.outcome = SendOutcome::kRefused;
    session.host.ShowError(session.texts.Slot(kNoChannelList));
    return result;
  }
  const FlashChipDescription& chip = request.chips[1];
  if (!ChipUsable(session, chip)) {
    result.outcome = SendOutcome::kRefused;
    return result;
  }
  PortFrame frame(session);
  if (!OpenFrame(frame, &result)) return result;
  const auto count = static_cast<uint32_t>(image.size());
  StartStatus(session, request.destination, count);
  BlocksResult blocks;
  if (!Contains(chip, request.destination)) {
    session.host.ShowError(session.texts.Slot(kBadAddress));
  } else {
    blocks =
        ProgramChip(session, request, chip, reinterpret_cast<const uint8_t*>(image.constData()),
                    count, BlockTexts::kFlashImage);
  }
  result.done = blocks.done;
  result.outcome = FinalReport(session, request.destination, blocks, count);
  return result;
}

JtagSendResult SendFileOverJtag(JtagSession& session, const JtagSendRequest& request,
                                QByteArray data) {
  JtagSendResult result;
  // No bytes would end with the success message for nothing sent.
  if (data.isEmpty()) {
    result.outcome = SendOutcome::kRefused;
    session.host.ShowError(session.texts.Slot(jtag_slot::kBadAddressLength));
    return result;
  }
  // Both descriptions decide where the bytes go: with either unusable, flash could be taken
  // for RAM.
  if (!ChipUsable(session, request.chips[0]) || !ChipUsable(session, request.chips[1])) {
    result.outcome = SendOutcome::kRefused;
    return result;
  }
  PortFrame frame(session);
  if (!OpenFrame(frame, &result)) return result;
  const auto count = static_cast<uint32_t>(data.size());
  StartStatus(session, request.destination, count);
  const FlashChipDescription* chip = nullptr;
  if (Contains(request.chips[0], request.destination)) {
    chip = &request.chips[0];
    FirmwareCrcs crcs;
    if (request.options.add_crc && AddFirmwareCrcBlock(&data, &crcs))
      for (const QString& line : crcs.LogLines()) session.host.AppendLog(LogId::kEeprom, line);
  } else if (Contains(request.chips[1], request.destination)) {
    chip = &request.chips[1];
  }
  const auto* bytes = reinterpret_cast<const uint8_t*>(data.constData());
  const BlocksResult blocks =
      chip ? ProgramChip(session, request, *chip, bytes, count, BlockTexts::kFile)
           : BlocksResult{
                 LoadIntoRam(session, bytes, request.destination, count, request.options.verify),
                 {}};
  result.done = blocks.done;
  result.outcome = FinalReport(session, request.destination, blocks, count);
  return result;
}

JtagSendResult WriteEepromOverJtag(JtagSession& session, const JtagSendRequest& request,
                                   const QByteArray& eeprom) {
  JtagSendResult result;
  OperationHost& host = session.host;
  const uint64_t address = request.destination;
  // Refused before the port is touched: a write of nothing must not be reported as written.
  if (request.length == 0 || address >= kEepromSize || address + request.length > kEepromSize) {
    result.outcome = SendOutcome::kRefused;
    host.ShowError(session.texts.Slot(jtag_slot::kBadAddressLength));
    return result;
  }
  PortFrame frame(session);
  if (!OpenFrame(frame, &result)) return result;
  if (eeprom.size() < static_cast<qsizetype>(kEepromSize)) {
    result.outcome = SendOutcome::kRefused;
    host.ShowError(session.texts.Slot(kBadAddress));
  } else {
    TapDriver tap(session.port, session.state, session.timing);
    DebugUnit unit(tap, session.clock, host, session.texts);
    unit.DcuResetSequence();
    uint32_t status = 0;
    result.outcome = SendOutcome::kFailed;
    if (unit.DcuReadWord(kDcuStatusRegister, &status) &&
        unit.StartTrap(request.trap_address, request.trap_places)) {
      const auto* bytes = reinterpret_cast<const uint8_t*>(eeprom.constData()) + address;
      if (!request.backups) LogNoBackup(session);
      // Nothing is written unless the rows it replaces are safe in a file; if not, the reason
      // has had its box.
      const bool kept = !request.backups ||
                        BackUpEepromRows(session, unit, *request.backups, request.trap_address,
                                         static_cast<uint32_t>(address), request.length);
      if (kept && unit.TrapWriteEeprom(request.trap_address, static_cast<uint32_t>(address), bytes,
                                       request.length)) {
        result.outcome = SendOutcome::kDone;
        result.done = request.length;
        host.Log(LogId::kJtag, LogLevel::kSuccess, session.texts.Slot(kEepromWritten));
      } else if (kept) {
        const QString text = session.texts.Slot(kEepromWriteFailed);
        frame.Log(text);
        host.ShowError(PortRefusedText(text, session.port.failure()));
      }
      unit.DcuReadWord(kDcuStatusRegister, &status);
    } else {
      // A trap that never answered has shown nothing yet; a port that stopped working is
      // named by the frame.
      if (!unit.error_shown() && !session.port.failed()) {
        const QString text = session.texts.Slot(kEepromWriteFailed);
        frame.Log(text);
        host.ShowError(text);
      }
      frame.ReportFailure();
    }
    unit.DcuReleaseReset();
    host.ResetStatus(StatusPage::kJtag);
  }
  return result;
}

JtagSendResult StartJtagSend(JtagSession& session, const JtagSendRequest& request,
                             JtagSendSource source, const JtagSendInputs& inputs) {
  switch (source) {
    case JtagSendSource::kRamTable:
      return SendRamChannelTable(session, request, inputs.ram_table);
    case JtagSendSource::kFlashTable:
      return ProgramFlashImage(session, request, inputs.flash_image);
    case JtagSendSource::kEeprom:
      return WriteEepromOverJtag(session, request, inputs.eeprom);
    case JtagSendSource::kFile:
      return SendFileOverJtag(session, request, inputs.file);
    case JtagSendSource::kCapturedImage:
      break;
  }
  return {SendOutcome::kRefused, 0, {}};
}

QString EraseChipWarning(const Texts& texts, const JtagSendRequest& request, int chip) {
  const FlashChipDescription& erased = request.chips[chip];
  // Without a usable block table the chip's end is not known.
  const QString end = FlashChipProblem(erased).empty() && erased.size() > 0
                          ? Hex8(erased.start + (erased.size() - 1))
                          : QStringLiteral("?");
  const int caption =
      chip == 0 ? text_key::kIntegradoConSofwareInteractivo : text_key::kIntegradoConListaDeCanales;
  const QString target = texts.Format(
      text_key::kDestino, {texts.Key(caption).trimmed(), Hex8(erased.start), end, request.port});
  return texts.Slot(kWarningTitle) + kCrLf + kCrLf + target + kCrLf + kCrLf +
         texts.Slot(kWarningDestroy) + kCrLf + kCrLf + texts.Slot(kWarningNotNeeded) + kCrLf +
         texts.Slot(kWarningCancel);
}

namespace {

// The erase itself, once the trap runs: every block of the chip (going on past a failed one)
// or one command. True when all of it worked.
bool EraseWholeChip(JtagSession& session, DebugUnit& unit, const FlashChipDescription& chip,
                    uint32_t address, EraseMethod method) {
  if (method == EraseMethod::kSingleCommand) {
    if (unit.TrapEraseChip(address)) return true;
    if (!session.port.failed()) session.host.ShowError(session.texts.Slot(kChipEraseFailed));
    return false;
  }
  bool all = true;
  // A port that stopped working is named once, by the caller, not for every block left.
  for (int k = 0; k < chip.num_blocks && !session.port.failed(); ++k) {
    const uint32_t block = address + chip.block_offsets[k];
    if (!unit.TrapEraseBlock(block, address, chip.erasure_mode)) {
      all = false;
      if (session.port.failed()) break;
      session.host.Log(LogId::kJtag, LogLevel::kFailure,
                       session.texts.Slot(kBlockEraseFailed) + Hex8(block));
    }
  }
  return all;
}

// Whether a whole chip can be read for a backup: its description gives its size.
bool ChipSizeKnown(const FlashChipDescription& chip) {
  return FlashChipProblem(chip).empty() && chip.size() > 0;
}

// The warning, with the check box that reads the chip first when backups are on and the
// chip's size is known. *back_up: whether to read and keep it.
bool EraseConfirmed(JtagSession& session, const JtagSendRequest& request, int index,
                    bool* back_up) {
  const FlashChipDescription& chip = request.chips[index];
  *back_up = request.backups && ChipSizeKnown(chip);
  const QString warning = EraseChipWarning(session.texts, request, index);
  if (!*back_up) return session.host.Ask(Question::kOkCancel, warning) == Answer::kOk;
  const QString option = session.texts.Format(
      text_key::kLeerElChipAntesDeBorrarlo,
      {QString::number(EstimatedJtagReadSeconds(chip.size(), session.timing))});
  return session.host.AskWithOption(Question::kOkCancel, warning, option, back_up) == Answer::kOk;
}

}  // namespace

JtagSendResult EraseChip(JtagSession& session, const JtagSendRequest& request, EraseMethod method) {
  JtagSendResult result;
  result.outcome = SendOutcome::kRefused;
  OperationHost& host = session.host;
  const uint32_t address = request.destination;
  const int index = address == request.chips[0].start   ? 0
                    : address == request.chips[1].start ? 1
                                                        : -1;
  // Checked before the warning, so that it can name the chip, and before the port is opened:
  // a wrong address must not even reset the target.
  if (index < 0) {
    host.ShowError(
        session.texts.Format(text_key::kSoloSePuedeBorrarUn,
                             {Hex8(request.chips[0].start), Hex8(request.chips[1].start)}));
    return result;
  }
  const FlashChipDescription& chip = request.chips[index];
  if (method == EraseMethod::kBlocks && !ChipUsable(session, chip)) return result;
  bool back_up = false;
  if (!EraseConfirmed(session, request, index, &back_up)) return result;

  PortFrame frame(session);
  if (!OpenFrame(frame, &result)) return result;
  TapDriver tap(session.port, session.state, session.timing);
  DebugUnit unit(tap, session.clock, host, session.texts);
  unit.DcuResetSequence();
  uint32_t status = 0;
  result.outcome = SendOutcome::kFailed;
  bool copy_failed = false;  // its box has named a port that stopped working
  bool trap_started = false;
  if (unit.DcuReadWord(kDcuStatusRegister, &status)) {
    QByteArray held;
    if (!back_up)
      LogNoBackup(session, request.backups && !ChipSizeKnown(chip)
                               ? text_key::kSinCopiaTamano
                               : text_key::kSinCopiaDeSeguridad);
    // Nothing is erased unless the chip's old contents are safe in a file.
    const bool kept =
        !back_up || (ReadForBackup(session, unit, chip.start, chip.size(), &held) &&
                     KeepBackup(session, *request.backups, QStringLiteral("flash-erase"),
                                chip.start, held, QStringLiteral("bin")));
    copy_failed = !kept;
    trap_started = kept && unit.StartTrap(request.trap_address, request.trap_places);
    if (trap_started && EraseWholeChip(session, unit, chip, address, method))
      result.outcome = SendOutcome::kDone;
    unit.DcuReadWord(kDcuStatusRegister, &status);
  }
  if (session.port.failed()) result.outcome = SendOutcome::kFailed;
  // A trap that never answered has shown nothing yet; one box per failure.
  if (!copy_failed && !trap_started && !unit.error_shown() && !session.port.failed())
    host.ShowError(session.texts.Slot(kChipEraseFailed));
  if (!copy_failed) frame.ReportFailure();
  unit.DcuReleaseReset();
  return result;
}

}  // namespace tornavo

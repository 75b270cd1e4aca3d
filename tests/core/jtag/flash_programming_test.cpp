#include "core/jtag/flash_programming.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <deque>
#include <map>
#include <tuple>

#include "core/eeprom/eeprom_files.h"
#include "core/jtag/firmware_crc.h"
#include "core/jtag/jtag_dump.h"
#include "core/lpt/port_locator.h"
#include "core/lpt/step_clock.h"
#include "core/texts/text_names.h"
#include "sim/jtag_target.h"
#include "sim/trap_stand_in.h"
#include "support/hostile_peer.h"
#include "support/recording_host.h"
#include "support/wait.h"

namespace tornavo {
namespace {

constexpr uint32_t kStart1 = 0x60000000;
constexpr uint32_t kStart2 = 0x7FE00000;
constexpr uint32_t kTrap = 0x40010000;

// Answers the questions from a list, remembering what was asked.
class AnsweringHost : public testing::RecordingHost {
 public:
  Answer Ask(Question question, const QString& text) override {
    questions.push_back(text);
    const TaskPanel& panel = panels[static_cast<int>(StatusPage::kJtag)];
    panels_at_question << QString("%1 %2").arg(panel.Text(StatusField::kAddress)).arg(panel.done);
    if (answers.empty()) return question == Question::kOkCancel ? Answer::kCancel : Answer::kAbort;
    const Answer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::deque<Answer> answers;
  QStringList questions;
  QStringList panels_at_question;  // the JTAG panel's address and progress as each was asked
};

// A chip at start whose blocks begin at offsets, the last one its end.
FlashChipDescription Chip(uint32_t start, const std::vector<uint32_t>& offsets) {
  FlashChipDescription chip;
  chip.start = start;
  std::copy(offsets.begin(), offsets.end(), chip.block_offsets.begin());
  chip.num_blocks = static_cast<int>(offsets.size()) - 1;
  return chip;
}

// The firmware chip with small boot blocks at its start (0x4000, 0x2000, 0x2000, 0x8000, then
// 64 KiB blocks), the channel-list chip in 64 KiB blocks; both 2 MiB.
const std::vector<uint32_t> kFirmwareBlocks = [] {
  std::vector<uint32_t> offsets = {0, 0x4000, 0x6000, 0x8000, 0x10000};
  for (uint32_t offset = 0x20000; offset <= 0x200000; offset += 0x10000) offsets.push_back(offset);
  return offsets;
}();
const std::vector<uint32_t> kChannelBlocks = [] {
  std::vector<uint32_t> offsets;
  for (uint32_t offset = 0; offset <= 0x200000; offset += 0x10000) offsets.push_back(offset);
  return offsets;
}();

QByteArray Pattern(int size, int seed) {
  QByteArray bytes(size, '\0');
  for (int i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + seed + (i >> 8)) & 0xFF);
  return bytes;
}

// The one file a backup folder holds, read whole, with its name; empty when there is none.
QByteArray OnlyBackup(const QString& folder, QString* name = nullptr) {
  const QStringList files = QDir(folder).entryList(QDir::Files);
  if (files.size() != 1) return {};
  if (name) *name = files[0];
  QFile file(QDir(folder).filePath(files[0]));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class FlashProgrammingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const QString path = trap_dir_.filePath("trap.bin");
    QFile trap(path);
    ASSERT_TRUE(trap.open(QIODevice::WriteOnly));
    trap.write(sim::TrapStandIn());
    trap.close();
    request_.chips = {Chip(kStart1, kFirmwareBlocks), Chip(kStart2, kChannelBlocks)};
    request_.trap_address = kTrap;
    request_.trap_places = {path};
    // The target's chip 0 is the channel list, chip 1 the firmware.
    target_.SetFlashBlocks(1, kFirmwareBlocks);
    target_.SetFlashBlocks(0, kChannelBlocks);
  }
  JtagSession Session() {
    return {target_, clock_, host_, texts_, state_, {.tck_cycles = 0, .wait_start_bits = 64}};
  }
  JtagSendResult SendFile(const QByteArray& data, uint32_t destination) {
    request_.destination = destination;
    JtagSession session = Session();
    return SendFileOverJtag(session, request_, data);
  }
  SendOutcome Send(const QByteArray& data, uint32_t destination) {
    return SendFile(data, destination).outcome;
  }
  SendOutcome Image(const QByteArray& image, uint32_t destination) {
    request_.destination = destination;
    JtagSession session = Session();
    return ProgramFlashImage(session, request_, image).outcome;
  }
  SendOutcome Eeprom(const QByteArray& eeprom, uint32_t address, uint32_t length) {
    request_.destination = address;
    request_.length = length;
    JtagSession session = Session();
    return WriteEepromOverJtag(session, request_, eeprom).outcome;
  }
  SendOutcome Erase(uint32_t address, EraseMethod method, Answer answer = Answer::kOk) {
    request_.destination = address;
    host_.answers = {answer};
    JtagSession session = Session();
    return EraseChip(session, request_, method).outcome;
  }
  int Count(const QString& line) const { return host_.Log(LogId::kJtag).count(line); }
  QString LastBox() const { return host_.boxes.empty() ? QString() : host_.boxes.back().text; }

  QTemporaryDir trap_dir_;
  sim::JtagTarget target_;
  JtagState state_;
  testing::StepClock clock_;
  AnsweringHost host_;
  Texts texts_;
  JtagSendRequest request_;
};

const QString kSkip = "Los datos en la flash son identicos. Saltamos al siguiente bloque...";
const QString kSent = "¡ Datos enviados con éxito !";
const QString kBadRange = "¡ Dirección o longitud incorrecta !";
const QString kJtagFailed =
    "Error en el envio por Jtag.\r\nComprueba que el Interfaz Jtag esté bien construido\r\n"
    "y que las direcciones Trap y destino son las correctas.";

TEST_F(FlashProgrammingTest, WholeBlocksEqualToTheFlashAreSkippedTheOthersErased) {
  const QByteArray data = Pattern(0x8000, 1);  // blocks 0, 1 and 2 of the firmware chip
  const QByteArray after = Pattern(0x100, 9);
  target_.Load(kStart1 + 0x4000, data.mid(0x4000, 0x2000));
  target_.Load(kStart1 + 0x8000, after);
  const JtagSendResult result = SendFile(data, kStart1);
  EXPECT_EQ(result.outcome, SendOutcome::kDone);
  EXPECT_EQ(result.done, 0x8000u);
  EXPECT_EQ(Count(kSkip), 1);
  EXPECT_EQ(target_.flash_erases(), 2);
  EXPECT_EQ(target_.Memory(kStart1, 0x8000), data);
  // The erase of block 2 stopped at its end, where the type file says.
  EXPECT_EQ(target_.Memory(kStart1 + 0x8000, 0x100), after);
  EXPECT_EQ(LastBox(), kSent);
  EXPECT_FALSE(host_.boxes.back().error);
  EXPECT_TRUE(host_.StatusEmpty(StatusPage::kJtag));
  EXPECT_FALSE(state_.dcu_reset);

  // Again: every block is skipped; forced: every block is erased, none compared.
  host_.logs = {};
  Send(data, kStart1);
  EXPECT_EQ(Count(kSkip), 3);
  EXPECT_EQ(target_.flash_erases(), 2);
  request_.options.force = true;
  host_.logs = {};
  Send(data, kStart1);
  EXPECT_EQ(Count(kSkip), 0);
  EXPECT_EQ(target_.flash_erases(), 5);
}

// A block the send covers only partly keeps its other bytes: it is read, the chunk laid over
// it, and the whole block erased, programmed and read back.
TEST_F(FlashProgrammingTest, PartlyCoveredBlocksKeepTheirOtherBytes) {
  const QByteArray old_block = Pattern(0x2000, 2);
  target_.Load(kStart1 + 0x4000, old_block);
  const QByteArray data = Pattern(0x200, 3);
  const JtagSendResult result = SendFile(data, kStart1 + 0x4100);
  EXPECT_EQ(result.outcome, SendOutcome::kDone);
  EXPECT_EQ(result.done, 0x200u);
  // The bar counts the file's bytes, not the block's.
  const std::vector<int>& progress = host_.progress_history[static_cast<int>(StatusPage::kJtag)];
  EXPECT_EQ(*std::max_element(progress.begin(), progress.end()), 0x200);
  EXPECT_EQ(target_.flash_erases(), 1);
  EXPECT_FALSE(host_.Log(LogId::kJtag).join('\n').contains("Comprobando"));
  QByteArray expected = old_block;
  expected.replace(0x100, 0x200, data);
  EXPECT_EQ(target_.Memory(kStart1 + 0x4000, 0x2000), expected);

  // Across a block end, the file ending inside the second block.
  const QByteArray next_block = Pattern(0x2000, 5);
  target_.Load(kStart1 + 0x6000, next_block);
  const QByteArray across = Pattern(0x1800, 4);
  EXPECT_EQ(Send(across, kStart1 + 0x5000), SendOutcome::kDone);
  expected.replace(0x1000, 0x1000, across.left(0x1000));
  EXPECT_EQ(target_.Memory(kStart1 + 0x4000, 0x2000), expected);
  EXPECT_EQ(target_.Memory(kStart1 + 0x6000, 0x800), across.mid(0x1000));
  EXPECT_EQ(target_.Memory(kStart1 + 0x6800, 0x1800), next_block.mid(0x800));
  EXPECT_EQ(target_.flash_erases(), 3);

  // A block that cannot be read first is not erased: it fails like any other.
  target_.SetFaults({.flash_read_failures = 1});
  const QByteArray before = target_.Memory(kStart1 + 0x4000, 0x4000);
  EXPECT_EQ(Send(data, kStart1 + 0x4100), SendOutcome::kFailed);
  EXPECT_EQ(host_.questions, QStringList{kJtagFailed});
  EXPECT_EQ(target_.flash_erases(), 3);
  EXPECT_EQ(target_.Memory(kStart1 + 0x4000, 0x4000), before);
}

TEST_F(FlashProgrammingTest, FailedBlocksFollowTheAnswer) {
  // A failed erase or program is reported by the command itself; a damaged write only by
  // the read-back.
  const QByteArray data = Pattern(0x6000, 5);  // blocks 0 and 1
  target_.Load(kStart1, data.left(0x4000));    // block 0 already there: skipped

  // Abort: the report names the first byte of the failed block.
  target_.SetFaults({.program_failures = 1});
  const JtagSendResult result = SendFile(data, kStart1);
  EXPECT_EQ(result.outcome, SendOutcome::kFailed);
  EXPECT_EQ(result.done, 0x4000u);
  EXPECT_EQ(host_.questions, QStringList{kJtagFailed});
  // While it asks, the panel stands at the failed block, with only the blocks before it done.
  EXPECT_EQ(host_.panels_at_question, QStringList{"60004000 16384"});
  EXPECT_EQ(LastBox(), "Se ha producido un error en la dirección : 60004000");
  EXPECT_TRUE(host_.boxes.back().error);

  // Retry after a failed verification: the second try is good.
  host_.questions.clear();
  host_.logs = {};
  host_.answers = {Answer::kRetry};
  target_.SetFaults({.verify_failures = 1});
  EXPECT_EQ(Send(data, kStart1), SendOutcome::kDone);
  EXPECT_EQ(host_.questions, QStringList{"Error en la verificación."});
  EXPECT_EQ(target_.Memory(kStart1, 0x6000), data);
  EXPECT_EQ(Count("Borrando bloque : 60004000"), 2);
  EXPECT_EQ(Count("Reintentando el bloque : 60004000"), 1);
  EXPECT_EQ(LastBox(), kSent);

  // Ignore: the send goes on with the next block, and ends by naming the one not written.
  host_.questions.clear();
  host_.logs = {};
  host_.answers = {Answer::kIgnore};
  target_.SetFaults({.erase_failures = 1});
  QString errors_at_box;
  host_.on_box = [&](const testing::RecordingHost::Box&) {
    errors_at_box = host_.Status(StatusPage::kJtag, StatusField::kErrors);
  };
  const QByteArray other = Pattern(0x6000, 6);
  EXPECT_EQ(Send(other, kStart1), SendOutcome::kFailed);
  EXPECT_EQ(host_.questions, QStringList{kJtagFailed});
  const QString not_written = "60000000 : falló el borrado";
  EXPECT_TRUE(host_.boxes.back().error);
  EXPECT_EQ(LastBox(), "Bloques no escritos :\n" + not_written);
  EXPECT_TRUE(host_.Log(LogId::kJtag).contains(not_written));
  EXPECT_FALSE(host_.Log(LogId::kJtag).contains(kSent));
  EXPECT_EQ(errors_at_box, "1");
  EXPECT_NE(target_.Memory(kStart1, 0x4000), other.left(0x4000));
  EXPECT_EQ(target_.Memory(kStart1 + 0x4000, 0x2000), other.mid(0x4000));
}

// A failed verification is asked about in the general words, not the file's.
TEST_F(FlashProgrammingTest, FlashImageGoesOnlyToTheChannelChipWithItsOwnTexts) {
  const QByteArray image = Pattern(0x10000, 8);
  host_.answers = {Answer::kRetry};
  target_.SetFaults({.verify_failures = 1});
  EXPECT_EQ(Image(image, kStart2), SendOutcome::kDone);
  EXPECT_EQ(host_.questions, QStringList{kJtagFailed});
  EXPECT_EQ(target_.Memory(kStart2, 0x10000), image);

  const uint64_t edges = target_.edges();
  EXPECT_EQ(Image(image, kStart1), SendOutcome::kFailed);
  EXPECT_EQ(target_.edges(), edges);
  EXPECT_EQ(host_.boxes[host_.boxes.size() - 2].text, "¡ Dirección incorrecta !");
  EXPECT_EQ(LastBox(), "Se ha producido un error en la dirección : 60000000");
  EXPECT_EQ(Image({}, kStart2), SendOutcome::kRefused);
  EXPECT_EQ(LastBox(), "¡ No hay ninguna lista de canales cargada !");
}

TEST(FirmwareCrcTest, BlockOfZlibCrcsOnlyForLongEnoughImages) {
  QByteArray image = Pattern(static_cast<int>(kFirmwareCrcMinimumSize), 11);
  QByteArray short_image = image.left(image.size() - 1);
  const QByteArray short_before = short_image;
  EXPECT_FALSE(AddFirmwareCrcBlock(&short_image));
  EXPECT_EQ(short_image, short_before);

  const QByteArray before = image;
  FirmwareCrcs crcs;
  ASSERT_TRUE(AddFirmwareCrcBlock(&image, &crcs));
  EXPECT_EQ(image.left(0x13FC00), before.left(0x13FC00));
  const auto* stored = reinterpret_cast<const uint8_t*>(image.constData()) + 0x13FC00;
  for (int i = 0; i < 20; ++i, stored += 4) {
    const auto* span = reinterpret_cast<const Bytef*>(before.constData()) + i * 0x10000;
    const auto expected = static_cast<uint32_t>(crc32(0L, span, i < 19 ? 0x10000 : 0xFC00));
    EXPECT_EQ(crcs.values[i], expected) << i;
    EXPECT_EQ(qFromBigEndian<uint32_t>(stored), expected) << i;
  }
}

// The flash already holds the image with its CRC block, so a send that carries the same bytes
// skips every whole block and programs the partial last one with the block added; one byte
// shorter, or sent to chip 2, the image gets none.
TEST_F(FlashProgrammingTest, CrcBlockIsSentToChipOneOnlyWhenAskedForAndLongEnough) {
  QByteArray image = Pattern(static_cast<int>(kFirmwareCrcMinimumSize), 12);
  QByteArray with_crc = image;
  ASSERT_TRUE(AddFirmwareCrcBlock(&with_crc));
  target_.Load(kStart1, with_crc);
  request_.options.add_crc = true;
  EXPECT_EQ(Send(image, kStart1), SendOutcome::kDone);
  EXPECT_EQ(target_.flash_erases(), 1);
  EXPECT_EQ(target_.Memory(kStart1 + 0x13FC00, 0x50), with_crc.mid(0x13FC00));
  EXPECT_EQ(host_.Log(LogId::kEeprom).size(), 20);

  host_.logs = {};
  const QByteArray short_image = image.left(image.size() - 1);
  target_.Load(kStart1 + 0x130000, QByteArray(0x10000, '\0'));  // the last block differs
  EXPECT_EQ(Send(short_image, kStart1), SendOutcome::kDone);
  EXPECT_EQ(target_.flash_erases(), 2);
  EXPECT_EQ(target_.Memory(kStart1 + 0x130000, 0xFC4F), short_image.mid(0x130000));
  EXPECT_EQ(Send(image.left(0x10000), kStart2), SendOutcome::kDone);
  EXPECT_TRUE(host_.Log(LogId::kEeprom).isEmpty());
  EXPECT_EQ(target_.Memory(kStart2, 0x10000), image.left(0x10000));
}

TEST_F(FlashProgrammingTest, NeitherChipMeansRamAndRamTablesAndEepromReadBack) {
  const QByteArray data = Pattern(0x1234, 14);
  EXPECT_EQ(Send(data, 0x40100000), SendOutcome::kDone);
  EXPECT_EQ(target_.Memory(0x40100000, 0x1234), data);
  EXPECT_EQ(target_.flash_erases(), 0);
  EXPECT_EQ(target_.trap_commands(), 0);
  // Read back when verifying: bytes the target did not keep (past the end of RAM) are an
  // error at the first of them; not verifying, nothing is read and nothing is known.
  const QByteArray past_end = Pattern(0x100, 17);
  EXPECT_EQ(Send(past_end, 0x401FFF80), SendOutcome::kFailed);
  EXPECT_EQ(LastBox(), "Se ha producido un error en la dirección : 40200000");
  EXPECT_EQ(Send(past_end, 0x10000000), SendOutcome::kFailed);
  EXPECT_EQ(LastBox(), "Se ha producido un error en la dirección : 10000000");
  request_.options.verify = false;
  const int reads = target_.reads_of(0x10000000);
  EXPECT_EQ(Send(past_end, 0x10000000), SendOutcome::kDone);
  EXPECT_EQ(target_.reads_of(0x10000000), reads + 1);  // the one read that lets it settle
  request_.options.verify = true;

  JtagSession session = Session();
  const QByteArray table = Pattern(0x7600, 15);
  request_.destination = 0x401289A0;
  EXPECT_EQ(SendRamChannelTable(session, request_, table).outcome, SendOutcome::kDone);
  EXPECT_EQ(target_.Memory(0x401289A0, 0x7600), table);
  request_.destination = 0x3FFFFFFC;
  EXPECT_EQ(SendRamChannelTable(session, request_, table).outcome, SendOutcome::kRefused);
  EXPECT_EQ(LastBox(), "¡ Dirección incorrecta !");

  const QByteArray eeprom = Pattern(0x800, 16);
  const sim::EepromBytes held = target_.Eeprom();
  EXPECT_EQ(Eeprom(eeprom, 0x100, 0x300), SendOutcome::kDone);
  EXPECT_EQ(LastBox(), "¡ Eeprom escrita con éxito !");
  const sim::EepromBytes chip = target_.Eeprom();
  for (int a = 0; a < 0x800; ++a)
    ASSERT_EQ(chip[a], a >= 0x100 && a < 0x400 ? uint8_t(eeprom[a]) : held[a]) << a;
  // A range past the chip's end, or of no bytes, or a file of no bytes wherever it goes, is
  // refused before the port is touched.
  const uint64_t edges = target_.edges();
  const std::function<SendOutcome()> refused[] = {
      [&] { return Eeprom(eeprom, 0x100, 0x701); }, [&] { return Eeprom(eeprom, 0, 0); },
      [&] { return Eeprom(eeprom, 0x800, 1); }, [&] { return Send({}, kStart1); },
      [&] { return Send({}, 0x40100000); }};
  for (const auto& run : refused) {
    host_.boxes.clear();
    EXPECT_EQ(run(), SendOutcome::kRefused);
    EXPECT_EQ(LastBox(), kBadRange);
    EXPECT_EQ(host_.boxes.size(), 1u);
  }
  EXPECT_EQ(target_.edges(), edges);
  EXPECT_EQ(target_.Eeprom(), chip);
}

TEST_F(FlashProgrammingTest, EraseChipRefusesOtherAddressesUnaskedAndNamesItsTargetWhenAsking) {
  EXPECT_EQ(Erase(kStart1 + 0x10000, EraseMethod::kBlocks), SendOutcome::kRefused);
  EXPECT_TRUE(host_.questions.isEmpty());
  EXPECT_TRUE(LastBox().contains("60000000") && LastBox().contains("7FE00000"))
      << LastBox().toStdString();

  // Cancel: nothing at all.
  target_.Load(kStart2, QByteArray(0x30000, '\0'));
  request_.port = "ppdev:/dev/parport0";
  EXPECT_EQ(Erase(kStart2, EraseMethod::kBlocks, Answer::kCancel), SendOutcome::kRefused);
  EXPECT_EQ(target_.edges(), 0u);
  ASSERT_EQ(host_.questions.size(), 1);
  EXPECT_TRUE(host_.questions[0].startsWith(
      "¡ A T E N C I Ó N !\r\n\r\nDestino : Integrado con Lista de Canales, de 7FE00000 a "
      "7FFFFFFF, por el puerto ppdev:/dev/parport0.\r\n\r\n¡ Borrar todo"))
      << host_.questions[0].toStdString();

  EXPECT_EQ(Erase(kStart2, EraseMethod::kBlocks), SendOutcome::kDone);
  EXPECT_EQ(target_.flash_erases(), 32);
  EXPECT_EQ(target_.Memory(kStart2, 0x30000), QByteArray(0x30000, '\xFF'));
  EXPECT_FALSE(state_.dcu_reset);

  // A block that fails to erase: its message, and the next blocks are still erased.
  target_.SetFaults({.erase_failures = 1});
  target_.Load(kStart2, QByteArray(0x20, '\0'));
  target_.Load(kStart2 + 0x10000, QByteArray(0x20, '\0'));
  host_.boxes.clear();
  EXPECT_EQ(Erase(kStart2, EraseMethod::kBlocks), SendOutcome::kFailed);
  EXPECT_EQ(target_.flash_erases(), 32 + 31);
  ASSERT_EQ(host_.boxes.size(), 1u);
  EXPECT_EQ(LastBox(), "Se produjo un error borrando el bloque :7FE00000");
  EXPECT_TRUE(host_.Log(LogId::kJtag).contains(LastBox()));
  EXPECT_EQ(target_.Memory(kStart2, 0x20), QByteArray(0x20, '\0'));
  EXPECT_EQ(target_.Memory(kStart2 + 0x10000, 0x20), QByteArray(0x20, '\xFF'));
  target_.SetFaults({});

  target_.Load(kStart1 + 0x100000, QByteArray(0x10, '\0'));
  EXPECT_EQ(Erase(kStart1, EraseMethod::kSingleCommand), SendOutcome::kDone);
  EXPECT_EQ(target_.Memory(kStart1 + 0x100000, 0x10), QByteArray(0x10, '\xFF'));
  EXPECT_TRUE(host_.Log(LogId::kJtag).contains("Borrando chip : 60000000"));
}

// A trap that never answers has no box of its own: the EEPROM write and the chip erase show
// their failure text once; a trap file that is missing has its own box and no second one.
TEST_F(FlashProgrammingTest, TrapThatNeverStartsIsNamedOnceByTheOperation) {
  const sim::EepromBytes eeprom = target_.Eeprom();
  const QByteArray flash = target_.Memory(kStart2, 0x100);
  for (const bool missing : {false, true}) {
    if (missing) request_.trap_places = {trap_dir_.filePath("nowhere/trap.bin")};
    target_.SetFaults({.trap_silent = !missing, .trap_late_reads = 0});
    const auto one_box = [&](SendOutcome outcome, const QString& own) {
      EXPECT_EQ(outcome, SendOutcome::kFailed);
      ASSERT_EQ(host_.boxes.size(), 1u) << own.toStdString();
      EXPECT_TRUE(missing ? LastBox().startsWith("No se ha encontrado el fichero trap.bin")
                          : LastBox() == own)
          << LastBox().toStdString();
      host_.boxes.clear();
    };
    host_.boxes.clear();
    one_box(Eeprom(Pattern(0x800, 30), 0x10, 0x10),
            "¡ Se produjo un error escribiendo en la eeprom !");
    for (const EraseMethod method : {EraseMethod::kBlocks, EraseMethod::kSingleCommand})
      one_box(Erase(kStart2, method), "Se produjo un error borrando el chip.");
  }
  EXPECT_EQ(target_.Eeprom(), eeprom);
  EXPECT_EQ(target_.Memory(kStart2, 0x100), flash);
  EXPECT_FALSE(state_.dcu_reset);
}

TEST_F(FlashProgrammingTest, UnusableChipDescriptionIsRefusedBeforeThePort) {
  request_.chips[0].problem = {text_key::kNoSeEncuentraElArchivo, {"/x/Bad.ini"}};
  EXPECT_EQ(Send(Pattern(0x100, 1), 0x40100000), SendOutcome::kRefused);
  EXPECT_EQ(LastBox(), "No se encuentra el archivo de tipo de Flash \"/x/Bad.ini\".");
  request_.chips[0].problem = {};
  request_.chips[1].block_offsets[5] = request_.chips[1].block_offsets[4];  // a zero-length block
  EXPECT_EQ(Image(Pattern(0x100, 1), kStart2), SendOutcome::kRefused);
  EXPECT_EQ(Erase(kStart2, EraseMethod::kBlocks), SendOutcome::kRefused);
  EXPECT_EQ(target_.edges(), 0u);
  // A single-command erase still runs; a chip of unknown size cannot be read for a backup,
  // and the log says that rather than calling backups switched off.
  QTemporaryDir data;
  request_.backups.emplace(data.path());
  EXPECT_EQ(Erase(kStart2, EraseMethod::kSingleCommand), SendOutcome::kDone);
  const QStringList log = host_.Log(LogId::kJtag);
  EXPECT_TRUE(log.contains("Sin copia de seguridad : no se conoce el tamaño del integrado"));
  EXPECT_FALSE(log.contains("Sin copia de seguridad (desactivada)"));
}

// Passes writes to the target until a set number have gone through, then nothing: a program
// killed halfway through an operation.
class CutPort : public PortRegisters {
 public:
  CutPort(PortRegisters& target, int writes) : target_(target), writes_left_(writes) {}
  bool Acquire(QString* error) override { return target_.Acquire(error); }
  void Release() override {}
  uint8_t Read(PortRegister reg) override { return writes_left_ > 0 ? target_.Read(reg) : 0xFF; }
  void Write(PortRegister reg, uint8_t value) override {
    if (writes_left_ > 0 && --writes_left_ >= 0) target_.Write(reg, value);
  }

 private:
  PortRegisters& target_;
  int writes_left_;
};

// A send killed at any point leaves the target as a reset finds it: the next program's send
// and EEPROM write work.
TEST_F(FlashProgrammingTest, SendKilledHalfwayLeavesTheTargetUsable) {
  const QByteArray data = Pattern(0x4000, 40);
  request_.destination = kStart1;
  for (const int writes : {20000, 60000, 61237, 150001, 400003}) {
    CutPort killed(target_, writes);
    JtagState dead_state;
    JtagSession dying{killed, clock_, host_, texts_, dead_state, {.wait_start_bits = 64}};
    SendFileOverJtag(dying, request_, Pattern(0x4000, writes));
    state_ = {};
    EXPECT_EQ(Send(data, kStart1), SendOutcome::kDone) << writes;
    EXPECT_EQ(target_.Memory(kStart1, 0x4000), data) << writes;
    EXPECT_EQ(Eeprom(Pattern(0x800, writes), 0x20, 0x10), SendOutcome::kDone) << writes;
  }
}

// What a flash send goes over, from the start of its first block to the end of its last, is
// kept before the first erase; sent back to the address in its name it restores the flash. The
// compare of whole blocks uses those bytes instead of reading them again.
TEST_F(FlashProgrammingTest, FlashSendKeepsTheBlocksItGoesOverAndTheCopyRestoresThem) {
  QTemporaryDir data;
  const QString folder = data.filePath("backups");
  request_.backups.emplace(folder);
  const QByteArray before = Pattern(0x10000, 21);  // firmware blocks 0 to 3
  target_.Load(kStart1, before);
  // From inside block 1 (4000-5FFF) to inside block 3 (8000-FFFF).
  const QByteArray sent = Pattern(0x5000, 22);
  ASSERT_EQ(Send(sent, kStart1 + 0x5000), SendOutcome::kDone);
  QString name;
  EXPECT_EQ(OnlyBackup(folder, &name), before.mid(0x4000, 0xC000));
  EXPECT_TRUE(name.endsWith("_flash-send_60004000.bin")) << name.toStdString();
  EXPECT_TRUE(host_.Log(LogId::kJtag).contains("Copia de seguridad : " + folder + "/" + name));
  EXPECT_EQ(target_.Memory(kStart1 + 0x5000, 0x5000), sent);

  request_.backups.reset();
  EXPECT_EQ(Send(OnlyBackup(folder), kStart1 + 0x4000), SendOutcome::kDone);
  EXPECT_EQ(target_.Memory(kStart1, 0x10000), before);
  EXPECT_TRUE(host_.Log(LogId::kJtag).contains("Sin copia de seguridad (desactivada)"));
  EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 1);

  // Whole blocks equal to the flash: one read each, for the copy, and nothing erased; forced,
  // they are read for the copy all the same.
  request_.backups.emplace(data.filePath("again"));
  const int reads = target_.reads_of(kStart1);
  const int erases = target_.flash_erases();
  EXPECT_EQ(Send(before.left(0x8000), kStart1), SendOutcome::kDone);
  EXPECT_EQ(target_.reads_of(kStart1), reads + 1);
  EXPECT_EQ(target_.flash_erases(), erases);
  request_.options.force = true;
  EXPECT_EQ(Send(before.left(0x8000), kStart1), SendOutcome::kDone);
  EXPECT_EQ(QDir(data.filePath("again")).entryList(QDir::Files).size(), 2);
  EXPECT_EQ(target_.flash_erases(), erases + 3);
}

// A copy that cannot be kept stops the send, the erase and the EEPROM write before anything
// is written.
TEST_F(FlashProgrammingTest, NoCopyNoErase) {
  QTemporaryDir data;
  QFile plain(data.filePath("plain"));
  ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
  plain.close();
  request_.backups.emplace(data.filePath("plain/backups"));
  const QByteArray before = target_.Memory(kStart2, 0x20000);
  const sim::EepromBytes eeprom = target_.Eeprom();
  EXPECT_EQ(Send(Pattern(0x20000, 23), kStart2), SendOutcome::kFailed);
  EXPECT_TRUE(LastBox().startsWith("No se pudo guardar la copia de seguridad (") &&
              LastBox().endsWith("). No se ha escrito nada."))
      << LastBox().toStdString();
  EXPECT_EQ(host_.boxes.size(), 1u);
  EXPECT_EQ(Erase(kStart2, EraseMethod::kBlocks), SendOutcome::kFailed);
  EXPECT_EQ(Eeprom(Pattern(0x800, 24), 0x100, 0x10), SendOutcome::kFailed);
  EXPECT_EQ(target_.Eeprom(), eeprom);
  EXPECT_EQ(target_.flash_erases(), 0);
  EXPECT_EQ(target_.flash_programs(), 0);
  EXPECT_EQ(target_.Memory(kStart2, 0x20000), before);
  EXPECT_FALSE(state_.dcu_reset);
}

// The EEPROM rows a JTAG write goes over are kept as an own-format text file first.
TEST_F(FlashProgrammingTest, EepromWriteKeepsItsRowsAsText) {
  QTemporaryDir data;
  request_.backups.emplace(data.path());
  const QByteArray before = Pattern(0x800, 25);
  ASSERT_EQ(Eeprom(before, 0, 0x800), SendOutcome::kDone);
  ASSERT_EQ(Eeprom(Pattern(0x800, 26), 0x105, 0x20), SendOutcome::kDone);  // rows 10 to 12
  QStringList names = QDir(data.path()).entryList(QDir::Files, QDir::Name);
  ASSERT_EQ(names.size(), 2);
  EXPECT_TRUE(names[1].endsWith("_jtag-eeprom-send_00000105.txt")) << names[1].toStdString();
  QFile file(data.filePath(names[1]));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EepromImage image;
  EepromRows rows;
  QString error;
  ASSERT_TRUE(DecodeEepromFile(EepromFormat::kOwn, file.readAll(), texts_, image, &error, &rows));
  EXPECT_EQ(rows, RowsBetween(0x10, 0x12));
  for (int a = 0x100; a < 0x130; ++a) EXPECT_EQ(image.ByteAt(a), uint8_t(before[a])) << a;
}

// Every JTAG operation through the socket backend, against a far end that stalls, hangs up,
// answers bytes nobody asked for or flips a byte it is sent, halfway through: each ends, with
// the port released and the pages enabled, and claims no success it cannot stand behind.
using testing::PeerFault;

enum class Operation { kIdcode, kDump, kSend, kErase };

const char* Name(Operation operation) {
  static const char* const kNames[] = {"idcode", "dump", "send", "erase"};
  return kNames[static_cast<int>(operation)];
}

constexpr uint32_t kRam = 0x40001000;
const QByteArray kData = Pattern(0x200, 37);

struct RunResult {
  bool succeeded = false;       // what the tool said
  bool true_to_target = false;  // the target holds what a success claims
  bool ended_cleanly = false;   // the port given back
  bool named_the_socket = false;
  int error_boxes = 0;
  int requests = 0;
};

// One operation against a target behind a peer that turns hostile at request `at`.
RunResult RunOnce(Operation operation, PeerFault fault, int at, MonotonicClock* socket_clock) {
  QTemporaryDir dir;
  sim::JtagTarget target;
  target.ShapeFlashChip(1, kStart1, {0, 0x100, 0x200});
  target.ShapeFlashChip(0, kStart2, {0, 0x100});
  target.Load(kRam, kData);
  QFile trap(dir.filePath("trap.bin"));
  trap.open(QIODevice::WriteOnly);
  trap.write(sim::TrapStandIn());
  trap.close();
  const QString path = dir.filePath("lpt");
  testing::HostilePeer peer(target, path, fault, at);
  std::unique_ptr<PortRegisters> port = MakeSocketPort(path, socket_clock);
  AnsweringHost host;  // the erase warning is answered with OK, a failed block with Abort
  if (operation == Operation::kErase) host.answers = {Answer::kOk};
  JtagState state;
  testing::StepClock clock;
  Texts texts;
  JtagSession session{*port, clock, host, texts, state, {.tck_cycles = 0, .wait_start_bits = 32}};
  JtagSendRequest send;
  send.chips = {Chip(kStart1, {0, 0x100, 0x200}), Chip(kStart2, {0, 0x100})};
  send.destination = kStart1;
  send.trap_places = {trap.fileName()};
  // Writes read what they replace first, so a fault may come during the copy.
  send.backups.emplace(dir.filePath("backups"));
  RunResult run;
  switch (operation) {
    case Operation::kIdcode: {
      const CpuIdentity identity = IdentifyCpu(session, "CPU");
      run.succeeded = identity.kind == CpuKind::kSti5510;
      run.true_to_target = identity.idcode == sim::kIdcodeSti5510;
      break;
    }
    case Operation::kDump: {
      JtagDumpRequest request;
      request.address = kRam;
      request.length = static_cast<uint32_t>(kData.size());
      const JtagDumpResult result = RunJtagDump(session, request);
      run.succeeded = result.outcome == DumpOutcome::kDone;
      run.true_to_target = result.buffer.left(kData.size()) == kData;
      break;
    }
    case Operation::kSend:
      run.succeeded = SendFileOverJtag(session, send, kData).outcome == SendOutcome::kDone;
      run.true_to_target = target.Memory(kStart1, kData.size()) == kData;
      break;
    case Operation::kErase:
      target.Load(kStart1, kData);
      run.succeeded = EraseChip(session, send, EraseMethod::kBlocks).outcome == SendOutcome::kDone;
      run.true_to_target = target.Memory(kStart1, 0x200) == QByteArray(0x200, '\xFF');
      break;
  }
  run.ended_cleanly = testing::WaitUntil([&] { return peer.client_closed(); });
  for (const auto& box : host.boxes) {
    run.named_the_socket |= box.text.contains("socket:" + path);
    run.error_boxes += box.error ? 1 : 0;
  }
  run.requests = peer.requests();
  return run;
}

class HostileSocketTest : public ::testing::TestWithParam<std::tuple<Operation, PeerFault>> {};

TEST_P(HostileSocketTest, EndsWithTheTruth) {
  const auto [operation, fault] = GetParam();
  static std::map<Operation, RunResult> healthy;
  if (!healthy.count(operation))
    healthy[operation] = RunOnce(operation, PeerFault::kNone, 0, nullptr);
  const RunResult& good = healthy[operation];
  ASSERT_TRUE(good.succeeded && good.true_to_target && good.ended_cleanly) << Name(operation);

  // Early (for the writes, while they read what they replace) and half-way.
  for (const int at : {good.requests / 5, good.requests / 2}) {
    SCOPED_TRACE(at);
    testing::LeapingClock leaping;
    const RunResult run =
        RunOnce(operation, fault, at, fault == PeerFault::kStall ? &leaping : nullptr);
    EXPECT_TRUE(run.ended_cleanly);
    if (fault == PeerFault::kFlip) {
      // A flipped bit the debug unit's messages cannot see: only what is read back afterwards
      // (the identification code, a verified send) can stand behind a success.
      if (operation == Operation::kIdcode || operation == Operation::kSend) {
        EXPECT_TRUE(!run.succeeded || run.true_to_target);
      }
    } else {
      EXPECT_FALSE(run.succeeded);
      EXPECT_TRUE(run.named_the_socket);
      EXPECT_EQ(run.error_boxes, 1);  // one failure, one box
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EveryOperationAndFault, HostileSocketTest,
                         ::testing::Combine(::testing::Values(Operation::kIdcode, Operation::kDump,
                                                              Operation::kSend, Operation::kErase),
                                            ::testing::Values(PeerFault::kStall, PeerFault::kCut,
                                                              PeerFault::kGarbage,
                                                              PeerFault::kFlip)),
                         [](const auto& info) {
                           return std::string(Name(std::get<0>(info.param))) + "_" +
                                  testing::PeerFaultName(std::get<1>(info.param));
                         });

}  // namespace
}  // namespace tornavo

#include "core/jtag/jtag_dump.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "core/jtag/dump_hand_over.h"
#include "core/lpt/step_clock.h"
#include "core/texts/text_names.h"
#include "sim/channel_tables.h"
#include "sim/jtag_target.h"
#include "sim/trap_stand_in.h"
#include "support/recording_host.h"

namespace tornavo {
namespace {

const QString kRefusal = QStringLiteral("/dev/parport0: Permission denied");

// A port nobody may open.
class RefusingPort : public PortRegisters {
 public:
  bool Acquire(QString* error) override {
    *error = kRefusal;
    return false;
  }
  void Release() override {}
  uint8_t Read(PortRegister) override { return 0; }
  void Write(PortRegister, uint8_t) override { ADD_FAILURE() << "written without access"; }
};

// The virtual image has one section of each table, so nothing is ever asked.
class NoQuestions : public SectionChooser {
 public:
  std::optional<int64_t> ChooseSection(const char*, const std::vector<int64_t>&) override {
    ADD_FAILURE() << "a section was asked for";
    return std::nullopt;
  }
};

class JtagOperationTest : public ::testing::Test {
 protected:
  JtagSession Session(PortRegisters& port) {
    return {port, clock_, host_, texts_, state_, {.tck_cycles = 0, .wait_start_bits = 64}};
  }
  static JtagDumpRequest Request(DumpSource source, uint32_t address, uint32_t length) {
    JtagDumpRequest request;
    request.source = source;
    request.address = address;
    request.length = length;
    return request;
  }
  QString LastBox() const { return host_.boxes.empty() ? QString() : host_.boxes.back().text; }
  // Dumps through the virtual target and hands the result over to the list.
  std::optional<LoadResult> HandOver(DumpSource source, uint32_t address, uint32_t length,
                                     DumpFlashChip chip = {0x7FE00000, 0x200000}) {
    JtagSession session = Session(target_);
    JtagDumpRequest request = Request(source, address, length);
    request.flash_chip = chip;
    NoQuestions chooser;
    return HandOverChannelDump(request, RunJtagDump(session, request), list_, chooser);
  }

  ChannelList list_;
  sim::JtagTarget target_;
  JtagState state_;
  testing::StepClock clock_;
  testing::RecordingHost host_;
  Texts texts_;
};

TEST(JtagDumpFieldsTest, FiltersRewritesAndRounding) {
  EXPECT_EQ(FilterDumpField("4o1g", true), "41");
  EXPECT_EQ(LeaveDumpAddress("41"), "00000040");
  EXPECT_EQ(FilterDumpField("xyz", true), "401289A0");
  EXPECT_EQ(LeaveDumpAddress("123456789"), "401289A0");
  EXPECT_EQ(LeaveDumpAddress("c00d0003"), "C00D0000");
  EXPECT_EQ(FilterDumpField("", false), "80000");
  EXPECT_EQ(LeaveDumpLength("1234567"), "080000");
  EXPECT_EQ(LeaveDumpLength("7"), "000004");
  EXPECT_EQ(LeaveDumpLength("0"), "000004");
  EXPECT_EQ(LeaveDumpLength("3"), "000004");  // nothing to read once rounded down
  EXPECT_EQ(LeaveDumpLength("ec0f"), "00EC0C");

  EXPECT_EQ(RoundedDumpLength(0x7600), 0x7600u);
  EXPECT_EQ(DumpBufferSize(0x7600), 0x7601u);
  EXPECT_EQ(RoundedDumpLength(0x7610), 0x76FFu);
  EXPECT_EQ(DumpBufferSize(0x7610), 0x7700u);
  EXPECT_EQ(DumpBufferSize(4), 257u);

  // The trap's place: as stored, on a word boundary, or the usual one when unreadable.
  EXPECT_EQ(TrapAddressFromText("C0310002"), 0xC0310000u);
  EXPECT_EQ(TrapAddressFromText("zz"), kDefaultTrapAddress);
  EXPECT_EQ(TrapAddressFromText(""), kDefaultTrapAddress);
}

TEST(JtagDumpFieldsTest, SourceChecks) {
  const DumpFlashChip chip{0x7FE00000, 0x200000};
  EXPECT_TRUE(DumpRangeAccepted(DumpSource::kEeprom, 0x700, 0x100, chip));
  EXPECT_FALSE(DumpRangeAccepted(DumpSource::kEeprom, 0x700, 0x101, chip));
  EXPECT_FALSE(DumpRangeAccepted(DumpSource::kEeprom, 0x800, 0, chip));
  EXPECT_TRUE(DumpRangeAccepted(DumpSource::kRam, 0x401FFFFC, 0x7600, chip));
  EXPECT_FALSE(DumpRangeAccepted(DumpSource::kRam, 0x40200000, 0x7600, chip));
  EXPECT_FALSE(DumpRangeAccepted(DumpSource::kRam, 0x401289A0, 0x75FC, chip));
  EXPECT_TRUE(DumpRangeAccepted(DumpSource::kFlash, 0x7FFFFFFC, 0x50000, chip));
  EXPECT_FALSE(DumpRangeAccepted(DumpSource::kFlash, 0x7FDFFFFC, 0x50000, chip));
  EXPECT_FALSE(DumpRangeAccepted(DumpSource::kFlash, 0x7FE00000, 0x4FFFC, chip));
  // A chip reaching the top of the address space does not wrap round.
  EXPECT_TRUE(DumpRangeAccepted(DumpSource::kFlash, 0xFFFFFFFC, 0x50000, {0xFFE00000, 0x200000}));
  EXPECT_TRUE(DumpRangeAccepted(DumpSource::kImage, 0xC00D0000, 0x98000, chip));
  EXPECT_FALSE(DumpRangeAccepted(DumpSource::kImage, 0xBFFFFFFC, 0x98000, chip));
  EXPECT_TRUE(DumpRangeAccepted(DumpSource::kFile, 0, 4, chip));
}

TEST_F(JtagOperationTest, IdentifyNamesTheCpuOrSaysWhatIsWrong) {
  struct Case {
    const char* fault;
    CpuKind kind;
    const char* code_line;
    QString verdict;
  };
  const Case cases[] = {
      {"", CpuKind::kSti5510, "Código de la CPU (IDCODE) : 2D4CD041", "Tipo de CPU : STi5510"},
      {"jtag-sti5512", CpuKind::kSti5512, "Código de la CPU (IDCODE) : 5D406041",
       "Tipo de CPU : STi5512"},
      {"jtag-none", CpuKind::kWrongCode, "Código de la CPU (IDCODE) : FFFFFFFF",
       texts_.Slot(slot::kCodigoDeCPUErroneoComprueba)},
      {"jtag-tdo-low", CpuKind::kUnknown, "Código de la CPU (IDCODE) : 00000000",
       texts_.Slot(slot::kCodigoDeCPUDesconocidoComprueba)},
  };
  for (const Case& c : cases) {
    sim::JtagTarget target;
    if (*c.fault) {
      ASSERT_TRUE(target.ApplyFault(QString::fromLatin1(c.fault)));
    }
    testing::RecordingHost host;
    JtagSession session{target, clock_, host, texts_, state_, {}};
    const CpuIdentity identity = IdentifyCpu(session, texts_.Key(text_key::kCodigoDeLaCPU));
    EXPECT_EQ(identity.kind, c.kind) << c.fault;
    EXPECT_EQ(host.Log(LogId::kJtag),
              (QStringList{"Abriendo LPT1", "Reset DCU activado",
                           "Estado de la DCU : Run-Test/Idle", QString::fromUtf8(c.code_line),
                           c.verdict, "Reset DCU desactivado", "Cerrando LPT1"}))
        << c.fault;
    EXPECT_FALSE(state_.dcu_reset);
  }
  RefusingPort refusing;
  JtagSession session = Session(refusing);
  EXPECT_EQ(IdentifyCpu(session, "x").kind, CpuKind::kNoPort);
  // The system's reason goes with the message, in the box and in the log.
  EXPECT_EQ(LastBox(), "No se ha podido abrir el puerto paralelo.\n" + kRefusal);
  EXPECT_TRUE(host_.Log(LogId::kJtag).contains(kRefusal));
}

TEST_F(JtagOperationTest, FileDumpReadsTheRoundedRange) {
  QByteArray pattern;
  for (int i = 0; i < 0x300; ++i) pattern.append(static_cast<char>(i * 13));
  target_.Load(0x40020000, pattern);
  JtagSession session = Session(target_);
  const JtagDumpResult result = RunJtagDump(session, Request(DumpSource::kFile, 0x40020000, 0x210));
  ASSERT_EQ(result.outcome, DumpOutcome::kDone);
  EXPECT_EQ(result.count, 0x300u);  // three whole blocks for 0x2FF
  EXPECT_EQ(result.buffer.size(), 0x300);
  EXPECT_EQ(result.buffer.left(0x2FF), pattern.left(0x2FF));
  EXPECT_EQ(LastBox(), "¡ Firmware leído con éxito !");
  EXPECT_FALSE(host_.boxes.back().error);
  EXPECT_TRUE(host_.StatusEmpty(StatusPage::kJtag));
}

// The flash and RAM sources are the hand-over tests', the screen the command line's.
TEST_F(JtagOperationTest, DumpFailuresReportWhereTheyStopped) {
  JtagSession session = Session(target_);
  RunJtagDump(session, Request(DumpSource::kRam, 0x3FFFFFFC, 0x7600));
  EXPECT_EQ(LastBox(), "¡ Dirección o longitud incorrecta !");
  EXPECT_EQ(target_.edges(), 0u);

  target_.SetFaults({.slow_start = 200});
  const JtagDumpResult result = RunJtagDump(session, Request(DumpSource::kFile, 0x40000000, 0x400));
  EXPECT_EQ(result.outcome, DumpOutcome::kReadFailed);
  EXPECT_EQ(LastBox(), "Se ha producido un error en la dirección :  40000000");

  RefusingPort refusing;
  JtagSession refused = Session(refusing);
  EXPECT_EQ(RunJtagDump(refused, {}).outcome, DumpOutcome::kPortFailed);
  EXPECT_EQ(LastBox(), "No se ha podido abrir el puerto paralelo.\n" + kRefusal);
}

TEST_F(JtagOperationTest, EepromDumpRunsTheTrapAndReadsTheChip) {
  QTemporaryDir dir;
  QFile trap(dir.filePath("trap.bin"));
  ASSERT_TRUE(trap.open(QIODevice::WriteOnly));
  trap.write(sim::TrapStandIn());
  trap.close();
  JtagSession session = Session(target_);
  JtagDumpRequest request = Request(DumpSource::kEeprom, 0x700, 0x100);
  request.trap_places = {trap.fileName()};
  const JtagDumpResult result = RunJtagDump(session, request);
  ASSERT_EQ(result.outcome, DumpOutcome::kDone);
  const sim::EepromBytes chip = target_.Eeprom();
  EXPECT_EQ(result.buffer.left(0x100),
            QByteArray(reinterpret_cast<const char*>(chip.data()) + 0x700, 0x100));
  EXPECT_EQ(LastBox(), "¡ Eeprom leída con éxito !");

  // A trap that never answers: the trap's own failure is silent, the dump reports it.
  sim::JtagTarget silent;
  silent.SetFaults({.trap_silent = true});
  JtagState fresh;
  JtagSession silent_session{silent, clock_, host_, texts_, fresh, {.wait_start_bits = 64}};
  EXPECT_EQ(RunJtagDump(silent_session, request).outcome, DumpOutcome::kReadFailed);
  EXPECT_EQ(LastBox(), "Se ha producido un error en la dirección :  00000700");
  EXPECT_FALSE(fresh.trap_started);
}

// Only the RAM and flash sources reach the channel list, and a dump that fails leaves the
// table the list held as it was.
TEST_F(JtagOperationTest, ChannelDumpsFillTheListAndFailedOnesKeepWhatItHeld) {
  EXPECT_EQ(HandOver(DumpSource::kImage, sim::kVideoStart, 0x98000), std::nullopt);
  EXPECT_EQ(HandOver(DumpSource::kFile, sim::kRamChannelTable, 0x7600), std::nullopt);
  EXPECT_FALSE(list_.held());

  ASSERT_EQ(HandOver(DumpSource::kRam, sim::kRamChannelTable, 0x7600), LoadResult::kOk);
  // The 0x7600 bytes read: the table, then the zeroed RAM behind it.
  QByteArray ram = sim::BuildRamChannelTable();
  ram.append(QByteArray(0x7600 - ram.size(), '\0'));
  EXPECT_TRUE(list_.ram());
  EXPECT_EQ(list_.image(), ram);
  EXPECT_EQ(list_.FirstFreeChannelRow(), sim::kChannelsInUse + 1);
  // Refused by the address check; read in full, but the erased chip holds no tables.
  EXPECT_EQ(HandOver(DumpSource::kFlash, 0x7FDFFFFC, 0x50000), std::nullopt);
  EXPECT_EQ(LastBox(), "¡ Dirección o longitud incorrecta !");
  EXPECT_EQ(HandOver(DumpSource::kFlash, 0x60000000, 0x50000, {0x60000000, 0x200000}),
            LoadResult::kNoChannelTable);
  EXPECT_TRUE(list_.ram());
  EXPECT_EQ(list_.image(), ram);
  EXPECT_EQ(list_.FirstFreeChannelRow(), sim::kChannelsInUse + 1);

  ASSERT_EQ(HandOver(DumpSource::kFlash, 0x7FE00000, 0x50000), LoadResult::kOk);
  EXPECT_TRUE(list_.flash_held());
  const QByteArray flash = sim::BuildFlashChannelImage();
  EXPECT_EQ(list_.image(), flash);
  EXPECT_EQ(list_.tcs_block(), sim::kFlashTcsBlock);
  EXPECT_EQ(list_.tpt_block(), sim::kFlashTptBlock);
  EXPECT_EQ(list_.FirstFreeChannelRow(), sim::kChannelsInUse + 1);
  EXPECT_EQ(list_.FirstFreeTransponderRow(), sim::kTranspondersInUse + 1);
  // Refused by the address check, then cut short by a target that stops answering.
  host_.boxes.clear();
  EXPECT_EQ(HandOver(DumpSource::kRam, 0x3FFFFFFC, 0x7600), std::nullopt);
  EXPECT_EQ(LastBox(), "¡ Dirección o longitud incorrecta !");
  target_.SetFaults({.slow_start = 200});
  EXPECT_EQ(HandOver(DumpSource::kRam, sim::kRamChannelTable, 0x7600), std::nullopt);
  EXPECT_TRUE(list_.flash_held());
  EXPECT_FALSE(list_.ram());
  EXPECT_EQ(list_.image(), flash);
  // The image still saves as the flash image it is, not with channel records over its start.
  ChannelError error;
  ASSERT_TRUE(list_.BuildFlashImage(list_.tcs_block(), list_.tpt_block(), &error));
  EXPECT_EQ(list_.image().left(0x100), flash.left(0x100));
  EXPECT_EQ(list_.image().size(), flash.size());
}

}  // namespace
}  // namespace tornavo

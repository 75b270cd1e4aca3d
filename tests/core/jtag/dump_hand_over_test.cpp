#include "core/jtag/dump_hand_over.h"

#include <gtest/gtest.h>

#include "core/lpt/step_clock.h"
#include "sim/channel_tables.h"
#include "sim/jtag_target.h"
#include "support/recording_host.h"

namespace tornavo {
namespace {

// The 0x7600 bytes a RAM dump reads: the table, then the zeroed RAM behind it.
QByteArray RamDump() {
  QByteArray bytes = tornavo::sim::BuildRamChannelTable();
  bytes.append(QByteArray(0x7600 - bytes.size(), '\0'));
  return bytes;
}

// The virtual image has one section of each table, so nothing is ever asked.
class NoQuestions : public SectionChooser {
 public:
  std::optional<int64_t> ChooseSection(const char*, const std::vector<int64_t>&) override {
    ADD_FAILURE() << "a section was asked for";
    return std::nullopt;
  }
};

class DumpHandOverTest : public ::testing::Test {
 protected:
  // Dumps through the virtual target and hands the result over to the list.
  std::optional<LoadResult> Dump(DumpSource source, uint32_t address, uint32_t length) {
    JtagSession session{target_, clock_, host_, texts_, state_, {.wait_start_bits = 64}};
    JtagDumpRequest request;
    request.source = source;
    request.address = address;
    request.length = length;
    request.flash_chip = chip_;
    return HandOverChannelDump(request, RunJtagDump(session, request), list_, chooser_);
  }

  sim::JtagTarget target_;
  JtagState state_;
  testing::StepClock clock_;
  testing::RecordingHost host_;
  Texts texts_;
  NoQuestions chooser_;
  ChannelList list_;
  DumpFlashChip chip_{0x7FE00000, 0x200000};
};

TEST_F(DumpHandOverTest, RamAndFlashDumpsFillTheChannelList) {
  ASSERT_EQ(Dump(DumpSource::kRam, sim::kRamChannelTable, 0x7600), LoadResult::kOk);
  EXPECT_TRUE(list_.ram());
  EXPECT_EQ(list_.image(), RamDump());
  EXPECT_EQ(list_.FirstFreeChannelRow(), sim::kChannelsInUse + 1);

  ASSERT_EQ(Dump(DumpSource::kFlash, 0x7FE00000, 0x50000), LoadResult::kOk);
  EXPECT_TRUE(list_.flash_held());
  EXPECT_EQ(list_.image(), sim::BuildFlashChannelImage());
  EXPECT_EQ(list_.tcs_block(), sim::kFlashTcsBlock);
  EXPECT_EQ(list_.tpt_block(), sim::kFlashTptBlock);
  EXPECT_EQ(list_.FirstFreeChannelRow(), sim::kChannelsInUse + 1);
  EXPECT_EQ(list_.FirstFreeTransponderRow(), sim::kTranspondersInUse + 1);
}

TEST_F(DumpHandOverTest, AFailedRamDumpLeavesAHeldFlashImageAsItWas) {
  ASSERT_EQ(Dump(DumpSource::kFlash, 0x7FE00000, 0x50000), LoadResult::kOk);
  const QByteArray flash = list_.image();

  // Refused by the address check, then cut short by a target that stops answering.
  EXPECT_EQ(Dump(DumpSource::kRam, 0x3FFFFFFC, 0x7600), std::nullopt);
  EXPECT_EQ(host_.boxes.back().text, "¡ Dirección o longitud incorrecta !");
  target_.SetFaults({.slow_start = 200});
  EXPECT_EQ(Dump(DumpSource::kRam, sim::kRamChannelTable, 0x7600), std::nullopt);

  EXPECT_TRUE(list_.flash_held());
  EXPECT_FALSE(list_.ram());
  EXPECT_EQ(list_.image(), flash);
  // The image still saves as the flash image it is, not with channel records over its start.
  ChannelError error;
  ASSERT_TRUE(list_.BuildFlashImage(list_.tcs_block(), list_.tpt_block(), &error));
  EXPECT_EQ(list_.image().left(0x100), flash.left(0x100));
  EXPECT_EQ(list_.image().size(), flash.size());
}

TEST_F(DumpHandOverTest, AFailedFlashDumpLeavesAHeldRamTableAsItWas) {
  ASSERT_EQ(Dump(DumpSource::kRam, sim::kRamChannelTable, 0x7600), LoadResult::kOk);
  const QByteArray ram = list_.image();

  EXPECT_EQ(Dump(DumpSource::kFlash, 0x7FDFFFFC, 0x50000), std::nullopt);
  EXPECT_EQ(host_.boxes.back().text, "¡ Dirección o longitud incorrecta !");
  // Read in full, but the erased chip holds no tables.
  chip_ = {0x60000000, 0x200000};
  EXPECT_EQ(Dump(DumpSource::kFlash, 0x60000000, 0x50000), LoadResult::kNoChannelTable);

  EXPECT_TRUE(list_.ram());
  EXPECT_EQ(list_.image(), ram);
  EXPECT_EQ(list_.FirstFreeChannelRow(), sim::kChannelsInUse + 1);
}

TEST_F(DumpHandOverTest, OtherSourcesHandNothingToTheList) {
  EXPECT_EQ(Dump(DumpSource::kImage, sim::kVideoStart, 0x98000), std::nullopt);
  EXPECT_EQ(Dump(DumpSource::kFile, sim::kRamChannelTable, 0x7600), std::nullopt);
  EXPECT_FALSE(list_.held());
}

}  // namespace
}  // namespace tornavo

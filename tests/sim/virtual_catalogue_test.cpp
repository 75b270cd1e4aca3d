// The virtual receiver's own flash type and model files, and its target following them.
#include "sim/virtual_catalogue.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "core/channels/channel_list.h"
#include "core/channels/table_settings.h"
#include "core/settings/settings.h"
#include "core/texts/text_names.h"
#include "sim/channel_tables.h"
#include "sim/jtag_target.h"
#include "support/scoped_env.h"

namespace tornavo::sim {
namespace {

class NoSectionChoice : public SectionChooser {
 public:
  std::optional<int64_t> ChooseSection(const char*, const std::vector<int64_t>&) override {
    return std::nullopt;
  }
};

// The settings as the tool reads them from a folder holding the catalogue.
struct CatalogueSettings {
  explicit CatalogueSettings(const QString& folder) {
    QString error;
    EXPECT_TRUE(InstallVirtualCatalogue(folder, nullptr, &error)) << error.toStdString();
    settings.Load(folder, {});
  }
  SymbolRateTable rates{};
  PictureOptions picture;
  Settings settings{rates, picture};
};

// A folder that cannot be made is met by the settings' own save test; what the files describe,
// by the target's chips following them below.
TEST(VirtualCatalogue, LivesBesideTheSettingsAndNeverReplacesAFile) {
  {
    tornavo::testing::ScopedEnv config_home("XDG_CONFIG_HOME", "/cfg");
    EXPECT_EQ(VirtualReceiverIniFolder(), "/cfg/tornavo/virtual-receiver/INIs/");
  }
  QTemporaryDir dir;
  const QString folder = dir.filePath("INIs") + "/";
  QString error;
  ASSERT_TRUE(InstallVirtualCatalogue(folder, nullptr, &error)) << error.toStdString();
  // A technician's own files stay as they are, settings included.
  QFile own(folder + "Tornavo.ini");
  ASSERT_TRUE(own.open(QIODevice::WriteOnly));
  own.write("[TForm1]\r\nIdioma=3\r\n");
  own.close();
  const QString model = folder + QString::fromLatin1(kVirtualModel) + ".ini";
  QFile::remove(model);
  QStringList written;
  ASSERT_TRUE(InstallVirtualCatalogue(folder, &written, &error));
  EXPECT_EQ(written, QStringList{model});
  ASSERT_TRUE(own.open(QIODevice::ReadOnly));
  EXPECT_EQ(own.readAll(), QByteArray("[TForm1]\r\nIdioma=3\r\n"));
}

// A newcomer's first look: every sample transponder shows its symbol rate, and a frequency
// that the transponder dialog keeps (11700000 to 12700000 with the default LNBs).
TEST(VirtualCatalogue, SampleListShowsRatesAndFrequenciesTheToolKeeps) {
  QTemporaryDir dir;
  CatalogueSettings loaded(dir.path() + "/");
  ChannelList list;
  list.SetContext(TableContextOf(loaded.settings, loaded.rates));
  NoSectionChoice chooser;
  ASSERT_EQ(list.LoadFlashImage(BuildFlashChannelImage(), chooser), LoadResult::kOk);
  const TextGrid& transponders = list.transponders();
  int c_band = 0;
  for (int t = 1; t <= kTranspondersInUse; ++t) {
    SCOPED_TRACE(t);
    EXPECT_GE(ParseDecimal(transponders.Cell(t, kSymbolRate)).value_or(0), 1000);
    const int64_t shown = list.TunedFrequency(t).toLongLong();
    EXPECT_GE(shown, 11700000);
    EXPECT_LE(shown, 12700000);
    c_band += transponders.Cell(t, kBand) == "C";
  }
  EXPECT_EQ(list.TunedFrequency(1), "11778000");
  EXPECT_EQ(c_band, 2);
}

TEST(VirtualCatalogue, TargetChipsFollowTheDescriptionsKeepingWhatStays) {
  QTemporaryDir dir;
  CatalogueSettings loaded(dir.path() + "/");
  std::array<FlashChipDescription, 2> chips = {loaded.settings.flash_chip(0),
                                               loaded.settings.flash_chip(1)};

  JtagTarget target;
  const QByteArray channel_list = target.Memory(0x7FE00000, 0x50000);
  ASSERT_NE(channel_list, QByteArray(0x50000, '\xFF'));
  target.Load(0x60000000, QByteArray("firmware"));
  FollowFlashChips(target, chips);
  // Where a chip stays, so do its contents.
  EXPECT_EQ(target.Memory(0x7FE00000, 0x50000), channel_list);
  EXPECT_EQ(target.Memory(0x60000000, 8), QByteArray("firmware"));

  // A chip that moves is new and erased; an unusable description changes nothing.
  chips[0].start = 0x61000000;
  chips[1].problem = {text_key::kNoSeHaElegidoNingun, {}};
  FollowFlashChips(target, chips);
  EXPECT_EQ(target.Memory(0x61000000, 8), QByteArray(8, '\xFF'));
  EXPECT_EQ(target.Memory(0x60000000, 8), QByteArray(8, '\0'));  // unmapped now
  EXPECT_EQ(target.Memory(0x7FE00000, 0x50000), channel_list);
}

}  // namespace
}  // namespace tornavo::sim

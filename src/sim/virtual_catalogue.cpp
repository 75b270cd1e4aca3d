#include "sim/virtual_catalogue.h"

#include <QDir>
#include <QFileInfo>
#include <vector>

#include "core/runtime/text_file.h"
#include "core/settings/ini_folder.h"
#include "sim/channel_tables.h"
#include "sim/jtag_target.h"

namespace tornavo::sim {

namespace {

constexpr uint32_t kBootBlock = 0x2000;
constexpr uint32_t kMainBlock = 0x10000;
constexpr uint32_t kChipSize = 0x200000;

QByteArray FlashTypeFile(const char* name, const std::vector<uint32_t>& offsets) {
  QByteArray text = QByteArray("[") + name + "]\r\n";
  text += "NumBlocks=" + QByteArray::number(static_cast<qsizetype>(offsets.size()) - 1) + "\r\n";
  text += "ErasureMode=48\r\n";
  for (size_t k = 0; k < offsets.size(); ++k)
    text += "block" + QByteArray::number(static_cast<qulonglong>(k)) + '=' +
            QByteArray::number(offsets[k], 16).toUpper() + "\r\n";
  return text;
}

// Eight 8 KiB boot blocks, then 64 KiB blocks up to 2 MiB.
std::vector<uint32_t> FirmwareBlocks() {
  std::vector<uint32_t> offsets;
  for (uint32_t at = 0; at < kMainBlock; at += kBootBlock) offsets.push_back(at);
  for (uint32_t at = kMainBlock; at <= kChipSize; at += kMainBlock) offsets.push_back(at);
  return offsets;
}

std::vector<uint32_t> ChannelBlocks() {
  std::vector<uint32_t> offsets;
  for (uint32_t at = 0; at <= kChipSize; at += kMainBlock) offsets.push_back(at);
  return offsets;
}

QByteArray SymbolRateFile() {
  QByteArray text = QByteArray("[") + kVirtualSymbolRates + "]\r\n";
  for (size_t i = 0; i < std::size(kSampleSymbolRates); ++i)
    text += "value" +
            QByteArray::number(static_cast<qulonglong>(i), 16).rightJustified(2, '0').toUpper() +
            '=' + QByteArray::number(kSampleSymbolRates[i]) + "\r\n";
  return text;
}

}  // namespace

QString VirtualReceiverIniFolder() {
  return ConfigHome() + QStringLiteral("/tornavo/virtual-receiver/INIs/");
}

bool InstallVirtualCatalogue(const QString& folder, QStringList* written, QString* error) {
  if (!EnsureFolder(WithoutTrailingSeparator(folder), error)) return false;
  const QString base = WithoutTrailingSeparator(folder) + QLatin1Char('/');
  // Flash types 0 and 1 in the settings' list order: the model selects them by index.
  const QByteArray settings = QByteArray("\r\n[TForm1]\r\n") + "FlashIC0=" + kVirtualFirmwareFlash +
                              "\r\nFlashIC1=" + kVirtualChannelFlash +
                              "\r\nModel1=" + kVirtualModel + "\r\nModel=1\r\nVerificarJtag=1\r\n" +
                              "SR0=" + kVirtualSymbolRates + "\r\nSR=0\r\n";
  const QByteArray model = QByteArray("[") + kVirtualModel +
                           "]\r\nFlash1Start=60000000\r\nFlash1Type=0\r\n"
                           "Flash2Start=7FE00000\r\nFlash2Type=1\r\n";
  const std::pair<QString, QByteArray> files[] = {
      {QString::fromLatin1(kVirtualFirmwareFlash),
       FlashTypeFile(kVirtualFirmwareFlash, FirmwareBlocks())},
      {QString::fromLatin1(kVirtualChannelFlash),
       FlashTypeFile(kVirtualChannelFlash, ChannelBlocks())},
      {QString::fromLatin1(kVirtualModel), model},
      {QString::fromLatin1(kVirtualSymbolRates), SymbolRateFile()},
      {QStringLiteral("Tornavo"), settings},
  };
  for (const auto& [name, bytes] : files) {
    const QString path = base + name + QStringLiteral(".ini");
    if (QFileInfo::exists(path)) continue;
    if (!WriteFileAtomically(path, bytes, error)) return false;
    if (written) *written << path;
  }
  return true;
}

void FollowFlashChips(JtagTarget& target, const std::array<FlashChipDescription, 2>& chips) {
  for (int c = 0; c < 2; ++c) {
    const FlashChipDescription& chip = chips[c];
    if (!FlashChipProblem(chip).empty()) continue;
    // The target lists the channel-list chip first.
    target.ShapeFlashChip(c == 0 ? 1 : 0, chip.start,
                          std::vector<uint32_t>(chip.block_offsets.begin(),
                                                chip.block_offsets.begin() + chip.num_blocks + 1));
  }
}

}  // namespace tornavo::sim

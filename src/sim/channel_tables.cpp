#include "sim/channel_tables.h"

#include <QString>
#include <cstdint>

namespace tornavo::sim {

namespace {

constexpr int kFlashImageSize = 0x50000;
constexpr int kRecordsOffset = 68;

void Put16(QByteArray& bytes, int at, uint16_t value) {
  bytes[at] = static_cast<char>(value >> 8);
  bytes[at + 1] = static_cast<char>(value);
}

void Put32(QByteArray& bytes, int at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (24 - 8 * i));
}

QByteArray ChannelRecords() {
  QByteArray bytes(kChannelRecords * kChannelRecordSize, '\0');
  for (int k = 0; k < kChannelsInUse; ++k) {
    const int at = k * kChannelRecordSize;
    const QByteArray name =
        QStringLiteral("Canal %1").arg(k + 1, 2, 10, QLatin1Char('0')).toLatin1();
    bytes.replace(at, name.size(), name);
    const bool radio = k % 8 == 7;
    bytes[at + 16] = static_cast<char>(0x04 | (k % 5 == 0 ? 0x02 : 0) | (k % 6 == 3 ? 0x20 : 0));
    bytes[at + 17] = static_cast<char>(k % kTranspondersInUse + 1);
    Put16(bytes, at + 18, static_cast<uint16_t>(100 + k));                   // service id
    Put16(bytes, at + 20, radio ? 0xFFFF : static_cast<uint16_t>(160 + k));  // video PID
    Put16(bytes, at + 22, static_cast<uint16_t>(80 + k));                    // audio PID
    Put16(bytes, at + 24, 0);
    Put16(bytes, at + 26, 0);
    Put16(bytes, at + 28, radio ? static_cast<uint16_t>(80 + k) : static_cast<uint16_t>(160 + k));
  }
  return bytes;
}

// The stored frequency is what the tuner is set to, in Hz: the downlink frequency less the LNB
// the 22 kHz tone selects. The Ku transponders lie in the high band (tone on, 10600 MHz LNB), so
// the tool shows them at their downlink frequency; the C band ones store the tuner frequency
// of a 5150 MHz C band LNB (5150 MHz less the downlink). Each row: downlink MHz, flags (0x01
// tone, 0x02 horizontal, 0x04 C band, 0x08 satellite B), symbol-rate code, FEC code.
struct SampleTransponder {
  uint32_t downlink_mhz;
  uint8_t flags;
  uint8_t symbol_rate;
  uint8_t fec;
};
constexpr SampleTransponder kSamples[kTranspondersInUse] = {
    {11778, 0x01, 0, 2}, {11836, 0x03, 0, 2}, {12012, 0x01, 1, 3},
    {12207, 0x03, 2, 1}, {3840, 0x0F, 3, 2},  {4000, 0x0D, 4, 2},
};
constexpr uint32_t kKuHighLnbMhz = 10600;
constexpr uint32_t kCBandLnbMhz = 5150;

QByteArray TransponderRecords() {
  QByteArray bytes(kTransponderRecords * kTransponderRecordSize, '\0');
  for (int k = 0; k < kTranspondersInUse; ++k) {
    const SampleTransponder& sample = kSamples[k];
    const int at = k * kTransponderRecordSize;
    const uint32_t tuner_mhz = sample.flags & 0x04 ? kCBandLnbMhz - sample.downlink_mhz
                                                   : sample.downlink_mhz - kKuHighLnbMhz;
    Put32(bytes, at, tuner_mhz * 1000000u);
    Put16(bytes, at + 4, static_cast<uint16_t>(1000 + k));  // transponder id
    Put16(bytes, at + 6, 1);                                // network id
    bytes[at + 8] = static_cast<char>(kChannelsInUse / kTranspondersInUse);
    bytes[at + 9] = static_cast<char>(sample.symbol_rate);
    bytes[at + 10] = static_cast<char>(sample.fec);
    bytes[at + 11] = static_cast<char>(sample.flags);
  }
  return bytes;
}

void PutSection(QByteArray& image, int block, const char* tag, const QByteArray& records) {
  QByteArray header(kRecordsOffset, '\0');
  header.replace(0, 8, "TORNAVO ");
  header.replace(32, 3, tag);
  header.replace(48, 3, tag);
  image.replace(block, header.size(), header);
  image.replace(block + kRecordsOffset, records.size(), records);
}

}  // namespace

QByteArray BuildRamChannelTable() { return ChannelRecords(); }

QByteArray BuildFlashChannelImage() {
  QByteArray image(kFlashImageSize, '\xFF');
  PutSection(image, kFlashTcsBlock, "TCS", ChannelRecords());
  PutSection(image, kFlashTptBlock, "TPT", TransponderRecords());
  return image;
}

}  // namespace tornavo::sim

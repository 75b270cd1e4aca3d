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

QByteArray TransponderRecords() {
  QByteArray bytes(kTransponderRecords * kTransponderRecordSize, '\0');
  for (int k = 0; k < kTranspondersInUse; ++k) {
    const int at = k * kTransponderRecordSize;
    Put32(bytes, at, 10773000u + 38000u * static_cast<uint32_t>(k));  // kHz
    Put16(bytes, at + 4, static_cast<uint16_t>(1000 + k));            // transponder id
    Put16(bytes, at + 6, 1);                                          // network id
    bytes[at + 8] = static_cast<char>(kChannelsInUse / kTranspondersInUse);
    bytes[at + 9] = static_cast<char>(k % 3);  // symbol-rate code
    bytes[at + 10] = static_cast<char>(2);     // 3/4
    bytes[at + 11] = static_cast<char>((k % 2 ? 0x02 : 0) | (k >= 3 ? 0x01 : 0));
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

#pragma once

#include <QByteArray>
#include <QLocale>
#include <cstdint>
#include <vector>

#include "core/channels/channel_list.h"

namespace tornavo::test {

struct ChannelRecordData {
  QByteArray name;
  uint8_t status = 0x04;
  uint8_t transponder = 1;
  uint16_t sid = 1, vpid = 100, apid = 101, vecm = 0, aecm = 0, pcr = 100;
};

struct TransponderRecordData {
  uint32_t hertz = 1950000000;
  uint16_t id = 1, network = 1;
  uint8_t channels = 1, symbol_rate = 0, fec = 2, flags = 0;
};

inline void PutWord(QByteArray& bytes, qsizetype at, uint16_t value) {
  bytes[at] = static_cast<char>(value >> 8);
  bytes[at + 1] = static_cast<char>(value);
}

inline QByteArray ChannelRecord(const ChannelRecordData& c) {
  QByteArray r(kChannelRecordSize, '\0');
  r.replace(0, std::min<qsizetype>(c.name.size(), 16), c.name.left(16));
  r[16] = static_cast<char>(c.status);
  r[17] = static_cast<char>(c.transponder);
  const uint16_t words[] = {c.sid, c.vpid, c.apid, c.vecm, c.aecm, c.pcr};
  for (int i = 0; i < 6; ++i) PutWord(r, 18 + 2 * i, words[i]);
  return r;
}

inline QByteArray TransponderRecord(const TransponderRecordData& t) {
  QByteArray r(kTransponderRecordSize, '\0');
  PutWord(r, 0, static_cast<uint16_t>(t.hertz >> 16));
  PutWord(r, 2, static_cast<uint16_t>(t.hertz));
  PutWord(r, 4, t.id);
  PutWord(r, 6, t.network);
  r[8] = static_cast<char>(t.channels);
  r[9] = static_cast<char>(t.symbol_rate);
  r[10] = static_cast<char>(t.fec);
  r[11] = static_cast<char>(t.flags);
  return r;
}

// A section at match position p: header bytes that vary, the two tags, then the records
// padded with empty records up to count.
inline void PutSection(QByteArray& image, qsizetype p, const char* tag, QByteArray records,
                       int record_size, int count) {
  for (int i = 0; i < 68; ++i) image[p + i] = static_cast<char>(0x40 + i);
  image.replace(p + 32, 3, tag);
  image.replace(p + 48, 3, tag);
  records.append(QByteArray(count * record_size - records.size(), '\0'));
  image.replace(p + 68, records.size(), records);
}

inline QByteArray Channels(const std::vector<ChannelRecordData>& channels) {
  QByteArray records;
  for (const ChannelRecordData& c : channels) records += ChannelRecord(c);
  return records;
}

inline QByteArray Transponders(const std::vector<TransponderRecordData>& transponders) {
  QByteArray records;
  for (const TransponderRecordData& t : transponders) records += TransponderRecord(t);
  return records;
}

// n channels named CH1.. on transponders cycling 1 .. transponders, and that many transponders.
inline std::vector<ChannelRecordData> NumberedChannels(int n, int transponders) {
  std::vector<ChannelRecordData> channels;
  for (int i = 1; i <= n; ++i)
    channels.push_back({.name = "CH" + QByteArray::number(i),
                        .transponder = static_cast<uint8_t>((i - 1) % transponders + 1),
                        .sid = static_cast<uint16_t>(i),
                        .vpid = static_cast<uint16_t>(1000 + i)});
  return channels;
}

inline std::vector<TransponderRecordData> NumberedTransponders(int n) {
  std::vector<TransponderRecordData> transponders;
  for (int i = 1; i <= n; ++i)
    transponders.push_back({.hertz = 1950000000u + static_cast<uint32_t>(i) * 1000000u,
                            .id = static_cast<uint16_t>(i)});
  return transponders;
}

// A 2 MiB flash image (0xFF) with the channel section at tcs and the transponder section at tpt.
inline QByteArray FlashImage(const std::vector<ChannelRecordData>& channels,
                             const std::vector<TransponderRecordData>& transponders,
                             qsizetype tcs = 0x1E0100, qsizetype tpt = 0x1D0000,
                             qsizetype size = 0x200000, int channel_records = 999,
                             int transponder_records = 99) {
  QByteArray image(size, '\xFF');
  PutSection(image, tcs, kChannelTag, Channels(channels), kChannelRecordSize, channel_records);
  PutSection(image, tpt, kTransponderTag, Transponders(transponders), kTransponderRecordSize,
             transponder_records);
  return image;
}

// The default locale (and so the decimal separator the tables show) for the life of the object.
class ScopedLocale {
 public:
  explicit ScopedLocale(QLocale::Language language) { QLocale::setDefault(QLocale(language)); }
  ~ScopedLocale() { QLocale::setDefault(previous_); }

 private:
  QLocale previous_;
};

// Answers the section chooser from a script and remembers what it was offered.
class ScriptedChooser : public SectionChooser {
 public:
  std::optional<int64_t> ChooseSection(const char* tag,
                                       const std::vector<int64_t>& sections) override {
    offered.push_back(sections);
    tags.push_back(tag);
    if (answers.empty()) return std::nullopt;
    const int64_t answer = answers.front();
    answers.erase(answers.begin());
    return answer;
  }
  std::vector<int64_t> answers;
  std::vector<std::vector<int64_t>> offered;
  std::vector<QByteArray> tags;
};

}  // namespace tornavo::test

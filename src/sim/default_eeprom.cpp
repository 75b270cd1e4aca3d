#include "sim/default_eeprom.h"

#include <cstring>

namespace tornavo::sim {

namespace {

class EepromWriter {
 public:
  explicit EepromWriter(EepromBytes* bytes) : bytes_(bytes) {}

  void Bytes(int address, std::initializer_list<uint8_t> values) {
    for (uint8_t value : values) (*bytes_)[address++] = value;
  }
  void Byte(int address, uint8_t value) { (*bytes_)[address] = value; }
  void Word(int address, uint16_t value) {  // big-endian, like every number in it
    Bytes(address, {static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value & 0xFF)});
  }
  // Characters, padded with 0 bytes to `width` when given.
  void Text(int address, const char* text, int width = 0) {
    const int size = static_cast<int>(std::strlen(text));
    for (int i = 0; i < size; ++i) Byte(address + i, static_cast<uint8_t>(text[i]));
    for (int i = size; i < width; ++i) Byte(address + i, 0);
  }
  void Hex(int address, const char* hex) {
    for (int i = 0; hex[2 * i] != 0; ++i) {
      auto digit = [](char c) { return c <= '9' ? c - '0' : c - 'A' + 10; };
      Byte(address + i, static_cast<uint8_t>(digit(hex[2 * i]) << 4 | digit(hex[2 * i + 1])));
    }
  }
  // The check pair at `pair_address` for the `count` bytes at `address`.
  void Guard(int address, int count, int pair_address) {
    const auto pair = CheckPairOf(bytes_->data() + address, count);
    Bytes(pair_address, {pair[0], pair[1]});
  }

 private:
  EepromBytes* bytes_;
};

struct Satellite {
  const char* name;
  int name_width;
  uint8_t band, antenna;
  uint16_t frequency;
  uint8_t symbol_rate_index, fec, polarity, tone;
  uint16_t lnb;
};

void PutSatellite(EepromWriter& w, int base, const Satellite& s) {
  w.Text(base, s.name, s.name_width);
  w.Byte(base + 0x16, s.band);
  w.Byte(base + 0x17, s.antenna);
  w.Word(base + 0x1A, s.frequency);
  w.Byte(base + 0x1C, s.symbol_rate_index);
  w.Byte(base + 0x1D, s.fec);
  w.Byte(base + 0x1E, s.polarity);
  w.Byte(base + 0x1F, s.tone);
  w.Word(base + 0x23, s.lnb);
}

}  // namespace

std::array<uint8_t, 2> CheckPairOf(const uint8_t* bytes, int count) {
  uint8_t x = 0;
  for (int i = 0; i < count; ++i) x ^= bytes[i];
  return {static_cast<uint8_t>(0xFF - x), x};
}

EepromBytes BuildDefaultEeprom() {
  EepromBytes bytes;
  bytes.fill(0xFF);
  EepromWriter w(&bytes);

  w.Text(0x002, "ESP");
  w.Guard(0x002, 3, 0x069);
  w.Word(0x007, 0x000C);  // provider
  w.Guard(0x007, 2, 0x06D);
  w.Byte(0x009, 0x15);  // software version 21

  // Astra 11778 V 27500 3/4 on the high band, Hot Bird 11034 V 27500 3/4 on the low band
  // of a universal LNB, the second dish on antenna input 2.
  PutSatellite(w, 0x00B, {"ASTRA", 21, 0, 0, 11778, 1, 2, 0, 1, 10600});
  PutSatellite(w, 0x030, {"HOTBIRD", 22, 0, 1, 11034, 1, 2, 0, 0, 9750});

  w.Word(0x055, 0x000C);  // provider the channels are sorted by
  w.Guard(0x055, 2, 0x079);
  w.Text(0x057, "eng");  // secondary audio
  w.Guard(0x057, 3, 0x07B);
  w.Text(0x05B, "esl");  // primary audio
  w.Guard(0x05B, 3, 0x07F);
  w.Text(0x05E, "esl");  // subtitles
  w.Word(0x065, 7);      // last channel watched
  w.Guard(0x065, 2, 0x08B);

  w.Hex(0x08E, "00800080000000000000000002A7");  // active sections, and their copy
  w.Hex(0x09C, "00800080000000000000000002A7");
  w.Hex(0x0DE, "3B00060000000000");  // EPG languages: Spanish

  w.Byte(0x403, 0x83);            // luminosity high
  w.Byte(0x406, 0x00);            // PAL
  w.Byte(0x418, 0x00);            // starts in stand-by
  w.Word(0x733, 0x0000);          // DiSEqC on
  w.Text(0x7D0, "34");            // country code
  w.Text(0x7D2, "020113004217");  // serial number
  return bytes;
}

}  // namespace tornavo::sim

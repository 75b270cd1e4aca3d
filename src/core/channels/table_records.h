#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/channels/text_grid.h"
#include "core/settings/symbol_rate_table.h"

namespace tornavo {

inline constexpr int kChannelRecordSize = 30;
inline constexpr int kTransponderRecordSize = 12;
// Records start this far after the match position of a section.
inline constexpr int kSectionHeaderSize = 68;
inline constexpr int64_t kBlockSize = 0x10000;
inline constexpr int kChannelWipeLength = 60075;
inline constexpr int kTransponderWipeLength = 1551;

// Channel grid columns.
enum ChannelColumn {
  kName = 1,
  kChannelTransponder,
  kServiceId,
  kVideoPid,
  kAudioPid,
  kVideoEcm,
  kAudioEcm,
  kPcrPid,
  kStatus,
  kChannelSatellite
};
// Transponder grid columns.
enum TransponderColumn {
  kFrequency = 1,
  kTransponderId,
  kNetworkId,
  kFec,
  kPolarity,
  kSymbolRate,
  kTone,
  kChannels,
  kBand,
  kTransponderSatellite
};

// Status bits of a channel.
inline constexpr int kParentalLock = 0x01;
inline constexpr int kFavourite = 0x02;
inline constexpr int kActive = 0x04;
inline constexpr int kUnknownFlag = 0x08;

// What the tables need from the settings: the satellite names last applied to the tables,
// the symbol-rate table and the two LNB frequencies (MHz).
struct TableContext {
  QString satellite_a = QStringLiteral("A");
  QString satellite_b = QStringLiteral("B");
  SymbolRateTable symbol_rates{};
  int lnb_low = 9750;
  int lnb_high = 10600;
};

// A cell that does not convert while its record is written.
struct CellError {
  bool transponder_table = false;
  int row = 0;
  int column = 0;
  QString text;
};

const char* const kChannelTag = "TCS";
const char* const kTransponderTag = "TPT";

// The first position p >= start whose bytes p + 32 and p + 48 both hold the three-byte tag,
// both inside the image; -1 when there is none.
int64_t FindTableSection(const char* tag, int64_t start, const uint8_t* image, int64_t size);
int64_t FindTableSection(const char* tag, int64_t start, const QByteArray& image);
// Each 64 KiB block's first section, in address order.
std::vector<int64_t> ListTableSections(const char* tag, const QByteArray& image);
// Where the user sees a section: its block start, or the first tag.
inline int64_t ShownSectionAddress(int64_t block, int64_t offset) {
  return offset == 0 ? block : block + offset + 32;
}
// "1F (1F0000)": block number and shown address.
QString SectionDisplay(int64_t block, int64_t offset);

// Cell forms. A frequency's fraction follows the system's decimal separator (comma or point).
QString FrequencyText(uint64_t hertz);
QString SymbolRateText(uint8_t code, const SymbolRateTable& rates);
QString FecText(uint8_t code);
QString HexByteText(int value);
// Decimal integer text (optional sign); nothing else converts.
std::optional<int64_t> ParseDecimal(const QString& text);
// Hexadecimal text read like the status cells: any other character gives -1, empty 0.
int64_t ParseHex(const QString& text);
// "FREC" (kHz, comma or point as separator) in Hz, rounded half to even.
std::optional<uint32_t> ParseFrequency(const QString& text);
// The frequency the user tunes: "FREC" plus the LNB in MHz, as kHz text; empty when "FREC"
// does not convert.
QString TunedFrequencyText(const QString& frequency, int lnb_mhz);

// Readers fill rows first_row ... rows - 1 from the records at position, each row keeping its
// record's bytes; records that run past the image end are not read and leave their rows as
// they were.
void ReadTransponderRecords(int64_t position, const QByteArray& image, int first_row,
                            const TableContext& context, TextGrid& grid);
// Appending (shift >= 0), a stored transponder number t != 0 becomes t + shift, and a number
// that then names no row of the transponder grid becomes 0; kKeepReferences keeps them as
// stored. ram leaves "SAT" empty.
inline constexpr int kKeepReferences = -1;
void ReadChannelRecords(int64_t position, const QByteArray& image, int first_row, int shift,
                        bool ram, const TableContext& context, const TextGrid& transponders,
                        TextGrid& grid);
// The records of rows 1 ... rows - 1, one after another. Each is built on the record its row
// carries (zeros for a row without one): every field is converted from its cell, and a field
// whose cell still shows the carried value, or cannot be converted back (a symbol rate that
// names no entry), keeps the carried bytes. The first cell that does not convert at all
// stops the conversion and is reported.
std::optional<QByteArray> ChannelTableRecords(const TextGrid& grid, CellError* error);
std::optional<QByteArray> TransponderTableRecords(const TextGrid& grid, const TableContext& context,
                                                  CellError* error);
// Puts the channel records into target from position; records past its end are not written.
bool WriteChannelRecords(int64_t position, const TextGrid& grid, QByteArray& target,
                         CellError* error);
// True when some record from the index-th one on holds a byte other than zero: rows that are
// not empty entries.
bool RecordsHoldDataFrom(const QByteArray& records, int record_size, int64_t index);

// Empty entries, as deletes leave them; their record is all zeros.
void SetEmptyChannel(TextGrid& grid, int row, const TableContext& context);
void SetEmptyTransponder(TextGrid& grid, int row, const TableContext& context);

struct Rgb {
  int red, green, blue;
  bool operator==(const Rgb&) const = default;
};
// A channel row's background, from its video and audio PIDs.
Rgb ChannelRowColour(const TextGrid& grid, int row);

}  // namespace tornavo

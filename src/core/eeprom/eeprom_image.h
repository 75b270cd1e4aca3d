#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <array>
#include <bitset>
#include <cstdint>

#include "core/runtime/operation_host.h"
#include "core/texts/texts.h"

namespace tornavo {

inline constexpr int kEepromRows = 128;    // rows 1..128
inline constexpr int kEepromColumns = 16;  // columns 1..16
inline constexpr int kEepromBytes = 2048;

// Hex text of up to 16 digits (0-9, A-F in either case) to a 64-bit value; -1 for any other
// character (and for more than 16 digits), 0 for the empty text.
int64_t HexToInt(const QString& text);

// True for exactly two digits 0-9 / upper-case A-F: the form the image holds its cells in.
bool IsValidCellText(const QString& text);

// A set of EEPROM rows, bit n for row n (0x00 ... 0x7F).
using EepromRows = std::bitset<kEepromRows>;
// The rows a range covers.
EepromRows RowsBetween(int first_row, int last_row);
// The rows the bytes from address on reach, within the EEPROM.
EepromRows RowsOfAddresses(uint32_t address, uint32_t length);
// Rows as the start addresses of their runs, "000-0A0, 0C0": for messages.
QString RowRangesText(const EepromRows& rows);

// A byte as two upper-case hex digits.
QString ByteText(uint8_t byte);

// The working copy of the receiver's EEPROM as 128 x 16 cell texts. Cells may hold texts
// that are not valid bytes (a serial reply can carry them); they stay until an edit replaces
// them or ValidateImage finds them.
class EepromImage : public QObject {
  Q_OBJECT

 public:
  EepromImage();  // every cell "FF"

  QString Cell(int row, int column) const;                 // out of range: empty text
  void SetCell(int row, int column, const QString& text);  // out of range: ignored
  QString RowText(int row) const;                          // the row's 16 cell texts joined
  void ClearImage();                                       // every cell "FF"

  // Shows "¡ La dirección " + three-digit address + " contiene un dato erroneo !" through
  // host.ShowError for the first invalid cell and returns false; true when all are valid.
  bool ValidateImage(OperationHost& host, const Texts& texts) const;

  void PlaceBytes(const uint8_t* bytes, int start, int length);  // addresses >= 2048 ignored
  // Bytes the receiver holds from address on (a dump): placed, and their rows kept.
  void PlaceReceived(uint32_t address, const QByteArray& bytes);
  std::array<uint8_t, kEepromBytes> Bytes() const;  // low 8 bits of HexToInt (invalid -> 0xFF)

  // Cell access by EEPROM address 0..2047; out of range as for Cell/SetCell.
  QString CellAt(int address) const;
  void SetCellAt(int address, const QString& text);
  // Byte value of the cell at an address: invalid texts give 0xFF.
  uint8_t ByteAt(int address) const;

  // Replaces every cell in one step (one CellsChanged for the whole image).
  void SetAllCells(const std::array<QString, kEepromBytes>& cells);
  const std::array<QString, kEepromBytes>& cells() const { return cells_; }

  int selected_row() const {
    return selected_row_;
  }  // 1..128 of the last selected cell; 0 until then
  void set_selected_row(int row);

  // Rows whose cells differ from what they held when last kept: edits no file holds yet.
  // Typing a row's old bytes back settles it again.
  EepromRows EditedRows() const;
  // The rows now hold what a file or the receiver holds (a load, a read, a save); "Borrar"
  // keeps every row.
  void Keep(const EepromRows& rows);

 signals:
  void CellsChanged(int first_row, int last_row);  // every change, by any path
  void KeptChanged();

 private:
  static bool InRange(int row, int column) {
    return row >= 1 && row <= kEepromRows && column >= 1 && column <= kEepromColumns;
  }
  static int Index(int row, int column) { return (row - 1) * kEepromColumns + (column - 1); }

  std::array<QString, kEepromBytes> cells_;
  std::array<QString, kEepromBytes> kept_;
  int selected_row_ = 0;
};

}  // namespace tornavo

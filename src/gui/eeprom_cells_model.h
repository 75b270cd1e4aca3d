#pragma once

#include <QAbstractTableModel>

#include "core/eeprom/eeprom_image.h"

namespace tornavo {

// The EEPROM image as a 128 x 16 table for the hex editor: headings "0" ... "F" across and the
// row addresses "000" ... "7F0" down, cells centred.
class EepromCellsModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  EepromCellsModel(EepromImage& image, QObject* parent);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  // A confirmed edit: the text in upper case if it is then two hex digits; anything else
  // leaves the cell as it was. Always accepted, so the editor closes.
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

  // Rows shown on a coloured ground (a verify's differing rows); none to clear them.
  void SetHighlightedRows(const EepromRows& rows);
  const EepromRows& highlighted_rows() const { return highlighted_; }

 private:
  EepromImage& image_;
  EepromRows highlighted_;
};

}  // namespace tornavo

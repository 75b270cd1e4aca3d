#pragma once

#include <QTableView>

#include "core/eeprom/eeprom_image.h"

namespace tornavo {

class EepromCellsModel;

// The hex editor of the EEPROM image: 128 rows of 16 cells under their headings, edited in
// place. The row of the cell last selected or whose editing began is the image's selected row.
class HexEditor : public QTableView {
  Q_OBJECT

 public:
  HexEditor(EepromImage& image, QWidget* parent);

  EepromCellsModel* cells_model() const { return model_; }
  // Focus on to the next control (or the one before), as Tab gives it.
  void LeaveGrid(bool forward);
  // Colours the rows (0x00 ... 0x7F) and brings the first of them into view; none clears.
  void HighlightRows(const EepromRows& rows);

 private:
  EepromImage& image_;
  EepromCellsModel* model_;
};

}  // namespace tornavo

#pragma once

#include <QTableView>

namespace tornavo {

class EepromImage;
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

 private:
  EepromImage& image_;
  EepromCellsModel* model_;
};

}  // namespace tornavo

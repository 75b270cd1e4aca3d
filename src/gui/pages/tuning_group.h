#pragma once

#include <QGroupBox>

#include "gui/app_services.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace tornavo {

// " Sintonización " of the configuration page: table positions and sizes, the symbol-rate
// file, the LNB frequencies and the two satellite names.
class TuningGroup : public QGroupBox {
  Q_OBJECT

 public:
  TuningGroup(AppServices& services, QWidget* parent);
  void ApplyTexts();
  void ShowSettings();
  // Renames satellite A, then B, in the tables when its box changed since the last time.
  void ApplySatelliteNames();

  QComboBox* tcs_list() const { return tcs_; }
  QComboBox* tpt_list() const { return tpt_; }
  QComboBox* symbol_rate_list() const { return symbol_rate_; }
  QComboBox* channel_count_list() const { return channels_; }
  QComboBox* transponder_count_list() const { return transponders_; }
  QLineEdit* lnb_low_box() const { return lnb_low_; }
  QLineEdit* lnb_high_box() const { return lnb_high_; }
  QLineEdit* satellite_box(int satellite) const { return satellite == 0 ? sat_a_ : sat_b_; }

 signals:
  // The channel or transponder table size changed (the tables follow it).
  void TableSizesChanged();
  // Cells of the satellite column holding old_name are to hold new_name.
  void SatelliteRenamed(int satellite, const QString& old_name, const QString& new_name);

 private:
  void SeparatePositions(QComboBox* changed, QComboBox* other);
  void FilterLnb(QLineEdit* box);
  void FixSatelliteBoxes();
  void ApplySatelliteName(int satellite);

  AppServices& services_;
  QComboBox* tcs_;
  QComboBox* tpt_;
  QComboBox* symbol_rate_;
  QComboBox* channels_;
  QComboBox* transponders_;
  QLineEdit* lnb_low_;
  QLineEdit* lnb_high_;
  QLineEdit* sat_a_;
  QLineEdit* sat_b_;
  QLabel* labels_[9];
};

}  // namespace tornavo

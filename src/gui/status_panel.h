#pragma once

#include <QGroupBox>
#include <array>

#include "core/runtime/operation_host.h"

class QLabel;

namespace tornavo {

// The " Estado " group: five captions with right-aligned fixed-pitch values.
class StatusPanel : public QGroupBox {
  Q_OBJECT

 public:
  explicit StatusPanel(QWidget* parent);

  void SetCaptions(const QString& group, const std::array<QString, kStatusFieldCount>& labels);
  // The texts a report carries; the others stay as they are.
  void Show(const ProgressReport& report);
  QString Value(StatusField field) const;

 private:
  std::array<QLabel*, kStatusFieldCount> captions_{};
  std::array<QLabel*, kStatusFieldCount> values_{};
};

}  // namespace tornavo

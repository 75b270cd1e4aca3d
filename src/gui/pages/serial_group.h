#pragma once

#include <QGroupBox>

#include "gui/app_services.h"

class QComboBox;
class QLabel;

namespace tornavo {

class PortChoices;

// The " Puerto Serie " group: six lists, each applying its setting to the port at once.
class SerialGroup : public QGroupBox {
  Q_OBJECT

 public:
  SerialGroup(AppServices& services, PortChoices& choices, QWidget* parent);
  void ApplyTexts();
  // Shows the choices' current selections without applying them.
  void ShowSelections();
  // The port list again, when the system's ports have arrived.
  void ShowPortNames();

  QComboBox* port_list() const { return port_; }
  QComboBox* baud_list() const { return baud_; }
  QComboBox* data_bits_list() const { return data_bits_; }
  QComboBox* parity_list() const { return parity_; }
  QComboBox* stop_bits_list() const { return stop_bits_; }
  QComboBox* flow_list() const { return flow_; }

 private:
  AppServices& services_;
  PortChoices& choices_;
  QComboBox* port_;
  QComboBox* baud_;
  QComboBox* data_bits_;
  QComboBox* parity_;
  QComboBox* stop_bits_;
  QComboBox* flow_;
  QLabel* labels_[6];
};

}  // namespace tornavo

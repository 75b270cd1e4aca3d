#pragma once

#include <QWidget>

#include "gui/app_services.h"

class QGridLayout;

namespace tornavo {

class PortChoices;
class SerialGroup;

// Page "Configuración": the settings groups, each applying its changes at once.
class ConfigPage : public QWidget {
  Q_OBJECT

 public:
  ConfigPage(AppServices& services, PortChoices& port_choices, QWidget* parent);
  void ApplyTexts();

  SerialGroup* serial_group() const { return serial_; }
  // The grid the groups are placed in.
  QGridLayout* groups() const { return grid_; }

 private:
  AppServices& services_;
  SerialGroup* serial_;
  QGridLayout* grid_;
};

}  // namespace tornavo

#pragma once

#include <QWidget>

#include "gui/app_services.h"

class QTabWidget;

namespace tornavo {

// Page "Sintonización": the inner pages "Tabla de Canales" and "Tabla de Transpondedores".
class TuningPage : public QWidget {
  Q_OBJECT

 public:
  TuningPage(AppServices& services, QWidget* parent);
  void ApplyTexts();

  QWidget* channel_page() const { return channels_; }
  QWidget* transponder_page() const { return transponders_; }

 private:
  AppServices& services_;
  QTabWidget* inner_;
  QWidget* channels_;
  QWidget* transponders_;
};

}  // namespace tornavo

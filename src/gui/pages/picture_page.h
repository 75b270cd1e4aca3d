#pragma once

#include <QWidget>

#include "gui/app_services.h"

namespace tornavo {

// Page "Imagen": the captured picture. Never disabled.
class PicturePage : public QWidget {
  Q_OBJECT

 public:
  PicturePage(AppServices& services, QWidget* parent);
  void ApplyTexts();

 private:
  AppServices& services_;
};

}  // namespace tornavo

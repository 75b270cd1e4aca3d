#pragma once

#include <QByteArray>
#include <QWidget>

#include "gui/app_services.h"

class QLabel;
class QPushButton;

namespace tornavo {

// Page "Imagen": the captured picture, centred, with "Leer Archivo..." and "Guardar
// como..." below it. Never disabled, so a picture can be looked at while an operation runs.
class PicturePage : public QWidget {
  Q_OBJECT

 public:
  PicturePage(AppServices& services, QWidget* parent);
  void ApplyTexts();

  // Takes a captured frame into the picture service and shows it; the JTAG capture hands its
  // bytes here. "16:9" widens the main window.
  void ShowCapture(const QByteArray& bytes);
  // "Leer Archivo...": a raw capture file through the open dialog.
  void OpenCaptureFile();
  // "Guardar como...": the shown picture as BMP or JPEG, by the chosen file type.
  void SavePictureAs();

  QLabel* picture_area() const { return area_; }
  QPushButton* open_button() const { return open_; }
  QPushButton* save_button() const { return save_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  // The service's picture, newly taken, or the reason none was.
  void ShowTaken(bool taken, const QString& error);
  void PlaceControls();

  AppServices& services_;
  PictureService& pictures_;
  QLabel* area_;
  QPushButton* open_;
  QPushButton* save_;
};

}  // namespace tornavo

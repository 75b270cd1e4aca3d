#pragma once

#include <QDialog>

#include "core/channels/channel_list.h"
#include "gui/app_services.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace tornavo {

// "Secciones activas": the user picks one of several sections of a table while an image
// loads. A tool window without a close box; "Ok" returns the current row's address.
class TForm4 : public QDialog, public SectionChooser {
  Q_OBJECT

 public:
  TForm4(AppServices& services, QWidget* parent);
  void ApplyTexts();
  std::optional<int64_t> ChooseSection(const char* tag,
                                       const std::vector<int64_t>& sections) override;
  // Fills the rows without showing the dialog.
  void Fill(const char* tag, const std::vector<int64_t>& sections);
  // "Sección" of the current row as a number.
  int64_t CurrentSection() const;

  QTableWidget* table() const { return table_; }
  QPushButton* ok_button() const { return ok_; }

 private:
  AppServices& services_;
  QLabel* prompt_;
  QTableWidget* table_;
  QPushButton* ok_;
};

}  // namespace tornavo

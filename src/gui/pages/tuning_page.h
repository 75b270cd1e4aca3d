#pragma once

#include <QWidget>
#include <array>
#include <memory>

#include "core/channels/channel_list.h"
#include "core/jtag/jtag_dump.h"
#include "gui/app_services.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableView;

namespace tornavo {

class ChannelList;
class ChannelService;
class ChannelTableModel;
struct ChannelLoad;
class SectionChooser;
class TForm2;
class TForm3;
class TForm4;
class TForm5;

// Page "Sintonización": the channel and transponder tables of the held image on two inner
// pages, the buttons that edit them, the selected channel's transponder and status, and the
// active sections. Every change goes through the channel list; the views only show it.
class TuningPage : public QWidget {
  Q_OBJECT

 public:
  enum Button {
    kLoad = 0,
    kSave,
    kAdd,
    kMove,
    kDelete,
    kEdit,
    kFind,
    kCopy,
    kCut,
    kPaste,
    kButtonCount
  };

  TuningPage(AppServices& services, QWidget* parent);
  ~TuningPage() override;
  void ApplyTexts();

  // "Número de canales :" / "Número de transp. :" changed (or took their defaults).
  void ApplyTableSizes();
  // A satellite's name box was left with a new name.
  void RenameSatellite(int satellite, const QString& new_name);
  // Tests and the command line answer the section question themselves.
  void set_section_chooser(SectionChooser* chooser) { chooser_ = chooser; }

  // The actions, as the buttons and keys run them.
  void LoadImageFile();
  // A completed RAM or FLASH dump's tables into the held list, asking this page's section
  // question; the page then shows them or says which one is missing. True when they loaded.
  bool LoadDumpedImage(const JtagDumpRequest& request, const JtagDumpResult& result);
  void AddImageFile();
  // True when the list went to a channel image file (an export to text or HTML keeps it
  // marked: it cannot be loaded back).
  bool SaveImageFile();
  // Before the held list is replaced: when it holds edits no file holds, asks to save,
  // discard or stop. True when the caller may go on.
  bool SettleEdits();
  void MoveRows();
  void DeleteRows();
  // False, with the reason shown, when nothing was copied.
  bool CopyRows();
  void CutRows();
  void PasteRows();
  void EditRow();
  void Undo();
  void Redo();

  QWidget* channel_page() const { return channel_page_; }
  QWidget* transponder_page() const { return transponder_page_; }
  QTabWidget* inner_pages() const { return inner_; }
  QTableView* channel_view() const { return channel_view_; }
  QTableView* transponder_view() const { return transponder_view_; }
  QPushButton* button(Button which) const { return buttons_[which]; }
  QLineEdit* target_box() const { return target_; }
  QCheckBox* status_box(int index) const { return status_[static_cast<size_t>(index)]; }
  QComboBox* encryption() const { return encryption_; }
  QLabel* detail_value(int index) const { return details_[static_cast<size_t>(index)]; }
  QLabel* section_value(int index) const { return sections_[static_cast<size_t>(index)]; }
  // The dialogs, built on first use.
  TForm2* channel_dialog();
  TForm3* transponder_dialog();
  TForm4* section_dialog();
  TForm5* search_dialog();

 signals:
  // A load placed the live sections in the "Posición TCS :" / "Posición TPT :" settings, or
  // an undo brought back other table sizes: the configuration page shows them again.
  void TableSettingsChanged();
  // The tables or the held list changed (the window's title follows whether it is saved).
  void ListChanged();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  bool channel_page_in_front() const;
  QTableView* front_view() const;
  // Selected data rows (1-based) of a view; false without a selection.
  bool Selection(QTableView* view, int* top, int* bottom) const;
  void SelectRows(QTableView* view, int top, int bottom);
  // "Posición TCS :" and "Posición TPT :" select the live sections' blocks.
  void ShowLiveSectionsInSettings();
  // Why a load failed; nothing for a load that succeeded or was given up.
  void ShowLoadFailure(const ChannelLoad& load);
  // After an undo or redo.
  void FollowTables();
  // After any change: the views, the enabling, the sections and the details panel.
  void RefreshAll();
  void RefreshDetails();
  void UpdateEnabling();
  void ShowSections();
  void ChannelKey(QKeyEvent* key);
  void TransponderKey(QKeyEvent* key);
  void StatusClicked(int index, bool checked);
  void RowDragged(bool transponders, int from, int to);
  void Search(const QString& text);
  void FilterTargetBox();
  QTableView* MakeView(ChannelTableModel* model, QWidget* page);
  // The parts of the control column, built once by the constructor.
  QGridLayout* MakeButtons();
  QGroupBox* MakeDetailsGroup();
  QGroupBox* MakeStatusGroup();
  QGroupBox* MakeSectionsGroup();
  void ConnectButtons();
  void ConnectControls();
  // The chooser set for tests and the command line, or else the section dialog.
  SectionChooser& chooser();

  AppServices& services_;
  ChannelService& channels_;
  // The service's list, which the views show and every edit changes.
  ChannelList& list_;
  SectionChooser* chooser_ = nullptr;
  QTabWidget* inner_;
  QWidget* channel_page_;
  QWidget* transponder_page_;
  ChannelTableModel* channel_model_ = nullptr;
  ChannelTableModel* transponder_model_ = nullptr;
  QTableView* channel_view_;
  QTableView* transponder_view_;
  std::array<QPushButton*, kButtonCount> buttons_{};
  QLineEdit* target_;
  QGroupBox* details_group_;
  std::array<QLabel*, 8> detail_labels_{};
  std::array<QLabel*, 8> details_{};
  QGroupBox* status_group_;
  std::array<QCheckBox*, 4> status_{};
  QLabel* encryption_label_;
  QComboBox* encryption_;
  QGroupBox* sections_group_;
  std::array<QLabel*, 2> section_labels_{};
  std::array<QLabel*, 2> sections_{};
  TForm2* channel_dialog_ = nullptr;
  TForm3* transponder_dialog_ = nullptr;
  TForm4* section_dialog_ = nullptr;
  TForm5* search_dialog_ = nullptr;
};

}  // namespace tornavo

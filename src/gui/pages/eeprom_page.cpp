#include "gui/pages/eeprom_page.h"

#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "core/eeprom/eeprom_files.h"
#include "core/eeprom/interpreted_view.h"
#include "core/settings/settings.h"
#include "core/texts/text_names.h"
#include "core/texts/texts.h"
#include "gui/file_dialogs.h"
#include "gui/pages/hex_editor.h"
#include "gui/pages/interpreted_page.h"
#include "gui/unsaved_edits.h"

namespace tornavo {

namespace {
constexpr int kEepromFileFilter = 7;  // own text | KVL5208 text | binary
}  // namespace

EepromPage::EepromPage(AppServices& services, QWidget* parent)
    : TaskPage(services, parent),
      view_(std::make_unique<InterpretedView>(services.eeprom_image, services.texts,
                                              services.symbol_rates)) {
  inner_ = new QTabWidget(this);
  hex_page_ = new QWidget(inner_);
  interpreted_page_ = new QWidget(inner_);
  inner_->addTab(hex_page_, QString());
  inner_->addTab(interpreted_page_, QString());

  hex_layout_ = new QVBoxLayout(hex_page_);
  hex_layout_->setContentsMargins(1, 1, 1, 1);
  splitter_ = new QSplitter(Qt::Vertical, hex_page_);
  splitter_->setChildrenCollapsible(false);
  hex_editor_ = new HexEditor(services.eeprom_image, splitter_);
  splitter_->addWidget(hex_editor_);
  splitter_->addWidget(log_);
  splitter_->setStretchFactor(0, 1);
  splitter_->setStretchFactor(1, 0);
  // The grid keeps the rest; the log, the height it was left at.
  const int log_height = static_cast<int>(services.settings.Int(Key::kAlturaLogEeprom));
  splitter_->setSizes({std::max(hex_editor_->minimumSizeHint().height(), 300), log_height});
  connect(splitter_, &QSplitter::splitterMoved, this, [this] {
    services_.settings.SetInt(Key::kAlturaLogEeprom, splitter_->sizes().value(1));
  });
  hex_layout_->addWidget(splitter_, 1);

  fields_layout_ = new QVBoxLayout(interpreted_page_);
  fields_layout_->setContentsMargins(0, 0, 0, 0);
  connect(inner_, &QTabWidget::currentChanged, this, [this](int index) {
    if (index == 1) BuildInterpretedFields();
  });

  auto* column = new QVBoxLayout;
  // The transfer controls go in at the top of this column; the file buttons follow them.
  buttons_ = new QVBoxLayout;
  clear_ = new QPushButton(this);
  load_ = new QPushButton(this);
  save_ = new QPushButton(this);
  for (QPushButton* button : {clear_, load_, save_}) buttons_->addWidget(button);
  column->addLayout(buttons_);
  column->addStretch(1);
  column->addWidget(status_);

  auto* top = new QHBoxLayout;
  top->addWidget(inner_, 1);
  top->addLayout(column);

  auto* page = new QVBoxLayout(this);
  page->addLayout(top, 1);
  page->addWidget(progress_);

  connect(clear_, &QPushButton::clicked, this, &EepromPage::ClearImage);
  connect(load_, &QPushButton::clicked, this, &EepromPage::LoadEepromFile);
  connect(save_, &QPushButton::clicked, this, &EepromPage::SaveEepromFile);
  ApplyTexts();
  RefreshInterpretedView();
}

EepromPage::~EepromPage() = default;

void EepromPage::ApplyTexts() {
  const Texts& t = services_.texts;
  inner_->setTabText(0, t.Key(text_key::kEditorHexadecimal));
  inner_->setTabText(1, t.Key(text_key::kDatosInterpretados));
  status_->SetCaptions(
      t.Key(text_key::kEepromEstado),
      {t.Key(text_key::kEstadoTarea76), t.Key(text_key::kEstadoDireccion81),
       t.Key(text_key::kEstadoErrores89), t.Slot(slot::kVelocidad), t.Slot(slot::kTiempoRest)});
  log_->ApplyTexts();
  clear_->setText(t.Key(text_key::kEepromBorrar));
  load_->setText(t.Key(text_key::kLeerArchivo));
  save_->setText(t.Key(text_key::kEepromGuardarComo));
  if (fields_) fields_->ApplyTexts();
}

InterpretedPage* EepromPage::interpreted_fields() {
  BuildInterpretedFields();
  return fields_;
}

void EepromPage::BuildInterpretedFields() {
  if (fields_) return;
  // It shows the fields as the view holds them now, and follows the view from then on.
  fields_ = new InterpretedPage(*view_, services_.texts, interpreted_page_);
  fields_layout_->addWidget(fields_);
}

void EepromPage::InitImage() {
  services_.eeprom_image.ClearImage();
  rows_not_loaded_.set();
  loaded_file_.clear();
  RefreshInterpretedView();
}

void EepromPage::RefreshInterpretedView() { view_->RefreshInterpretedView(); }

bool EepromPage::SettleEdits(const EepromRows& rows) {
  const EepromRows edited = services_.eeprom_image.EditedRows() & rows;
  if (edited.none()) return true;
  return SettleUnsavedEdits(
      services_, text_key::kEeprom,
      services_.texts.Format(text_key::kFilasCambiadas, {RowRangesText(edited)}),
      [this] { return SaveEepromFile(); });
}

void EepromPage::ClearImage() {
  if (!SettleEdits(EepromRows().set())) return;
  hex_editor_->HighlightRows({});
  services_.eeprom_image.ClearImage();
  rows_not_loaded_.set();
  loaded_file_.clear();
  RefreshInterpretedView();
}

void EepromPage::LoadEepromFile() {
  if (!SettleEdits(EepromRows().set())) return;
  const FileChoice choice =
      services_.dialogs.ChooseOpen({services_.texts.Slot(kEepromFileFilter), 1, QString()});
  if (!choice.accepted || choice.path.isEmpty()) return;
  EepromFormat format;
  EepromRows rows;
  if (FormatOfFilterIndex(choice.filter_index, &format) &&
      tornavo::LoadEepromFile(choice.path, format, services_.texts, services_.host,
                              services_.eeprom_image, &rows)) {
    rows_not_loaded_ = ~rows;
    loaded_file_ = choice.path;
    services_.eeprom_image.Keep(rows);
    hex_editor_->HighlightRows({});
  }
  // Shown again even after a refused file, as the image stands.
  RefreshInterpretedView();
}

bool EepromPage::SaveEepromFile() {
  const FileChoice choice =
      services_.dialogs.ChooseSave({services_.texts.Slot(kEepromFileFilter),
                                    services_.dialogs.last_save_filter_index(), QString()});
  if (!choice.accepted || choice.path.isEmpty()) return false;
  EepromFormat format;
  if (!FormatOfFilterIndex(choice.filter_index, &format) ||
      !tornavo::SaveEepromFile(choice.path, format, services_.eeprom_image, services_.host))
    return false;
  services_.eeprom_image.Keep(EepromRows().set());
  return true;
}

}  // namespace tornavo

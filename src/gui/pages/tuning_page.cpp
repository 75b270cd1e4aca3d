#include "gui/pages/tuning_page.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include "core/channels/channel_list.h"
#include "core/channels/clipboard_text.h"
#include "core/channels/table_settings.h"
#include "core/runtime/operation_host.h"
#include "core/session/channel_service.h"
#include "core/settings/settings.h"
#include "core/texts/text_names.h"
#include "core/texts/texts.h"
#include "gui/channel_dialog.h"
#include "gui/channel_table_model.h"
#include "gui/column_sizer.h"
#include "gui/digit_box.h"
#include "gui/encryption_list.h"
#include "gui/file_dialogs.h"
#include "gui/page_lock.h"
#include "gui/search_dialog.h"
#include "gui/section_dialog.h"
#include "gui/transponder_dialog.h"
#include "gui/unsaved_edits.h"
#include "gui/window_layout.h"

namespace tornavo {

namespace {

// Page status boxes: "Activo", "Favorito", "Bloqueo Parental", "Desconocido".
constexpr int kStatusBits[] = {kActive, kFavourite, kParentalLock, kUnknownFlag};
constexpr int kStatusKeys[] = {text_key::kActivo, text_key::kFavorito, text_key::kBloqueoParental,
                               text_key::kDesconocido};
constexpr int kEncryptionValues[] = {0x00, 0x20, 0x40, 0x60, 0x80, 0xA0};
constexpr int kButtonKeys[] = {text_key::kLeerArchivo,   text_key::kEepromGuardarComo,
                               text_key::kAnadirArchivo, text_key::kMoverA,
                               text_key::kEepromBorrar,  text_key::kEditar,
                               text_key::kEncontrar,     text_key::kSintonizacionCopiar,
                               text_key::kCortar,        text_key::kPegar};
constexpr int kDetailKeys[] = {text_key::kSatelite,
                               text_key::kTranspondedorFrecuencia,
                               text_key::kTranspondedorPolaridad,
                               text_key::kTranspondedorFEC,
                               text_key::kTranspondedorSymbolRate,
                               text_key::kTranspondedorCanales,
                               text_key::kBanda217,
                               text_key::kNumTransp};
constexpr int kFlashFilterKey = text_key::kArchivoFlashBINRCUO133;  // flash | RAM
constexpr int kAddFilterKey = text_key::kArchivoFlashBINRCUO243;    // flash only
constexpr int kSaveFilterKey =
    text_key::kArchivoBinarioBINBinArchivo15;  // BIN | RCU | RCS | TXT | HTM | all
constexpr int kSaveTextIndex = 4;
constexpr int kSaveHtmlIndex = 5;
constexpr int kNoMatchSlot = slot::kNoHayNingunCanalCon;

constexpr QMargins kGroupMargins(6, 2, 6, 2);

int ClipboardKindNow() { return ClipboardKind(QGuiApplication::clipboard()->text()); }

}  // namespace

TuningPage::TuningPage(AppServices& services, QWidget* parent)
    : QWidget(parent),
      services_(services),
      channels_(services.channels),
      list_(services.channels.list()) {
  inner_ = new QTabWidget(this);
  inner_->setTabPosition(QTabWidget::East);
  channel_page_ = new QWidget(inner_);
  transponder_page_ = new QWidget(inner_);
  inner_->addTab(channel_page_, QString());
  inner_->addTab(transponder_page_, QString());
  channel_model_ = new ChannelTableModel(list_, false, this);
  transponder_model_ = new ChannelTableModel(list_, true, this);
  channel_view_ = MakeView(channel_model_, channel_page_);
  transponder_view_ = MakeView(transponder_model_, transponder_page_);

  // The column of controls on the left, set tightly so that it fits the smallest window.
  auto* column = new QVBoxLayout;
  column->setSpacing(3);
  column->addLayout(MakeButtons());
  column->addWidget(MakeDetailsGroup());
  column->addWidget(MakeStatusGroup());
  column->addWidget(MakeSectionsGroup());
  column->addStretch(1);

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  auto* column_widget = new QWidget(this);
  column_widget->setLayout(column);
  column->setContentsMargins(0, 0, 0, 0);
  // As narrow as the tables allow, but wide enough for the captions of any language.
  column_widget->setMinimumWidth(224);
  column_widget->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
  layout->addWidget(column_widget);
  layout->addWidget(inner_, 1);

  ConnectButtons();
  ConnectControls();
  ApplyTexts();
  ApplyTableSizes();
}

QGridLayout* TuningPage::MakeButtons() {
  auto* buttons = new QGridLayout;
  buttons->setVerticalSpacing(2);
  for (int b = 0; b < kButtonCount; ++b) buttons_[b] = new QPushButton(this);
  target_ = new QLineEdit(QStringLiteral("1"), this);
  target_->setMaxLength(3);
  target_->setFixedWidth(44);
  buttons->addWidget(buttons_[kLoad], 0, 0, 1, 2);
  buttons->addWidget(buttons_[kSave], 1, 0, 1, 2);
  buttons->addWidget(buttons_[kAdd], 2, 0, 1, 2);
  buttons->addWidget(buttons_[kMove], 3, 0);
  buttons->addWidget(target_, 3, 1);
  buttons->addWidget(buttons_[kDelete], 4, 0);
  buttons->addWidget(buttons_[kEdit], 4, 1);
  buttons->addWidget(buttons_[kCopy], 5, 0);
  buttons->addWidget(buttons_[kCut], 5, 1);
  buttons->addWidget(buttons_[kPaste], 6, 0);
  buttons->addWidget(buttons_[kFind], 6, 1);
  return buttons;
}

QGroupBox* TuningPage::MakeDetailsGroup() {
  details_group_ = new QGroupBox(this);
  auto* details = new QGridLayout(details_group_);
  details->setContentsMargins(kGroupMargins);
  details->setVerticalSpacing(0);
  for (int i = 0; i < 8; ++i) {
    detail_labels_[static_cast<size_t>(i)] = new QLabel(details_group_);
    details_[static_cast<size_t>(i)] = new QLabel(details_group_);
    details->addWidget(detail_labels_[static_cast<size_t>(i)], i, 0, Qt::AlignRight);
    details->addWidget(details_[static_cast<size_t>(i)], i, 1);
  }
  details->setColumnStretch(1, 1);
  return details_group_;
}

QGroupBox* TuningPage::MakeStatusGroup() {
  status_group_ = new QGroupBox(this);
  auto* status = new QGridLayout(status_group_);
  status->setContentsMargins(kGroupMargins);
  status->setVerticalSpacing(1);
  for (int i = 0; i < 4; ++i) {
    status_[static_cast<size_t>(i)] = new QCheckBox(status_group_);
    status->addWidget(status_[static_cast<size_t>(i)], i, 0, 1, 2);
    connect(status_[static_cast<size_t>(i)], &QCheckBox::clicked, this,
            [this, i](bool checked) { StatusClicked(i, checked); });
  }
  encryption_label_ = new QLabel(status_group_);
  encryption_ = new QComboBox(status_group_);
  status->addWidget(encryption_label_, 4, 0);
  status->addWidget(encryption_, 4, 1);
  return status_group_;
}

QGroupBox* TuningPage::MakeSectionsGroup() {
  sections_group_ = new QGroupBox(this);
  auto* sections = new QGridLayout(sections_group_);
  sections->setContentsMargins(kGroupMargins);
  sections->setVerticalSpacing(0);
  for (int i = 0; i < 2; ++i) {
    section_labels_[static_cast<size_t>(i)] = new QLabel(sections_group_);
    sections_[static_cast<size_t>(i)] = new QLabel(sections_group_);
    sections->addWidget(section_labels_[static_cast<size_t>(i)], i, 0);
    sections->addWidget(sections_[static_cast<size_t>(i)], i, 1);
  }
  return sections_group_;
}

void TuningPage::ConnectButtons() {
  connect(buttons_[kLoad], &QPushButton::clicked, this, &TuningPage::LoadImageFile);
  connect(buttons_[kSave], &QPushButton::clicked, this, &TuningPage::SaveImageFile);
  connect(buttons_[kAdd], &QPushButton::clicked, this, &TuningPage::AddImageFile);
  connect(buttons_[kMove], &QPushButton::clicked, this, &TuningPage::MoveRows);
  connect(buttons_[kDelete], &QPushButton::clicked, this, &TuningPage::DeleteRows);
  connect(buttons_[kEdit], &QPushButton::clicked, this, &TuningPage::EditRow);
  connect(buttons_[kCopy], &QPushButton::clicked, this, &TuningPage::CopyRows);
  connect(buttons_[kCut], &QPushButton::clicked, this, &TuningPage::CutRows);
  connect(buttons_[kPaste], &QPushButton::clicked, this, &TuningPage::PasteRows);
  connect(buttons_[kFind], &QPushButton::clicked, this, [this] {
    search_dialog()->show();
    search_dialog_->raise();
  });
}

// Everything but the buttons: the target box, the encryption list, the tabs, the clipboard,
// the grids and the undo keys.
void TuningPage::ConnectControls() {
  connect(target_, &QLineEdit::textChanged, this, &TuningPage::FilterTargetBox);
  connect(target_, &QLineEdit::editingFinished, this, [this] {
    const int rows =
        channel_page_in_front() ? list_.channels().rows() : list_.transponders().rows();
    if (target_->text().toInt() >= rows) target_->setText(QStringLiteral("1"));
  });
  // Only a change of the choice acts: picking the entry already shown changes no row. The
  // page's own updates of the list are not changes.
  connect(encryption_, &QComboBox::currentIndexChanged, this, [this](int index) {
    int top, bottom;
    if (index < 0 || !Selection(channel_view_, &top, &bottom)) return;
    list_.SetEncryption(top, bottom, kEncryptionValues[index]);
    RefreshAll();
  });
  connect(inner_, &QTabWidget::currentChanged, this, [this] { UpdateEnabling(); });
  // Text copied in another program can make "Pegar" available too.
  connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
          [this] { UpdateEnabling(); });
  connect(channel_view_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this] { RefreshDetails(); });
  connect(channel_view_, &QTableView::doubleClicked, this, [this] {
    if (list_.held()) EditRow();
  });
  connect(transponder_view_, &QTableView::doubleClicked, this, [this] {
    if (list_.flash_held()) EditRow();
  });
  auto* undo = new QShortcut(QKeySequence::Undo, this, this, &TuningPage::Undo,
                             Qt::WidgetWithChildrenShortcut);
  auto* redo = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), this, this,
                             &TuningPage::Redo, Qt::WidgetWithChildrenShortcut);
  (void)undo;
  (void)redo;
}

TuningPage::~TuningPage() = default;

QTableView* TuningPage::MakeView(ChannelTableModel* model, QWidget* page) {
  auto* view = new QTableView(page);
  view->setModel(model);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setSelectionMode(QAbstractItemView::ContiguousSelection);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // Tab goes on to the next control; the arrows move from cell to cell.
  view->setTabKeyNavigation(false);
  view->setWordWrap(false);
  const QFontMetrics metrics(view->font());
  view->verticalHeader()->setDefaultSectionSize(metrics.height() + 4);
  view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  view->verticalHeader()->setSectionsMovable(true);
  view->horizontalHeader()->setHighlightSections(false);
  view->horizontalHeader()->setMinimumSectionSize(8);
  // The columns share the table's width by fixed proportions, each widened where its heading
  // or its values would not fit: a name takes sixteen characters, a frequency eight digits and
  // a decimal, the rest five digits; the row numbers, four.
  const bool transponder_table = model->transponders();
  new ColumnSizer(
      view,
      [transponder_table](int width) {
        const auto shares = transponder_table ? TransponderTableColumnWidths(width)
                                              : ChannelTableColumnWidths(width);
        return std::vector<int>(shares.begin(), shares.end());
      },
      [view, model](int c) {
        const QFontMetrics metrics(view->font());
        if (c < 0) return metrics.horizontalAdvance(QStringLiteral("0000")) + 10;
        const QString heading = model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        const QString widest = c != 0                  ? QStringLiteral("65535")
                               : model->transponders() ? QStringLiteral("12700000,5")
                                                       : QString(16, QLatin1Char('n'));
        return std::max(metrics.horizontalAdvance(heading) + 14,
                        metrics.horizontalAdvance(widest) + 10);
      });
  view->installEventFilter(this);
  const bool transponders = model->transponders();
  connect(view->verticalHeader(), &QHeaderView::sectionMoved, this,
          [this, view, transponders](int, int from, int to) {
            // The list moves the row; the header goes back to showing rows in order.
            QHeaderView* header = view->verticalHeader();
            const QSignalBlocker block(header);
            header->moveSection(to, from);
            RowDragged(transponders, from + 1, to + 1);
          });
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(view);
  return view;
}

void TuningPage::ApplyTexts() {
  const Texts& t = services_.texts;
  inner_->setTabText(0, t.Key(text_key::kTablaDeCanales));
  inner_->setTabText(1, t.Key(text_key::kTablaDeTranspondedores));
  // Headings of another length may need other widths.
  for (QTableView* view : {channel_view_, transponder_view_})
    if (auto* sizer = view->findChild<ColumnSizer*>()) sizer->Apply();
  for (int b = 0; b < kButtonCount; ++b) buttons_[b]->setText(t.Key(kButtonKeys[b]));
  details_group_->setTitle(t.Key(text_key::kSintonizacionTranspondedor));
  for (int i = 0; i < 8; ++i)
    detail_labels_[static_cast<size_t>(i)]->setText(t.Key(kDetailKeys[i]));
  status_group_->setTitle(t.Key(text_key::kSintonizacionStatus));
  for (int i = 0; i < 4; ++i) status_[static_cast<size_t>(i)]->setText(t.Key(kStatusKeys[i]));
  encryption_label_->setText(t.Key(text_key::kEncriptacion));
  FillEncryptionList(encryption_, t);
  sections_group_->setTitle(t.Key(text_key::kSintonizacionSeccionesActivas));
  section_labels_[0]->setText(t.Key(text_key::kCanalesTCS));
  section_labels_[1]->setText(t.Key(text_key::kTranspTPT));
  list_.ApplyTexts(t);
  if (channel_dialog_) channel_dialog_->ApplyTexts();
  if (transponder_dialog_) transponder_dialog_->ApplyTexts();
  if (section_dialog_) section_dialog_->ApplyTexts();
  if (search_dialog_) search_dialog_->ApplyTexts();
  RefreshAll();
}

// The dialogs belong to the window, so that they stay usable while the pages are disabled.
// Seldom all needed, they are built on first use; each applies the current texts as it is built.
TForm2* TuningPage::channel_dialog() {
  if (!channel_dialog_) {
    channel_dialog_ = new TForm2(services_, window());
    connect(channel_dialog_, &TForm2::RowWritten, this, [this] { RefreshAll(); });
  }
  return channel_dialog_;
}

TForm3* TuningPage::transponder_dialog() {
  if (!transponder_dialog_) {
    transponder_dialog_ = new TForm3(services_, window());
    connect(transponder_dialog_, &TForm3::RowWritten, this, [this] { RefreshAll(); });
  }
  return transponder_dialog_;
}

TForm4* TuningPage::section_dialog() {
  if (!section_dialog_) section_dialog_ = new TForm4(services_, window());
  return section_dialog_;
}

TForm5* TuningPage::search_dialog() {
  if (!search_dialog_) {
    search_dialog_ = new TForm5(services_, window());
    connect(search_dialog_, &TForm5::SearchRequested, this, &TuningPage::Search);
  }
  return search_dialog_;
}

SectionChooser& TuningPage::chooser() { return chooser_ ? *chooser_ : *section_dialog(); }

void TuningPage::ApplyTableSizes() {
  target_->setText(QStringLiteral("1"));
  target_->setMaxLength(ChannelRowsOf(services_.settings) > 1000 ? 4 : 3);
  channels_.ApplyTableSettings();
  RefreshAll();
}

void TuningPage::RenameSatellite(int satellite, const QString& new_name) {
  list_.RenameSatellite(satellite, new_name);
  RefreshAll();
}

bool TuningPage::channel_page_in_front() const { return inner_->currentIndex() == 0; }

QTableView* TuningPage::front_view() const {
  return channel_page_in_front() ? channel_view_ : transponder_view_;
}

bool TuningPage::Selection(QTableView* view, int* top, int* bottom) const {
  if (view == nullptr || view->model() == nullptr || !view->selectionModel()) return false;
  const QModelIndexList rows = view->selectionModel()->selectedRows();
  if (rows.isEmpty()) {
    const QModelIndex current = view->currentIndex();
    if (!current.isValid()) return false;
    *top = *bottom = current.row() + 1;
    return true;
  }
  *top = INT_MAX;
  *bottom = 0;
  for (const QModelIndex& index : rows) {
    *top = std::min(*top, index.row() + 1);
    *bottom = std::max(*bottom, index.row() + 1);
  }
  return true;
}

void TuningPage::SelectRows(QTableView* view, int top, int bottom) {
  QAbstractItemModel* model = view->model();
  const int last = model->rowCount() - 1;
  top = std::clamp(top - 1, 0, last);
  bottom = std::clamp(bottom - 1, top, last);
  view->setCurrentIndex(model->index(top, 0));
  view->selectionModel()->select(
      QItemSelection(model->index(top, 0), model->index(bottom, model->columnCount() - 1)),
      QItemSelectionModel::ClearAndSelect);
}

void TuningPage::RefreshAll() {
  if (channel_model_ == nullptr) return;
  channel_model_->Refresh();
  transponder_model_->Refresh();
  ShowSections();
  UpdateEnabling();
  RefreshDetails();
  emit ListChanged();
}

void TuningPage::ShowSections() {
  sections_[0]->setText(list_.ChannelSectionText());
  sections_[1]->setText(list_.TransponderSectionText());
}

void TuningPage::UpdateEnabling() {
  if (buttons_[kLoad] == nullptr) return;
  const bool held = list_.held();
  const bool flash = list_.flash_held();
  const bool channels = channel_page_in_front();
  const bool rows = held && (channels || flash);
  // Through the page lock: while an operation runs, these wait for its end.
  for (Button b : {kSave, kCopy, kMove, kDelete, kEdit, kCut})
    PageLock::SetEnabled(buttons_[b], rows);
  PageLock::SetEnabled(target_, rows);
  PageLock::SetEnabled(buttons_[kFind], held && channels);
  PageLock::SetEnabled(buttons_[kAdd], flash);
  const int kind = ClipboardKindNow();
  PageLock::SetEnabled(buttons_[kPaste],
                       rows && kind == (channels ? kClipboardChannels : kClipboardTransponders));
  inner_->setTabEnabled(1, !held || flash);
  for (QCheckBox* box : status_) PageLock::SetEnabled(box, held);
  PageLock::SetEnabled(encryption_, held);
}

void TuningPage::RefreshDetails() {
  int top, bottom;
  const bool selected = Selection(channel_view_, &top, &bottom);
  const TextGrid& channels = list_.channels();
  const int t = selected ? channels.Cell(top, kChannelTransponder).toInt() : 0;
  const bool shown = selected && list_.flash_held() && t >= 1 && t < list_.transponders().rows();
  if (shown) {
    const TextGrid& transponders = list_.transponders();
    details_[0]->setText(channels.Cell(top, kChannelSatellite));
    details_[1]->setText(list_.TunedFrequency(t));
    const int columns[] = {kPolarity, kFec, kSymbolRate, kChannels, kBand};
    for (int i = 0; i < 5; ++i)
      details_[static_cast<size_t>(i + 2)]->setText(transponders.Cell(t, columns[i]));
    details_[7]->setText(QString::number(t));
  } else {
    for (QLabel* value : details_) value->clear();
  }
  if (selected && list_.held()) {
    const int status = static_cast<int>(ParseHex(channels.Cell(top, kStatus)) & 0xFF);
    for (int i = 0; i < 4; ++i)
      status_[static_cast<size_t>(i)]->setChecked(status & kStatusBits[i]);
    const int system = status >> 4;
    const QSignalBlocker quiet(encryption_);
    encryption_->setCurrentIndex(system % 2 == 0 && system >= 2 && system <= 10 ? system / 2 : 0);
  }
}

void TuningPage::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  UpdateEnabling();
}

void TuningPage::FilterTargetBox() {
  const QString kept = KeepDigits(target_->text(), QStringLiteral("1"));
  if (kept != target_->text()) target_->setText(kept);
}

bool TuningPage::SettleEdits() {
  if (!list_.modified()) return true;
  return SettleUnsavedEdits(services_, text_key::kSintonizacion, QString(),
                            [this] { return SaveImageFile(); });
}

void TuningPage::LoadImageFile() {
  if (!SettleEdits()) return;
  const FileChoice choice =
      services_.dialogs.ChooseOpen({services_.texts.Key(kFlashFilterKey), 1, QString()});
  if (!choice.accepted || choice.path.isEmpty()) return;
  services_.host.DisablePages();
  const bool ram = choice.filter_index == 2;
  const ChannelLoad load = channels_.OpenImageFile(
      choice.path, ram ? ChannelFileKind::kRam : ChannelFileKind::kFlash, chooser());
  ShowLoadFailure(load);
  if (load && ram)
    inner_->setCurrentIndex(0);
  else if (load)
    ShowLiveSectionsInSettings();
  services_.host.EnablePages();
  RefreshAll();
}

bool TuningPage::LoadDumpedImage(const JtagDumpRequest& request, const JtagDumpResult& result) {
  const ChannelLoad load = channels_.TakeDump(request, result, chooser());
  ShowLoadFailure(load);
  if (load) {
    inner_->setCurrentIndex(0);
    if (request.source != DumpSource::kRam) ShowLiveSectionsInSettings();
  }
  RefreshAll();
  return static_cast<bool>(load);
}

void TuningPage::ShowLoadFailure(const ChannelLoad& load) {
  // An unreadable file's reason is the reader's own: missing, refused, too long.
  if (!load.error.isEmpty()) services_.host.ShowError(load.error);
}

void TuningPage::ShowLiveSectionsInSettings() {
  services_.settings.SetInt(Key::kTcs, PositionIndex(list_.tcs_block()));
  services_.settings.SetInt(Key::kTpt, PositionIndex(list_.tpt_block()));
  emit TableSettingsChanged();
}

void TuningPage::AddImageFile() {
  if (!list_.flash_held()) return;
  const FileChoice choice =
      services_.dialogs.ChooseOpen({services_.texts.Key(kAddFilterKey), 1, QString()});
  if (!choice.accepted || choice.path.isEmpty()) return;
  services_.host.DisablePages();
  const ChannelLoad added =
      channels_.OpenImageFile(choice.path, ChannelFileKind::kAddedFlash, chooser());
  ShowLoadFailure(added);
  // The position lists show the live sections again, as after a load.
  if (added.kind != ChannelLoad::Kind::kUnreadable) ShowLiveSectionsInSettings();
  services_.host.EnablePages();
  RefreshAll();
}

bool TuningPage::SaveImageFile() {
  if (!list_.held()) return false;
  const FileChoice choice = services_.dialogs.ChooseSave(
      {services_.texts.Key(kSaveFilterKey), services_.dialogs.last_save_filter_index(), QString()});
  if (!choice.accepted || choice.path.isEmpty()) return false;
  services_.host.DisablePages();
  const bool exported =
      choice.filter_index == kSaveTextIndex || choice.filter_index == kSaveHtmlIndex;
  QString error;
  const bool written = exported
                           ? channels_.ExportTable(choice.path, !channel_page_in_front(),
                                                   choice.filter_index == kSaveHtmlIndex, &error)
                           : channels_.SaveImageFile(choice.path, channels_.ChosenBlocks(), &error);
  if (!written) services_.host.ShowError(error);
  services_.host.EnablePages();
  RefreshAll();
  return written && !exported;
}

void TuningPage::MoveRows() {
  QTableView* view = front_view();
  int top, bottom;
  if (!list_.held() || !Selection(view, &top, &bottom)) return;
  const int wanted = target_->text().toInt();
  const bool channels = channel_page_in_front();
  const int rows = channels ? list_.channels().rows() : list_.transponders().rows();
  if (wanted < 1 || wanted > rows - 1) target_->setText(QStringLiteral("1"));
  if (channels)
    list_.MoveChannels(top, bottom, wanted);
  else
    list_.MoveTransponders(top, bottom, wanted);
  RefreshAll();
  SelectRows(view, top, bottom);
}

void TuningPage::DeleteRows() {
  int top, bottom;
  if (!list_.held() || !Selection(front_view(), &top, &bottom)) return;
  if (channel_page_in_front())
    list_.DeleteChannels(top, bottom);
  else
    list_.DeleteTransponders(top, bottom);
  RefreshAll();
}

bool TuningPage::CopyRows() {
  int top, bottom;
  if (!list_.held() || !Selection(front_view(), &top, &bottom)) return false;
  QGuiApplication::clipboard()->setText(list_.CopyRows(!channel_page_in_front(), top, bottom));
  UpdateEnabling();
  return true;
}

void TuningPage::CutRows() {
  // Rows that could not be copied stay where they are.
  if (CopyRows()) DeleteRows();
}

void TuningPage::PasteRows() {
  int top, bottom;
  if (!list_.held() || !Selection(front_view(), &top, &bottom)) top = 1;
  const QString text = QGuiApplication::clipboard()->text();
  const bool transponders = !channel_page_in_front();
  if (transponders && !list_.flash_held()) return;
  const PasteResult pasted =
      transponders ? list_.PasteTransponders(top, text) : list_.PasteChannels(top, text);
  if (pasted.kind == PasteResult::Kind::kRowWouldDrop)
    services_.host.ShowError(list_.PasteRefusalText(transponders, pasted, services_.texts));
  RefreshAll();
}

void TuningPage::EditRow() {
  int top, bottom;
  if (!list_.held() || !Selection(front_view(), &top, &bottom)) return;
  channels_.SyncContext();
  if (channel_page_in_front())
    channel_dialog()->Mostrar(top);
  else if (list_.flash_held())
    transponder_dialog()->Mostrar(top);
}

void TuningPage::Undo() {
  if (list_.Undo()) FollowTables();
}

void TuningPage::Redo() {
  if (list_.Redo()) FollowTables();
}

void TuningPage::FollowTables() {
  // Table sizes and satellite names come back with the tables; the settings follow them.
  Settings& settings = services_.settings;
  settings.SetInt(Key::kNumCanales, list_.channels().rows() > 1000 ? 1 : 0);
  settings.SetInt(Key::kNumTransp, list_.transponders().rows() > 100 ? 1 : 0);
  QString old_name;
  settings.SetText(Key::kSatA, list_.context().satellite_a);
  settings.TakeSatelliteRename(0, &old_name);
  settings.SetText(Key::kSatB, list_.context().satellite_b);
  settings.TakeSatelliteRename(1, &old_name);
  target_->setMaxLength(list_.channels().rows() > 1000 ? 4 : 3);
  emit TableSettingsChanged();
  RefreshAll();
}

void TuningPage::StatusClicked(int index, bool checked) {
  int top, bottom;
  if (!list_.held() || !Selection(channel_view_, &top, &bottom)) return;
  list_.SetStatusBit(top, bottom, kStatusBits[index], checked);
  RefreshAll();
}

void TuningPage::RowDragged(bool transponders, int from, int to) {
  if (!list_.held() || (transponders && !list_.flash_held())) return;
  if (transponders)
    list_.DragTransponderRow(from, to);
  else
    list_.DragChannelRow(from, to);
  RefreshAll();
  SelectRows(transponders ? transponder_view_ : channel_view_, to, to);
}

void TuningPage::Search(const QString& text) {
  int top, bottom;
  if (!text.isEmpty()) {
    const int after = Selection(channel_view_, &top, &bottom) ? top : 0;
    const int found = list_.FindChannel(after, text);
    if (found > 0)
      SelectRows(channel_view_, found, found);
    else
      services_.host.ShowError(services_.texts.Slot(kNoMatchSlot));
  }
  RefreshDetails();
}

bool TuningPage::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || !list_.held())
    return QWidget::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  if (watched == channel_view_) {
    ChannelKey(key);
    return key->isAccepted();
  }
  if (watched == transponder_view_ && list_.flash_held()) {
    TransponderKey(key);
    return key->isAccepted();
  }
  return QWidget::eventFilter(watched, event);
}

void TuningPage::ChannelKey(QKeyEvent* key) {
  key->accept();
  const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
  int top, bottom;
  if (key->matches(QKeySequence::Copy)) {
    CopyRows();
  } else if (key->matches(QKeySequence::Paste)) {
    PasteRows();
  } else if (key->matches(QKeySequence::Cut)) {
    CutRows();
  } else if (key->key() == Qt::Key_Backspace && mods == Qt::NoModifier) {
    DeleteRows();
  } else if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
             mods == Qt::NoModifier) {
    EditRow();
  } else if (key->key() >= Qt::Key_1 && key->key() <= Qt::Key_6 && mods == Qt::NoModifier &&
             Selection(channel_view_, &top, &bottom)) {
    const int digit = key->key() - Qt::Key_0;
    list_.SetEncryption(top, bottom, digit == 6 ? 0x00 : 0x20 * digit);
    RefreshAll();
  } else {
    key->ignore();
    return;
  }
  if (!list_.ram()) RefreshDetails();
}

void TuningPage::TransponderKey(QKeyEvent* key) {
  key->accept();
  if (key->matches(QKeySequence::Copy))
    CopyRows();
  else if (key->matches(QKeySequence::Paste))
    PasteRows();
  else if (key->matches(QKeySequence::Cut))
    CutRows();
  else if (key->key() == Qt::Key_Backspace)
    DeleteRows();
  else if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
    EditRow();
  else
    key->ignore();
}

}  // namespace tornavo

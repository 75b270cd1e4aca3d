#include "gui/main_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QProgressBar>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>

#include "core/eeprom/eeprom_transfer.h"
#include "core/eeprom/write_question.h"
#include "core/jtag/dump_hand_over.h"
#include "core/lpt/firmware_settings.h"
#include "core/lpt/firmware_upgrade.h"
#include "core/lpt/port_backends.h"
#include "core/lpt/port_locator.h"
#include "core/runtime/backup_store.h"
#include "core/runtime/blocking_runner.h"
#include "core/runtime/clock.h"
#include "core/serial/port_choices.h"
#include "core/serial/qt_serial_transport.h"
#include "core/session/jtag_service.h"
#include "core/session/service_session.h"
#include "core/settings/ini_folder.h"
#include "core/settings/language.h"
#include "core/texts/text_names.h"
#include "gui/file_dialogs.h"
#include "gui/log_view.h"
#include "gui/message_boxes.h"
#include "gui/pages/about_page.h"
#include "gui/pages/config_page.h"
#include "gui/pages/eeprom_page.h"
#include "gui/pages/eeprom_transfer_controls.h"
#include "gui/pages/firmware_page.h"
#include "gui/pages/hex_editor.h"
#include "gui/pages/jtag_dump_page.h"
#include "gui/pages/log_task_page.h"
#include "gui/pages/parallel_group.h"
#include "gui/pages/picture_page.h"
#include "gui/pages/serial_group.h"
#include "gui/pages/terminal_page.h"
#include "gui/pages/tuning_page.h"
#include "gui/wheel_guard.h"
#include "gui/when_on_screen.h"
#include "gui/window_layout.h"

namespace tornavo {

namespace {

constexpr const char* kWindowTitle = "Tornavo v4.0 (FINAL)";

int ClampToInt(int64_t value) {
  return static_cast<int>(std::clamp<int64_t>(value, INT_MIN / 2, INT_MAX / 2));
}

// The rows a dump of length bytes from address fills whole.
EepromRows WholeRowsOf(uint32_t address, uint32_t length) {
  const uint64_t first = (uint64_t{address} + kEepromColumns - 1) / kEepromColumns;
  const uint64_t end =
      std::min<uint64_t>(uint64_t{address} + length, kEepromBytes) / kEepromColumns;
  if (first >= end) return {};
  return RowsBetween(static_cast<int>(first), static_cast<int>(end) - 1);
}

}  // namespace

TForm1::TForm1(WindowOptions options, QWidget* parent) : QMainWindow(parent) {
  setWindowTitle(QString::fromLatin1(kWindowTitle));
  QCoreApplication::instance()->installEventFilter(new WheelGuard(this));
  dialogs_ = options.dialogs ? std::move(options.dialogs) : std::make_unique<QtFileDialogs>(this);
  boxes_ = options.boxes ? std::move(options.boxes) : std::make_unique<QtMessageBoxes>(this);
  transport_ = options.transport ? std::move(options.transport)
                                 : std::make_unique<QtSerialTransport>(&texts_);
  clock_ = std::make_unique<SteadyClock>();
  // Parallel transfers run on a worker, so that the window repaints while they run.
  session_ = std::make_unique<ServiceSession>(*transport_, *this, texts_, *clock_,
                                              std::make_unique<WorkerRunner>(*this));
  port_backends_ = std::make_unique<PortBackends>(options.virtual_cable);
  jtag_service_ = std::make_unique<JtagService>(settings_, texts_, *port_backends_);
  session_->firmware_upgrade().SetPortOpener(
      [this](QString* error) { return OpenParallelPort(error); });
  port_choices_ = std::make_unique<PortChoices>(*transport_, *this, settings_);
  extra_ports_ = options.extra_ports;
  select_port_ = options.select_port;
  FillPortList(options.list_ports_in_background);
  // The pages fill their lists from the loaded settings, so they load first.
  settings_.Load(ResolveIniFolder(options.ini_dir, QCoreApplication::applicationDirPath()),
                 port_choices_->port_names());
  // The pages take their captions as they are built.
  LoadLanguageTexts();
  services_.reset(new AppServices{texts_, *this, *dialogs_, *boxes_, *transport_, session_->link(),
                                  session_->terminal(), symbol_rates_, picture_service_,
                                  session_->image(), settings_, channels_, channels_.list()});

  pages_ = new QTabWidget(this);
  eeprom_ = new EepromPage(*services_, pages_);
  BindEepromPage();
  firmware_ = new FirmwarePage(*services_, session_->firmware_upgrade(), session_->parallel_check(),
                               pages_);
  // The JTAG panel borrows its captions from the other two pages.
  jtag_ = new JtagDumpPage(
      *services_,
      {session_->runner(), *jtag_service_,
       [this](const JtagDumpRequest& request, const JtagDumpResult& result) {
         HandOverDump(request, result);
       },
       [this] { return ParallelLocator(); },
       [this](const JtagDumpRequest& request) { return SettleEditsBeforeDump(request); },
       [this](const JtagSendRequest& request) {
         // Rows the request does not reach are the operation's to refuse.
         const EepromRows rows = RowsOfAddresses(request.destination, request.length);
         return rows.none() || ConfirmEepromWrite(rows, request.port);
       }},
      pages_);
  terminal_page_ = new TerminalPage(*services_, pages_);
  // The tuning page is built on first show (or use) too.
  tuning_holder_ = new QWidget(pages_);
  (new QVBoxLayout(tuning_holder_))->setContentsMargins(0, 0, 0, 0);
  picture_ = new PicturePage(*services_, pages_);
  // The configuration page, costly and seldom the first shown, is built on first show.
  config_holder_ = new QWidget(pages_);
  (new QVBoxLayout(config_holder_))->setContentsMargins(0, 0, 0, 0);
  about_ = new AboutPage(*services_, pages_);
  for (QWidget* page :
       {static_cast<QWidget*>(eeprom_), static_cast<QWidget*>(firmware_),
        static_cast<QWidget*>(jtag_), static_cast<QWidget*>(terminal_page_), tuning_holder_,
        static_cast<QWidget*>(picture_), config_holder_, static_cast<QWidget*>(about_)})
    pages_->addTab(page, QString());
  connect(pages_, &QTabWidget::currentChanged, this, [this](int index) {
    if (index == static_cast<int>(Page::kConfig)) BuildConfigPage();
    if (index == static_cast<int>(Page::kTuning)) tuning_page();
  });
  // The named fields are built when first shown, perhaps while an operation runs.
  connect(eeprom_->inner_pages(), &QTabWidget::currentChanged, this,
          [this] { page_lock_.AddPage(eeprom_->interpreted_page()); });
  // Tight tabs, so that all eight captions fit the smallest window width.
  pages_->tabBar()->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 3px 5px; }"));
  setCentralWidget(pages_);
  ApplyTexts();
  ApplyLoadedSettings();
}

void TForm1::FillPortList(bool in_background) {
  if (in_background) {
    // Until the system's ports arrive the list holds the given ones alone.
    ports_taken_ = false;
    port_choices_->SetPortNames({}, extra_ports_);
    // Listing (and then opening the port) starts once the window is on screen, so that it
    // does not compete with the window's start.
    QMetaObject::invokeMethod(
        this,
        [this] {
          WhenOnScreen(this, [this] {
            if (ports_taken_) return;
            port_lister_ = std::thread([this] {
              listed_ports_ = QtSerialTransport::AvailablePorts();
              // By name, carrying nothing: the list reaches this thread through the join.
              QMetaObject::invokeMethod(this, "TakeListedPorts", Qt::QueuedConnection);
            });
          });
        },
        Qt::QueuedConnection);
  } else {
    port_choices_->SetPortNames(QtSerialTransport::AvailablePorts(), extra_ports_);
  }
}

void TForm1::BindEepromPage() {
  transfer_controls_ = new EepromTransferControls(texts_, session_->eeprom_transfer(), eeprom_);
  eeprom_->button_column()->insertWidget(0, transfer_controls_);
  session_->eeprom_transfer().SetOnStarted([this] {
    eeprom_->inner_pages()->setCurrentIndex(0);
    eeprom_->hex_editor()->HighlightRows({});
  });
  session_->eeprom_transfer().SetRefreshView([this] {
    eeprom_->RefreshInterpretedView();
    // Before the closing message, so that the rows it names are in view behind it.
    ColourDifferingRows();
  });
  transfer_controls_->SetGuard([this](EepromTask task, EepromRange range) {
    const int row = std::clamp(session_->image().selected_row(), 1, kEepromRows) - 1;
    const EepromRows rows = RowsOfRange(range, row);
    return task == EepromTask::kWrite ? ConfirmEepromWrite(rows, transport_->settings().name)
                                      : eeprom_->SettleEdits(rows);
  });
  session_->eeprom_transfer().SetOnFinished([this] { FollowTransferEnd(); });
  session_->eeprom_transfer().SetBackups(
      [this] { return BackupsWhen(settings_.Bool(Key::kCopiaSeguridad)); });
  connect(&session_->image(), &EepromImage::CellsChanged, this, &TForm1::ShowUnsavedInTitle);
  connect(&session_->image(), &EepromImage::KeptChanged, this, &TForm1::ShowUnsavedInTitle);
}

QString TForm1::ParallelLocator() const {
  return ParallelLocatorOf(settings_, PpdevLocatorsPresent(),
                           port_backends_->virtual_cable() != nullptr);
}

std::unique_ptr<PortRegisters> TForm1::OpenParallelPort(QString* error) {
  return port_backends_->Open(ParallelLocator(), error);
}

void TForm1::ApplyLoadedSettings() {
  resize(static_cast<int>(settings_.Int(Key::kWindowWidth)),
         static_cast<int>(settings_.Int(Key::kWindowHeight)));
  // A stored place on no screen (another monitor layout, a damaged file) would leave the
  // window out of reach.
  QList<QRect> screens;
  if (const QScreen* primary = QGuiApplication::primaryScreen()) screens << primary->geometry();
  for (const QScreen* screen : QGuiApplication::screens())
    if (screen != QGuiApplication::primaryScreen()) screens << screen->geometry();
  move(PlaceOnScreens(
      QRect(QPoint(ClampToInt(settings_.Int(Key::kLeft)), ClampToInt(settings_.Int(Key::kTop))),
            size()),
      screens));
  const int page = static_cast<int>(settings_.Int(Key::kPestanaActiva));
  if (page >= 0) pages_->setCurrentIndex(page);
  dialogs_->BindSettings(&settings_);
  session_->terminal().SetAppendChecksum(settings_.Bool(Key::kChecksum));
  SelectStoredPort();
}

void TForm1::SelectStoredPort() {
  // A port given on the command line wins over the stored one.
  const int port = select_port_.isEmpty()
                       ? static_cast<int>(settings_.Int(Key::kPuerto))
                       : static_cast<int>(port_choices_->port_names().indexOf(select_port_));
  port_choices_->Select(port, static_cast<int>(settings_.Int(Key::kVelocidad)),
                        static_cast<int>(settings_.Int(Key::kBitsDatos)),
                        static_cast<int>(settings_.Int(Key::kParidad)),
                        static_cast<int>(settings_.Int(Key::kBitsParada)),
                        static_cast<int>(settings_.Int(Key::kControlFlujo)));
  if (config_) config_->ShowSettings();
  port_choices_->ApplyAllAndOpen();
  terminal_page_->ShowPort();
}

void TForm1::HandOverDump(const JtagDumpRequest& request, const JtagDumpResult& result) {
  RouteDump(request, result, *this);
}

void TForm1::TakeChannelDump(const JtagDumpRequest& request, const JtagDumpResult& result) {
  if (tuning_page()->LoadDumpedImage(request, result))
    pages_->setCurrentIndex(static_cast<int>(Page::kTuning));
}

void TForm1::TakePicture(const QByteArray& bytes) {
  picture_->ShowCapture(bytes);
  pages_->setCurrentIndex(static_cast<int>(Page::kPicture));
}

void TForm1::TakeEeprom(uint32_t address, const QByteArray& bytes) {
  eeprom_->hex_editor()->HighlightRows({});
  session_->image().PlaceReceived(address, bytes);
  eeprom_->MarkRowsRead(WholeRowsOf(address, static_cast<uint32_t>(bytes.size())));
  eeprom_->RefreshInterpretedView();
  eeprom_->update();
  pages_->setCurrentIndex(static_cast<int>(Page::kEeprom));
}

bool TForm1::ConfirmEepromWrite(const EepromRows& rows, const QString& port) {
  // Rows never read or loaded (the blank grid's) are never a routine write.
  const EepromWriteQuestion question{rows, rows & eeprom_->rows_not_loaded(),
                                     eeprom_->loaded_file(), port};
  const QString text = EepromWriteQuestionText(question, texts_);
  if (!question.routine()) return boxes_->Confirm(text);
  if (!settings_.Bool(Key::kPreguntarEnviarEeprom)) return true;
  bool stop_asking = false;
  if (!boxes_->ConfirmWithOption(text, texts_.Key(text_key::kNoVolverAPreguntar), &stop_asking))
    return false;
  // Ticked and then cancelled, the box has not stopped anything: it keeps asking.
  if (stop_asking) settings_.SetBool(Key::kPreguntarEnviarEeprom, false);
  return true;
}

bool TForm1::SettleEditsBeforeDump(const JtagDumpRequest& request) {
  switch (request.source) {
    case DumpSource::kRam:
    case DumpSource::kFlash:
      return !channels_.list().modified() || tuning_page()->SettleEdits();
    case DumpSource::kEeprom:
      return eeprom_->SettleEdits(
          RowsOfAddresses(request.address, RoundedDumpLength(request.length)));
    case DumpSource::kImage:
    case DumpSource::kFile:
      break;
  }
  return true;
}

void TForm1::FollowTransferEnd() {
  const EepromTransfer& transfer = session_->eeprom_transfer();
  if (transfer.task() == EepromTask::kRead && transfer.outcome() == TransferOutcome::kDone)
    eeprom_->MarkRowsRead(transfer.rows());
}

void TForm1::ColourDifferingRows() {
  const EepromTransfer& transfer = session_->eeprom_transfer();
  if (transfer.task() != EepromTask::kVerify) return;
  EepromRows differing;
  for (int row : transfer.differing_rows()) differing.set(static_cast<size_t>(row));
  eeprom_->hex_editor()->HighlightRows(differing);
}

void TForm1::ShowUnsavedInTitle() {
  QStringList pages;
  if (session_->image().EditedRows().any()) pages << texts_.Key(text_key::kEeprom);
  if (channels_.list().modified()) pages << texts_.Key(text_key::kSintonizacion);
  QString title = QString::fromLatin1(kWindowTitle);
  if (!pages.isEmpty())
    title += QStringLiteral(" - ") +
             texts_.Format(text_key::kSinGuardar, {pages.join(QStringLiteral(", "))});
  setWindowTitle(title);
}

void TForm1::TakeListedPorts() {
  if (ports_taken_) return;
  ports_taken_ = true;
  // A window closed before its listing began lists the ports now.
  if (port_lister_.joinable())
    port_lister_.join();
  else
    listed_ports_ = QtSerialTransport::AvailablePorts();
  // A port chosen meanwhile (from the given ones) stays chosen, by its name.
  const int chosen = port_choices_->port();
  const QString chosen_name = chosen >= 0 ? port_choices_->port_names()[chosen] : QString();
  port_choices_->SetPortNames(listed_ports_, extra_ports_);
  settings_.SetPortNames(port_choices_->port_names());
  if (config_) config_->ShowPortNames();
  if (chosen >= 0) {
    port_choices_->Select(static_cast<int>(port_choices_->port_names().indexOf(chosen_name)),
                          port_choices_->baud(), port_choices_->data_bits(),
                          port_choices_->parity(), port_choices_->stop_bits(),
                          port_choices_->flow());
    if (config_) config_->ShowSettings();
    return;
  }
  SelectStoredPort();
}

TuningPage* TForm1::tuning_page() {
  if (!tuning_) {
    tuning_ = new TuningPage(*services_, tuning_holder_);
    tuning_holder_->layout()->addWidget(tuning_);
    // Shown with its holder at once, rather than from the event loop.
    tuning_->show();
    page_lock_.AddPage(tuning_);
    connect(tuning_, &TuningPage::ListChanged, this, &TForm1::ShowUnsavedInTitle);
  }
  return tuning_;
}

ConfigPage* TForm1::config_page() {
  BuildConfigPage();
  return config_;
}

void TForm1::BuildConfigPage() {
  if (config_) return;
  config_ = new ConfigPage(*services_, *port_choices_, config_holder_);
  config_holder_->layout()->addWidget(config_);
  page_lock_.AddPage(config_);
  config_->parallel_group()->SetBackendChoices(PpdevLocatorsPresent(),
                                               port_backends_->virtual_cable() != nullptr);
  TuningPage* tuning = tuning_page();
  connect(config_, &ConfigPage::TableSizesChanged, tuning, &TuningPage::ApplyTableSizes);
  connect(config_, &ConfigPage::SatelliteRenamed, tuning,
          [tuning](int satellite, const QString&, const QString& new_name) {
            tuning->RenameSatellite(satellite, new_name);
          });
  connect(tuning, &TuningPage::TableSettingsChanged, config_, &ConfigPage::ShowSettings);
  connect(config_, &ConfigPage::LanguageChosen, this, &TForm1::ChangeLanguage);
}

void TForm1::LoadLanguageTexts() {
  const LanguageLoad load = LoadLanguage(settings_.ini_folder(), settings_.language(), texts_);
  InstallQtTranslation(load.qt_language);
}

void TForm1::InstallQtTranslation(const QString& code) {
  QCoreApplication::removeTranslator(&qt_translator_);
  qt_language_.clear();
  // Without the file Qt keeps its English texts.
  if (!qt_translator_.load(QStringLiteral("qtbase_") + code,
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    return;
  QCoreApplication::installTranslator(&qt_translator_);
  qt_language_ = code;
}

void TForm1::ChangeLanguage() {
  // The selections are indexes in the settings, which the texts leave alone: the lists show
  // the same entries in the new language.
  LoadLanguageTexts();
  ApplyTexts();
  port_choices_->ApplyParity(port_choices_->parity());
  settings_.ApplyModel();
  if (config_) config_->ShowSettings();
}

void TForm1::SaveSettings() {
  // The stored port is kept, or replaced by the chosen one, only once the list is whole.
  TakeListedPorts();
  settings_.SetInt(Key::kTop, y());
  settings_.SetInt(Key::kLeft, x());
  settings_.SetInt(Key::kWindowWidth, width());
  settings_.SetInt(Key::kWindowHeight, height());
  settings_.SetInt(Key::kPestanaActiva, pages_->currentIndex());
  settings_.SetBool(Key::kChecksum, session_->terminal().append_checksum());
  QString error;
  if (!settings_.Save(&error)) boxes_->ShowError(error);
}

bool TForm1::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate && !image_initialised_) {
    image_initialised_ = true;
    eeprom_->InitImage();
  }
  return QMainWindow::event(event);
}

bool TForm1::OperationRunning() {
  return session_->runner().running() || session_->eeprom_transfer().running() ||
         session_->firmware_upgrade().running() || session_->parallel_check().running();
}

void TForm1::closeEvent(QCloseEvent* event) {
  // An operation must end before the port and the pages go away: a write cut short would
  // leave the receiver half-written.
  if (OperationRunning()) {
    event->ignore();
    return;
  }
  // Edits no file holds are saved, discarded or keep the window open.
  if (!eeprom_->SettleEdits(EepromRows().set()) ||
      (channels_.list().modified() && !tuning_page()->SettleEdits())) {
    event->ignore();
    return;
  }
  SaveSettings();
  QMainWindow::closeEvent(event);
}

TForm1::~TForm1() {
  if (port_lister_.joinable()) port_lister_.join();
  QCoreApplication::removeTranslator(&qt_translator_);
  // The pages go first, while the objects they are bound to still exist.
  delete takeCentralWidget();
  transport_->Close();
}

void TForm1::ApplyTexts() {
  const int tab_keys[] = {text_key::kEeprom,        text_key::kFirmwareParaleloSerie,
                          text_key::kFirmwareJTag,  text_key::kTerminal,
                          text_key::kSintonizacion, -1,
                          text_key::kConfiguracion, text_key::kAcercaDe};
  for (int i = 0; i < 8; ++i)
    pages_->setTabText(i, tab_keys[i] < 0 ? texts_.Slot(slot::kImagen) : texts_.Key(tab_keys[i]));
  eeprom_->ApplyTexts();
  transfer_controls_->ApplyTexts();
  firmware_->ApplyTexts();
  jtag_->ApplyTexts();
  terminal_page_->ApplyTexts();
  if (tuning_) tuning_->ApplyTexts();
  picture_->ApplyTexts();
  ShowUnsavedInTitle();
  if (config_) config_->ApplyTexts();
  about_->ApplyTexts();
}

EepromTransfer& TForm1::eeprom_transfer() { return session_->eeprom_transfer(); }

QWidget* TForm1::page(Page page) const { return pages_->widget(static_cast<int>(page)); }

TaskPage* TForm1::task_page(StatusPage page) const {
  switch (page) {
    case StatusPage::kEeprom:
      return eeprom_;
    case StatusPage::kFirmware:
      return firmware_;
    case StatusPage::kJtag:
      return jtag_;
  }
  return eeprom_;
}

LogView* TForm1::log(LogId log) const {
  switch (log) {
    case LogId::kEeprom:
      return eeprom_->log();
    case LogId::kFirmware:
      return firmware_->log();
    case LogId::kJtag:
      return jtag_->log();
    case LogId::kTerminal:
      return terminal_page_->log();
  }
  return terminal_page_->log();
}

void TForm1::AppendLog(LogId id, const QString& line) { log(id)->AppendLine(line); }

void TForm1::Report(StatusPage page, const ProgressReport& report) {
  TaskPage* task = task_page(page);
  task->status_panel()->Show(report);
  task->status_panel()->repaint();
  QProgressBar* bar = task->progress_bar();
  if (report.total()) bar->setMaximum(*report.total());
  if (report.done()) {
    bar->setValue(*report.done());
    bar->repaint();
  }
}

void TForm1::ShowError(const QString& text) { boxes_->ShowError(text); }
void TForm1::ShowInformation(const QString& text) { boxes_->ShowInformation(text); }

Answer TForm1::Ask(Question question, const QString& text) { return boxes_->Ask(question, text); }

Answer TForm1::AskWithOption(Question question, const QString& text, const QString& option,
                             bool* checked) {
  if (question != Question::kOkCancel) return boxes_->Ask(question, text);
  return boxes_->ConfirmWithOption(text, option, checked) ? Answer::kOk : Answer::kCancel;
}

void TForm1::DisablePages() { SetPagesEnabled(false); }
void TForm1::EnablePages() { SetPagesEnabled(true); }

// "Imagen" is never locked: a picture can be looked at while an operation runs. The status
// panels, progress bars and logs stay readable on every page.
void TForm1::SetPagesEnabled(bool enabled) {
  if (enabled) {
    page_lock_.Unlock();
    return;
  }
  QList<QWidget*> locked;
  for (Page p : {Page::kEeprom, Page::kJtag, Page::kFirmware, Page::kAbout, Page::kConfig,
                 Page::kTerminal, Page::kTuning})
    locked.append(page(p));
  page_lock_.Lock(locked);
}

bool TForm1::PageTakesInput(Page p) const {
  const QList<QWidget*> widgets = page(p)->findChildren<QWidget*>();
  return std::any_of(widgets.begin(), widgets.end(), [](const QWidget* widget) {
    return PageLock::IsInput(widget) && widget->isEnabled();
  });
}

void TForm1::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shown_) return;
  shown_ = true;
  granted_size_ = size();
  // The window manager keeps drags above the limits; a window opened smaller than them (from
  // the settings file) keeps its size until it is made at least that large.
  setMinimumSize(std::min(width(), kShownMinimumWidth), std::min(height(), kShownMinimumHeight));
}

void TForm1::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (shown_) KeepSizeLimits();
}

void TForm1::KeepSizeLimits() {
  if (AllowResize(true, width(), height())) {
    granted_size_ = size();
    setMinimumSize(kShownMinimumWidth, kShownMinimumHeight);
    return;
  }
  if (size() == granted_size_) return;
  // Refused: back to the last granted size once this resize is over.
  QMetaObject::invokeMethod(
      this, [this] { resize(granted_size_); }, Qt::QueuedConnection);
}

}  // namespace tornavo

#pragma once

#include <QMainWindow>
#include <QStringList>
#include <QTranslator>
#include <array>
#include <functional>
#include <memory>
#include <thread>

#include "core/channels/channel_list.h"
#include "core/eeprom/eeprom_image.h"
#include "core/eeprom/eeprom_transfer.h"
#include "core/jtag/dump_hand_over.h"
#include "core/runtime/operation_host.h"
#include "core/session/channel_service.h"
#include "core/session/picture_service.h"
#include "core/settings/settings.h"
#include "core/texts/texts.h"
#include "gui/app_services.h"
#include "gui/page_lock.h"

class QTabWidget;

namespace tornavo {

class AboutPage;
class ConfigPage;
class EepromPage;
class EepromTransfer;
class EepromTransferControls;
class SteadyClock;
class FileDialogs;
class FirmwarePage;
class PortRegisters;
class LogTaskPage;
class JtagDumpPage;
class JtagService;
struct JtagDumpRequest;
struct JtagDumpResult;
class LogView;
class MessageBoxes;
class PicturePage;
class PortBackends;
class PortChoices;
class SerialTransport;
class ServiceSession;
class StatusPanel;
class TaskPage;
class Terminal;
class TerminalPage;
class TuningPage;
class VirtualCable;

// How the window is opened: extra serial devices for the port list (a pseudo-terminal, the
// virtual receiver), the one to select, and stand-ins for the dialogs in tests.
struct WindowOptions {
  QStringList extra_ports;
  QString select_port;
  // Folder of the settings and catalogue files; empty for the default.
  QString ini_dir;
  std::unique_ptr<FileDialogs> dialogs;
  std::unique_ptr<MessageBoxes> boxes;
  std::unique_ptr<SerialTransport> transport;
  // Lists the system's serial ports on a thread of their own once the window is on screen, so
  // that the window shows without waiting for them; the stored port is selected (and opened)
  // when they arrive.
  // Off, the list is complete before the constructor returns.
  bool list_ports_in_background = false;
  // The virtual receiver's cable, offered as the "virtual" port backend; it outlives the
  // window.
  VirtualCable* virtual_cable = nullptr;
};

// Page indexes of the main page control.
enum class Page { kEeprom = 0, kFirmware, kJtag, kTerminal, kTuning, kPicture, kConfig, kAbout };

// The main window: owns the program-wide objects and the pages, and is the operation host
// of everything that runs from it.
class TForm1 : public QMainWindow, public OperationHost, private DumpReceiver {
  Q_OBJECT

 public:
  explicit TForm1(WindowOptions options, QWidget* parent = nullptr);
  ~TForm1() override;

  // Sets every caption from the current texts.
  void ApplyTexts();
  // The language list's change: the chosen language's texts on every page and dialog at
  // once; the serial and model selections stay, and the parity and model are applied again.
  void ChangeLanguage();
  // Code of Qt's translation in use (standard buttons, file dialogs); empty when its file
  // could not be loaded and Qt speaks English.
  const QString& qt_language() const { return qt_language_; }
  const Texts& texts() const { return texts_; }

  // OperationHost.
  void AppendLog(LogId log, const QString& line) override;
  void Report(StatusPage page, const ProgressReport& report) override;
  void ShowError(const QString& text) override;
  void ShowInformation(const QString& text) override;
  void DisablePages() override;
  void EnablePages() override;
  Answer Ask(Question question, const QString& text) override;
  Answer AskWithOption(Question question, const QString& text, const QString& option,
                       bool* checked) override;

  QTabWidget* pages() const { return pages_; }
  QWidget* page(Page page) const;
  // Whether any control of the page that starts or changes something can be used.
  bool PageTakesInput(Page page) const;
  LogView* log(LogId log) const;
  TaskPage* task_page(StatusPage page) const;
  EepromPage* eeprom_page() const { return eeprom_; }
  EepromTransferControls* transfer_controls() const { return transfer_controls_; }
  EepromTransfer& eeprom_transfer();
  ServiceSession& session() { return *session_; }
  FirmwarePage* firmware_page() const { return firmware_; }
  TerminalPage* terminal_page() const { return terminal_page_; }
  // Built when first shown (or asked for).
  ConfigPage* config_page();
  AboutPage* about_page() const { return about_; }
  // Built when first shown (or asked for).
  TuningPage* tuning_page();
  PicturePage* picture_page() const { return picture_; }
  JtagDumpPage* jtag_page() const { return jtag_; }
  AppServices& services() { return *services_; }
  PortChoices& port_choices() { return *port_choices_; }
  Settings& settings() { return settings_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  // Stores every setting; a file that cannot be written is reported, and the window closes.
  void closeEvent(QCloseEvent* event) override;
  // The EEPROM image is filled with "FF" at the window's first activation.
  bool event(QEvent* event) override;

 private:
  void SetPagesEnabled(bool enabled);
  // Refuses a resize below the limits once the window shows, by going back to the last size
  // it had.
  void KeepSizeLimits();
  // The locator of the parallel port the settings choose, and that port opened, for the
  // firmware upgrade and the JTAG page.
  QString ParallelLocator() const;
  std::unique_ptr<PortRegisters> OpenParallelPort(QString* error);
  void BuildConfigPage();
  // The serial ports into the port list: listed at once, or (in_background) from a thread
  // once the window is on screen, the given extra ports alone until then.
  void FillPortList(bool in_background);
  // The transfer buttons into the EEPROM page, with the questions before they act, and the
  // title following the image's edits.
  void BindEepromPage();
  // The selected language's texts (before the pages exist, or followed by ApplyTexts) and
  // Qt's own translation for it.
  void LoadLanguageTexts();
  void InstallQtTranslation(const QString& code);
  // Takes the listed system ports (waiting for the listing if needed): the port list is
  // complete from then on, and the stored or given port is selected in it.
  Q_INVOKABLE void TakeListedPorts();
  // The six serial choices from the settings, or the given port, then applied and opened.
  void SelectStoredPort();
  // The loaded settings onto the window, its dialogs, the terminal and the serial port.
  void ApplyLoadedSettings();
  void SaveSettings();
  // Before an EEPROM "Enviar" (serial or JTAG): names the rows and the port they go through,
  // and warns of rows the loaded file did not define, or of a blank grid's rows never read.
  // The routine question (no such rows) can be turned off from its check box.
  bool ConfirmEepromWrite(const EepromRows& rows, const QString& port);
  // A transfer, firmware upgrade, port check or JTAG operation has not ended yet.
  bool OperationRunning();
  // Before a dump replaces the EEPROM rows or the channel list it reaches: their unsaved
  // edits are saved, discarded or the dump does not start.
  bool SettleEditsBeforeDump(const JtagDumpRequest& request);
  // The title names the pages holding edits no file holds.
  void ShowUnsavedInTitle();
  // A read's rows count as loaded.
  void FollowTransferEnd();
  // A verify's differing rows stay coloured in the hex grid until the next operation.
  void ColourDifferingRows();
  // Gives a completed JTAG dump to the page that understands its bytes, and shows that page.
  void HandOverDump(const JtagDumpRequest& request, const JtagDumpResult& result);
  // DumpReceiver: the tuning, picture and EEPROM pages.
  void TakeChannelDump(const JtagDumpRequest& request, const JtagDumpResult& result) override;
  void TakePicture(const QByteArray& bytes) override;
  void TakeEeprom(uint32_t address, const QByteArray& bytes) override;
  // Raw dumps go to the file the JTAG page asked for before the dump began.
  void TakeRawBytes(const QByteArray&) override {}

  bool image_initialised_ = false;
  bool shown_ = false;
  QSize granted_size_;
  PageLock page_lock_;
  QStringList extra_ports_;
  QString select_port_;
  std::thread port_lister_;
  QStringList listed_ports_;  // written by the lister before it ends
  bool ports_taken_ = true;
  Texts texts_;
  // Qt's translation of its own texts, installed on the application while this window lives.
  QTranslator qt_translator_;
  QString qt_language_;
  SymbolRateTable symbol_rates_{};
  PictureService picture_service_;
  Settings settings_{symbol_rates_, picture_service_.options()};
  ChannelService channels_{settings_, symbol_rates_, texts_};
  std::unique_ptr<SteadyClock> clock_;
  std::unique_ptr<FileDialogs> dialogs_;
  std::unique_ptr<MessageBoxes> boxes_;
  std::unique_ptr<SerialTransport> transport_;
  std::unique_ptr<ServiceSession> session_;
  std::unique_ptr<PortBackends> port_backends_;
  std::unique_ptr<JtagService> jtag_service_;
  std::unique_ptr<PortChoices> port_choices_;
  std::unique_ptr<AppServices> services_;

  QTabWidget* pages_;
  EepromPage* eeprom_;
  EepromTransferControls* transfer_controls_;
  FirmwarePage* firmware_;
  JtagDumpPage* jtag_;
  TerminalPage* terminal_page_;
  QWidget* tuning_holder_;
  TuningPage* tuning_ = nullptr;
  PicturePage* picture_;
  QWidget* config_holder_;
  ConfigPage* config_ = nullptr;
  AboutPage* about_;
};

}  // namespace tornavo

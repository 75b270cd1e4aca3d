#pragma once

// What the window tests share: the widgets they drive, real input, and a window whose dialogs
// and boxes the test answers.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QList>
#include <QMenu>
#include <QProgressBar>
#include <QRadioButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <memory>
#include <numeric>
#include <tuple>

#include "core/channels/channel_list.h"
#include "core/channels/test_images.h"
#include "core/eeprom/eeprom_transfer.h"
#include "core/eeprom/interpreted_view.h"
#include "core/runtime/backup_store.h"
#include "core/serial/port_choices.h"
#include "core/session/service_session.h"
#include "core/settings/settings.h"
#include "core/texts/text_table.h"
#include "core/texts/texts.h"
#include "gui/app_services.h"
#include "gui/channel_dialog.h"
#include "gui/file_dialogs.h"
#include "gui/log_view.h"
#include "gui/main_window.h"
#include "gui/message_boxes.h"
#include "gui/pages/config_page.h"
#include "gui/pages/eeprom_page.h"
#include "gui/pages/eeprom_transfer_controls.h"
#include "gui/pages/firmware_page.h"
#include "gui/pages/hex_editor.h"
#include "gui/pages/interpreted_page.h"
#include "gui/pages/jtag_dump_page.h"
#include "gui/pages/jtag_group.h"
#include "gui/pages/parallel_group.h"
#include "gui/pages/picture_page.h"
#include "gui/pages/serial_group.h"
#include "gui/pages/terminal_page.h"
#include "gui/pages/tuning_group.h"
#include "gui/pages/tuning_page.h"
#include "gui/search_dialog.h"
#include "gui/section_dialog.h"
#include "gui/task_page.h"
#include "gui/transponder_dialog.h"
#include "real_input.h"
#include "sim/channel_tables.h"
#include "sim/jtag_target.h"
#include "sim/target_cable.h"
#include "sim/virtual_receiver.h"
#include "support/fake_transport.h"
#include "support/qt_printers.h"
#include "support/wait.h"

namespace tornavo::testing {

// Dialogs answered by the test: each call takes the next queued choice (cancel when none).
class ScriptedDialogs : public FileDialogs {
 public:
  FileChoice ChooseOpen(const FileRequest& request) override { return Next(request); }
  FileChoice ChooseSave(const FileRequest& request) override { return Next(request); }
  void Answer(const QString& path, int filter_index = 1) {
    answers.push_back({true, path, filter_index});
  }

  std::deque<FileChoice> answers;
  QList<FileRequest> requests;

 private:
  FileChoice Next(const FileRequest& request) {
    requests << request;
    if (answers.empty()) return {};
    FileChoice choice = answers.front();
    answers.pop_front();
    return choice;
  }
};

// Message boxes that record instead of waiting for a click.
class RecordedBoxes : public MessageBoxes {
 public:
  struct Box {
    bool error;
    QString text;
  };
  void ShowError(const QString& text) override { Record(true, text); }
  void ShowInformation(const QString& text) override { Record(false, text); }
  // Questions are recorded as error boxes and answered with `confirm`.
  bool Confirm(const QString& text) override {
    questions << text;
    if (on_question) on_question(text);
    return confirm;
  }
  // The box is left as `tick_option` says.
  bool ConfirmWithOption(const QString& text, const QString&, bool* option_checked) override {
    *option_checked = tick_option;
    return Confirm(text);
  }
  // Operations' questions take the next queued answer; without one, OK/Cancel follows
  // `confirm`, unsaved edits are discarded and Abort/Retry/Ignore aborts.
  tornavo::Answer Ask(Question question, const QString& text) override {
    questions << text;
    if (on_question) on_question(text);
    if (!answers.empty()) {
      const tornavo::Answer answer = answers.front();
      answers.pop_front();
      return answer;
    }
    if (question == Question::kOkCancel)
      return confirm ? tornavo::Answer::kOk : tornavo::Answer::kCancel;
    if (question == Question::kSaveDiscardCancel) return tornavo::Answer::kDiscard;
    return tornavo::Answer::kAbort;
  }

  QList<Box> boxes;
  QStringList questions;
  bool confirm = false;
  bool tick_option = false;
  std::deque<tornavo::Answer> answers;
  // Runs as a question is asked, with the window as it stands then.
  std::function<void(const QString&)> on_question;
  // Runs as a box is shown, with the window as it stands then.
  std::function<void(const Box&)> on_box;

 private:
  void Record(bool error, const QString& text) {
    boxes << Box{error, text};
    if (on_box) on_box(boxes.last());
  }
};

// Writes a file whole; false, with a failure added, when it cannot.
inline bool WriteTestFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  const bool written = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
  if (!written) ADD_FAILURE() << "cannot write " << path.toStdString();
  return written;
}

inline QByteArray ReadTestFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The file the last "Copia de seguridad : " line of a log names; empty when none does.
inline QString BackupNamedIn(const QStringList& log) {
  const QString start = QStringLiteral("Copia de seguridad : ");
  QString path;
  for (const QString& line : log)
    if (line.startsWith(start)) path = line.mid(start.size());
  return path;
}

// A main window with scripted dialogs and recorded boxes. It keeps its settings in a folder of
// its own (holding `ini` as Tornavo.ini when given), and without a chosen device its port is a
// fake, so no test touches the machine's settings or serial ports.
struct WindowUnderTest {
  explicit WindowUnderTest(WindowOptions options = {}, const QByteArray& ini = {}) {
    if (options.ini_dir.isEmpty()) options.ini_dir = ini_folder.path();
    if (!ini.isEmpty()) WriteTestFile(options.ini_dir + "/Tornavo.ini", ini);
    if (!options.transport && options.select_port.isEmpty())
      options.transport = std::make_unique<FakeTransport>();
    auto scripted = std::make_unique<ScriptedDialogs>();
    dialogs = scripted.get();
    options.dialogs = std::move(scripted);
    // Given boxes (the real ones) are kept; boxes is then null.
    if (!options.boxes) {
      auto recorded = std::make_unique<RecordedBoxes>();
      boxes = recorded.get();
      options.boxes = std::move(recorded);
    }
    window = std::make_unique<TForm1>(std::move(options));
  }

  // Options for a window keeping its settings in `ini_dir`, on a fake port chosen as
  // /dev/fake-tty.
  static WindowOptions OnFakeTty(const QString& ini_dir) {
    WindowOptions options;
    options.ini_dir = ini_dir;
    options.extra_ports << "/dev/fake-tty";
    options.select_port = "/dev/fake-tty";
    options.transport = std::make_unique<FakeTransport>();
    return options;
  }
  FakeTransport& port() { return static_cast<FakeTransport&>(window->services().transport); }

  // Shown, in front and ready for keys.
  bool Show() {
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window.get());
  }
  void ShowPage(Page page) { window->pages()->setCurrentIndex(static_cast<int>(page)); }
  QString Path(const QString& name) const { return ini_folder.filePath(name); }
  QString LastBox() const { return boxes->boxes.isEmpty() ? QString() : boxes->boxes.back().text; }

  QTemporaryDir ini_folder;
  ScriptedDialogs* dialogs;
  RecordedBoxes* boxes = nullptr;
  std::unique_ptr<TForm1> window;
};

// A window on the virtual receiver's serial port, the receiver unpaced. Open() builds the
// window, so that what it needs of the receiver (a cable to its parallel side) can come first.
struct VirtualReceiverWindow {
  VirtualReceiverWindow() {
    receiver.SetPacing(false);
    started = receiver.Start(&error);
  }
  void Open(WindowOptions options = {}, const QByteArray& ini = {}) {
    options.extra_ports << receiver.device_path();
    options.select_port = receiver.device_path();
    w = std::make_unique<WindowUnderTest>(std::move(options), ini);
  }
  TForm1& window() { return *w->window; }

  sim::VirtualReceiver receiver;
  bool started = false;
  QString error;
  std::unique_ptr<WindowUnderTest> w;
};

}  // namespace tornavo::testing

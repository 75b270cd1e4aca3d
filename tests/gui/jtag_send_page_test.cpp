// "Enviar" and "Borrar Chip" of the page "Firmware (JTag)" against the virtual JTAG target laid
// out by the virtual receiver's own flash type and model files.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "core/channels/channel_list.h"
#include "core/channels/table_records.h"
#include "core/eeprom/eeprom_image.h"
#include "core/runtime/backup_store.h"
#include "core/runtime/blocking_runner.h"
#include "core/session/service_session.h"
#include "core/settings/settings.h"
#include "gui/app_services.h"
#include "gui/log_view.h"
#include "gui/pages/config_page.h"
#include "gui/pages/jtag_dump_page.h"
#include "gui/pages/jtag_group.h"
#include "real_input.h"
#include "sim/jtag_target.h"
#include "sim/target_cable.h"
#include "sim/virtual_catalogue.h"
#include "support/wait.h"
#include "window_fixture.h"

namespace tornavo {
namespace {

using testing::WaitUntil;
using testing::WindowUnderTest;

constexpr uint32_t kFirmwareStart = 0x60000000;  // eight 8 KiB blocks, then 64 KiB ones
constexpr uint32_t kChannelStart = 0x7FE00000;   // 64 KiB blocks, holding a channel list
const QString kSent = QStringLiteral("¡ Datos enviados con éxito !");
const QString kSkip =
    QStringLiteral("Los datos en la flash son identicos. Saltamos al siguiente bloque...");

QByteArray Pattern(int size, int seed) {
  QByteArray bytes(size, '\0');
  for (int i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + seed * 31 + i / 251) & 0xFF);
  return bytes;
}

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int BackupCount() { return QDir(DefaultBackupFolder()).entryList(QDir::Files).size(); }

// A window on the virtual target, its settings folder filled by the virtual receiver.
struct SendWindow {
  // Without boxes, the recorded ones answer for the user.
  explicit SendWindow(std::unique_ptr<MessageBoxes> real_boxes = nullptr) {
    QString error;
    EXPECT_TRUE(sim::InstallVirtualCatalogue(ini.path(), nullptr, &error)) << error.toStdString();
    WindowOptions options;
    options.virtual_cable = &cable;
    options.ini_dir = ini.path();
    options.boxes = std::move(real_boxes);
    w = std::make_unique<WindowUnderTest>(std::move(options));
    w->window->show();
    window().pages()->setCurrentIndex(static_cast<int>(Page::kJtag));
  }
  TForm1& window() { return *w->window; }
  JtagDumpPage* page() { return window().jtag_page(); }
  testing::RecordedBoxes& boxes() { return *w->boxes; }
  void Choose(DumpSource source) {
    QRadioButton* radio = page()->source(source);
    QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(6, radio->height() / 2));
    ASSERT_TRUE(radio->isChecked());
  }
  void Type(QComboBox* field, const QString& text) {
    field->lineEdit()->clear();
    QTest::keyClicks(field->lineEdit(), text);
    QTest::keyClick(field->lineEdit(), Qt::Key_Return);
  }
  // Clicks and waits until the operation has ended.
  bool Press(QPushButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
    return WaitUntil([&] { return !window().session().runner().running(); }, 120000) &&
           WaitUntil([&] { return page()->isEnabled() && send_enabled(); }, 5000);
  }
  bool send_enabled() { return page()->send_button()->isEnabled(); }
  QString SendFile(const QByteArray& bytes, const QString& address) {
    const QString path = ini.filePath("firmware.bin");
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(bytes);
    file.close();
    Choose(DumpSource::kFile);
    Type(page()->address(), address);
    w->dialogs->Answer(path);
    const qsizetype before = boxes().boxes.size();
    if (!Press(page()->send_button())) return QStringLiteral("did not end");
    return boxes().boxes.size() > before ? boxes().boxes.back().text : QString();
  }
  // The file the last "Copia de seguridad : " line names, or empty.
  QString LoggedBackup() {
    const QString start = QStringLiteral("Copia de seguridad : ");
    QString path;
    for (const QString& line : page()->log()->Lines())
      if (line.startsWith(start)) path = line.mid(start.size());
    return path;
  }
  int Logged(const QString& line) { return static_cast<int>(page()->log()->Lines().count(line)); }
  int LoggedStarting(const QString& start) {
    int n = 0;
    for (const QString& line : page()->log()->Lines()) n += line.startsWith(start);
    return n;
  }
  void Shot(const char* name) {
    const QString folder = qEnvironmentVariable("TORNAVO_TEST_SHOTS");
    if (!folder.isEmpty()) window().grab().save(folder + "/" + name + ".png");
  }

  QTemporaryDir ini;
  sim::JtagTarget target;
  sim::TargetCable cable{target, target, sim::TargetCable::Chips::kKeepBytes};
  std::unique_ptr<WindowUnderTest> w;
};

// How blocks are compared, erased, verified, retried and kept is the engine's; here the page's
// file, address and the configuration page's settings reach it, and its answers come back.
TEST(JtagSendPage, FirmwareFileIsProgrammedSkippedAndForced) {
  SendWindow sw;
  // Across the eight boot blocks and two 64 KiB blocks, the last one partly.
  const QByteArray firmware = Pattern(0x2C000, 1);
  EXPECT_EQ(sw.SendFile(firmware, "60000000"), kSent);
  EXPECT_EQ(sw.target.Memory(kFirmwareStart, firmware.size()), firmware);
  EXPECT_EQ(sw.LoggedStarting("Borrando bloque : "), 10);
  EXPECT_EQ(sw.Logged("¡ Verificación correcta !"), 10);
  EXPECT_EQ(sw.Logged("Cerrando LPT1"), 1);
  EXPECT_TRUE(sw.LoggedBackup().endsWith("_flash-send_60000000.bin"));
  sw.Shot("jtag_send_firmware");

  // Again: every whole block is skipped; the partial last one is always written.
  const int erases = sw.target.flash_erases();
  EXPECT_EQ(sw.SendFile(firmware, "60000000"), kSent);
  EXPECT_EQ(sw.Logged(kSkip), 9);
  EXPECT_EQ(sw.target.flash_erases(), erases + 1);

  // "Forzar escritura en todos los bloques" on the configuration page: nothing is skipped.
  sw.window().pages()->setCurrentIndex(static_cast<int>(Page::kConfig));
  QCheckBox* force = sw.window().config_page()->jtag_group()->force_box();
  ASSERT_FALSE(force->isChecked());
  QTest::mouseClick(force, Qt::LeftButton, {}, QPoint(6, force->height() / 2));
  ASSERT_TRUE(force->isChecked());
  sw.window().pages()->setCurrentIndex(static_cast<int>(Page::kJtag));
  EXPECT_EQ(sw.SendFile(firmware, "60000000"), kSent);
  EXPECT_EQ(sw.Logged(kSkip), 9);
  EXPECT_EQ(sw.target.flash_erases(), erases + 1 + 10);

  // A failed erase is asked about; aborted, the report names the first byte of that block.
  ASSERT_TRUE(sw.target.ApplyFault("jtag-erase-fail:1"));
  sw.boxes().answers = {Answer::kAbort};
  EXPECT_EQ(sw.SendFile(Pattern(0x4000, 4), "60000000"),
            "Se ha producido un error en la dirección : 60000000");
  EXPECT_EQ(sw.boxes().questions,
            QStringList{"Error en el envio por Jtag.\r\nComprueba que el Interfaz Jtag esté bien "
                        "construido\r\ny que las direcciones Trap y destino son las correctas."});
  EXPECT_TRUE(sw.boxes().boxes.back().error);
}

// The EEPROM image and the channel tables the window holds go back where they came from.
TEST(JtagSendPage, HeldEepromAndChannelTablesAreSentBack) {
  SendWindow sw;
  const QByteArray written = Pattern(0x800, 5);
  sw.window().services().eeprom_image.PlaceBytes(
      reinterpret_cast<const uint8_t*>(written.constData()), 0, 0x800);
  sw.Choose(DumpSource::kEeprom);
  ASSERT_TRUE(sw.Press(sw.page()->send_button()));
  EXPECT_EQ(sw.boxes().boxes.back().text, "¡ Eeprom escrita con éxito !");
  const sim::EepromBytes chip = sw.target.Eeprom();
  EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(chip.data()), 0x800), written);
  EXPECT_TRUE(sw.LoggedBackup().endsWith("_jtag-eeprom-send_00000000.txt"));

  // A RAM table, dumped and sent back: the same bytes land in RAM.
  sw.Choose(DumpSource::kRam);
  ASSERT_TRUE(sw.Press(sw.page()->receive_button()));
  ASSERT_TRUE(sw.window().services().channel_list.ram());
  const QByteArray table = sw.target.Memory(sim::kRamChannelTable, 0x7600);
  sw.target.Load(sim::kRamChannelTable, QByteArray(0x7600, '\0'));
  sw.window().pages()->setCurrentIndex(static_cast<int>(Page::kJtag));
  ASSERT_TRUE(sw.Press(sw.page()->send_button()));
  EXPECT_EQ(sw.boxes().boxes.back().text, kSent);
  EXPECT_EQ(sw.target.Memory(sim::kRamChannelTable, 0x7600), table);
  // A cell that does not convert stops the send with its reason.
  ChannelList& list = sw.window().services().channel_list;
  QStringList cells = list.channels().Row(2);
  cells[kVideoPid] = "12a";
  list.SetChannelFields(2, cells.mid(1, 8), 0x04);
  sw.target.Load(sim::kRamChannelTable, QByteArray(0x7600, '\0'));
  ASSERT_TRUE(sw.Press(sw.page()->send_button()));
  EXPECT_TRUE(sw.boxes().boxes.back().text.startsWith("No se puede convertir «12a»"));
  EXPECT_EQ(sw.target.Memory(sim::kRamChannelTable, 0x7600), QByteArray(0x7600, '\0'));

  // The flash table, dumped and sent back unchanged: every block is skipped.
  sw.Choose(DumpSource::kFlash);
  EXPECT_EQ(sw.page()->address()->currentText(), "7FE00000");
  ASSERT_TRUE(sw.Press(sw.page()->receive_button()));
  ASSERT_TRUE(sw.window().services().channel_list.flash_held());
  sw.window().pages()->setCurrentIndex(static_cast<int>(Page::kJtag));
  const int erases = sw.target.flash_erases();
  ASSERT_TRUE(sw.Press(sw.page()->send_button()));
  EXPECT_EQ(sw.boxes().boxes.back().text, kSent);
  EXPECT_EQ(sw.Logged(kSkip), 5);
  EXPECT_EQ(sw.target.flash_erases(), erases);
}

TEST(JtagSendPage, EraseChipWarnsFirstAndTakesTheChosenMethod) {
  SendWindow sw;
  const QByteArray channels = sw.target.Memory(kChannelStart, 0x50000);
  ASSERT_NE(channels, QByteArray(0x50000, '\xFF'));
  sw.Type(sw.page()->address(), "7FE00000");

  // Cancel: nothing reaches the cable.
  const uint64_t edges = sw.target.edges();
  ASSERT_TRUE(sw.Press(sw.page()->erase_button()));
  ASSERT_EQ(sw.boxes().questions.size(), 1);
  EXPECT_TRUE(sw.boxes().questions[0].startsWith("¡ A T E N C I Ó N !\r\n\r\n"));
  EXPECT_EQ(sw.target.edges(), edges);
  EXPECT_EQ(sw.target.Memory(kChannelStart, 0x50000), channels);

  // OK from here on, the copy left unticked. Block by block: every block of the chip's type.
  sw.boxes().confirm = true;
  QRadioButton* blocks = sw.page()->erase_method(EraseMethod::kBlocks);
  QTest::mouseClick(blocks, Qt::LeftButton, {}, QPoint(6, blocks->height() / 2));
  ASSERT_TRUE(blocks->isChecked());
  ASSERT_TRUE(sw.Press(sw.page()->erase_button()));
  EXPECT_EQ(sw.LoggedStarting("Borrando bloque : "), 32);
  EXPECT_EQ(sw.target.Memory(kChannelStart, 0x200000), QByteArray(0x200000, '\xFF'));
  sw.Shot("jtag_erase_blocks");

  // One command, which fails: its own message, and the firmware chip is left alone.
  const QByteArray firmware = Pattern(0x2000, 6);
  sw.target.Load(kFirmwareStart, firmware);
  sw.Type(sw.page()->address(), "60000000");
  QRadioButton* single = sw.page()->erase_method(EraseMethod::kSingleCommand);
  QTest::mouseClick(single, Qt::LeftButton, {}, QPoint(6, single->height() / 2));
  ASSERT_TRUE(sw.target.ApplyFault("jtag-erase-fail:1"));
  ASSERT_TRUE(sw.Press(sw.page()->erase_button()));
  EXPECT_EQ(sw.boxes().boxes.back().text, "Se produjo un error borrando el chip.");
  EXPECT_EQ(sw.target.Memory(kFirmwareStart, 0x2000), firmware);
}

// Answers the erase question as a user would: the check box clicked when asked, then OK. Other
// boxes are closed with Enter.
class EraseAnswerer {
 public:
  explicit EraseAnswerer(bool untick, QString shot = {}) : untick_(untick), shot_(std::move(shot)) {
    QObject::connect(&poll_, &QTimer::timeout, [this] { Answer(); });
    poll_.start(10);
  }
  QString option;  // the check box's caption as it was shown
  bool ticked = false;
  int boxes = 0;

 private:
  void Answer() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) return;
    ++boxes;
    QCheckBox* check = box->checkBox();
    if (!check) {
      QTest::keyClick(box, Qt::Key_Return);
      return;
    }
    option = check->text();
    ticked = check->isChecked();
    const QString folder = qEnvironmentVariable("TORNAVO_SHOTS_DIR");
    if (!shot_.isEmpty() && !folder.isEmpty() && QDir().mkpath(folder))
      box->grab().save(QDir(folder).filePath(shot_ + ".png"));
    if (untick_) QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(6, check->height() / 2));
    QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
  }

  bool untick_;
  QString shot_;
  QTimer poll_;
};

// The real warning names the chip, its first and last address and the port, and quotes the
// Cancel button as it reads; Enter and Escape both cancel. Its check box comes ticked: left
// ticked, the chip is read and kept before the erase; unticked, it is erased without a copy.
TEST(JtagSendPage, EraseWarningCancelsOnEnterAndEscapeAndReadsTheChipFirstWhenTicked) {
  SendWindow sw(std::make_unique<QtMessageBoxes>(nullptr));
  const QByteArray before = sw.target.Memory(kChannelStart, 0x200000);
  ASSERT_NE(before.left(0x50000), QByteArray(0x50000, '\xFF'));
  sw.Type(sw.page()->address(), "7FE00000");
  for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
    testing::BoxWatcher watcher(key, key == Qt::Key_Return ? "erase-question" : "");
    const uint64_t edges = sw.target.edges();
    ASSERT_TRUE(sw.Press(sw.page()->erase_button()));
    ASSERT_EQ(watcher.seen.size(), 1) << key;
    const testing::BoxWatcher::Seen& box = watcher.seen[0];
    EXPECT_TRUE(box.cancel_is_default);
    for (const QString& part :
         {QString("Integrado con Lista de Canales"), QString("7FE00000"), QString("7FFFFFFF"),
          QString("virtual"), "pulsa " + box.cancel_caption + "."})
      EXPECT_TRUE(box.text.contains(part))
          << part.toStdString() << " in " << box.text.toStdString();
    EXPECT_FALSE(box.text.contains("CANCEL"));
    EXPECT_EQ(sw.target.edges(), edges);
  }
  EXPECT_EQ(sw.target.Memory(kChannelStart, 0x200000), before);

  {
    EraseAnswerer answerer(false, "erase-question-backup");
    ASSERT_TRUE(sw.Press(sw.page()->erase_button()));
    EXPECT_TRUE(answerer.ticked);
    EXPECT_TRUE(answerer.option.startsWith("Leer el chip antes de borrarlo y guardar una copia"))
        << answerer.option.toStdString();
  }
  const QString backup = sw.LoggedBackup();
  EXPECT_TRUE(backup.endsWith("_flash-erase_7FE00000.bin")) << backup.toStdString();
  EXPECT_EQ(ReadAll(backup), before);
  EXPECT_EQ(sw.target.Memory(kChannelStart, 0x200000), QByteArray(0x200000, '\xFF'));

  sw.target.Load(kChannelStart, before.left(0x1000));
  const int files = BackupCount();
  {
    EraseAnswerer answerer(true);
    ASSERT_TRUE(sw.Press(sw.page()->erase_button()));
    EXPECT_TRUE(answerer.ticked);
  }
  EXPECT_EQ(BackupCount(), files);
  EXPECT_EQ(sw.Logged("Sin copia de seguridad (desactivada)"), 1);
  EXPECT_EQ(sw.target.Memory(kChannelStart, 0x1000), QByteArray(0x1000, '\xFF'));
}

}  // namespace
}  // namespace tornavo

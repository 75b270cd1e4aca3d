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
#include "core/eeprom/eeprom_files.h"
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
  // Sends the file at path, chosen in the open dialog, to address.
  bool SendPath(const QString& path, const QString& address) {
    Choose(DumpSource::kFile);
    Type(page()->address(), address);
    w->dialogs->Answer(path);
    return Press(page()->send_button());
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

TEST(JtagSendPage, FirmwareFileIsProgrammedThenEveryBlockSkipped) {
  SendWindow sw;
  // Across the eight boot blocks and two 64 KiB blocks, the last one partly.
  const QByteArray firmware = Pattern(0x2C000, 1);
  EXPECT_EQ(sw.SendFile(firmware, "60000000"), kSent);
  EXPECT_EQ(sw.target.Memory(kFirmwareStart, firmware.size()), firmware);
  EXPECT_EQ(sw.Logged(QString(40, '-')), 10);
  EXPECT_EQ(sw.LoggedStarting("Borrando bloque : "), 10);
  EXPECT_EQ(sw.Logged("¡ Verificación correcta !"), 10);
  EXPECT_EQ(sw.Logged(kSkip), 0);
  EXPECT_EQ(sw.Logged("Cerrando LPT1"), 1);
  sw.Shot("jtag_send_firmware");

  // Again: every whole block is skipped; the partial last one is always written.
  const int erases = sw.target.flash_erases();
  EXPECT_EQ(sw.SendFile(firmware, "60000000"), kSent);
  EXPECT_EQ(sw.Logged(kSkip), 9);
  EXPECT_EQ(sw.target.flash_erases(), erases + 1);
  sw.Shot("jtag_send_firmware_again");

  // A block-aligned file: the second run skips every block and erases nothing.
  const QByteArray whole = Pattern(0x20000, 2);
  EXPECT_EQ(sw.SendFile(whole, "60000000"), kSent);
  const int before = sw.Logged(kSkip);
  const int erased = sw.target.flash_erases();
  EXPECT_EQ(sw.SendFile(whole, "60000000"), kSent);
  EXPECT_EQ(sw.Logged(kSkip), before + 9);
  EXPECT_EQ(sw.target.flash_erases(), erased);
  EXPECT_EQ(sw.target.Memory(kFirmwareStart, whole.size()), whole);

  // "Forzar escritura en todos los bloques" on the configuration page: nothing is skipped.
  sw.window().pages()->setCurrentIndex(static_cast<int>(Page::kConfig));
  QCheckBox* force = sw.window().config_page()->jtag_group()->force_box();
  ASSERT_FALSE(force->isChecked());
  force->click();
  sw.window().pages()->setCurrentIndex(static_cast<int>(Page::kJtag));
  const int skipped = sw.Logged(kSkip);
  EXPECT_EQ(sw.SendFile(whole, "60000000"), kSent);
  EXPECT_EQ(sw.Logged(kSkip), skipped);
  EXPECT_EQ(sw.target.flash_erases(), erased + 9);
}

TEST(JtagSendPage, FailedBlocksAskAbortRetryIgnore) {
  SendWindow sw;
  const QString failed = QStringLiteral(
      "Error en el envio por Jtag.\r\nComprueba que el Interfaz Jtag esté bien construido\r\n"
      "y que las direcciones Trap y destino son las correctas.");
  const QByteArray data = Pattern(0x4000, 3);  // two boot blocks

  // A failed program, retried: the second try is good.
  ASSERT_TRUE(sw.target.ApplyFault("jtag-program-fail:1"));
  sw.boxes().answers = {Answer::kRetry};
  EXPECT_EQ(sw.SendFile(data, "60000000"), kSent);
  EXPECT_EQ(sw.boxes().questions, QStringList{failed});
  EXPECT_EQ(sw.target.Memory(kFirmwareStart, data.size()), data);

  // A failed erase, aborted: the report names the first byte of that block.
  const QByteArray other = Pattern(0x4000, 4);
  ASSERT_TRUE(sw.target.ApplyFault("jtag-erase-fail:1"));
  sw.boxes().questions.clear();
  sw.boxes().answers = {Answer::kAbort};
  EXPECT_EQ(sw.SendFile(other, "60000000"), "Se ha producido un error en la dirección : 60000000");
  EXPECT_EQ(sw.boxes().questions, QStringList{failed});
  EXPECT_TRUE(sw.boxes().boxes.back().error);

  // A failed verification, ignored: the send goes on, and ends naming the block not written.
  ASSERT_TRUE(sw.target.ApplyFault("jtag-verify-fail:1"));
  sw.boxes().questions.clear();
  sw.boxes().answers = {Answer::kIgnore};
  EXPECT_EQ(sw.SendFile(other, "60000000"),
            "Bloques no escritos :\n60000000 : falló la verificación");
  EXPECT_EQ(sw.boxes().questions, QStringList{"Error en la verificación."});
  EXPECT_NE(sw.target.Memory(kFirmwareStart, 0x2000), other.left(0x2000));
  EXPECT_EQ(sw.target.Memory(kFirmwareStart + 0x2000, 0x2000), other.mid(0x2000));
}

TEST(JtagSendPage, EepromWrittenOverJtagIsDumpedBackIdentical) {
  SendWindow sw;
  EepromImage& image = sw.window().services().eeprom_image;
  const QByteArray written = Pattern(0x800, 5);
  image.PlaceBytes(reinterpret_cast<const uint8_t*>(written.constData()), 0, 0x800);
  const sim::EepromBytes before = sw.target.Eeprom();
  sw.Choose(DumpSource::kEeprom);
  ASSERT_TRUE(sw.Press(sw.page()->send_button()));
  EXPECT_EQ(sw.boxes().boxes.back().text, "¡ Eeprom escrita con éxito !");
  const sim::EepromBytes chip = sw.target.Eeprom();
  EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(chip.data()), 0x800), written);
  // What it held first is in the own-format file the log names.
  const QString backup = sw.LoggedBackup();
  EXPECT_TRUE(backup.endsWith("_jtag-eeprom-send_00000000.txt")) << backup.toStdString();
  EepromImage kept;
  QString error;
  ASSERT_TRUE(DecodeEepromFile(EepromFormat::kOwn, ReadAll(backup), Texts(), kept, &error));
  for (int a = 0; a < 0x800; ++a) ASSERT_EQ(kept.ByteAt(a), before[a]) << a;

  const QByteArray blank(0x800, '\xFF');
  image.PlaceBytes(reinterpret_cast<const uint8_t*>(blank.constData()), 0, 0x800);
  sw.window().pages()->setCurrentIndex(static_cast<int>(Page::kJtag));
  ASSERT_TRUE(sw.Press(sw.page()->receive_button()));
  EXPECT_EQ(sw.boxes().boxes.back().text, "¡ Eeprom leída con éxito !");
  for (int a = 0; a < 0x800; ++a) ASSERT_EQ(image.ByteAt(a), static_cast<uint8_t>(written[a])) << a;

  // Past the EEPROM's end nothing is written.
  sw.window().pages()->setCurrentIndex(static_cast<int>(Page::kJtag));
  sw.Type(sw.page()->address(), "700");
  sw.Type(sw.page()->length(), "104");
  const uint64_t edges = sw.target.edges();
  ASSERT_TRUE(sw.Press(sw.page()->send_button()));
  EXPECT_EQ(sw.boxes().boxes.back().text, "¡ Dirección incorrecta !");
  EXPECT_EQ(sw.target.edges(), edges);
}

TEST(JtagSendPage, ChannelTablesGoBackWhereTheyCameFrom) {
  SendWindow sw;
  // Nothing held yet: the operation says so and the cable stays quiet.
  sw.Choose(DumpSource::kFlash);
  const uint64_t edges = sw.target.edges();
  ASSERT_TRUE(sw.Press(sw.page()->send_button()));
  EXPECT_EQ(sw.boxes().boxes.back().text, "¡ No hay ninguna lista de canales cargada !");
  EXPECT_EQ(sw.target.edges(), edges);

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
}

TEST(JtagSendPage, FlashTableDumpedAndSentBackSkipsItsBlocks) {
  SendWindow sw;
  sw.Choose(DumpSource::kFlash);
  EXPECT_EQ(sw.page()->address()->currentText(), "7FE00000");
  ASSERT_TRUE(sw.Press(sw.page()->receive_button()));
  ASSERT_TRUE(sw.window().services().channel_list.flash_held());
  sw.window().pages()->setCurrentIndex(static_cast<int>(Page::kJtag));
  const int erases = sw.target.flash_erases();
  ASSERT_TRUE(sw.Press(sw.page()->send_button()));
  EXPECT_EQ(sw.boxes().boxes.back().text, kSent);
  EXPECT_EQ(sw.Logged(kSkip), 5);
  EXPECT_EQ(sw.Logged("Verificación correcta !"), 0);
  EXPECT_EQ(sw.target.flash_erases(), erases);
}

TEST(JtagSendPage, EraseChipWarnsFirstAndChecksTheAddress) {
  SendWindow sw;
  const QByteArray channels = sw.target.Memory(kChannelStart, 0x50000);
  ASSERT_NE(channels, QByteArray(0x50000, '\xFF'));
  sw.Type(sw.page()->address(), "7FE00000");

  // Cancel: nothing reaches the cable. The page takes no input while the warning is up.
  uint64_t edges = sw.target.edges();
  bool enabled_while_asked = true;
  sw.boxes().on_question = [&](const QString&) {
    enabled_while_asked = sw.page()->erase_button()->isEnabled();
  };
  ASSERT_TRUE(sw.Press(sw.page()->erase_button()));
  EXPECT_FALSE(enabled_while_asked);
  sw.boxes().on_question = nullptr;
  ASSERT_EQ(sw.boxes().questions.size(), 1);
  EXPECT_TRUE(sw.boxes().questions[0].startsWith("¡ A T E N C I Ó N !\r\n\r\n"));
  EXPECT_TRUE(sw.boxes().questions[0].endsWith("pulsa CANCEL."));
  EXPECT_EQ(sw.target.edges(), edges);
  EXPECT_EQ(sw.target.Memory(kChannelStart, 0x50000), channels);

  // An address that starts neither chip: the message names both starts, the port stays shut.
  sw.Type(sw.page()->address(), "7FE10000");
  // OK from here on, the copy left unticked.
  sw.boxes().confirm = true;
  ASSERT_TRUE(sw.Press(sw.page()->erase_button()));
  const QString refused = sw.boxes().boxes.back().text;
  EXPECT_TRUE(refused.contains("60000000") && refused.contains("7FE00000"))
      << refused.toStdString();
  EXPECT_EQ(sw.target.edges(), edges);
  EXPECT_EQ(sw.Logged("Abriendo LPT1"), 0);

  // OK, block by block: every block of the chip's type is erased.
  sw.Type(sw.page()->address(), "7FE00000");
  QRadioButton* blocks = sw.page()->erase_method(EraseMethod::kBlocks);
  QTest::mouseClick(blocks, Qt::LeftButton, {}, QPoint(6, blocks->height() / 2));
  ASSERT_TRUE(blocks->isChecked());
  ASSERT_TRUE(sw.Press(sw.page()->erase_button()));
  EXPECT_EQ(sw.LoggedStarting("Borrando bloque : "), 32);
  EXPECT_EQ(sw.target.Memory(kChannelStart, 0x200000), QByteArray(0x200000, '\xFF'));
  sw.Shot("jtag_erase_blocks");

  // One command that fails: its message, and the firmware chip is left alone.
  const QByteArray firmware = Pattern(0x2000, 6);
  sw.target.Load(kFirmwareStart, firmware);
  sw.Type(sw.page()->address(), "60000000");
  QRadioButton* single = sw.page()->erase_method(EraseMethod::kSingleCommand);
  QTest::mouseClick(single, Qt::LeftButton, {}, QPoint(6, single->height() / 2));
  ASSERT_TRUE(sw.target.ApplyFault("jtag-erase-fail:1"));
  ASSERT_TRUE(sw.Press(sw.page()->erase_button()));
  EXPECT_EQ(sw.boxes().boxes.back().text, "Se produjo un error borrando el chip.");
  EXPECT_EQ(sw.target.Memory(kFirmwareStart, 0x2000), firmware);
  ASSERT_TRUE(sw.Press(sw.page()->erase_button()));
  EXPECT_EQ(sw.target.Memory(kFirmwareStart, 0x2000), QByteArray(0x2000, '\xFF'));
}

// The real warning, answered with Enter and then with Escape: both are Cancel, and the chip is
// untouched. The text names the chip, its first and last address and the port, and quotes the
// Cancel button as it reads.
TEST(JtagSendPage, EraseWarningNamesItsTargetAndCancelsOnEnterAndEscape) {
  SendWindow sw(std::make_unique<QtMessageBoxes>(nullptr));
  const QByteArray channels = sw.target.Memory(kChannelStart, 0x200000);
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
  EXPECT_EQ(sw.target.Memory(kChannelStart, 0x200000), channels);
}

int BackupCount() { return QDir(DefaultBackupFolder()).entryList(QDir::Files).size(); }

// A send over flash keeps the blocks it goes over in the file the log names; sent back from the
// page to the address in its name, that file restores them. Switched off, nothing is kept; a
// copy that cannot be kept stops the send before anything is erased.
TEST(JtagSendPage, FlashSendIsBackedUpAndItsCopyRestoresTheFlash) {
  SendWindow sw;
  const QByteArray before = Pattern(0x6000, 7);  // the first three boot blocks
  sw.target.Load(kFirmwareStart, before);
  EXPECT_EQ(sw.SendFile(Pattern(0x1000, 8), "60002800"), kSent);
  const QString backup = sw.LoggedBackup();
  ASSERT_TRUE(backup.endsWith("_flash-send_60002000.bin")) << backup.toStdString();
  EXPECT_EQ(ReadAll(backup), before.mid(0x2000, 0x2000));
  EXPECT_NE(sw.target.Memory(kFirmwareStart, 0x6000), before);

  ASSERT_TRUE(sw.SendPath(backup, "60002000"));
  EXPECT_EQ(sw.boxes().boxes.back().text, kSent);
  EXPECT_EQ(sw.target.Memory(kFirmwareStart, 0x6000), before);

  // Off (the configuration page's check box stores this setting): no file.
  sw.window().settings().SetBool(Key::kCopiaSeguridad, false);
  const int files = BackupCount();
  EXPECT_EQ(sw.SendFile(Pattern(0x1000, 9), "60002800"), kSent);
  EXPECT_EQ(BackupCount(), files);
  EXPECT_EQ(sw.Logged("Sin copia de seguridad (desactivada)"), 1);

  // The data folder under a regular file: the copy fails and nothing is erased.
  sw.window().settings().SetBool(Key::kCopiaSeguridad, true);
  const QString plain = sw.ini.filePath("plain");
  QFile(plain).open(QIODevice::WriteOnly);
  const QByteArray data_home = qgetenv("XDG_DATA_HOME");
  qputenv("XDG_DATA_HOME", plain.toUtf8());
  const QByteArray held = sw.target.Memory(kFirmwareStart, 0x6000);
  const int erases = sw.target.flash_erases();
  const QString refused = sw.SendFile(Pattern(0x1000, 10), "60002800");
  qputenv("XDG_DATA_HOME", data_home);
  EXPECT_TRUE(refused.startsWith("No se pudo guardar la copia de seguridad ("))
      << refused.toStdString();
  EXPECT_EQ(sw.target.flash_erases(), erases);
  EXPECT_EQ(sw.target.Memory(kFirmwareStart, 0x6000), held);
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

// "Borrar Chip" asks with its check box ticked: left ticked, the chip is read and kept before
// the erase; unticked, it is erased without a copy.
TEST(JtagSendPage, EraseQuestionReadsTheChipFirstWhenItsBoxIsTicked) {
  SendWindow sw(std::make_unique<QtMessageBoxes>(nullptr));
  const QByteArray before = sw.target.Memory(kChannelStart, 0x200000);
  ASSERT_NE(before.left(0x50000), QByteArray(0x50000, '\xFF'));
  sw.Type(sw.page()->address(), "7FE00000");
  {
    EraseAnswerer answerer(false, "erase-question-backup");
    ASSERT_TRUE(sw.Press(sw.page()->erase_button()));
    EXPECT_TRUE(answerer.ticked);
    EXPECT_TRUE(
        answerer.option.startsWith("Leer el chip antes de borrarlo y guardar una copia (unos "))
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

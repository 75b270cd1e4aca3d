// The page "Firmware (JTag)" against the virtual JTAG target laid out by the virtual receiver's
// own flash type and model files: the fields, the sources' presets, every dump's hand-over to
// the window's pages, "Enviar" and "Borrar Chip".
#include "core/runtime/blocking_runner.h"
#include "sim/virtual_catalogue.h"
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

int BackupCount() { return QDir(DefaultBackupFolder()).entryList(QDir::Files).size(); }

// A window on the virtual target, its settings folder filled by the virtual receiver, the
// JTAG page shown. Without real boxes, the recorded ones answer for the user.
struct JtagWindow {
  explicit JtagWindow(std::unique_ptr<MessageBoxes> real_boxes = nullptr) {
    QString error;
    EXPECT_TRUE(sim::InstallVirtualCatalogue(ini.path(), nullptr, &error)) << error.toStdString();
    WindowOptions options;
    options.virtual_cable = &cable;
    options.ini_dir = ini.path();
    options.boxes = std::move(real_boxes);
    w = std::make_unique<WindowUnderTest>(std::move(options));
    w->window->show();
    w->ShowPage(Page::kJtag);
  }
  TForm1& window() { return *w->window; }
  JtagDumpPage* page() { return window().jtag_page(); }
  testing::RecordedBoxes& boxes() { return *w->boxes; }
  // On the round mark: a short caption leaves the middle of the wide button unclickable.
  void Choose(DumpSource source) {
    testing::ClickMark(page()->source(source));
    ASSERT_TRUE(page()->source(source)->isChecked());
  }
  void Type(QComboBox* field, const QString& text) {
    testing::TypeOver(field->lineEdit(), text);
    QTest::keyClick(field->lineEdit(), Qt::Key_Return);
  }
  bool Idle() {
    return WaitUntil([&] { return !window().session().runner().running(); }, 120000);
  }
  // Clicks and waits until the operation has ended.
  bool Press(QPushButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
    return Idle() && WaitUntil([&] { return page()->isEnabled() && send_enabled(); }, 5000);
  }
  bool send_enabled() { return page()->send_button()->isEnabled(); }
  // Chooses the source, presses "Recibir" and waits for the dump's box.
  bool Dump(DumpSource source) {
    w->ShowPage(Page::kJtag);
    Choose(source);
    const qsizetype before = boxes().boxes.size();
    QTest::mouseClick(page()->receive_button(), Qt::LeftButton);
    return WaitUntil([&] { return boxes().boxes.size() > before; }, 60000) && Idle();
  }
  QString SendFile(const QByteArray& bytes, const QString& address) {
    const QString path = ini.filePath("firmware.bin");
    testing::WriteTestFile(path, bytes);
    Choose(DumpSource::kFile);
    Type(page()->address(), address);
    w->dialogs->Answer(path);
    const qsizetype before = boxes().boxes.size();
    if (!Press(page()->send_button())) return QStringLiteral("did not end");
    return boxes().boxes.size() > before ? boxes().boxes.back().text : QString();
  }
  QString LoggedBackup() { return testing::BackupNamedIn(page()->log()->Lines()); }
  int Logged(const QString& line) { return static_cast<int>(page()->log()->Lines().count(line)); }
  int LoggedStarting(const QString& start) {
    int n = 0;
    for (const QString& line : page()->log()->Lines()) n += line.startsWith(start);
    return n;
  }
  void Shot(const char* name) { testing::SaveShot(&window(), name); }
  bool Shows(Page shown) { return window().pages()->currentIndex() == static_cast<int>(shown); }

  QTemporaryDir ini;
  sim::JtagTarget target;
  sim::TargetCable cable{target, target, sim::TargetCable::Chips::kKeepBytes};
  std::unique_ptr<WindowUnderTest> w;
};

// How blocks are compared, erased, verified, retried and kept is the engine's; here the page's
// file and address, and the configuration page's "Forzar escritura en todos los bloques", reach
// it.
TEST(JtagSendPage, FirmwareFileIsProgrammedAndForced) {
  JtagWindow sw;
  // Across the eight boot blocks and two 64 KiB blocks, the last one partly.
  const QByteArray firmware = Pattern(0x2C000, 1);
  EXPECT_EQ(sw.SendFile(firmware, "60000000"), kSent);
  EXPECT_EQ(sw.target.Memory(kFirmwareStart, firmware.size()), firmware);
  sw.Shot("jtag_send_firmware");

  // Forced, the same file is written again whole: no block is skipped.
  const int erases = sw.target.flash_erases();
  sw.w->ShowPage(Page::kConfig);
  QCheckBox* force = sw.window().config_page()->jtag_group()->force_box();
  ASSERT_FALSE(force->isChecked());
  testing::ClickMark(force);
  ASSERT_TRUE(force->isChecked());
  sw.w->ShowPage(Page::kJtag);
  EXPECT_EQ(sw.SendFile(firmware, "60000000"), kSent);
  EXPECT_EQ(sw.target.flash_erases(), erases + 10);
}

// The EEPROM image and the channel tables the window holds go back where they came from; the
// flash dump reaches the tuning page on its way.
TEST(JtagSendPage, HeldEepromAndChannelTablesAreSentBack) {
  JtagWindow sw;
  const QByteArray written = Pattern(0x800, 5);
  sw.window().services().eeprom_image.PlaceBytes(
      reinterpret_cast<const uint8_t*>(written.constData()), 0, 0x800);
  sw.Choose(DumpSource::kEeprom);
  sw.boxes().confirm = true;  // the write question comes first
  ASSERT_TRUE(sw.Press(sw.page()->send_button()));
  EXPECT_EQ(sw.boxes().boxes.back().text, "¡ Eeprom escrita con éxito !");
  const sim::EepromBytes chip = sw.target.Eeprom();
  EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(chip.data()), 0x800), written);

  // A RAM table, dumped and sent back: the same bytes land in RAM.
  ASSERT_TRUE(sw.Dump(DumpSource::kRam));
  // The source chosen is stored as the settings' own choice.
  EXPECT_TRUE(sw.window().settings().Bool(Key::kUsarFirmJtagRam));
  EXPECT_FALSE(sw.window().settings().Bool(Key::kUsarFirmJtagEeprom));
  ASSERT_TRUE(sw.window().services().channel_list.ram());
  const QByteArray table = sw.target.Memory(sim::kRamChannelTable, 0x7600);
  sw.target.Load(sim::kRamChannelTable, QByteArray(0x7600, '\0'));
  sw.w->ShowPage(Page::kJtag);
  ASSERT_TRUE(sw.Press(sw.page()->send_button()));
  EXPECT_EQ(sw.boxes().boxes.back().text, kSent);
  EXPECT_EQ(sw.target.Memory(sim::kRamChannelTable, 0x7600), table);
  // The flash table, dumped and sent back unchanged: every block is skipped.
  ASSERT_TRUE(sw.Dump(DumpSource::kFlash));
  EXPECT_EQ(sw.page()->address()->currentText(), "7FE00000");
  EXPECT_EQ(sw.w->LastBox(), "¡ Firmware leído con éxito !");
  EXPECT_TRUE(sw.Shows(Page::kTuning));
  ASSERT_TRUE(sw.window().services().channel_list.flash_held());
  sw.Shot("flash_dump");
  sw.w->ShowPage(Page::kJtag);
  const int erases = sw.target.flash_erases();
  ASSERT_TRUE(sw.Press(sw.page()->send_button()));
  EXPECT_EQ(sw.boxes().boxes.back().text, kSent);
  EXPECT_EQ(sw.Logged(kSkip), 5);
  EXPECT_EQ(sw.target.flash_erases(), erases);
}

// The real warning names the chip, its first and last address and the port, and quotes the
// Cancel button as it reads; Enter and Escape both cancel. Its check box comes ticked: left
// ticked, the chip is read and kept before the erase; unticked, it is erased without a copy.
// Each erase takes the chosen method: block by block every block of the chip's type, or one
// command, whose failure has its own message.
TEST(JtagSendPage, EraseWarningCancelsByDefaultAndTheEraseTakesTheChosenCopyAndMethod) {
  JtagWindow sw(std::make_unique<QtMessageBoxes>(nullptr));
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
         {QString("¡ A T E N C I Ó N !\r\n\r\n"), QString("Integrado con Lista de Canales"),
          QString("7FE00000"), QString("7FFFFFFF"), QString("virtual"),
          "pulsa " + box.cancel_caption + "."})
      EXPECT_TRUE(box.text.contains(part))
          << part.toStdString() << " in " << box.text.toStdString();
    EXPECT_EQ(sw.target.edges(), edges);
  }

  // OK with the copy left ticked, block by block.
  const auto ok = [](bool untick) {
    return [untick](QMessageBox* box) {
      if (untick && box->checkBox()) testing::ClickMark(box->checkBox());
      QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    };
  };
  testing::ClickMark(sw.page()->erase_method(EraseMethod::kBlocks));
  {
    testing::BoxWatcher answerer(ok(false), "erase-question-backup");
    ASSERT_TRUE(sw.Press(sw.page()->erase_button()));
    ASSERT_FALSE(answerer.seen.isEmpty());
    EXPECT_TRUE(answerer.seen[0].option_ticked);
    EXPECT_TRUE(
        answerer.seen[0].option.startsWith("Leer el chip antes de borrarlo y guardar una copia"))
        << answerer.seen[0].option.toStdString();
  }
  EXPECT_EQ(sw.LoggedStarting("Borrando bloque : "), 32);
  const QString backup = sw.LoggedBackup();
  EXPECT_TRUE(backup.endsWith("_flash-erase_7FE00000.bin")) << backup.toStdString();
  EXPECT_EQ(testing::ReadTestFile(backup), before);
  EXPECT_EQ(sw.target.Memory(kChannelStart, 0x200000), QByteArray(0x200000, '\xFF'));
  sw.Shot("jtag_erase_blocks");

  // Unticked, one command, which fails: no copy, and the firmware chip is left alone.
  const QByteArray firmware = Pattern(0x2000, 6);
  sw.target.Load(kFirmwareStart, firmware);
  sw.Type(sw.page()->address(), "60000000");
  testing::ClickMark(sw.page()->erase_method(EraseMethod::kSingleCommand));
  ASSERT_TRUE(sw.target.ApplyFault("jtag-erase-fail:1"));
  const int files = BackupCount();
  {
    testing::BoxWatcher answerer(ok(true));
    ASSERT_TRUE(sw.Press(sw.page()->erase_button()));
    ASSERT_EQ(answerer.seen.size(), 2);
    EXPECT_TRUE(answerer.seen[0].option_ticked);
    EXPECT_EQ(answerer.seen[1].text, "Se produjo un error borrando el chip.");
  }
  EXPECT_EQ(BackupCount(), files);
  EXPECT_EQ(sw.Logged("Sin copia de seguridad (desactivada)"), 1);
  EXPECT_EQ(sw.target.Memory(kFirmwareStart, 0x2000), firmware);
}

TEST(JtagDumpPage, EepromDumpFillsTheEepromPage) {
  JtagWindow jw;
  // The hand-over comes before the port is closed, as the dump's steps order it.
  QStringList log_at_hand_over;
  QObject::connect(jw.window().pages(), &QTabWidget::currentChanged,
                   [&] { log_at_hand_over = jw.page()->log()->Lines(); });
  // An edit in the rows the dump reaches is asked about first: kept, the dump does not start.
  // (The image is filled at the window's first activation, so the edit comes after it.)
  ASSERT_TRUE(jw.w->Show());
  jw.w->ShowPage(Page::kEeprom);
  ASSERT_TRUE(testing::TypeIntoCell(jw.window().eeprom_page()->hex_editor(), 0x41, 3, "5a"));
  jw.w->ShowPage(Page::kJtag);
  jw.Choose(DumpSource::kEeprom);
  jw.boxes().answers = {Answer::kCancel};
  QTest::mouseClick(jw.page()->receive_button(), Qt::LeftButton);
  EXPECT_TRUE(jw.page()->log()->Lines().isEmpty());
  EXPECT_EQ(jw.boxes().questions.size(), 1);
  // Discarded, the dump replaces it, with the pages locked until it has ended.
  bool locked_at_box = false;
  jw.boxes().on_box = [&](const auto&) {
    locked_at_box = !jw.window().PageTakesInput(Page::kEeprom);
  };
  ASSERT_TRUE(jw.Dump(DumpSource::kEeprom));
  EXPECT_TRUE(locked_at_box);
  EXPECT_TRUE(jw.window().PageTakesInput(Page::kEeprom));
  EXPECT_EQ(jw.window().windowTitle(), "Tornavo v4.0 (FINAL)");
  EXPECT_TRUE(log_at_hand_over.contains("Reset DCU desactivado"));
  EXPECT_FALSE(log_at_hand_over.contains("Cerrando LPT1"));
  EXPECT_EQ(jw.page()->log()->Lines().last(), "Cerrando LPT1");
  EXPECT_EQ(jw.w->LastBox(), "¡ Eeprom leída con éxito !");
  EXPECT_TRUE(jw.Shows(Page::kEeprom));
  const sim::EepromBytes chip = jw.target.Eeprom();
  const EepromImage& image = jw.window().services().eeprom_image;
  for (int a = 0; a < 0x800; ++a) ASSERT_EQ(image.ByteAt(a), chip[a]) << a;
  jw.Shot("eeprom_dump");
}

// What each dump hands over, and what a failed one leaves held, is proven on the hand-over
// itself; here, that each dump reaches its page (the flash dump's is sent back above).
TEST(JtagDumpPage, CpuButtonAndDumpsToTheirPagesOrAFile) {
  JtagWindow jw;
  QTest::mouseClick(jw.page()->cpu_button(), Qt::LeftButton);
  ASSERT_TRUE(jw.Idle());
  EXPECT_TRUE(jw.page()->log()->Lines().contains("Tipo de CPU : STi5510"));

  ASSERT_TRUE(jw.Dump(DumpSource::kImage));
  EXPECT_TRUE(jw.Shows(Page::kPicture));
  EXPECT_EQ(jw.w->LastBox(), "¡ Firmware leído con éxito !");
  EXPECT_FALSE(jw.window().services().pictures.picture().isNull());
  jw.Shot("image_dump");

  // The file source asks for the file first and writes the requested bytes, not the rounded.
  jw.target.Load(0x40020000, QByteArray("0123456789ABCDEFGHIJ"));
  const QString out = jw.w->Path("dump.bin");
  jw.w->dialogs->Answer(out);
  jw.Type(jw.page()->address(), "40020000");
  jw.Type(jw.page()->length(), "10");
  ASSERT_TRUE(jw.Dump(DumpSource::kFile));
  EXPECT_EQ(jw.w->dialogs->requests.size(), 1);
  EXPECT_EQ(testing::ReadTestFile(out), QByteArray("0123456789ABCDEF"));
}

// The grid at the start, never read, is asked about as it stands, with no check box; declined,
// nothing reaches the target. A file of two rows, then a JTAG dump of the whole EEPROM over
// it: every row is the receiver's, and both "Enviar" ask the routine question, naming no file.
// Its box ticked, the JTAG write goes and is not asked about again.
TEST(JtagSendPage, AsksTheEepromWriteQuestionFirst) {
  JtagWindow sw;
  // Activated, the window fills the grid before anything else happens.
  ASSERT_TRUE(sw.w->Show());
  sw.w->ShowPage(Page::kJtag);
  const QStringList& questions = sw.boxes().questions;
  const sim::EepromBytes held = sw.target.Eeprom();
  sw.Choose(DumpSource::kEeprom);
  ASSERT_TRUE(sw.Press(sw.page()->send_button()));
  ASSERT_EQ(questions.size(), 1);
  const QString rows_and_target =
      "Filas que se escribirán : 000-7F0\nDestino : Eeprom, de 000 a 7FF, por el puerto ";
  EXPECT_EQ(questions[0], rows_and_target +
                              "virtual.\nSe enviarán tal como están en el editor. ¿Enviar de "
                              "todos modos?");
  EXPECT_TRUE(sw.page()->log()->Lines().isEmpty());
  EXPECT_EQ(sw.target.Eeprom(), held);

  const QString two_rows = sw.w->Path("two_rows.txt");
  ASSERT_TRUE(testing::WriteTestFile(two_rows, "%EE=00010" + QByteArray(32, '1') + "00\r\n" +
                                                   "%EE=01010" + QByteArray(32, '2') + "00"));
  sw.w->dialogs->Answer(two_rows, 1);
  QTest::mouseClick(sw.window().eeprom_page()->load_button(), Qt::LeftButton);
  sw.w->ShowPage(Page::kJtag);
  ASSERT_TRUE(sw.Press(sw.page()->receive_button()));
  ASSERT_EQ(sw.w->LastBox(), "¡ Eeprom leída con éxito !");
  ASSERT_EQ(questions.size(), 1);
  QTest::mouseClick(sw.window().transfer_controls()->write_button(), Qt::LeftButton);
  ASSERT_EQ(questions.size(), 2);
  EXPECT_TRUE(questions[1].startsWith(rows_and_target)) << questions[1].toStdString();
  EXPECT_TRUE(questions[1].endsWith(".\n¿Escribirlas en la Eeprom del decodificador?"))
      << questions[1].toStdString();

  sw.boxes().confirm = sw.boxes().tick_option = true;
  sw.w->ShowPage(Page::kJtag);
  for (int send = 1; send <= 2; ++send) {
    ASSERT_TRUE(sw.Press(sw.page()->send_button()));
    EXPECT_EQ(sw.w->LastBox(), "¡ Eeprom escrita con éxito !");
  }
  ASSERT_EQ(questions.size(), 3);
  EXPECT_EQ(questions[2],
            rows_and_target + "virtual.\n¿Escribirlas en la Eeprom del decodificador?");
  EXPECT_FALSE(sw.window().settings().Bool(Key::kPreguntarEnviarEeprom));
  EXPECT_EQ(sw.target.Eeprom(), held);
}

// A file too long to send is refused with the reader's reason, and nothing is sent.
TEST(JtagSendPage, AnOversizedFileIsRefusedWithItsReason) {
  JtagWindow sw;
  const QString big = sw.w->Path("big.bin");
  ASSERT_TRUE(testing::WriteTestFile(big, QByteArray(5 * 1024 * 1024, '\x5A')));
  sw.Choose(DumpSource::kFile);
  sw.w->dialogs->Answer(big);
  ASSERT_TRUE(sw.Press(sw.page()->send_button()));
  EXPECT_EQ(sw.w->LastBox(), big + ": longer than 4194304 bytes");
  EXPECT_TRUE(sw.page()->log()->Lines().isEmpty());
}

}  // namespace
}  // namespace tornavo

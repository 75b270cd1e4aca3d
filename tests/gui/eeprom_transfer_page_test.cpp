// The EEPROM page's transfer buttons driving the virtual receiver through the window.
#include "window_fixture.h"

namespace tornavo {
namespace {

using testing::WaitUntil;

// The window on the virtual receiver, shown and active. Without real boxes, the recorded ones
// answer for the user.
struct ReceiverWindow : testing::VirtualReceiverWindow {
  explicit ReceiverWindow(std::unique_ptr<MessageBoxes> real_boxes = nullptr) {
    WindowOptions options;
    options.boxes = std::move(real_boxes);
    Open(std::move(options));
    window().show();
    window().activateWindow();
    // The page's first activation clears the image: it comes before anything the test does.
    started = started && QTest::qWaitForWindowActive(&window());
  }
  const QList<testing::RecordedBoxes::Box>& boxes() { return w->boxes->boxes; }
  EepromTransferControls* controls() { return window().transfer_controls(); }
  void Click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
  bool WaitForBoxes(int count) {
    return WaitUntil([&] { return boxes().size() == count; }, 20000);
  }
  std::array<uint8_t, kEepromBytes> ImageBytes() {
    return window().services().eeprom_image.Bytes();
  }
  // Types a byte other than the one it holds into the first cell of each row.
  void EditRows(std::initializer_list<int> rows) {
    for (int row : rows) {
      const bool zero = window().services().eeprom_image.Cell(row + 1, 1) == "00";
      ASSERT_TRUE(testing::TypeIntoCell(window().eeprom_page()->hex_editor(), row + 1, 1,
                                        zero ? "01" : "00"));
    }
  }
};

// The backup the last write named in the EEPROM log; empty when it named none.
QString BackupInLog(TForm1& window) {
  return testing::BackupNamedIn(window.log(LogId::kEeprom)->Lines());
}

// The frames of one kind ("%EE?" reads, "%EE=" writes) the receiver got, cut to their
// address part.
QList<QByteArray> Frames(const sim::VirtualReceiver& receiver, const char* kind) {
  QList<QByteArray> found;
  for (const QByteArray& frame : receiver.ReceivedFrames())
    if (frame.startsWith(kind)) found << frame.left(9);
  return found;
}

// A read from the named fields' page: the grid comes forward, the pages are locked, and the
// panel is clean before the closing message; each field's raw box is then as after a load of
// the same bytes (a known entry's box greyed). Three rows then edited with the keyboard: the
// verify names them, they stay coloured in the grid, and the next read asks about the edits
// and clears the colour.
TEST(EepromTransferPage, ReadThenVerifyNamesAndColoursTheDifferingRows) {
  ReceiverWindow rw;
  ASSERT_TRUE(rw.started) << rw.error.toStdString();
  TForm1& window = rw.window();
  TaskPage* page = window.task_page(StatusPage::kEeprom);
  bool clean = false;
  rw.w->boxes->on_box = [&](const testing::RecordedBoxes::Box&) {
    clean = page->progress_bar()->value() == 0;
    for (int f = 0; f < kStatusFieldCount; ++f)
      clean = clean && page->status_panel()->Value(static_cast<StatusField>(f)).isEmpty();
  };
  window.eeprom_page()->inner_pages()->setCurrentIndex(1);
  rw.Click(rw.controls()->read_button());
  EXPECT_FALSE(window.PageTakesInput(Page::kEeprom));
  EXPECT_EQ(window.eeprom_page()->inner_pages()->currentIndex(), 0);
  EXPECT_EQ(page->status_panel()->Value(StatusField::kTask), "Recibe");
  ASSERT_TRUE(rw.WaitForBoxes(1));
  EXPECT_EQ(rw.boxes()[0].text, "¡ Eeprom leída con éxito !");
  EXPECT_TRUE(clean);
  EXPECT_TRUE(window.PageTakesInput(Page::kEeprom));
  InterpretedView& view = window.eeprom_page()->interpreted_view();
  EXPECT_EQ(view.state(view.FindField("Pais :")).text, "ESP");
  EXPECT_TRUE(std::ranges::equal(rw.receiver.Eeprom(), rw.ImageBytes()));
  InterpretedPage* fields = window.eeprom_page()->interpreted_fields();
  auto raw_boxes_enabled = [&] {
    QList<bool> enabled;
    for (int f = 0; f < InterpretedView::FieldCount(); ++f)
      if (fields->raw(f)) enabled << fields->raw(f)->isEnabled();
    return enabled;
  };
  const QList<bool> after_read = raw_boxes_enabled();
  EXPECT_FALSE(fields->raw(view.FindField("Pais :"))->isEnabled());
  const QString saved = rw.w->Path("read.txt");
  rw.w->dialogs->Answer(saved, 1);
  rw.Click(window.eeprom_page()->save_button());
  rw.Click(window.eeprom_page()->clear_button());
  ASSERT_TRUE(fields->raw(view.FindField("Pais :"))->isEnabled());
  rw.w->dialogs->Answer(saved, 1);
  rw.Click(window.eeprom_page()->load_button());
  EXPECT_EQ(raw_boxes_enabled(), after_read);

  rw.EditRows({0x12, 0x3A, 0x7F});
  HexEditor* grid = window.eeprom_page()->hex_editor();
  auto coloured = [&](int row) {
    return grid->model()->index(row, 9).data(Qt::BackgroundRole).isValid();
  };
  rw.Click(rw.controls()->verify_button());
  ASSERT_TRUE(rw.WaitForBoxes(2));
  EXPECT_TRUE(rw.boxes()[1].error);
  EXPECT_EQ(rw.boxes()[1].text, "¡ Verificación completada !\n3 filas diferentes: 120, 3A0, 7F0");
  for (int row = 0; row < kEepromRows; ++row)
    EXPECT_EQ(coloured(row), row == 0x12 || row == 0x3A || row == 0x7F) << row;

  rw.Click(rw.controls()->read_button());
  EXPECT_FALSE(coloured(0x12));
  ASSERT_TRUE(rw.WaitForBoxes(3));
  ASSERT_EQ(rw.w->boxes->questions.size(), 1);
  EXPECT_TRUE(rw.w->boxes->questions[0].contains("Filas cambiadas : 120, 3A0, 7F0"));
  EXPECT_EQ(window.windowTitle(), "Tornavo v4.0 (FINAL)");
}

// An EEPROM file that defines only its first two rows, loaded into the window.
QString LoadTwoRows(ReceiverWindow& rw) {
  QFile file(rw.w->ini_folder.filePath("two.txt"));
  EXPECT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("%EE=00010" + QByteArray(32, '1') + "00\r\n%EE=01010" + QByteArray(32, '2') + "00");
  file.close();
  rw.w->dialogs->Answer(file.fileName(), 1);
  rw.window().eeprom_page()->load_button()->click();
  return file.fileName();
}

// A send of the selected row reads that row alone for its backup, named after its address.
TEST(EepromTransferPage, SendingAsksOnceNamingTheRowsAndThoseTheLoadedFileLacks) {
  ReceiverWindow rw;
  ASSERT_TRUE(rw.started) << rw.error.toStdString();
  TForm1& window = rw.window();
  const QString file = LoadTwoRows(rw);
  ASSERT_TRUE(rw.boxes().isEmpty());
  const auto before = rw.receiver.Eeprom();
  const QStringList& questions = rw.w->boxes->questions;
  auto send = [&](EepromRange range, int row = 0) {
    rw.controls()->range_button(range)->click();
    window.services().eeprom_image.set_selected_row(row);
    rw.Click(rw.controls()->write_button());
  };

  // Declined: nothing is sent.
  send(EepromRange::kAll);
  ASSERT_EQ(questions.size(), 1);
  EXPECT_TRUE(questions[0].startsWith("El archivo " + file +
                                      " no define las filas 020-7F0.\n"
                                      "Filas que se escribirán : 000-7F0\n"))
      << questions[0].toStdString();
  EXPECT_TRUE(window.PageTakesInput(Page::kEeprom));
  EXPECT_TRUE(rw.receiver.ReceivedFrames().isEmpty());

  // The rows the file has: the routine question, its box ticked.
  rw.w->boxes->confirm = rw.w->boxes->tick_option = true;
  send(EepromRange::kSelectedRow, 2);
  ASSERT_TRUE(rw.WaitForBoxes(1));
  ASSERT_EQ(questions.size(), 2);
  EXPECT_TRUE(questions[1].startsWith("Filas que se escribirán : 010\n"))
      << questions[1].toStdString();
  EXPECT_EQ(rw.receiver.ReceivedFrames().size(), 2);
  EXPECT_EQ(Frames(rw.receiver, "%EE?"), QList<QByteArray>{"%EE?01010"});
  EXPECT_EQ(Frames(rw.receiver, "%EE="), QList<QByteArray>{"%EE=01010"});
  EXPECT_EQ(rw.receiver.Eeprom()[0x10], 0x22);
  EXPECT_EQ(rw.receiver.Eeprom()[0x1F], 0x22);
  EXPECT_TRUE(BackupInLog(window).endsWith("_eeprom-send_00000010.txt"));

  // Rows the file lacks are still asked about; confirmed, they go as the grid holds them.
  send(EepromRange::kAll);
  ASSERT_TRUE(rw.WaitForBoxes(2));
  EXPECT_EQ(questions.size(), 3);
  int set_before = 0x20;  // a byte past the file's rows that the receiver held set
  while (set_before < kEepromBytes && before[set_before] == 0xFF) ++set_before;
  ASSERT_LT(set_before, kEepromBytes);
  EXPECT_EQ(rw.receiver.Eeprom()[set_before], 0xFF);
}

// The real questions, as the user meets them. The grid at the start, never read nor loaded, is
// no routine write: its question has no check box. Once read, the routine question: Enter and
// Escape both cancel and nothing is sent; its check box ticked with a key and OK pressed, the
// write goes and that question is off. A grid blank again after "Borrar" is still asked about.
TEST(EepromTransferPage, RoutineWriteQuestionCanBeTurnedOffForGood) {
  ReceiverWindow rw(std::make_unique<QtMessageBoxes>(nullptr));
  ASSERT_TRUE(rw.started) << rw.error.toStdString();
  TForm1& window = rw.window();
  const QString rows_and_target =
      "Filas que se escribirán : 000-7F0\nDestino : Eeprom, de 000 a 7FF, por el puerto " +
      rw.receiver.device_path() + ".\n";
  const QString as_they_stand = "Se enviarán tal como están en el editor. ¿Enviar de todos modos?";
  auto blank_grid_is_asked_about = [&](Qt::Key key) {
    testing::BoxWatcher watcher(key);
    rw.Click(rw.controls()->write_button());
    ASSERT_EQ(watcher.seen.size(), 1);
    EXPECT_TRUE(watcher.seen[0].cancel_is_default);
    EXPECT_FALSE(watcher.seen[0].has_option);
    EXPECT_EQ(watcher.seen[0].text, rows_and_target + as_they_stand);
  };
  blank_grid_is_asked_about(Qt::Key_Return);
  {
    testing::BoxWatcher read_box(Qt::Key_Return);
    rw.Click(rw.controls()->read_button());
    ASSERT_TRUE(WaitUntil([&] { return window.PageTakesInput(Page::kEeprom); }, 20000));
  }
  for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
    testing::BoxWatcher watcher(key, key == Qt::Key_Escape ? "eeprom_send_question" : "");
    rw.Click(rw.controls()->write_button());
    ASSERT_EQ(watcher.seen.size(), 1);
    EXPECT_TRUE(watcher.seen[0].cancel_is_default);
    EXPECT_TRUE(watcher.seen[0].has_option);
    EXPECT_EQ(watcher.seen[0].text,
              rows_and_target + "¿Escribirlas en la Eeprom del decodificador?");
  }
  EXPECT_TRUE(Frames(rw.receiver, "%EE=").isEmpty());
  {
    testing::BoxWatcher answer([](QMessageBox* box) {
      if (box->checkBox()) QTest::keyClick(box->checkBox(), Qt::Key_Space);
      QTest::keyClick(box->button(QMessageBox::Ok), Qt::Key_Space);
    });
    rw.receiver.ClearReceivedFrames();
    rw.Click(rw.controls()->write_button());
    ASSERT_TRUE(WaitUntil([&] { return window.PageTakesInput(Page::kEeprom); }, 20000));
  }
  EXPECT_EQ(Frames(rw.receiver, "%EE?").size(), kEepromRows);  // the backup
  EXPECT_FALSE(window.settings().Bool(Key::kPreguntarEnviarEeprom));

  rw.Click(window.eeprom_page()->clear_button());
  rw.receiver.ClearReceivedFrames();
  blank_grid_is_asked_about(Qt::Key_Escape);
  EXPECT_TRUE(rw.receiver.ReceivedFrames().isEmpty());
}

// The configuration page's box, cleared with the mouse: "Enviar" sends every row as it
// stands and keeps no file.
TEST(EepromBackup, SwitchedOffOnTheConfigurationPageEveryRowGoesAndNoFileIsKept) {
  ReceiverWindow rw;
  rw.w->boxes->confirm = true;  // the question before "Enviar"
  ASSERT_TRUE(rw.started) << rw.error.toStdString();
  TForm1& window = rw.window();
  window.pages()->setCurrentIndex(static_cast<int>(Page::kConfig));
  QCheckBox* box = window.config_page()->backup_box();
  ASSERT_TRUE(box->isChecked());
  EXPECT_EQ(box->text(), "Copia de seguridad antes de cada escritura");
  testing::ClickMark(box);
  EXPECT_FALSE(window.settings().Bool(Key::kCopiaSeguridad));

  const QStringList kept = QDir(DefaultBackupFolder()).entryList(QDir::Files);
  window.pages()->setCurrentIndex(static_cast<int>(Page::kEeprom));
  rw.Click(rw.controls()->write_button());
  ASSERT_TRUE(rw.WaitForBoxes(1));
  EXPECT_EQ(Frames(rw.receiver, "%EE=").size(), kEepromRows);
  EXPECT_TRUE(Frames(rw.receiver, "%EE?").isEmpty());
  EXPECT_TRUE(std::ranges::equal(rw.receiver.Eeprom(), rw.ImageBytes()));
  EXPECT_TRUE(window.log(LogId::kEeprom)->Lines().contains("Sin copia de seguridad (desactivada)"));
  EXPECT_EQ(QDir(DefaultBackupFolder()).entryList(QDir::Files), kept);
}

// A receiver that does not answer the backup read: nothing is written, the box says why, the
// pages come back.
TEST(EepromBackup, AFailedBackupReadWritesNothing) {
  ReceiverWindow rw;
  rw.w->boxes->confirm = true;  // the question before "Enviar"
  ASSERT_TRUE(rw.started) << rw.error.toStdString();
  TForm1& window = rw.window();
  rw.receiver.SetSilent(true);
  window.services().link.SetTimeoutScale(0.02);
  const sim::EepromBytes held = rw.receiver.Eeprom();
  rw.Click(rw.controls()->write_button());
  EXPECT_EQ(window.task_page(StatusPage::kEeprom)->status_panel()->Value(StatusField::kTask),
            "Copia");
  ASSERT_TRUE(rw.WaitForBoxes(1) &&
              WaitUntil([&] { return window.PageTakesInput(Page::kEeprom); }));
  EXPECT_TRUE(rw.boxes()[0].error);
  EXPECT_TRUE(rw.boxes()[0].text.endsWith(
      "\nNo se pudo leer la copia de seguridad. No se ha escrito nada."))
      << rw.boxes()[0].text.toStdString();
  EXPECT_TRUE(Frames(rw.receiver, "%EE=").isEmpty());
  EXPECT_EQ(rw.receiver.Eeprom(), held);
  EXPECT_TRUE(BackupInLog(window).isEmpty());
}

}  // namespace
}  // namespace tornavo

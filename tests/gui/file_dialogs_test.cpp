
#include <QFileDialog>

#include "window_fixture.h"

namespace tornavo {
namespace {

// Reaches the dialogs' shared rules.
struct Rules : FileDialogs {
  FileChoice ChooseOpen(const FileRequest&) override { return {}; }
  FileChoice ChooseSave(const FileRequest&) override { return {}; }
  using FileDialogs::FolderOf;
  using FileDialogs::NameFilters;
  using FileDialogs::WithFilterSuffix;
};

TEST(FileDialogRules, FiltersFoldersAndTheExtensionOfTheChosenEntry) {
  EXPECT_EQ(Rules::NameFilters("Archivo de Texto (TXT)|*.txt|Todos los archivos (*.*)|*.*"),
            (QStringList{"Archivo de Texto (TXT) (*.txt)", "Todos los archivos (*.*) (*.*)"}));
  EXPECT_EQ(Rules::NameFilters("Archivo FLASH (BIN, RCU o RCS)|*.bin;*.rcu;*.rcs|"),
            QStringList{"Archivo FLASH (BIN, RCU o RCS) (*.bin *.rcu *.rcs)"});
  EXPECT_EQ(Rules::FolderOf("/home/tecnico/backups/k2002.bin"), "/home/tecnico/backups");
  EXPECT_EQ(Rules::FolderOf("/k2002.bin"), "/");

  // A name without extension takes the first pattern's of the chosen entry; a typed extension
  // stays; an index outside the entries, or a pattern that is no plain extension, adds nothing.
  const QString flash =
      "Archivo FLASH (BIN, RCU o RCS)|*.bin;*.rcu;*.rcs|Archivo TXT|*.txt|Todo|*.*";
  for (auto [typed, filter, index, kept] : {std::tuple{"/tmp/flash", flash, 1, "/tmp/flash.bin"},
                                            {"/tmp/flash", flash, 2, "/tmp/flash.txt"},
                                            {"/tmp/flash", flash, 3, "/tmp/flash"},
                                            {"/tmp/flash.rcs", flash, 2, "/tmp/flash.rcs"},
                                            {"/tmp/flash.", flash, 1, "/tmp/flash.bin"},
                                            {"/tmp/x", flash, 4, "/tmp/x"},
                                            {"/tmp/x", flash, 0, "/tmp/x"},
                                            {"/tmp/x", QString("Copias|copia*"), 1, "/tmp/x"},
                                            {"/tmp/x", QString("Raras|*.b?n"), 1, "/tmp/x"}})
    EXPECT_EQ(Rules::WithFilterSuffix(typed, filter, index), kept) << typed << " " << index;
}

TEST(FileDialogRules, BoundToTheSettingsAChosenFolderIsStoredThereAtOnce) {
  SymbolRateTable rates{};
  PictureOptions picture;
  Settings settings(rates, picture);
  settings.SetText(Key::kOpenDlgInitialDir, "/srv/eeproms");
  Rules dialogs;
  dialogs.set_save_folder("/tmp/before");
  dialogs.BindSettings(&settings);
  EXPECT_EQ(dialogs.open_folder(), "/srv/eeproms");
  dialogs.set_save_folder("/home/tecnico/capturas");
  EXPECT_EQ(settings.Text(Key::kSaveDlgInitialDir), "/home/tecnico/capturas");
  settings.SetText(Key::kOpenDlgInitialDir, "/mnt/usb");
  EXPECT_EQ(dialogs.open_folder(), "/mnt/usb");
}

// The real save dialog: a name typed without its extension takes the chosen type's, and when
// that file exists the question is about it, No is what Enter and Escape answer, and only Yes
// replaces it.
TEST(QtFileDialogsTest, OverwriteQuestionNamesTheFileWithItsExtension) {
  QTemporaryDir dir;
  QFile existing(dir.filePath("ee_own.txt"));
  ASSERT_TRUE(existing.open(QIODevice::WriteOnly) && existing.write("kept") == 4);
  existing.close();
  QtFileDialogs dialogs(nullptr);
  dialogs.set_save_folder(dir.path());
  const QString filter = "Archivo de Texto Tornavo (TXT)|*.txt|Archivo Binario (BIN)|*.bin";
  // Each run types the name and presses Enter; the question is answered with Enter, Escape or
  // a click on Yes (Key_Y); a dialog still open after that is left with Escape.
  for (Qt::Key answer : {Qt::Key_Return, Qt::Key_Escape, Qt::Key_Y}) {
    QStringList questions;
    bool typed = false;
    bool no_is_default = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      QWidget* modal = QApplication::activeModalWidget();
      if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        questions << box->text();
        no_is_default = box->defaultButton() == box->button(QMessageBox::No) &&
                        box->escapeButton() == box->button(QMessageBox::No);
        if (answer == Qt::Key_Y)
          QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
        else
          QTest::keyClick(box, answer);
        return;
      }
      auto* dialog = qobject_cast<QFileDialog*>(modal);
      if (!dialog) return;
      if (typed) {
        QTest::keyClick(dialog, Qt::Key_Escape);
        return;
      }
      typed = true;
      auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
      ASSERT_NE(name, nullptr);
      // From the event loop, so that this timer answers the question Enter opens.
      QTimer::singleShot(0, name, [name] {
        QTest::keyClicks(name, "ee_own");
        QTest::keyClick(name, Qt::Key_Return);
      });
    });
    poll.start(10);
    const FileChoice choice = dialogs.ChooseSave({filter, 1, QString()});
    ASSERT_EQ(questions.size(), 1) << answer;
    EXPECT_TRUE(questions[0].contains("ee_own.txt")) << questions[0].toStdString();
    EXPECT_TRUE(no_is_default);
    EXPECT_EQ(choice.accepted, answer == Qt::Key_Y);
    if (choice.accepted) {
      EXPECT_EQ(choice.path, dir.filePath("ee_own.txt"));
    }
  }
  EXPECT_EQ(dialogs.save_folder(), dir.path());
}

}  // namespace
}  // namespace tornavo

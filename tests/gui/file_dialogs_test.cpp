#include "gui/file_dialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "core/settings/settings.h"
#include "support/qt_printers.h"

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

TEST(FileDialogRules, FiltersArePairsOfDescriptionAndPatterns) {
  EXPECT_EQ(Rules::NameFilters("Archivo de Texto (TXT)|*.txt|Todos los archivos (*.*)|*.*"),
            (QStringList{"Archivo de Texto (TXT) (*.txt)", "Todos los archivos (*.*) (*.*)"}));
  EXPECT_EQ(Rules::NameFilters("Archivo FLASH (BIN, RCU o RCS)|*.bin;*.rcu;*.rcs"),
            QStringList{"Archivo FLASH (BIN, RCU o RCS) (*.bin *.rcu *.rcs)"});
  // A trailing separator or a description without pattern adds nothing.
  EXPECT_EQ(Rules::NameFilters("Archivo JPEG (JPG)|*.jpg|").size(), 1);
}

TEST(FileDialogRules, FolderHasNoTrailingSeparator) {
  EXPECT_EQ(Rules::FolderOf("/home/tecnico/backups/k2002.bin"), "/home/tecnico/backups");
  EXPECT_EQ(Rules::FolderOf("/k2002.bin"), "/");
}

TEST(FileDialogRules, ANameWithoutExtensionTakesThatOfTheChosenFilterEntry) {
  const QString tables = QString::fromUtf8(
      "Archivo Binario (BIN)|*.bin|Archivo RCU (RCU)|*.rcu|Archivo RCS (RCS)|*.rcs|"
      "Archivo de Texto (TXT)|*.txt|Archivo HTML (HTM)|*.htm|Todos los archivos (*.*)|*.*");
  const QStringList expected = {"/tmp/captura.bin", "/tmp/captura.rcu", "/tmp/captura.rcs",
                                "/tmp/captura.txt", "/tmp/captura.htm", "/tmp/captura"};
  for (int i = 1; i <= 6; ++i)
    EXPECT_EQ(Rules::WithFilterSuffix("/tmp/captura", tables, i), expected[i - 1]) << i;
  const QString pictures = "Archivo BMP (BMP)|*.bmp|Archivo JPEG (JPG)|*.jpg";
  EXPECT_EQ(Rules::WithFilterSuffix("/tmp/captura", pictures, 2), "/tmp/captura.jpg");
  // Several patterns: the first one's; a typed extension stays, whatever the entry.
  const QString flash = "Archivo FLASH (BIN, RCU o RCS)|*.bin;*.rcu;*.rcs|Archivo RAM (BIN)|*.bin";
  EXPECT_EQ(Rules::WithFilterSuffix("/tmp/flash", flash, 1), "/tmp/flash.bin");
  EXPECT_EQ(Rules::WithFilterSuffix("/tmp/flash.rcs", flash, 1), "/tmp/flash.rcs");
  EXPECT_EQ(Rules::WithFilterSuffix("/tmp/log.htm", tables, 4), "/tmp/log.htm");
  EXPECT_EQ(Rules::WithFilterSuffix("/tmp/flash.", flash, 2), "/tmp/flash.bin");
  // An index outside the entries, or a pattern that is no plain extension, adds nothing.
  EXPECT_EQ(Rules::WithFilterSuffix("/tmp/x", flash, 3), "/tmp/x");
  EXPECT_EQ(Rules::WithFilterSuffix("/tmp/x", flash, 0), "/tmp/x");
  EXPECT_EQ(Rules::WithFilterSuffix("/tmp/x", "Copias|copia*", 1), "/tmp/x");
  EXPECT_EQ(Rules::WithFilterSuffix("/tmp/x", "Raras|*.b?n", 1), "/tmp/x");
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

// The real save dialog, answered by typing a bare name with each file type chosen in turn
// from its list, which shows the program's labels as they are.
TEST(QtFileDialogsTest, SavedNameTakesTheExtensionOfTheChosenType) {
  QTemporaryDir dir;
  QtFileDialogs dialogs(nullptr);
  dialogs.set_save_folder(dir.path());
  const QString filter =
      "Archivo BMP (BMP)|*.bmp|Archivo JPEG (JPG)|*.jpg|"
      "Todos los archivos (*.*)|*.*";
  const QStringList expected = {"captura.bmp", "captura.jpg", "captura"};
  for (int index = 1; index <= 3; ++index) {
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (!dialog) return;
      auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
      if (!types) {
        ADD_FAILURE() << "the dialog has no list of file types";
        dialog->reject();
        return;
      }
      QStringList labels;
      for (int i = 0; i < types->count(); ++i) labels << types->itemText(i);
      EXPECT_EQ(labels, (QStringList{"Archivo BMP (BMP)", "Archivo JPEG (JPG)",
                                     "Todos los archivos (*.*)"}));
      EXPECT_EQ(types->currentIndex(), 1);  // the type the caller preselects
      types->setFocus();
      QTest::keyClick(types, Qt::Key_Home);
      for (int i = 1; i < index; ++i) QTest::keyClick(types, Qt::Key_Down);
      auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
      ASSERT_NE(name, nullptr);
      QTest::keyClicks(name, "captura");
      QTest::keyClick(name, Qt::Key_Return);
    });
    poll.start(10);
    const FileChoice choice = dialogs.ChooseSave({filter, 2, QString()});
    ASSERT_TRUE(choice.accepted) << index;
    EXPECT_EQ(choice.filter_index, index);
    EXPECT_EQ(choice.path, dir.filePath(expected[index - 1])) << index;
  }
  EXPECT_EQ(dialogs.save_folder(), dir.path());
}

// A name typed without its extension, while the file with the extension exists: the question
// is about that file, No is what Enter and Escape answer, and only Yes replaces it.
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
}

}  // namespace
}  // namespace tornavo

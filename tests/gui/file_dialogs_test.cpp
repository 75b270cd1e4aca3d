#include "gui/file_dialogs.h"

#include <gtest/gtest.h>

#include "support/qt_printers.h"

namespace tornavo {
namespace {

// Reaches the dialogs' shared rules.
struct Rules : FileDialogs {
  FileChoice ChooseOpen(const FileRequest&) override { return {}; }
  FileChoice ChooseSave(const FileRequest&) override { return {}; }
  using FileDialogs::FolderOf;
  using FileDialogs::NameFilters;
  using FileDialogs::WithDefaultSuffix;
};

TEST(FileDialogRules, FiltersArePairsOfDescriptionAndPatterns) {
  EXPECT_EQ(Rules::NameFilters("Archivo de Texto (TXT)|*.txt|Todos los archivos (*.*)|*.*"),
            (QStringList{"Archivo de Texto (TXT) (*.txt)", "Todos los archivos (*.*) (*.*)"}));
  EXPECT_EQ(Rules::NameFilters("Archivo FLASH (BIN, RCU o RCS)|*.bin;*.rcu;*.rcs"),
            QStringList{"Archivo FLASH (BIN, RCU o RCS) (*.bin *.rcu *.rcs)"});
  // A trailing separator or a description without pattern adds nothing.
  EXPECT_EQ(Rules::NameFilters("Archivo JPEG (JPG)|*.jpg|").size(), 1);
}

TEST(FileDialogRules, FolderHasNoTrailingSeparatorAndSavedNamesGetTxt) {
  EXPECT_EQ(Rules::FolderOf("/home/tecnico/backups/k2002.bin"), "/home/tecnico/backups");
  EXPECT_EQ(Rules::FolderOf("/k2002.bin"), "/");
  EXPECT_EQ(Rules::WithDefaultSuffix("/tmp/log"), "/tmp/log.txt");
  EXPECT_EQ(Rules::WithDefaultSuffix("/tmp/log.htm"), "/tmp/log.htm");
}

}  // namespace
}  // namespace tornavo

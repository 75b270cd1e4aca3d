#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  // Backups and other data files of the tests, and of the programs they start, stay out of
  // the user's data folder.
  QTemporaryDir data_home;
  qputenv("XDG_DATA_HOME", data_home.path().toUtf8());
  QCoreApplication app(argc, argv);
  return RUN_ALL_TESTS();
}

#include "core/serial/command_history.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace tornavo {
namespace {

// Kept across loads as typed, blanks included, each once, the newest kLimit of them; a
// missing file is an empty history.
TEST(CommandHistory, KeepsTheNewestCommandsOnceEachAcrossLoads) {
  QTemporaryDir dir;
  const QString path = dir.filePath("new/HistorialTerminal.txt");
  CommandHistory history;
  history.Load(path);
  EXPECT_TRUE(history.commands().isEmpty());
  for (int i = 0; i < CommandHistory::kLimit + 5; ++i) history.Add(QStringLiteral("%EE?%1").arg(i));
  history.Add(" %PR? ");
  history.Add("%EE?10");
  QString error;
  ASSERT_TRUE(history.Save(&error)) << error.toStdString();

  CommandHistory later;
  later.Load(path);
  ASSERT_EQ(later.commands().size(), CommandHistory::kLimit);
  EXPECT_EQ(later.commands().first(), "%EE?6");
  EXPECT_EQ(later.commands().mid(CommandHistory::kLimit - 2), (QStringList{" %PR? ", "%EE?10"}));
}

}  // namespace
}  // namespace tornavo

#include <gtest/gtest.h>

#include <QFile>
#include <QMenu>
#include <QTabWidget>
#include <QTemporaryDir>

#include "gui/log_view.h"
#include "gui/pages/about_page.h"
#include "gui/pages/tuning_page.h"
#include "support/wait.h"
#include "window_fixture.h"

namespace tornavo {
namespace {

using testing::WindowUnderTest;

TEST(MainWindow, ShowsTheTitleAndTheEightPagesInOrder) {
  WindowUnderTest w;
  EXPECT_EQ(w.window->windowTitle(), "Tornavo v4.0 (FINAL)");
  const QStringList expected = {"Eeprom",          "Firmware (Paralelo+Serie)",
                                "Firmware (JTag)", "Terminal",
                                "Sintonización",   "Imagen",
                                "Configuración",   "Acerca de..."};
  QStringList captions;
  for (int i = 0; i < w.window->pages()->count(); ++i) captions << w.window->pages()->tabText(i);
  EXPECT_EQ(captions, expected);
}

TEST(MainWindow, DisablePagesCoversEveryPageButThePicture) {
  WindowUnderTest w;
  TForm1& window = *w.window;
  window.DisablePages();
  for (Page page : {Page::kEeprom, Page::kFirmware, Page::kJtag, Page::kTerminal, Page::kTuning,
                    Page::kConfig, Page::kAbout})
    EXPECT_FALSE(window.page(page)->isEnabled()) << static_cast<int>(page);
  EXPECT_FALSE(window.tuning_page()->channel_page()->isEnabled());
  EXPECT_TRUE(window.page(Page::kPicture)->isEnabled());
  // A disabled page can still be shown.
  window.pages()->setCurrentIndex(static_cast<int>(Page::kEeprom));
  EXPECT_EQ(window.pages()->currentIndex(), 0);
  window.EnablePages();
  for (int i = 0; i < 8; ++i) EXPECT_TRUE(window.pages()->widget(i)->isEnabled());
  EXPECT_TRUE(window.tuning_page()->channel_page()->isEnabled());
}

// The tuning page waits for its tab (or a use): the window starts without it.
TEST(MainWindow, TheTuningPageIsBuiltWhenItsTabIsFirstShown) {
  WindowUnderTest w;
  TForm1& window = *w.window;
  EXPECT_EQ(window.findChild<TuningPage*>(), nullptr);
  window.pages()->setCurrentIndex(static_cast<int>(Page::kTuning));
  auto* built = window.findChild<TuningPage*>();
  ASSERT_NE(built, nullptr);
  EXPECT_EQ(built, window.tuning_page());
  EXPECT_TRUE(built->isVisibleTo(window.page(Page::kTuning)));
  EXPECT_EQ(window.findChildren<TuningPage*>().size(), 1);
}

TEST(LogMenu, CopyIsEnabledOnlyWithASelection) {
  WindowUnderTest w;
  LogView* log = w.window->log(LogId::kFirmware);
  log->AppendLine("Abriendo LPT1");
  QMenu* menu = log->PrepareMenu();
  QStringList entries;
  for (QAction* action : menu->actions()) entries << action->text();
  EXPECT_EQ(entries, (QStringList{"Guardar como...", "Borrar", "Copiar"}));
  EXPECT_FALSE(menu->actions()[2]->isEnabled());
  log->selectAll();
  EXPECT_TRUE(log->PrepareMenu()->actions()[2]->isEnabled());
  menu->actions()[1]->trigger();
  EXPECT_TRUE(log->Lines().isEmpty());
}

TEST(LogMenu, SaveWritesEightBitLinesWithCrLfAndCancelWritesNothing) {
  QTemporaryDir dir;
  WindowUnderTest w;
  LogView* log = w.window->log(LogId::kTerminal);
  const QString path = dir.filePath("terminal.txt");

  log->SaveAs();  // cancelled
  EXPECT_FALSE(QFile::exists(path));

  w.dialogs->Answer(path);
  log->SaveAs();  // empty log
  QFile empty(path);
  ASSERT_TRUE(empty.open(QIODevice::ReadOnly));
  EXPECT_EQ(empty.readAll(), "");
  empty.close();
  EXPECT_EQ(w.dialogs->requests.last().filter,
            "Archivo de Texto (TXT)|*.txt|Todos los archivos (*.*)|*.*");

  log->AppendLine("%EE?00010F1");
  log->AppendLine("$.EE00\r");
  log->AppendLine("¡ Eeprom leída con éxito !");
  w.dialogs->Answer(path);
  log->SaveAs();
  QFile saved(path);
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  EXPECT_EQ(saved.readAll(), QByteArray("%EE?00010F1\r\n$.EE00\r\n\xA1 Eeprom le\xED"
                                        "da con \xE9"
                                        "xito !\r\n"));
}

TEST(AboutPage, ScrollsOnlyWhileShown) {
  WindowUnderTest w;
  w.window->show();
  AboutPage* about = w.window->about_page();
  EXPECT_FALSE(about->scrolling());
  w.window->pages()->setCurrentIndex(static_cast<int>(Page::kAbout));
  EXPECT_TRUE(about->scrolling());
  ASSERT_TRUE(testing::WaitUntil([&] { return about->scroll_position() > 0; }, 3000));
  w.window->pages()->setCurrentIndex(static_cast<int>(Page::kTerminal));
  EXPECT_FALSE(about->scrolling());
  const int stopped_at = about->scroll_position();
  testing::Pump(150);
  EXPECT_EQ(about->scroll_position(), stopped_at);
}

}  // namespace
}  // namespace tornavo



#include "gui/pages/about_page.h"
#include "window_fixture.h"

namespace tornavo {
namespace {

using testing::WindowUnderTest;

TEST(MainWindow, DisablePagesTakesTheInputButLeavesWhatIsWatchedReadable) {
  WindowUnderTest w;
  TForm1& window = *w.window;
  QStringList captions;
  for (int i = 0; i < window.pages()->count(); ++i) captions << window.pages()->tabText(i);
  EXPECT_EQ(captions.join(", "),
            "Eeprom, Firmware (Paralelo+Serie), Firmware (JTag), Terminal, Sintonización, Imagen, "
            "Configuración, Acerca de...");
  window.config_page();
  // A button the page keeps disabled for its own reasons stays disabled afterwards.
  QPushButton* save_picture = window.picture_page()->save_button();
  ASSERT_FALSE(save_picture->isEnabled());
  std::vector<Page> with_input;
  for (int i = 0; i < 8; ++i)
    if (window.PageTakesInput(static_cast<Page>(i))) with_input.push_back(static_cast<Page>(i));
  EXPECT_GE(with_input.size(), 7u);
  window.DisablePages();
  for (Page page : {Page::kEeprom, Page::kFirmware, Page::kJtag, Page::kTerminal, Page::kTuning,
                    Page::kConfig, Page::kAbout})
    EXPECT_FALSE(window.PageTakesInput(page)) << static_cast<int>(page);
  EXPECT_FALSE(window.transfer_controls()->read_button()->isEnabled());
  EXPECT_FALSE(window.terminal_page()->command_line()->isEnabled());
  EXPECT_TRUE(window.PageTakesInput(Page::kPicture));
  for (StatusPage status : {StatusPage::kEeprom, StatusPage::kFirmware, StatusPage::kJtag}) {
    TaskPage* page = window.task_page(status);
    EXPECT_TRUE(page->isEnabled() && page->progress_bar()->isEnabled() && page->log()->isEnabled());
    // The values are drawn as enabled text, not greyed.
    EXPECT_TRUE(page->status_panel()->findChildren<QLabel*>().first()->isEnabled());
  }
  EXPECT_TRUE(window.log(LogId::kTerminal)->isEnabled());
  // Fields and the tuning page built while the pages are locked are locked too.
  w.ShowPage(Page::kTuning);
  auto* tuning = window.findChild<TuningPage*>();
  ASSERT_NE(tuning, nullptr);
  EXPECT_TRUE(tuning->isVisibleTo(window.page(Page::kTuning)));
  EXPECT_FALSE(window.PageTakesInput(Page::kTuning));
  window.eeprom_page()->inner_pages()->setCurrentIndex(1);
  QComboBox* country = window.eeprom_page()->interpreted_fields()->findChild<QComboBox*>();
  ASSERT_NE(country, nullptr);
  EXPECT_FALSE(country->isEnabled());

  window.EnablePages();
  for (Page page : with_input) EXPECT_TRUE(window.PageTakesInput(page)) << static_cast<int>(page);
  EXPECT_TRUE(window.PageTakesInput(Page::kTuning));
  EXPECT_EQ(window.findChildren<TuningPage*>().size(), 1);
  EXPECT_TRUE(window.transfer_controls()->read_button()->isEnabled());
  EXPECT_TRUE(window.terminal_page()->command_line()->isEnabled());
  EXPECT_FALSE(save_picture->isEnabled());
  EXPECT_TRUE(country->isEnabled());
}

// A window on a fake serial port, a channel list loaded on the tuning page and its first rows
// copied; the page "Eeprom" is then shown with its range set to the selected row.
struct PortWindow {
  PortWindow() : w(WindowUnderTest::OnFakeTty(ini.path())) {
    EXPECT_TRUE(w.Show());
    EXPECT_TRUE(testing::WriteTestFile(
        w.Path("list.bin"), test::FlashImage(test::NumberedChannels(20, 3),
                                             test::NumberedTransponders(3), 0x30100, 0x50000)));
    w.ShowPage(Page::kTuning);
    tuning = w.window->tuning_page();
    w.dialogs->Answer(w.Path("list.bin"));
    QTest::mouseClick(tuning->button(TuningPage::kLoad), Qt::LeftButton);
    tuning->channel_view()->setFocus();
    tuning->channel_view()->selectRow(0);
    QTest::mouseClick(tuning->button(TuningPage::kCopy), Qt::LeftButton);
    w.ShowPage(Page::kEeprom);
    testing::ClickMark(w.window->transfer_controls()->range_button(EepromRange::kSelectedRow));
  }
  // "Recibir" of the selected row; it waits for the row's reply.
  void StartRead() {
    QTest::mouseClick(w.window->transfer_controls()->read_button(), Qt::LeftButton);
    ASSERT_TRUE(w.window->eeprom_transfer().running());
  }
  void AnswerRead() { w.port().Deliver("$.EE" + QByteArray(32, '5') + "\r"); }

  QTemporaryDir ini;
  WindowUnderTest w;
  TuningPage* tuning = nullptr;
};

constexpr Page kLockedPages[] = {Page::kEeprom, Page::kFirmware, Page::kJtag, Page::kTerminal,
                                 Page::kTuning, Page::kConfig,   Page::kAbout};

// While a serial read runs, the tuning page's own updates (shown again, the clipboard changing,
// another inner page) and a list saved from it (which locks and unlocks around its work, as the
// unsaved-edits question runs it) give no input back to any page. Once the read ends, each
// control is as its page wants it.
TEST(PageLock, NothingTakesInputUntilTheOperationEnds) {
  PortWindow pw;
  TForm1& window = *pw.w.window;
  TuningPage* tuning = pw.tuning;
  ASSERT_TRUE(window.services().channel_list.flash_held());
  ASSERT_TRUE(tuning->button(TuningPage::kPaste)->isEnabled());
  std::vector<Page> with_input;
  for (Page page : kLockedPages)
    if (window.PageTakesInput(page)) with_input.push_back(page);
  ASSERT_GE(with_input.size(), 5u);
  pw.StartRead();
  auto nothing_takes_input = [&](const char* when) {
    for (Page page : kLockedPages)
      EXPECT_FALSE(window.PageTakesInput(page)) << when << ", page " << static_cast<int>(page);
  };
  nothing_takes_input("read started");
  pw.w.ShowPage(Page::kTuning);
  const QString copied = QApplication::clipboard()->text();
  QApplication::clipboard()->clear();
  QApplication::clipboard()->setText(copied);
  tuning->inner_pages()->setCurrentIndex(1);
  tuning->inner_pages()->setCurrentIndex(0);
  nothing_takes_input("tuning page updated");
  pw.w.dialogs->Answer(pw.w.Path("saved.bin"));
  ASSERT_TRUE(tuning->SaveImageFile());
  nothing_takes_input("list saved");

  pw.AnswerRead();
  ASSERT_FALSE(window.eeprom_transfer().running());
  for (Page page : with_input) EXPECT_TRUE(window.PageTakesInput(page)) << static_cast<int>(page);
  for (auto b : {TuningPage::kSave, TuningPage::kMove, TuningPage::kPaste, TuningPage::kFind})
    EXPECT_TRUE(tuning->button(b)->isEnabled()) << b;
  // An inner lock released on its own gives nothing back either.
  window.DisablePages();
  window.DisablePages();
  window.EnablePages();
  nothing_takes_input("inner lock released");
  window.EnablePages();
  EXPECT_TRUE(window.PageTakesInput(Page::kTuning));
}

// The window stays open while a serial operation runs (a read, "Comprobar LPT"), as it does
// while a port job runs, and closes once it has ended.
TEST(PageLock, TheWindowStaysOpenWhileASerialOperationRuns) {
  PortWindow pw;
  TForm1& window = *pw.w.window;
  pw.StartRead();
  EXPECT_FALSE(window.close());
  EXPECT_TRUE(window.isVisible());
  pw.AnswerRead();
  pw.w.ShowPage(Page::kFirmware);
  QTest::mouseClick(window.firmware_page()->check_button(), Qt::LeftButton);
  ASSERT_EQ(pw.w.port().written.size(), 2);
  EXPECT_TRUE(pw.w.port().written.back().startsWith("%PR?"));
  EXPECT_FALSE(window.close());
  EXPECT_TRUE(window.isVisible());
  pw.w.port().Deliver("$.PR\r");
  EXPECT_TRUE(window.close());
}

// Copy only with a selection; a saved log is UTF-8, for people to read, with CRLF line ends,
// and a reply keeps its carriage return; a cancelled save writes nothing.
TEST(LogMenu, EntriesAndSaveAs) {
  WindowUnderTest w;
  LogView* log = w.window->log(LogId::kTerminal);
  log->AppendLine("%EE?00010F1");
  QMenu* menu = log->PrepareMenu();
  QStringList entries;
  for (QAction* action : menu->actions()) entries << action->text();
  EXPECT_EQ(entries, (QStringList{"Guardar como...", "Borrar", "Copiar"}));
  EXPECT_FALSE(menu->actions()[2]->isEnabled());
  log->selectAll();
  EXPECT_TRUE(log->PrepareMenu()->actions()[2]->isEnabled());
  menu->actions()[1]->trigger();
  EXPECT_TRUE(log->Lines().isEmpty());

  const QString path = w.Path("terminal.txt");
  log->SaveAs();  // cancelled
  EXPECT_FALSE(QFile::exists(path));
  log->AppendLine("%EE?00010F1");
  log->AppendLine("$.EE00\r");
  log->AppendLine("¡ Eeprom leída con éxito !");
  // The carriage return ends the reply's line on the screen, with no empty line after it.
  EXPECT_EQ(log->toPlainText(), "%EE?00010F1\n$.EE00\n¡ Eeprom leída con éxito !");
  w.dialogs->Answer(path);
  log->SaveAs();
  EXPECT_EQ(testing::ReadTestFile(path),
            "%EE?00010F1\r\n$.EE00\r\r\n¡ Eeprom leída con éxito !\r\n");
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

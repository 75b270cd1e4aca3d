// Edits no file holds: the title names the page that holds them, and closing the window or
// loading over them asks to save, discard or stay.

#include "window_fixture.h"

namespace tornavo {
namespace {

using testing::WindowUnderTest;

const QString kTitle = "Tornavo v4.0 (FINAL)";

struct ShownWindow {
  explicit ShownWindow(std::unique_ptr<MessageBoxes> boxes = nullptr) {
    WindowOptions options;
    options.boxes = std::move(boxes);
    w = std::make_unique<WindowUnderTest>(std::move(options));
    EXPECT_TRUE(w->Show());
  }
  TForm1& window() { return *w->window; }
  EepromImage& image() { return window().services().eeprom_image; }
  // Into column 0 of a row of the hex grid, its page shown meanwhile.
  bool Type(int row, const char* keys) {
    const int shown = window().pages()->currentIndex();
    w->ShowPage(Page::kEeprom);
    const bool typed = testing::TypeIntoCell(window().eeprom_page()->hex_editor(), row, 1, keys);
    window().pages()->setCurrentIndex(shown);
    return typed;
  }
  std::unique_ptr<WindowUnderTest> w;
};

TEST(UnsavedEdits, EepromEditsMarkTheTitleAndAreSavedDiscardedOrKept) {
  ShownWindow sw;
  TForm1& window = sw.window();
  EepromPage* page = window.eeprom_page();
  ASSERT_EQ(window.windowTitle(), kTitle);
  ASSERT_TRUE(sw.Type(0x13, "5a"));
  EXPECT_EQ(window.windowTitle(), kTitle + " - Sin guardar : Eeprom");
  ASSERT_TRUE(sw.Type(0x13, "FF"));  // the old byte back: nothing left to lose
  EXPECT_EQ(window.windowTitle(), kTitle);
  ASSERT_TRUE(sw.Type(0x13, "5a"));

  // Cancelled, neither "Leer Archivo..." nor "Borrar" nor closing touches the edit.
  testing::RecordedBoxes& boxes = *sw.w->boxes;
  boxes.answers = {Answer::kCancel, Answer::kCancel, Answer::kCancel};
  QTest::mouseClick(page->load_button(), Qt::LeftButton);
  QTest::mouseClick(page->clear_button(), Qt::LeftButton);
  EXPECT_FALSE(window.close());
  EXPECT_TRUE(sw.w->dialogs->requests.isEmpty());
  EXPECT_EQ(sw.image().Cell(0x13, 1), "5A");
  ASSERT_EQ(boxes.questions.size(), 3);
  EXPECT_EQ(boxes.questions[2],
            "Los cambios de «Eeprom» no se han guardado en ningún archivo.\n"
            "Filas cambiadas : 120\n¿Guardarlos antes de seguir?");

  // Saved from the question, the edit is in the file and the window closes.
  boxes.answers = {Answer::kSave};
  sw.w->dialogs->Answer(sw.w->Path("kept.bin"), 3);
  EXPECT_TRUE(window.close());
  EXPECT_EQ(testing::ReadTestFile(sw.w->Path("kept.bin")).mid(0x120, 2), QByteArray("\x5A\xFF", 2));
}

TEST(UnsavedEdits, ChannelListEditsMarkTheTitleUntilSavedOrUndone) {
  ShownWindow sw;
  TForm1& window = sw.window();
  const QString list = sw.w->Path("list.bin");
  ASSERT_TRUE(testing::WriteTestFile(list, sim::BuildFlashChannelImage()));
  sw.w->ShowPage(Page::kTuning);
  TuningPage* page = window.tuning_page();
  sw.w->dialogs->Answer(list);
  QTest::mouseClick(page->button(TuningPage::kLoad), Qt::LeftButton);
  ASSERT_TRUE(window.services().channel_list.held());
  EXPECT_EQ(window.windowTitle(), kTitle);

  QTableView* channels = page->channel_view();
  channels->setFocus();
  channels->selectRow(0);
  QTest::keyClick(channels, Qt::Key_Backspace);
  EXPECT_EQ(window.windowTitle(), kTitle + " - Sin guardar : Sintonización");
  QTest::keyClick(channels, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(window.windowTitle(), kTitle);
  ASSERT_TRUE(sw.Type(1, "00"));  // both pages, in page order
  channels->setFocus();
  QTest::keyClick(channels, Qt::Key_Backspace);
  EXPECT_EQ(window.windowTitle(), kTitle + " - Sin guardar : Eeprom, Sintonización");

  // A load over the edits asks first; an export to text is no save, a channel image is.
  sw.w->boxes->answers = {Answer::kCancel, Answer::kSave};
  QTest::mouseClick(page->button(TuningPage::kLoad), Qt::LeftButton);
  EXPECT_TRUE(sw.w->dialogs->requests.size() == 1);
  sw.w->dialogs->Answer(sw.w->Path("list.txt"), 4);
  QTest::mouseClick(page->button(TuningPage::kSave), Qt::LeftButton);
  EXPECT_TRUE(window.windowTitle().endsWith("Sintonización"));
  sw.w->dialogs->Answer(sw.w->Path("edited.bin"), 1);
  sw.w->dialogs->Answer(list);
  QTest::mouseClick(page->button(TuningPage::kLoad), Qt::LeftButton);
  EXPECT_EQ(window.windowTitle(), kTitle + " - Sin guardar : Eeprom");
  EXPECT_TRUE(QFile::exists(sw.w->Path("edited.bin")));
  EXPECT_EQ(sw.w->dialogs->requests.size(), 4);
}

// The real question, answered with Enter and with Escape: both keep the window open.
TEST(UnsavedEdits, CloseQuestionCancelsOnEnterAndEscape) {
  ShownWindow sw(std::make_unique<QtMessageBoxes>(nullptr));
  ASSERT_TRUE(sw.Type(2, "12"));
  for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
    testing::BoxWatcher watcher(key, "unsaved_close_question");
    EXPECT_FALSE(sw.window().close());
    ASSERT_EQ(watcher.seen.size(), 1) << key;
    EXPECT_TRUE(watcher.seen[0].cancel_is_default);
    EXPECT_TRUE(sw.window().isVisible());
  }
}

}  // namespace
}  // namespace tornavo

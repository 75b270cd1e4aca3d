
#include <QImageReader>

#include "core/capture/reference_capture.h"
#include "window_fixture.h"

namespace tornavo {
namespace {

// Nothing shown and nothing to save until a capture opens; a failed open or save shows its
// reason and keeps what is shown. The picture stays centred at any size; at the smallest size
// the window allows, it shrinks in its proportions and both buttons stay on the page. "16:9"
// widens the window. The chosen filter decides the saved type, whatever the name says, and
// JPEG is offered each time.
TEST(PicturePageTest, OpensShowsAndSavesThroughItsDialogs) {
  testing::WindowUnderTest ui;
  TForm1& window = *ui.window;
  PicturePage* page = window.picture_page();
  window.resize(800, 700);
  ui.ShowPage(Page::kPicture);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  ASSERT_TRUE(testing::WriteTestFile(ui.Path("bars.bin"), testing::BarsFrame(720)));
  auto open = [&](const QString& name) {
    ui.dialogs->Answer(ui.Path(name));
    QTest::mouseClick(page->open_button(), Qt::LeftButton);
  };
  auto resize = [&](QSize size) {
    window.resize(size);
    QCoreApplication::processEvents();
    return window.size();
  };
  EXPECT_EQ(page->picture_area()->size(), QSize(720, 576));
  open("missing.bin");
  ASSERT_EQ(ui.boxes->boxes.size(), 1);
  EXPECT_TRUE(ui.boxes->boxes[0].error);
  // The system's text, in the language of Qt's installed translation.
  EXPECT_TRUE(
      ui.LastBox().contains(QCoreApplication::translate("QIODevice", "No such file or directory")));
  EXPECT_FALSE(page->save_button()->isEnabled());
  open("bars.bin");
  EXPECT_EQ(window.width(), 800);  // "4:3" keeps the window's width
  for (QSize size : {QSize(800, 700), QSize(1100, 800), QSize(756, 570)}) {
    ASSERT_EQ(resize(size), size);
    SCOPED_TRACE(::testing::Message() << size.width() << " x " << size.height());
    const QRect bounds(QPoint(0, 0), page->size());
    const QRect area = page->picture_area()->geometry();
    EXPECT_LE(std::abs(area.center().x() - bounds.center().x()), 1);
    EXPECT_TRUE(bounds.contains(area));
    for (QWidget* button :
         {static_cast<QWidget*>(page->open_button()), static_cast<QWidget*>(page->save_button())}) {
      EXPECT_TRUE(bounds.contains(button->geometry()));
      EXPECT_FALSE(button->geometry().intersects(area));
    }
    EXPECT_FALSE(page->open_button()->geometry().intersects(page->save_button()->geometry()));
  }
  const QSize area = page->picture_area()->size();
  EXPECT_LT(area.height(), 576);
  EXPECT_NEAR(area.width() * 576.0 / area.height(), 720.0, 2.0);
  EXPECT_EQ(page->picture_area()->pixmap().size(), area);
  // To look at: TORNAVO_SHOTS_DIR names a folder for the picture of the page.
  testing::SaveShot(&window, "756x570-picture");
  // Shown whole again at a large size.
  resize(QSize(1100, 800));
  EXPECT_EQ(page->picture_area()->size(), QSize(720, 576));

  window.services().pictures.options().format = PictureFormat::kWide16x9;
  open("bars.bin");
  EXPECT_EQ(page->picture_area()->size(), QSize(1024, 576));
  EXPECT_EQ(window.width(), 1043);
  EXPECT_EQ(ui.dialogs->requests[0].filter,
            QStringLiteral("Archivo RAM (BIN)|*.bin|Todos los archivos (*.*)|*.*"));
  open("");  // a folder cannot be read
  EXPECT_EQ(ui.boxes->boxes.size(), 2);
  EXPECT_TRUE(page->save_button()->isEnabled());

  for (auto [name, index, type] : {std::tuple{"bitmap.jpg", 1, "bmp"},
                                   {"jpeg.bmp", 2, "jpeg"},
                                   {"no/such/folder/x.jpg", 2, ""}}) {
    ui.dialogs->Answer(ui.Path(name), index);
    QTest::mouseClick(page->save_button(), Qt::LeftButton);
    EXPECT_EQ(ui.dialogs->requests.last().filter_index, 2);
    EXPECT_EQ(QImageReader(ui.Path(name)).format(), type);
  }
  ASSERT_EQ(ui.boxes->boxes.size(), 3);
  EXPECT_TRUE(ui.boxes->boxes[2].error);
}

}  // namespace
}  // namespace tornavo

#include "gui/pages/picture_page.h"

#include <QImageReader>
#include <tuple>

#include "core/capture/reference_capture.h"
#include "window_fixture.h"

namespace tornavo {
namespace {

class PicturePageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window().resize(800, 700);
    ui_.ShowPage(Page::kPicture);
    window().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
    ASSERT_TRUE(testing::WriteTestFile(ui_.Path("bars.bin"), testing::BarsFrame(720)));
  }

  TForm1& window() { return *ui_.window; }
  PictureOptions& options() { return window().services().pictures.options(); }
  void Open(const QString& name = "bars.bin") {
    ui_.dialogs->Answer(ui_.Path(name));
    QTest::mouseClick(page_->open_button(), Qt::LeftButton);
  }
  QSize Resize(QSize size) {
    window().resize(size);
    QCoreApplication::processEvents();
    return window().size();
  }

  testing::WindowUnderTest ui_;
  PicturePage* page_ = ui_.window->picture_page();
};

// Nothing shown and nothing to save until a capture opens, the window widened for "16:9"; a
// failed open or save shows its reason and keeps what is shown. The chosen filter decides the
// saved type, whatever the name says, and JPEG is offered each time.
TEST_F(PicturePageTest, OpensAndSavesThroughItsDialogs) {
  EXPECT_EQ(page_->picture_area()->size(), QSize(720, 576));
  Open("missing.bin");
  ASSERT_EQ(ui_.boxes->boxes.size(), 1);
  EXPECT_TRUE(ui_.boxes->boxes[0].error);
  // The system's text, in the language of Qt's installed translation.
  EXPECT_TRUE(ui_.LastBox().contains(
      QCoreApplication::translate("QIODevice", "No such file or directory")));
  EXPECT_FALSE(page_->save_button()->isEnabled());
  for (auto [width, format, size] : {std::tuple{352, PictureFormat::kOriginal, QSize(352, 576)},
                                     {352, PictureFormat::kWide16x9, QSize(1024, 576)}}) {
    options().capture_width = width;
    options().format = format;
    Open();
    EXPECT_EQ(page_->picture_area()->size(), size);
    EXPECT_EQ(window().width(), format == PictureFormat::kWide16x9 ? 1043 : 800);
  }
  EXPECT_EQ(ui_.dialogs->requests[0].filter,
            QStringLiteral("Archivo RAM (BIN)|*.bin|Todos los archivos (*.*)|*.*"));
  Open("");  // a folder cannot be read
  EXPECT_EQ(ui_.boxes->boxes.size(), 2);
  EXPECT_EQ(page_->picture_area()->size(), QSize(1024, 576));
  EXPECT_TRUE(page_->save_button()->isEnabled());

  for (auto [name, index, type] : {std::tuple{"bitmap.jpg", 1, "bmp"}, {"jpeg.bmp", 2, "jpeg"}}) {
    ui_.dialogs->Answer(ui_.Path(name), index);
    QTest::mouseClick(page_->save_button(), Qt::LeftButton);
    EXPECT_EQ(ui_.dialogs->requests.last().filter_index, 2);
    EXPECT_EQ(QImageReader(ui_.Path(name)).format(), type);
  }
  ui_.dialogs->Answer(ui_.Path("no/such/folder/x.jpg"), 2);
  QTest::mouseClick(page_->save_button(), Qt::LeftButton);
  ASSERT_EQ(ui_.boxes->boxes.size(), 3);
  EXPECT_TRUE(ui_.boxes->boxes[2].error);
}

// Centred at any size, usable while other pages are locked; at the smallest size the window
// allows, the picture shrinks in its proportions and both buttons stay on the page.
TEST_F(PicturePageTest, StaysCentredAndReachableAtEverySize) {
  Open();
  for (QSize size : {QSize(800, 700), QSize(1100, 800), QSize(756, 570)}) {
    ASSERT_EQ(Resize(size), size);
    SCOPED_TRACE(::testing::Message() << size.width() << " x " << size.height());
    const QRect page(QPoint(0, 0), page_->size());
    const QRect area = page_->picture_area()->geometry();
    EXPECT_LE(std::abs(area.center().x() - page.center().x()), 1);
    EXPECT_TRUE(page.contains(area));
    for (QWidget* button : {static_cast<QWidget*>(page_->open_button()),
                            static_cast<QWidget*>(page_->save_button())}) {
      EXPECT_TRUE(page.contains(button->geometry()));
      EXPECT_FALSE(button->geometry().intersects(area));
    }
    EXPECT_FALSE(page_->open_button()->geometry().intersects(page_->save_button()->geometry()));
  }
  const QSize area = page_->picture_area()->size();
  EXPECT_LT(area.height(), 576);
  EXPECT_NEAR(area.width() * 576.0 / area.height(), 720.0, 2.0);
  EXPECT_EQ(page_->picture_area()->pixmap().size(), area);
  // To look at: TORNAVO_SHOTS_DIR names a folder for the picture of the page.
  if (!qEnvironmentVariableIsEmpty("TORNAVO_SHOTS_DIR"))
    window().grab().save(qEnvironmentVariable("TORNAVO_SHOTS_DIR") + "/756x570-picture.png");
  // The whole picture is still what is saved, and shown whole again at a large size.
  EXPECT_EQ(window().services().pictures.picture().size(), QSize(720, 576));
  Resize(QSize(1100, 800));
  EXPECT_EQ(page_->picture_area()->size(), QSize(720, 576));

  window().DisablePages();
  EXPECT_TRUE(page_->open_button()->isEnabled() && page_->save_button()->isEnabled());
}

}  // namespace
}  // namespace tornavo

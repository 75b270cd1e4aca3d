#include "gui/pages/picture_page.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImageReader>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest/QTest>
#include <tuple>

#include "core/capture/convert_capture.h"
#include "core/capture/picture_file.h"
#include "core/capture/reference_capture.h"
#include "core/runtime/text_file.h"
#include "window_fixture.h"

namespace tornavo {
namespace {

class PicturePageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WindowOptions options;
    options.ini_dir = dir_.path();
    ui_ = std::make_unique<testing::WindowUnderTest>(std::move(options));
    window().resize(800, 700);
    window().pages()->setCurrentIndex(static_cast<int>(Page::kPicture));
    window().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
    page_ = window().picture_page();
    QString error;
    ASSERT_TRUE(WriteFileAtomically(Path("bars.bin"), testing::BarsFrame(720), &error));
  }

  TForm1& window() { return *ui_->window; }
  PictureOptions& options() { return window().services().picture_options; }
  QString Path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }

  void OpenBars() {
    ui_->dialogs->Answer(Path("bars.bin"));
    QTest::mouseClick(page_->open_button(), Qt::LeftButton);
  }

  QTemporaryDir dir_;
  std::unique_ptr<testing::WindowUnderTest> ui_;
  PicturePage* page_ = nullptr;
};

// Nothing shown and nothing to save until a capture opens; a failed open keeps what is shown.
TEST_F(PicturePageTest, OpensACaptureInEachFormat) {
  EXPECT_EQ(page_->open_button()->text(), QStringLiteral("Leer Archivo..."));
  EXPECT_EQ(page_->save_button()->text(), QStringLiteral("Guardar como..."));
  EXPECT_EQ(page_->picture_area()->size(), QSize(720, 576));
  page_->OpenCaptureFile();  // cancelled
  ui_->dialogs->Answer(Path("missing.bin"));
  page_->OpenCaptureFile();
  ASSERT_EQ(ui_->boxes->boxes.size(), 1);
  EXPECT_TRUE(ui_->boxes->boxes[0].error);
  // The system's text, in the language of Qt's installed translation.
  EXPECT_TRUE(ui_->boxes->boxes[0].text.contains(
      QCoreApplication::translate("QIODevice", "No such file or directory")));
  EXPECT_TRUE(page_->picture().isNull());
  EXPECT_FALSE(page_->save_button()->isEnabled());

  for (auto [width, format, size] : {std::tuple{720, PictureFormat::kStandard4x3, QSize(720, 576)},
                                     {352, PictureFormat::kOriginal, QSize(352, 576)},
                                     {352, PictureFormat::kWide16x9, QSize(1024, 576)}}) {
    options().capture_width = width;
    options().format = format;
    OpenBars();
    EXPECT_EQ(page_->picture(), MakeShownPicture(testing::BarsFrame(720), options()));
    EXPECT_EQ(page_->picture().size(), size);
    EXPECT_EQ(page_->picture_area()->size(), size);
    EXPECT_EQ(window().width(), format == PictureFormat::kWide16x9 ? 1043 : 800);
  }
  EXPECT_EQ(ui_->dialogs->requests[0].filter,
            QStringLiteral("Archivo RAM (BIN)|*.bin|Todos los archivos (*.*)|*.*"));

  const QImage shown = page_->picture();
  ui_->dialogs->Answer(dir_.path());  // a folder cannot be read
  page_->OpenCaptureFile();
  EXPECT_EQ(ui_->boxes->boxes.size(), 2);
  EXPECT_EQ(page_->picture(), shown);
  EXPECT_TRUE(page_->save_button()->isEnabled());
}

// The chosen filter decides the type, whatever the name says, and JPEG is offered each time.
TEST_F(PicturePageTest, SavesByTheChosenTypeAtTheShownSize) {
  options().format = PictureFormat::kWide16x9;
  OpenBars();
  for (auto [name, index, type] : {std::tuple{"bitmap.jpg", 1, "bmp"}, {"jpeg.bmp", 2, "jpeg"}}) {
    ui_->dialogs->Answer(Path(name), index);
    QTest::mouseClick(page_->save_button(), Qt::LeftButton);
    EXPECT_EQ(ui_->dialogs->requests.last().filter, QString::fromUtf8(kPictureSaveFilter));
    EXPECT_EQ(ui_->dialogs->requests.last().filter_index, 2);
    QImageReader reader(Path(name));
    EXPECT_EQ(reader.format(), type);
    EXPECT_EQ(reader.size(), QSize(1024, 576));
  }
  EXPECT_EQ(QImageReader(Path("bitmap.jpg")).read(),
            page_->picture().convertToFormat(QImage::Format_RGB32));

  ui_->dialogs->Answer(Path("no/such/folder/x.jpg"), 2);
  page_->SavePictureAs();
  ASSERT_EQ(ui_->boxes->boxes.size(), 1);
  EXPECT_TRUE(ui_->boxes->boxes[0].error);
}

TEST_F(PicturePageTest, StaysCentredAndUsableWhileOtherPagesAreDisabled) {
  OpenBars();
  for (QSize size : {QSize(800, 700), QSize(1100, 800)}) {
    window().resize(size);
    QCoreApplication::processEvents();
    const int w = page_->width(), h = page_->height();
    SCOPED_TRACE(::testing::Message() << w << " x " << h);
    const QRect save = page_->save_button()->geometry(), open = page_->open_button()->geometry();
    EXPECT_EQ(page_->picture_area()->pos(), QPoint(w / 2 - 360, h / 2 - 288 - 13));
    EXPECT_EQ(save.topLeft(),
              QPoint(w / 2 - save.width() / 2 + 56, h / 2 - save.height() / 2 + 289));
    EXPECT_EQ(open.topLeft(), QPoint(w / 2 - open.width() / 2 - 72, save.top()));
    EXPECT_FALSE(open.intersects(save));
  }

  window().DisablePages();
  EXPECT_TRUE(page_->open_button()->isEnabled() && page_->save_button()->isEnabled());
}

// At the smallest size the window allows, the picture shrinks in its proportions and both
// buttons stay on the page; made large again, it is shown whole.
TEST_F(PicturePageTest, ButtonsStayReachableAtTheSmallestWindow) {
  OpenBars();
  window().resize(756, 570);
  QCoreApplication::processEvents();
  ASSERT_EQ(window().size(), QSize(756, 570));
  const QRect page(QPoint(0, 0), page_->size());
  for (QWidget* button :
       {static_cast<QWidget*>(page_->open_button()), static_cast<QWidget*>(page_->save_button())}) {
    EXPECT_TRUE(page.contains(button->geometry()))
        << button->geometry().y() << " " << page.height();
    EXPECT_FALSE(button->geometry().intersects(page_->picture_area()->geometry()));
  }
  const QSize area = page_->picture_area()->size();
  EXPECT_TRUE(page.contains(page_->picture_area()->geometry()));
  EXPECT_LT(area.height(), 576);
  EXPECT_NEAR(area.width() * 576.0 / area.height(), 720.0, 2.0);
  EXPECT_EQ(page_->picture_area()->pixmap().size(), area);
  // To look at: TORNAVO_SHOTS_DIR names a folder for the picture of the page.
  if (!qEnvironmentVariableIsEmpty("TORNAVO_SHOTS_DIR"))
    window().grab().save(qEnvironmentVariable("TORNAVO_SHOTS_DIR") + "/756x570-picture.png");
  // The whole picture is still what is saved.
  EXPECT_EQ(page_->picture().size(), QSize(720, 576));

  window().resize(1100, 800);
  QCoreApplication::processEvents();
  EXPECT_EQ(page_->picture_area()->size(), QSize(720, 576));
}

}  // namespace
}  // namespace tornavo

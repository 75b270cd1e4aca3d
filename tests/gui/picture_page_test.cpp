#include "gui/pages/picture_page.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include "core/app/text_file.h"
#include "core/capture/convert_capture.h"
#include "core/capture/picture_file.h"
#include "core/capture/reference_capture.h"
#include "core/serial/serial_transport.h"
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

TEST_F(PicturePageTest, OpensACaptureInEachFormat) {
  EXPECT_EQ(page_->open_button()->text(), QStringLiteral("Leer Archivo..."));
  EXPECT_EQ(page_->save_button()->text(), QStringLiteral("Guardar como..."));
  EXPECT_FALSE(page_->save_button()->isEnabled());
  EXPECT_EQ(page_->picture_area()->size(), QSize(720, 576));

  OpenBars();
  ASSERT_EQ(ui_->dialogs->requests.size(), 1);
  EXPECT_EQ(ui_->dialogs->requests[0].filter,
            QStringLiteral("Archivo RAM (BIN)|*.bin|Todos los archivos (*.*)|*.*"));
  EXPECT_TRUE(page_->save_button()->isEnabled());
  EXPECT_EQ(page_->picture(), MakeShownPicture(testing::BarsFrame(720), options()));
  EXPECT_EQ(page_->picture_area()->size(), QSize(720, 576));

  options().capture_width = 352;
  options().format = PictureFormat::kOriginal;
  OpenBars();
  EXPECT_EQ(page_->picture().size(), QSize(352, 576));
  EXPECT_EQ(page_->picture_area()->size(), QSize(352, 576));
  EXPECT_EQ(window().width(), 800);

  options().format = PictureFormat::kWide16x9;
  OpenBars();
  EXPECT_EQ(page_->picture().size(), QSize(1024, 576));
  EXPECT_EQ(page_->picture_area()->size(), QSize(1024, 576));
  EXPECT_EQ(window().width(), 1043);
  EXPECT_TRUE(ui_->boxes->boxes.isEmpty());
}

TEST_F(PicturePageTest, AFailedOpenKeepsWhatIsShown) {
  page_->OpenCaptureFile();  // cancelled
  EXPECT_TRUE(page_->picture().isNull());
  ui_->dialogs->Answer(Path("missing.bin"));
  page_->OpenCaptureFile();
  ASSERT_EQ(ui_->boxes->boxes.size(), 1);
  EXPECT_TRUE(ui_->boxes->boxes[0].error);
  EXPECT_TRUE(ui_->boxes->boxes[0].text.contains("No such file or directory"));
  EXPECT_FALSE(page_->save_button()->isEnabled());

  OpenBars();
  const QImage shown = page_->picture();
  ui_->dialogs->Answer(dir_.path());  // a folder cannot be read
  page_->OpenCaptureFile();
  EXPECT_EQ(ui_->boxes->boxes.size(), 2);
  EXPECT_EQ(page_->picture(), shown);
  EXPECT_TRUE(page_->save_button()->isEnabled());
}

TEST_F(PicturePageTest, SavesByTheChosenTypeAtTheShownSize) {
  options().format = PictureFormat::kWide16x9;
  OpenBars();
  ui_->dialogs->Answer(Path("chosen_jpeg.bmp"), 2);
  QTest::mouseClick(page_->save_button(), Qt::LeftButton);
  const FileRequest& request = ui_->dialogs->requests.last();
  EXPECT_EQ(request.filter, QString::fromUtf8(kPictureSaveFilter));
  EXPECT_EQ(request.filter_index, 2);
  QImageReader jpeg(Path("chosen_jpeg.bmp"));
  EXPECT_EQ(jpeg.format(), "jpeg");
  EXPECT_EQ(jpeg.size(), QSize(1024, 576));

  ui_->dialogs->Answer(Path("chosen_bitmap.jpg"), 1);
  page_->SavePictureAs();
  EXPECT_EQ(ui_->dialogs->requests.last().filter_index, 2);  // JPEG offered again
  QImageReader bitmap(Path("chosen_bitmap.jpg"));
  EXPECT_EQ(bitmap.format(), "bmp");
  EXPECT_EQ(bitmap.read(), page_->picture().convertToFormat(QImage::Format_RGB32));

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
    const QRect area = page_->picture_area()->geometry();
    EXPECT_EQ(area.topLeft(), QPoint(w / 2 - 360, h / 2 - 288 - 13));
    const QRect save = page_->save_button()->geometry();
    const QRect open = page_->open_button()->geometry();
    EXPECT_EQ(save.topLeft(),
              QPoint(w / 2 - save.width() / 2 + 56, h / 2 - save.height() / 2 + 289));
    EXPECT_EQ(open.topLeft(), QPoint(w / 2 - open.width() / 2 - 72, save.top()));
    EXPECT_FALSE(open.intersects(save));
  }

  window().DisablePages();
  EXPECT_FALSE(window().page(Page::kEeprom)->isEnabled());
  EXPECT_TRUE(page_->save_button()->isEnabled());
  EXPECT_TRUE(page_->isEnabled() && page_->open_button()->isEnabled());
}

}  // namespace
}  // namespace tornavo

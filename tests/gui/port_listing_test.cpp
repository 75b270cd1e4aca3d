// The window as the program opens it lists the system's serial ports on a thread of its own;
// the stored port is selected and opened when they arrive, and a close before that keeps it.

#include <QWindow>

#include "core/serial/qt_serial_transport.h"
#include "window_fixture.h"

namespace tornavo {
namespace {

using testing::FakeTransport;
using testing::WindowUnderTest;

class PortListingTest : public ::testing::Test {
 protected:
  // A window whose stored port is the second of two given devices, after the system's, on
  // `transport` (a fake of the test's own when none is given).
  std::unique_ptr<WindowUnderTest> Open(std::unique_ptr<FakeTransport> transport = nullptr) {
    if (!transport) transport = std::make_unique<FakeTransport>();
    transport_ = transport.get();
    WindowOptions options;
    options.ini_dir = ini_dir_.path();
    options.extra_ports = extra_;
    options.list_ports_in_background = true;
    options.transport = std::move(transport);
    return std::make_unique<WindowUnderTest>(
        std::move(options),
        "[TForm1]\r\nPuerto=" + QByteArray::number(system_.size() + 1) + "\r\n");
  }

  QTemporaryDir ini_dir_;
  const QStringList system_ = QtSerialTransport::AvailablePorts();
  const QStringList extra_ = {"/dev/tornavo-test-a", "/dev/tornavo-test-b"};
  FakeTransport* transport_ = nullptr;
};

TEST_F(PortListingTest, TheStoredPortIsSelectedAndOpenedWhenTheListArrives) {
  auto w = Open();
  TForm1& window = *w->window;
  // The configuration page is built before the list arrives and follows it.
  QComboBox* list = window.config_page()->serial_group()->port_list();
  // The listing reaches the window through its event loop, never inside the constructor.
  EXPECT_EQ(window.port_choices().port_names(), extra_);
  if (!system_.isEmpty()) {
    EXPECT_EQ(transport_->open_count, 0);
  }

  ASSERT_TRUE(testing::WaitUntil([&] { return window.port_choices().port_names().size() > 2; }));
  EXPECT_EQ(window.port_choices().port_names(), system_ + extra_);
  EXPECT_EQ(window.port_choices().port(), system_.size() + 1);
  EXPECT_EQ(transport_->settings().name, "/dev/tornavo-test-b");
  EXPECT_EQ(transport_->open_count, 1);
  EXPECT_EQ(list->count(), system_.size() + 2);
  EXPECT_EQ(list->currentIndex(), system_.size() + 1);
}

TEST_F(PortListingTest, AClosedWindowKeepsTheStoredPortEvenBeforeTheListArrives) {
  auto w = Open();
  w->window->close();
  EXPECT_TRUE(testing::ReadTestFile(ini_dir_.filePath("Tornavo.ini"))
                  .contains("\r\nPuerto=" + QByteArray::number(system_.size() + 1) + "\r\n"));
}

// Opening the port waits for the window to be on screen, so that the window shows first.
TEST_F(PortListingTest, AShownWindowOpensItsPortOnceOnScreen) {
  if (system_.isEmpty()) GTEST_SKIP() << "no system ports: the stored port opens at once";
  struct WatchedTransport : FakeTransport {
    bool Open(QString* error) override {
      if (on_open) on_open();
      return FakeTransport::Open(error);
    }
    std::function<void()> on_open;
  };
  auto transport = std::make_unique<WatchedTransport>();
  WatchedTransport* watched = transport.get();
  auto w = Open(std::move(transport));
  TForm1& window = *w->window;
  bool exposed_at_open = false;
  watched->on_open = [&] {
    exposed_at_open = window.windowHandle() && window.windowHandle()->isExposed();
  };
  window.show();
  ASSERT_TRUE(testing::WaitUntil([&] { return watched->open_count > 0; }));
  EXPECT_TRUE(exposed_at_open);
  EXPECT_EQ(watched->open_count, 1);
}

}  // namespace
}  // namespace tornavo

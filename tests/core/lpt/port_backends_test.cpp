// Each backend's lifecycle: acquire, use, release, and a refused acquire that names the
// device and the system's reason.
#include "core/lpt/port_backends.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QFile>
#include <QTemporaryDir>
#include <array>
#include <thread>

#include "core/lpt/port_locator.h"
#include "support/hostile_peer.h"
#include "support/wait.h"

namespace tornavo {
namespace {

TEST(PortLocatorTest, ParsesTheFourFormsAndRefusesTheRest) {
  PortLocator locator;
  QString error;
  ASSERT_TRUE(ParsePortLocator("ppdev:/dev/parport1", &locator, &error));
  EXPECT_EQ(locator.kind, PortLocator::Kind::kPpdev);
  EXPECT_EQ(locator.path, "/dev/parport1");
  ASSERT_TRUE(ParsePortLocator("direct:a068", &locator, &error));
  EXPECT_EQ(locator.kind, PortLocator::Kind::kDirect);
  EXPECT_EQ(locator.base, 0xA068);
  EXPECT_EQ(locator.Text(), "direct:A068");
  ASSERT_TRUE(ParsePortLocator("socket:/tmp/p", &locator, &error));
  EXPECT_EQ(locator.kind, PortLocator::Kind::kSocket);
  ASSERT_TRUE(ParsePortLocator("virtual", &locator, &error));
  EXPECT_EQ(locator.kind, PortLocator::Kind::kVirtual);
  // Only the four bases of the address list: nothing else can be opened for direct I/O.
  for (const char* bad : {"direct:379", "direct:", "ppdev:", "socket:", "lpt1", ""}) {
    locator = PortLocator{};
    EXPECT_FALSE(ParsePortLocator(bad, &locator, &error)) << bad;
    EXPECT_TRUE(error.contains("ppdev:")) << bad;
  }
  EXPECT_EQ(PortBackends().Make(PortLocator{PortLocator::Kind::kVirtual, {}, 0}, &error), nullptr);
}

TEST(PortLocatorTest, ListsTheParportDevicesInNumberOrder) {
  QTemporaryDir dir;
  for (const char* name : {"parport10", "parport2", "parport0", "ttyS0"}) {
    QFile file(dir.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  EXPECT_EQ(PpdevLocatorsPresent(dir.path()),
            QStringList({"ppdev:" + dir.filePath("parport0"), "ppdev:" + dir.filePath("parport2"),
                         "ppdev:" + dir.filePath("parport10")}));
}

// Each refusal names the device and the system's reason; releasing after it is harmless.
TEST(PortBackendsTest, RefusedAcquireNamesTheDeviceAndTheReason) {
  QTemporaryDir dir;
  struct Case {
    std::unique_ptr<PortRegisters> port;
    const char* name;
    const char* reason;
  };
  Case cases[] = {{MakePpdevPort("/dev/parport-missing"), "/dev/parport-missing", "No such file"},
                  // Not a parallel port: it opens but cannot be claimed.
                  {MakePpdevPort("/dev/null"), "/dev/null", "claim"},
                  {MakeSocketPort(dir.filePath("nobody")), "nobody", "No such file"}};
  for (Case& c : cases) {
    QString error;
    EXPECT_FALSE(c.port->Acquire(&error)) << c.name;
    EXPECT_TRUE(error.contains(c.name) && error.contains(c.reason)) << error.toStdString();
    c.port->Release();
  }
}

TEST(DirectIoPortTest, AcquireWithoutPermissionIsRefused) {
  auto port = MakeDirectIoPort(0x378);
  QString error;
  if (port->Acquire(&error)) {
    port->Release();
    GTEST_SKIP() << "this process may use direct I/O; the refusal cannot be shown";
  }
  EXPECT_TRUE(error.contains("378")) << error.toStdString();
}

// A port served over a Unix socket by a thread of the test: six registers, and every
// request it saw.
class RegisterServer {
 public:
  explicit RegisterServer(const QString& path) {
    listen_fd_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray bytes = path.toLocal8Bit();
    std::memcpy(address.sun_path, bytes.constData(), bytes.size());
    ok = ::bind(listen_fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
         ::listen(listen_fd_, 1) == 0;
    if (ok) thread_ = std::thread([this] { Serve(); });
  }
  ~RegisterServer() {
    if (thread_.joinable()) thread_.join();
    ::close(listen_fd_);
  }
  void Join() { thread_.join(); }

  bool ok = false;
  std::array<uint8_t, 6> registers{};
  std::string requests;  // 'W'/'R' letters in arrival order
  bool closed_by_client = false;

 private:
  void Serve() {
    const int fd = ::accept(listen_fd_, nullptr, nullptr);
    unsigned char head[2];
    while (::recv(fd, head, 2, MSG_WAITALL) == 2) {
      requests.push_back(static_cast<char>(head[0]));
      if (head[0] == 'W') {
        unsigned char value;
        if (::recv(fd, &value, 1, MSG_WAITALL) != 1) break;
        registers[head[1]] = value;
      } else {
        ::send(fd, &registers[head[1]], 1, MSG_NOSIGNAL);
      }
    }
    closed_by_client = true;
    ::close(fd);
  }

  int listen_fd_ = -1;
  std::thread thread_;
};

TEST(SocketPortTest, WritesReachTheServerBeforeTheNextReadAndReleaseCloses) {
  QTemporaryDir dir;
  const QString path = dir.filePath("lpt");
  RegisterServer server(path);
  ASSERT_TRUE(server.ok);
  auto port = MakeSocketPort(path);
  QString error;
  ASSERT_TRUE(port->Acquire(&error)) << error.toStdString();
  port->Write(PortRegister::kControl, 0x0C);
  port->Write(PortRegister::kExtControl, 0x34);
  EXPECT_EQ(port->Read(PortRegister::kControl), 0x0C);
  EXPECT_EQ(port->Read(PortRegister::kExtControl), 0x34);
  port->Write(PortRegister::kData, 0xA5);
  port->Release();
  server.Join();
  EXPECT_EQ(server.requests, "WWRRW");
  EXPECT_EQ(server.registers[0], 0xA5);
  EXPECT_TRUE(server.closed_by_client);
}

// The hostile peer that the socket-backend tests trust must see a release's last write, even
// when the hang-up arrives with it; otherwise a port that drops its last bytes goes unseen.
TEST(SocketPortTest, TheLastWriteBeforeReleaseReachesTheHostilePeer) {
  struct Registers : PortRegisters {
    bool Acquire(QString*) override { return true; }
    void Release() override {}
    void Write(PortRegister reg, uint8_t value) override { values[static_cast<int>(reg)] = value; }
    uint8_t Read(PortRegister reg) override { return values[static_cast<int>(reg)]; }
    std::array<std::atomic<uint8_t>, 6> values{};
  } registers;
  QTemporaryDir dir;
  for (int round = 0; round < 20; ++round) {
    const QString path = dir.filePath(QString("lpt%1").arg(round));
    testing::HostilePeer peer(registers, path, testing::PeerFault::kNone, 0);
    ASSERT_TRUE(peer.listening());
    auto port = MakeSocketPort(path);
    QString error;
    ASSERT_TRUE(port->Acquire(&error)) << error.toStdString();
    port->Write(PortRegister::kData, static_cast<uint8_t>(round + 1));
    port->Release();
    ASSERT_TRUE(testing::WaitUntil([&] { return peer.client_closed(); }, 5000));
    ASSERT_EQ(registers.values[0], round + 1) << "round " << round;
  }
}

}  // namespace
}  // namespace tornavo

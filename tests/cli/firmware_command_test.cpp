// "tornavo firmware" against "tornavo virtual-receiver --parallel-socket", as processes.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "support/qt_printers.h"
#include "tornavo_process.h"

namespace tornavo {
namespace {

using testing::BackgroundReceiver;
using testing::RunTornavo;

class FirmwareCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::WriteFile(File(), testing::Pattern(3000, 0));
    // Short pauses before the first byte and the verification, so the tests run quickly.
    testing::WriteFile(dir_.filePath("Tornavo.ini"),
                       "[TForm1]\r\nRetardoComienzo=200\r\nRetardoVerificacion=200\r\n");
  }
  QString File() const { return dir_.filePath("fw.bin"); }
  QString Socket() const { return dir_.filePath("lpt"); }
  testing::RunResult Send(const BackgroundReceiver& receiver, QStringList extra = {}) {
    return RunTornavo(QStringList{"firmware", "send", File(), "--port", receiver.device(),
                                  "--parallel", "socket:" + Socket(), "--ini-dir", dir_.path()} +
                      extra);
  }

  QTemporaryDir dir_;
};

TEST_F(FirmwareCommandTest, UpgradesTheVirtualReceiverAndItsVerificationIsPositive) {
  BackgroundReceiver receiver({"--parallel-socket", Socket()});
  ASSERT_FALSE(receiver.device().isEmpty());
  auto result = Send(receiver);
  EXPECT_EQ(result.exit_code, 0) << result.err.toStdString();
  const QStringList lines = testing::Lines(result.out);
  ASSERT_GE(lines.size(), 12) << result.out.toStdString();
  EXPECT_TRUE(lines[0].startsWith("%DL=7FE0000000000BB8"));
  EXPECT_TRUE(result.out.contains("Esperando"));
  EXPECT_TRUE(lines[lines.size() - 3].startsWith("%DL?"));
  EXPECT_EQ(lines.last(), "¡ Actualización completada con éxito !");

  // An address of the list chooses its command and leaves out phase 1.
  result = Send(receiver, {"--address", "FFF82000", "--progress"});
  EXPECT_EQ(result.exit_code, 0) << result.err.toStdString();
  EXPECT_TRUE(result.out.startsWith("%PL=FFF8200000000BB8")) << result.out.toStdString();
  EXPECT_FALSE(result.out.contains("Esperando"));
  // 3000 bytes: no step of 12287 bytes, only the closing position.
  EXPECT_TRUE(result.out.contains("\n3000 / 3000")) << result.out.toStdString();

  result =
      RunTornavo({"firmware", "check-lpt", "--port", receiver.device(), "--ini-dir", dir_.path()});
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_TRUE(
      result.out.endsWith("El puerto paralelo del decodificador está en perfecto estado.\n"));
}

TEST_F(FirmwareCommandTest, RefusalsAndFailuresHaveTheirExitStatuses) {
  BackgroundReceiver refusing(
      {"--parallel-socket", Socket(), "--fault", "refuse-upgrade", "--fault", "refuse-check"});
  ASSERT_FALSE(refusing.device().isEmpty());
  auto result = Send(refusing);
  EXPECT_EQ(result.exit_code, 4);
  EXPECT_EQ(result.err.trimmed(),
            "El decodificador no permite enviar ese archivo a esa dirección.");
  result =
      RunTornavo({"firmware", "check-lpt", "--port", refusing.device(), "--ini-dir", dir_.path()});
  EXPECT_EQ(result.exit_code, 4);

  BackgroundReceiver stuck(
      {"--parallel-socket", Socket(), "--fault", "paper-end", "--fault", "ack-low:10"});
  EXPECT_EQ(Send(stuck).exit_code, 4);

  result = RunTornavo({"firmware", "send", File(), "--port", stuck.device(), "--parallel",
                       "ppdev:/dev/parport-none", "--ini-dir", dir_.path()});
  EXPECT_EQ(result.exit_code, 5);
  EXPECT_TRUE(result.err.contains("No se ha podido abrir el puerto paralelo."));

  const QString port = stuck.device(), file = File(), missing = dir_.filePath("missing.bin");
  const QString empty = dir_.filePath("empty.bin");
  testing::WriteFile(empty, {});
  for (const QString& bad :
       {"send " + file + " --parallel socket:/x",
        "send " + missing + " --port " + port + " --parallel socket:/x",
        "send " + empty + " --port " + port + " --parallel socket:/x",
        "send " + file + " --port " + port + " --parallel lpt1",
        "send " + file + " --port " + port + " --parallel socket:/x --command XL",
        QString("bogus")})
    EXPECT_EQ(RunTornavo(QStringList{"firmware"} + bad.split(' ')).exit_code, 2)
        << bad.toStdString();
}

// Nothing longer than the largest flash chip is read: a file one byte past 16 MiB (no chip
// is described) and a device that never ends are both refused.
TEST_F(FirmwareCommandTest, FilesLongerThanAnyFlashChipAreRefused) {
  QFile big(dir_.filePath("big.bin"));
  ASSERT_TRUE(big.open(QIODevice::WriteOnly));
  ASSERT_TRUE(big.resize(16 * 1024 * 1024 + 1));
  big.close();
  // Sanitizers reserve more address space than any cap would allow.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  constexpr int kMemoryLimitMb = 0;
#else
  constexpr int kMemoryLimitMb = 1024;
#endif
  for (const QString& file : {big.fileName(), QStringLiteral("/dev/zero")}) {
    const auto result = RunTornavo({"firmware", "send", file, "--port", dir_.filePath("no-tty"),
                                    "--parallel", "socket:" + Socket(), "--ini-dir", dir_.path()},
                                   30000, kMemoryLimitMb);
    EXPECT_EQ(result.exit_code, 2) << file.toStdString();
    EXPECT_TRUE(result.err.contains("16777216")) << result.err.toStdString();
  }
}

}  // namespace
}  // namespace tornavo

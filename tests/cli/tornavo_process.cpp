#include "tornavo_process.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>

namespace tornavo::testing {

QString TornavoPath() {
  return qEnvironmentVariable("TORNAVO_BIN", QStringLiteral(TORNAVO_BIN_PATH));
}

void WriteFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).path());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
  ASSERT_EQ(file.write(bytes), bytes.size()) << path.toStdString();
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray Pattern(int size, int seed) {
  QByteArray bytes(size, '\0');
  for (int i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 5 + seed + (i >> 9)) & 0xFF);
  return bytes;
}

QStringList Lines(const QString& text) { return text.split('\n', Qt::SkipEmptyParts); }

::testing::AssertionResult Has(const QString& text, const QString& part) {
  if (text.contains(part)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "no \"" << part.toStdString() << "\" in:\n"
                                       << text.toStdString();
}

RunResult RunTornavo(const QStringList& arguments, int timeout_ms, int memory_limit_mb) {
  QProcess process;
  if (memory_limit_mb > 0) {
    process.setChildProcessModifier([memory_limit_mb] {
      const rlim_t bytes = static_cast<rlim_t>(memory_limit_mb) << 20;
      const rlimit limit{bytes, bytes};
      ::setrlimit(RLIMIT_AS, &limit);
    });
  }
  process.start(TornavoPath(), arguments);
  RunResult result;
  if (!process.waitForFinished(timeout_ms)) {
    process.kill();
    process.waitForFinished();
    result.err = QStringLiteral("did not finish");
    return result;
  }
  result.exit_code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  result.out = QString::fromUtf8(process.readAllStandardOutput());
  result.err = QString::fromUtf8(process.readAllStandardError());
  return result;
}

BackgroundReceiver::BackgroundReceiver(const QStringList& extra_arguments) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config_.path());
  process_.setProcessEnvironment(environment);
  process_.start(TornavoPath(), QStringList{"virtual-receiver", "--no-pacing"} + extra_arguments);
  while (process_.waitForReadyRead(10000)) {
    device_ += QString::fromUtf8(process_.readAllStandardOutput());
    if (device_.contains('\n')) break;
  }
  // The serial device is the first line; a second one may name the parallel socket.
  device_ = device_.section('\n', 0, 0).trimmed();
}

BackgroundReceiver::~BackgroundReceiver() { Stop(); }

void BackgroundReceiver::Stop() {
  if (process_.state() == QProcess::NotRunning) return;
  process_.terminate();
  if (!process_.waitForFinished(3000)) process_.kill();
  process_.waitForFinished();
}

}  // namespace tornavo::testing

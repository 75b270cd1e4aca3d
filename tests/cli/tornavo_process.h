#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace tornavo::testing {

// The built executable run as a user would run it.
struct RunResult {
  int exit_code = -1;
  QString out;
  QString err;
};

QString TornavoPath();
// Writes bytes to path, making its folder first; a file that cannot be written fails the test.
void WriteFile(const QString& path, const QByteArray& bytes);
// What path holds; empty when it cannot be read.
QByteArray ReadFile(const QString& path);
// size bytes that repeat no short run, different for each seed.
QByteArray Pattern(int size, int seed);
// The lines of text that are not empty.
QStringList Lines(const QString& text);
// Whether text holds part; a failure shows the whole text.
::testing::AssertionResult Has(const QString& text, const QString& part);

// memory_limit_mb, when not 0, caps the process's address space, so that a run away
// allocation ends the process instead of filling the machine.
RunResult RunTornavo(const QStringList& arguments, int timeout_ms = 30000, int memory_limit_mb = 0);

// "tornavo virtual-receiver" running in the background for the length of a test.
class BackgroundReceiver {
 public:
  explicit BackgroundReceiver(const QStringList& extra_arguments = {});
  ~BackgroundReceiver();
  QString device() const { return device_; }
  // Ends the receiver now, as a pulled cable would: its line hangs up.
  void Stop();

 private:
  // Its own settings folder goes here, never into the user's.
  QTemporaryDir config_;
  QProcess process_;
  QString device_;
};

}  // namespace tornavo::testing

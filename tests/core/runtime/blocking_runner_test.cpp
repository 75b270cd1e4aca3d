// Work on a worker thread reaches the host on the runner's thread, in order, and waits there
// for the answers to its boxes and questions.
#include "core/runtime/blocking_runner.h"

#include <gtest/gtest.h>

#include <QThread>

#include "support/recording_host.h"
#include "support/wait.h"

namespace tornavo {
namespace {

// Records on which thread every call arrived, and answers questions with Retry.
class ThreadCheckingHost : public testing::RecordingHost {
 public:
  void AppendLog(LogId log, const QString& line) override {
    Check();
    RecordingHost::AppendLog(log, line);
  }
  void Report(StatusPage page, const ProgressReport& report) override {
    Check();
    RecordingHost::Report(page, report);
  }
  Answer Ask(Question, const QString& text) override {
    Check();
    AppendLog(LogId::kJtag, text);
    if (on_ask) on_ask();
    return Answer::kRetry;
  }
  void ShowError(const QString& text) override {
    Check();
    RecordingHost::ShowError(text);
  }
  int foreign_calls = 0;
  std::function<void()> on_ask;

 private:
  void Check() {
    if (QThread::currentThread() != thread_) ++foreign_calls;
  }
  QThread* thread_ = QThread::currentThread();
};

TEST(WorkerRunnerTest, CallsArriveOnTheRunnersThreadInOrderAndQuestionsAreAnswered) {
  ThreadCheckingHost host;
  qsizetype logged_at_box = -1;
  host.on_box = [&](const testing::RecordingHost::Box&) {
    logged_at_box = host.Log(LogId::kJtag).size();
  };
  WorkerRunner runner(host);
  Answer answer = Answer::kAbort;
  bool worker_was_elsewhere = false, done = false;
  QThread* main = QThread::currentThread();
  ASSERT_TRUE(runner.Run(
      [&](OperationHost& worker_host) {
        worker_was_elsewhere = QThread::currentThread() != main;
        for (int i = 0; i < 50; ++i) worker_host.AppendLog(LogId::kJtag, QString::number(i));
        worker_host.Report(StatusPage::kJtag, ProgressReport().Stage("busy").Done(7));
        answer = worker_host.Ask(Question::kAbortRetryIgnore, "block 3?");
        worker_host.ShowError("failed");
        worker_host.AppendLog(LogId::kJtag, "last");
      },
      [&] {
        EXPECT_EQ(QThread::currentThread(), main);
        done = true;
      }));
  EXPECT_TRUE(runner.running());
  ASSERT_TRUE(testing::WaitUntil([&] { return done; }));
  EXPECT_FALSE(runner.running());
  EXPECT_TRUE(worker_was_elsewhere);
  EXPECT_EQ(host.foreign_calls, 0);
  EXPECT_EQ(answer, Answer::kRetry);
  QStringList expected;
  for (int i = 0; i < 50; ++i) expected << QString::number(i);
  EXPECT_EQ(host.Log(LogId::kJtag), (expected + QStringList{"block 3?", "last"}));
  ASSERT_EQ(host.boxes.size(), 1u);
  // The box came after everything before it and before the line that followed it.
  EXPECT_EQ(logged_at_box, 51);
  // The report arrives whole: its stage and its step.
  EXPECT_EQ(host.Status(StatusPage::kJtag, StatusField::kTask), "busy");
  EXPECT_EQ(host.panels[static_cast<int>(StatusPage::kJtag)].done, 7);
}

// A run asked for while the worker waits for an answer on this thread neither starts nor
// waits for the first: it is refused, and the first goes on.
TEST(WorkerRunnerTest, ASecondRunWhileOneIsActiveIsRefused) {
  ThreadCheckingHost host;
  WorkerRunner runner(host);
  int started = 0, finished = 0;
  host.on_ask = [&] {
    EXPECT_FALSE(runner.Run([&](OperationHost&) { ++started; }, [&] { ++finished; }));
  };
  ASSERT_TRUE(runner.Run(
      [&](OperationHost& worker_host) {
        ++started;
        worker_host.Ask(Question::kAbortRetryIgnore, "block?");
      },
      [&] { ++finished; }));
  ASSERT_TRUE(testing::WaitUntil([&] { return finished > 0; }));
  EXPECT_EQ(std::pair(started, finished), std::pair(1, 1));
  EXPECT_FALSE(runner.running());
}

TEST(InlineRunnerTest, RunsToTheEndBeforeReturningAndHostsThatCannotAskStop) {
  testing::RecordingHost host;
  InlineRunner runner(host);
  std::vector<int> order;
  EXPECT_TRUE(runner.Run(
      [&](OperationHost& h) {
        order.push_back(1);
        EXPECT_EQ(h.Ask(Question::kOkCancel, "erase?"), Answer::kCancel);
        EXPECT_EQ(h.Ask(Question::kAbortRetryIgnore, "block?"), Answer::kAbort);
        // One run at a time here too.
        EXPECT_FALSE(runner.Run([&](OperationHost&) { order.push_back(9); }, {}));
      },
      [&] { order.push_back(2); }));
  order.push_back(3);
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

}  // namespace
}  // namespace tornavo

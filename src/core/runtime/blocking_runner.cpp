#include "core/runtime/blocking_runner.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <QThread>
#include <condition_variable>
#include <deque>
#include <mutex>

namespace tornavo {

bool InlineRunner::Run(std::function<void(OperationHost&)> work, std::function<void()> done) {
  if (running_) return false;
  running_ = true;
  work(host_);
  running_ = false;
  if (done) done();
  return true;
}

// The host the worker sees. Its calls wait in one queue, in order, that the runner's thread
// empties from its event loop; calls with an answer block the worker until they have run
// there. The queue and its lock, not the event loop, carry the calls between the threads, so
// every call happens after what the worker did before it, in a way race detectors see.
class WorkerRunner::Forwarder : public OperationHost {
 public:
  Forwarder(WorkerRunner& runner, OperationHost& host) : runner_(runner), host_(host) {}

  void AppendLog(LogId log, const QString& line) override {
    Post([this, log, line] { host_.AppendLog(log, line); });
  }
  void Report(StatusPage page, const ProgressReport& report) override {
    Post([this, page, report] { host_.Report(page, report); });
  }
  void ShowError(const QString& text) override {
    Wait([this, text] { host_.ShowError(text); });
  }
  void ShowInformation(const QString& text) override {
    Wait([this, text] { host_.ShowInformation(text); });
  }
  // Whole, so that the host decides how a success or a failure is said; waits for its box.
  void Log(LogId log, LogLevel level, const QString& line) override {
    if (level == LogLevel::kStep)
      AppendLog(log, line);
    else
      Wait([this, log, level, line] { host_.Log(log, level, line); });
  }
  void DisablePages() override {
    Post([this] { host_.DisablePages(); });
  }
  void EnablePages() override {
    Post([this] { host_.EnablePages(); });
  }
  Answer Ask(Question question, const QString& text) override {
    Answer answer = Answer::kAbort;
    Wait([this, question, text, &answer] { answer = host_.Ask(question, text); });
    return answer;
  }
  Answer AskWithOption(Question question, const QString& text, const QString& option,
                       bool* checked) override {
    Answer answer = Answer::kAbort;
    Wait([this, question, text, option, checked, &answer] {
      answer = host_.AskWithOption(question, text, option, checked);
    });
    return answer;
  }
  void Call(const std::function<void()>& work) override {
    Wait([this, &work] { host_.Call(work); });
  }

  // The work's last word: runs after every call it made.
  void Post(std::function<void()> call) { Enqueue({std::move(call), nullptr}); }

  // On the runner's thread. A call may run a nested event loop (a box); a drain started
  // inside it goes on with the queue, and the outer one finds it emptied.
  void Drain() {
    for (;;) {
      Item item;
      {
        std::lock_guard lock(mutex_);
        if (queue_.empty()) return;
        item = std::move(queue_.front());
        queue_.pop_front();
      }
      item.call();
      if (item.finished) {
        std::lock_guard lock(mutex_);
        *item.finished = true;
        ran_.notify_all();
      }
    }
  }

 private:
  struct Item {
    std::function<void()> call;
    bool* finished = nullptr;  // set, under the lock, once a waiting call has run
  };

  void Wait(std::function<void()> call) {
    bool finished = false;
    Enqueue({std::move(call), &finished});
    std::unique_lock lock(mutex_);
    ran_.wait(lock, [&] { return finished; });
  }

  void Enqueue(Item item) {
    bool wake;
    {
      std::lock_guard lock(mutex_);
      wake = queue_.empty();
      queue_.push_back(std::move(item));
    }
    // By name, carrying nothing: whatever the calls hold travels in the queue.
    if (wake) QMetaObject::invokeMethod(&runner_, "DrainCalls", Qt::QueuedConnection);
  }

  WorkerRunner& runner_;
  OperationHost& host_;
  std::mutex mutex_;
  std::condition_variable ran_;
  std::deque<Item> queue_;
};

WorkerRunner::WorkerRunner(OperationHost& host, QObject* parent)
    : QObject(parent), host_(host), forwarder_(std::make_unique<Forwarder>(*this, host)) {}

WorkerRunner::~WorkerRunner() {
  // Work still running may wait for this thread to show a box or answer a question, so
  // this thread serves it until the work has returned.
  while (!work_returned_) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(1);
  }
  if (thread_.joinable()) thread_.join();
}

bool WorkerRunner::Run(std::function<void(OperationHost&)> work, std::function<void()> done) {
  // A run asked for while one is active (from a box it shows, say) would have to wait here for
  // a worker that waits for this thread.
  if (running_) return false;
  if (thread_.joinable()) thread_.join();
  running_ = true;
  work_returned_ = false;
  thread_ = std::thread([this, work = std::move(work), done = std::move(done)]() mutable {
    work(*forwarder_);
    work_returned_ = true;
    forwarder_->Post([this, done = std::move(done)] {
      if (thread_.joinable()) thread_.join();
      running_ = false;
      if (done) done();
    });
  });
  return true;
}

void WorkerRunner::DrainCalls() { forwarder_->Drain(); }

}  // namespace tornavo

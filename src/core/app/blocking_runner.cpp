#include "core/app/blocking_runner.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <QThread>

namespace tornavo {

void InlineRunner::Run(std::function<void(OperationHost&)> work, std::function<void()> done) {
  running_ = true;
  work(host_);
  running_ = false;
  if (done) done();
}

// The host the worker sees. Calls without an answer are queued to the runner's thread;
// calls with one block the worker until the user has answered there. Queued and blocking
// calls to one object keep their order.
class WorkerRunner::Forwarder : public OperationHost {
 public:
  Forwarder(WorkerRunner& runner, OperationHost& host) : runner_(runner), host_(host) {}

  void AppendLog(LogId log, const QString& line) override {
    Post([this, log, line] { host_.AppendLog(log, line); });
  }
  void SetStatus(StatusPage page, StatusField field, const QString& text) override {
    Post([this, page, field, text] { host_.SetStatus(page, field, text); });
  }
  void SetProgressMaximum(StatusPage page, int maximum) override {
    Post([this, page, maximum] { host_.SetProgressMaximum(page, maximum); });
  }
  void SetProgress(StatusPage page, int position) override {
    Post([this, page, position] { host_.SetProgress(page, position); });
  }
  void ShowError(const QString& text) override {
    Wait([this, text] { host_.ShowError(text); });
  }
  void ShowInformation(const QString& text) override {
    Wait([this, text] { host_.ShowInformation(text); });
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

 private:
  void Post(std::function<void()> call) {
    QMetaObject::invokeMethod(&runner_, std::move(call), Qt::QueuedConnection);
  }
  void Wait(std::function<void()> call) {
    QMetaObject::invokeMethod(&runner_, std::move(call), Qt::BlockingQueuedConnection);
  }

  WorkerRunner& runner_;
  OperationHost& host_;
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

void WorkerRunner::Run(std::function<void(OperationHost&)> work, std::function<void()> done) {
  if (thread_.joinable()) thread_.join();
  running_ = true;
  work_returned_ = false;
  thread_ = std::thread([this, work = std::move(work), done = std::move(done)]() mutable {
    work(*forwarder_);
    work_returned_ = true;
    QMetaObject::invokeMethod(
        this,
        [this, done = std::move(done)] {
          if (thread_.joinable()) thread_.join();
          running_ = false;
          if (done) done();
        },
        Qt::QueuedConnection);
  });
}

}  // namespace tornavo

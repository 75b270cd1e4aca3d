#pragma once

#include <QObject>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "core/runtime/operation_host.h"

namespace tornavo {

// Runs one blocking port or JTAG sequence. The work gets a host it may call from where it
// runs; done runs afterwards on the caller's thread, from its event loop or at once. One run
// at a time: Run refuses (returns false, runs nothing) while another is active.
class BlockingRunner {
 public:
  virtual ~BlockingRunner() = default;
  [[nodiscard]] virtual bool Run(std::function<void(OperationHost& host)> work,
                                 std::function<void()> done) = 0;
  virtual bool running() const = 0;
};

// On the caller's thread, to the end, before returning: the command line and the tests.
class InlineRunner : public BlockingRunner {
 public:
  explicit InlineRunner(OperationHost& host) : host_(host) {}
  bool Run(std::function<void(OperationHost&)> work, std::function<void()> done) override;
  bool running() const override { return running_; }

 private:
  OperationHost& host_;
  bool running_ = false;
};

// On a worker thread, so that the window keeps repainting. Every host call of the work is
// carried to the thread this runner lives on, in order: logs and status values without
// waiting, boxes, questions and Call waiting for their end. done is posted back to that
// thread once the work has returned.
class WorkerRunner : public QObject, public BlockingRunner {
  Q_OBJECT

 public:
  explicit WorkerRunner(OperationHost& host, QObject* parent = nullptr);
  ~WorkerRunner() override;  // waits for running work

  bool Run(std::function<void(OperationHost&)> work, std::function<void()> done) override;
  bool running() const override { return running_; }

 private:
  class Forwarder;
  // Runs the calls the work queued, in order.
  Q_INVOKABLE void DrainCalls();

  OperationHost& host_;
  std::unique_ptr<Forwarder> forwarder_;
  std::thread thread_;
  std::atomic<bool> work_returned_{true};
  bool running_ = false;
};

}  // namespace tornavo

#include "sim/virtual_receiver.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

#include <QFile>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

#include "sim/default_eeprom.h"
#include "sim/reply_line.h"
#include "sim/request_framer.h"
#include "sim/sim_clock.h"

namespace tornavo::sim {

namespace {

constexpr Micros kQuietGap = 20000;
constexpr Micros kMillis = 1000;

QString SystemError(const char* what) {
  return QStringLiteral("Virtual receiver: %1: %2")
      .arg(QString::fromLatin1(what), QString::fromLocal8Bit(std::strerror(errno)));
}

void CloseFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

// Damages one character where a reply carries its data (character 21 of a row read), or
// the last one before the carriage return of a shorter reply.
void Corrupt(QByteArray& reply) {
  if (reply.size() < 3) return;
  reply[std::min<qsizetype>(20, reply.size() - 2)] = 'G';
}

}  // namespace

class VirtualReceiver::Impl {
 public:
  ~Impl() { Stop(); }

  bool Start(QString* error);
  void Stop();
  void Wake();

  // Shared with the public calls, under mu.
  mutable std::mutex mu;
  EepromBytes eeprom = BuildDefaultEeprom();
  ParallelPeripheral parallel;
  ServiceProtocol protocol{&eeprom, &parallel};
  QList<QByteArray> unsolicited;  // lines the receiver sends of its own accord
  PortSettings line;
  bool pacing = true;
  int reject_next = 0;
  bool silent = false;
  int replies_before_silence = -1;  // none pending when negative
  int split_pieces = 0;
  int split_gap_ms = kSplitGapMs;
  bool merge_next = false;
  int delay_ms = 0;
  bool corrupt_next = false;
  QList<QByteArray> frames;
  QString path;

 private:
  struct Arrival {
    char c;
    Micros lands;  // when it has crossed the line
  };

  void Run();
  void SyncLineSettings();
  void ReadRequests(Micros now);
  void Advance(Micros now);
  void HandleFrame(const QByteArray& frame, Micros at);
  void Write(const QByteArray& bytes);
  void FlushWire();
  std::optional<Micros> NextDeadline() const;

  int master_fd_ = -1;
  int slave_fd_ = -1;
  int wake_fd_ = -1;
  std::thread thread_;
  std::atomic<bool> stop_{false};

  // Service thread only.
  Micros char_time_ = 0;
  std::deque<Arrival> incoming_;
  Micros last_landing_ = 0;
  RequestFramer framer_{kQuietGap};
  ReplyLine out_;
  QByteArray wire_;  // handed over for writing but not yet taken by the pseudo-terminal
  std::optional<QByteArray> held_;
  Micros held_until_ = 0;
};

bool VirtualReceiver::Impl::Start(QString* error) {
  if (thread_.joinable()) return true;
  auto fail = [&](const char* what) {
    if (error) *error = SystemError(what);
    CloseFd(slave_fd_);
    CloseFd(master_fd_);
    return false;
  };
  master_fd_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_fd_ < 0) return fail("posix_openpt");
  if (::grantpt(master_fd_) != 0) return fail("grantpt");
  if (::unlockpt(master_fd_) != 0) return fail("unlockpt");
  char name[128];
  if (::ptsname_r(master_fd_, name, sizeof name) != 0) return fail("ptsname");
  // Held open for the whole run: without a slave open, the master reads EIO whenever the
  // client closes the port, until it opens it again.
  slave_fd_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (slave_fd_ < 0) return fail("open slave");
  termios raw{};
  if (::tcgetattr(slave_fd_, &raw) != 0) return fail("tcgetattr");
  ::cfmakeraw(&raw);
  if (::tcsetattr(slave_fd_, TCSANOW, &raw) != 0) return fail("tcsetattr");
  const int flags = ::fcntl(master_fd_, F_GETFL);
  if (flags < 0 || ::fcntl(master_fd_, F_SETFL, flags | O_NONBLOCK) != 0) return fail("fcntl");
  const int wake_fd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wake_fd < 0) return fail("eventfd");

  incoming_.clear();
  last_landing_ = 0;
  framer_ = RequestFramer(kQuietGap);
  out_.Clear();
  wire_.clear();
  held_.reset();
  stop_ = false;
  {
    std::lock_guard lock(mu);
    wake_fd_ = wake_fd;
    path = QString::fromLocal8Bit(name);
  }
  thread_ = std::thread(&Impl::Run, this);
  return true;
}

void VirtualReceiver::Impl::Stop() {
  if (!thread_.joinable()) return;
  stop_ = true;
  Wake();
  thread_.join();
  CloseFd(slave_fd_);
  CloseFd(master_fd_);
  std::lock_guard lock(mu);
  CloseFd(wake_fd_);
  path.clear();
}

void VirtualReceiver::Impl::Wake() {
  // Under the lock: Stop closes the descriptor, and a late call must not write to whatever
  // file gets its number next.
  std::lock_guard lock(mu);
  if (wake_fd_ < 0) return;
  const uint64_t one = 1;
  [[maybe_unused]] const ssize_t written = ::write(wake_fd_, &one, sizeof one);
}

void VirtualReceiver::Impl::SyncLineSettings() {
  std::lock_guard lock(mu);
  const int baud = std::max(line.baud, 1);
  char_time_ =
      pacing ? (static_cast<Micros>(line.BitsPerCharacter()) * 1000000 + baud / 2) / baud : 0;
  out_.set_char_time(char_time_);
  // At slow rates a character takes longer than the usual gap; never cut a request in two.
  framer_.set_quiet_gap(std::max(kQuietGap, 3 * char_time_));
}

void VirtualReceiver::Impl::Run() {
  while (!stop_) {
    SyncLineSettings();
    Advance(NowMicros());

    pollfd fds[2] = {{master_fd_, static_cast<short>(POLLIN | (wire_.isEmpty() ? 0 : POLLOUT)), 0},
                     {wake_fd_, POLLIN, 0}};
    timespec wait{};
    timespec* timeout = nullptr;
    if (const auto deadline = NextDeadline()) {
      const Micros left = std::max<Micros>(0, *deadline - NowMicros());
      wait.tv_sec = left / 1000000;
      wait.tv_nsec = (left % 1000000) * 1000;
      timeout = &wait;
    }
    if (::ppoll(fds, 2, timeout, nullptr) < 0) {
      if (errno == EINTR) continue;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      continue;
    }
    if (fds[1].revents & POLLIN) {
      uint64_t count;
      [[maybe_unused]] const ssize_t got = ::read(wake_fd_, &count, sizeof count);
    }
    if (fds[0].revents & POLLIN) ReadRequests(NowMicros());
    if (fds[0].revents & POLLOUT) FlushWire();
    if ((fds[0].revents & (POLLHUP | POLLERR)) && !(fds[0].revents & POLLIN)) {
      // Should not happen with the slave held open; do not spin if it does.
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
}

void VirtualReceiver::Impl::ReadRequests(Micros now) {
  char buffer[512];
  for (;;) {
    const ssize_t got = ::read(master_fd_, buffer, sizeof buffer);
    if (got <= 0) return;
    for (ssize_t i = 0; i < got; ++i) {
      // A character written now has crossed the line one character time later, and not
      // before the one ahead of it.
      const Micros lands = char_time_ > 0 ? std::max(now, last_landing_) + char_time_ : now;
      last_landing_ = lands;
      incoming_.push_back({buffer[i], lands});
    }
  }
}

void VirtualReceiver::Impl::Advance(Micros now) {
  while (!incoming_.empty() && incoming_.front().lands <= now) {
    const Arrival arrival = incoming_.front();
    incoming_.pop_front();
    for (const QByteArray& frame : framer_.Feed(arrival.c, arrival.lands)) {
      HandleFrame(frame, arrival.lands);
    }
  }
  if (incoming_.empty()) {
    if (const auto frame = framer_.TakeIfQuiet(now)) HandleFrame(*frame, now);
  }
  QList<QByteArray> lines;
  {
    std::lock_guard lock(mu);
    lines.swap(unsolicited);
  }
  for (const QByteArray& line : lines) out_.Push(line, now, 0, false);
  if (held_ && now >= held_until_) {
    out_.Push(*held_, held_until_, 0, true);
    held_.reset();
  }
  for (const QByteArray& bytes : out_.TakeDue(now)) Write(bytes);
}

void VirtualReceiver::Impl::HandleFrame(const QByteArray& frame, Micros at) {
  QByteArray reply;
  int delay = 0;
  int pieces = 0;
  int gap_ms = 0;
  bool merge = false;
  {
    std::lock_guard lock(mu);
    frames.append(frame);
    if (replies_before_silence == 0) {
      silent = true;
      replies_before_silence = -1;
    }
    if (silent) return;
    if (replies_before_silence > 0) --replies_before_silence;
    if (reject_next > 0) {
      --reject_next;
      reply = ServiceProtocol::Rejection(ServiceProtocol::kRefused);
    } else {
      reply = protocol.Answer(frame);
    }
    if (corrupt_next) Corrupt(reply);
    corrupt_next = false;
    delay = std::exchange(delay_ms, 0);
    pieces = std::exchange(split_pieces, 0);
    gap_ms = split_gap_ms;
    merge = std::exchange(merge_next, false);
  }
  const Micros start = at + delay * kMillis;
  if (held_) {
    out_.Push(*held_ + reply, start, 0, true);
    held_.reset();
    return;
  }
  if (merge) {
    held_ = reply;
    held_until_ = start + kMergeHoldMs * kMillis;
    return;
  }
  if (pieces > 1) {
    pieces = std::min<int>(pieces, reply.size());
    const qsizetype base = reply.size() / pieces;
    qsizetype offset = 0;
    for (int i = 0; i < pieces; ++i) {
      const qsizetype size = i == pieces - 1 ? reply.size() - offset : base;
      out_.Push(reply.mid(offset, size), start, i == 0 ? 0 : gap_ms * kMillis, true);
      offset += size;
    }
    return;
  }
  out_.Push(reply, start, 0, false);
}

void VirtualReceiver::Impl::Write(const QByteArray& bytes) {
  wire_.append(bytes);
  FlushWire();
}

void VirtualReceiver::Impl::FlushWire() {
  while (!wire_.isEmpty()) {
    const ssize_t written = ::write(master_fd_, wire_.constData(), wire_.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;  // the client is not reading; POLLOUT says when to go on
    wire_.remove(0, written);
  }
}

std::optional<Micros> VirtualReceiver::Impl::NextDeadline() const {
  std::optional<Micros> deadline;
  auto consider = [&](std::optional<Micros> t) {
    if (t && (!deadline || *t < *deadline)) deadline = t;
  };
  if (!incoming_.empty())
    consider(incoming_.front().lands);
  else
    consider(framer_.QuietDeadline());
  if (held_) consider(held_until_);
  consider(out_.NextDeadline());
  return deadline;
}

VirtualReceiver::VirtualReceiver() : impl_(std::make_unique<Impl>()) {
  Impl* impl = impl_.get();
  impl_->parallel.SetOnComplete([impl](char command) {
    if (command != 'D') return;
    {
      std::lock_guard lock(impl->mu);
      impl->unsolicited.append("$.DL\r");
    }
    impl->Wake();
  });
}
VirtualReceiver::~VirtualReceiver() = default;

bool VirtualReceiver::Start(QString* error) { return impl_->Start(error); }
void VirtualReceiver::Stop() { impl_->Stop(); }

QString VirtualReceiver::device_path() const {
  std::lock_guard lock(impl_->mu);
  return impl_->path;
}

void VirtualReceiver::SetLineSettings(const PortSettings& settings) {
  {
    std::lock_guard lock(impl_->mu);
    impl_->line = settings;
  }
  impl_->Wake();
}

void VirtualReceiver::SetPacing(bool on) {
  {
    std::lock_guard lock(impl_->mu);
    impl_->pacing = on;
  }
  impl_->Wake();
}

EepromBytes VirtualReceiver::Eeprom() const {
  std::lock_guard lock(impl_->mu);
  return impl_->eeprom;
}

void VirtualReceiver::SetEeprom(const EepromBytes& bytes) {
  std::lock_guard lock(impl_->mu);
  impl_->eeprom = bytes;
}

bool VirtualReceiver::LoadEepromFile(const QString& path, QString* error) {
  auto fail = [&](const QString& text) {
    if (error) *error = text;
    return false;
  };
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    return fail(QStringLiteral("Cannot read %1: %2").arg(path, file.errorString()));
  }
  if (file.size() != kEepromSize) {
    return fail(QStringLiteral("%1 holds %2 bytes; an EEPROM image has %3.")
                    .arg(path)
                    .arg(file.size())
                    .arg(kEepromSize));
  }
  const QByteArray data = file.read(kEepromSize + 1);
  if (data.size() != kEepromSize) {
    return fail(QStringLiteral("Cannot read %1: %2").arg(path, file.errorString()));
  }
  EepromBytes bytes;
  std::copy(data.begin(), data.end(), bytes.begin());
  SetEeprom(bytes);
  return true;
}

EepromBytes VirtualReceiver::DefaultEeprom() { return BuildDefaultEeprom(); }

void VirtualReceiver::SetParallelCheckAccepted(bool accepted) {
  std::lock_guard lock(impl_->mu);
  impl_->protocol.set_parallel_check_accepted(accepted);
}

void VirtualReceiver::SetUpgradeRefused(bool refused) {
  std::lock_guard lock(impl_->mu);
  impl_->protocol.set_upgrade_refused(refused);
}

ParallelPeripheral& VirtualReceiver::parallel() { return impl_->parallel; }

void VirtualReceiver::RejectNext(int count) {
  std::lock_guard lock(impl_->mu);
  impl_->reject_next = std::max(count, 0);
}

void VirtualReceiver::SetSilent(bool silent) {
  std::lock_guard lock(impl_->mu);
  impl_->silent = silent;
  impl_->replies_before_silence = -1;
}

void VirtualReceiver::SetSilentAfter(int replies) {
  std::lock_guard lock(impl_->mu);
  impl_->replies_before_silence = std::max(replies, 0);
}

void VirtualReceiver::SplitNextReply(int pieces, int gap_ms) {
  std::lock_guard lock(impl_->mu);
  impl_->split_pieces = pieces > 1 ? pieces : 0;
  impl_->split_gap_ms = std::max(gap_ms, 0);
}

void VirtualReceiver::MergeNextTwoReplies() {
  std::lock_guard lock(impl_->mu);
  impl_->merge_next = true;
}

void VirtualReceiver::DelayNextReply(int milliseconds) {
  std::lock_guard lock(impl_->mu);
  impl_->delay_ms = std::max(milliseconds, 0);
}

void VirtualReceiver::CorruptNextReply() {
  std::lock_guard lock(impl_->mu);
  impl_->corrupt_next = true;
}

void VirtualReceiver::ClearFaults() {
  impl_->parallel.SetFaults({});
  std::lock_guard lock(impl_->mu);
  impl_->reject_next = 0;
  impl_->silent = false;
  impl_->replies_before_silence = -1;
  impl_->split_pieces = 0;
  impl_->split_gap_ms = kSplitGapMs;
  impl_->merge_next = false;
  impl_->delay_ms = 0;
  impl_->corrupt_next = false;
  impl_->protocol.set_upgrade_refused(false);
}

bool VirtualReceiver::ApplyFault(const QString& fault) {
  const QString name = fault.section(':', 0, 0).trimmed().toLower();
  const bool has_value = fault.contains(':');
  bool ok = false;
  const int value = fault.section(':', 1).trimmed().toInt(&ok);
  if (!has_value) {
    if (name == "silent") return SetSilent(true), true;
    if (name == "merge") return MergeNextTwoReplies(), true;
    if (name == "corrupt") return CorruptNextReply(), true;
    if (name == "none") return ClearFaults(), true;
    if (name == "refuse-upgrade") return SetUpgradeRefused(true), true;
    if (name == "refuse-check") return SetParallelCheckAccepted(false), true;
    return impl_->parallel.ApplyFault(name);
  }
  if (name == "ack-low") return impl_->parallel.ApplyFault(fault.trimmed().toLower());
  if (!ok) return false;
  if (name == "reject" && value >= 1) return RejectNext(value), true;
  if (name == "silent" && value >= 0) return SetSilentAfter(value), true;
  if (name == "split" && value >= 2) return SplitNextReply(value), true;
  if (name == "delay" && value >= 0) return DelayNextReply(value), true;
  return false;
}

QList<QByteArray> VirtualReceiver::ReceivedFrames() const {
  std::lock_guard lock(impl_->mu);
  return impl_->frames;
}

void VirtualReceiver::ClearReceivedFrames() {
  std::lock_guard lock(impl_->mu);
  impl_->frames.clear();
}

QList<UpgradeRequest> VirtualReceiver::UpgradeRequests() const {
  std::lock_guard lock(impl_->mu);
  return impl_->protocol.upgrade_requests();
}

}  // namespace tornavo::sim

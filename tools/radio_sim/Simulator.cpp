#include "tools/radio_sim/Simulator.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include "data/DatFile.h"
#include "platform/TerminalText.h"

namespace radiosim {

namespace {

volatile sig_atomic_t g_stop = 0;
sigset_t g_waitMask;  // the signal mask while waiting: SIGTERM/SIGINT let through

void OnStop(int) { g_stop = 1; }

long long NowNs() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<long long>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

constexpr long long kMs = 1000000;
// One byte at 9600 baud, 8N1: ten bit times.
constexpr long long kByteNs = 10LL * 1000000000 / 9600;
// The client has ended (or abandoned) a transfer after this much silence.
constexpr long long kIdleNs = 1500 * kMs;

bool MakeRaw(int fd) {
  termios t;
  if (tcgetattr(fd, &t) != 0) return false;
  cfmakeraw(&t);
  cfsetispeed(&t, B9600);
  cfsetospeed(&t, B9600);
  return tcsetattr(fd, TCSANOW, &t) == 0;
}

}  // namespace

void PrepareSignals() {
  struct sigaction sa {};
  sa.sa_handler = OnStop;
  sigemptyset(&sa.sa_mask);
  sigaction(SIGTERM, &sa, nullptr);
  sigaction(SIGINT, &sa, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
  // Signals stay blocked except inside ppoll(), so none is lost between a
  // check of the flag and the wait.
  sigset_t block;
  sigemptyset(&block);
  sigaddset(&block, SIGTERM);
  sigaddset(&block, SIGINT);
  sigprocmask(SIG_BLOCK, &block, &g_waitMask);
  sigdelset(&g_waitMask, SIGTERM);
  sigdelset(&g_waitMask, SIGINT);
}

Simulator::Simulator(const Options& options, const chanset::Image& image)
    : options_(options), image_(image), radio_(image_, options.faults), byteNs_(options.fast ? 0 : kByteNs) {}

Simulator::~Simulator() {
  if (master_ >= 0) close(master_);
  if (!options_.linkPath.empty()) {
    char target[256];
    ssize_t n = readlink(options_.linkPath.c_str(), target, sizeof target - 1);
    if (n > 0 && std::string(target, static_cast<std::size_t>(n)) == slavePath_) unlink(options_.linkPath.c_str());
  }
}

bool Simulator::Start(std::string& error) {
  master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
    error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
    return false;
  }
  slavePath_ = ptsname(master_);
  // The slave side is set up and let go again: a program that opens it as
  // its serial port must find nobody else holding the device. Its settings
  // stay with the device while the master is open.
  int slave = open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  const bool raw = slave >= 0 && MakeRaw(master_) && MakeRaw(slave);
  const int err = errno;
  if (slave >= 0) close(slave);
  if (!raw) {
    error = slavePath_ + ": " + std::strerror(err);
    return false;
  }
  if (!options_.linkPath.empty()) {
    struct stat st;
    if (lstat(options_.linkPath.c_str(), &st) == 0) {
      if (!S_ISLNK(st.st_mode)) {
        error = options_.linkPath + ": exists and is not a symbolic link";
        options_.linkPath.clear();
        return false;
      }
      unlink(options_.linkPath.c_str());
    }
    if (symlink(slavePath_.c_str(), options_.linkPath.c_str()) != 0) {
      error = options_.linkPath + ": " + std::strerror(errno);
      options_.linkPath.clear();
      return false;
    }
  }
  prctl(PR_SET_TIMERSLACK, 1UL);  // wake on time: the line model is tight
  return true;
}

void Simulator::Log(const std::string& text) const {
  if (options_.verbose) std::fprintf(stderr, "chanset-radio-sim: %s\n", chanset::TerminalText(text).c_str());
}

// Bytes the client wrote: each arrives one byte time after the previous one
// (or after it was sent, if the line was idle).
void Simulator::Receive(long long now) {
  std::uint8_t buf[256];
  for (;;) {
    ssize_t n = read(master_, buf, sizeof buf);
    if (n <= 0) break;
    for (ssize_t i = 0; i < n; ++i) {
      const long long start = std::max(now, lastIn_);
      const long long gap = lastIn_ > 0 ? start - lastIn_ : 0;
      lastIn_ = start + byteNs_;
      incoming_.push_back({buf[i], lastIn_, gap});
    }
  }
}

void Simulator::Process(long long now) {
  while (!incoming_.empty() && incoming_.front().at <= now && !hungUp_) {
    Timed in = incoming_.front();
    incoming_.pop_front();
    Reaction r = radio_.Feed(in.byte);
    if (r.dataStart) {
      Silences& s = silences_;
      s.low = s.blocks == 0 ? in.gap : std::min(s.low, in.gap);
      s.high = std::max(s.high, in.gap);
      s.total += in.gap;
      ++s.blocks;
    }
    if (r.hangUp) {
      Log("hang-up at block " + std::to_string(r.block));
      HangUp();
      return;
    }
    // The answer leaves after the radio's turnaround, one byte time a byte.
    long long ready = in.at + r.turnaroundMs * kMs;
    for (std::uint8_t b : r.reply) {
      lastOut_ = std::max(ready, lastOut_) + byteNs_;
      outgoing_.push_back({b, lastOut_, 0});
    }
    if (r.writeCompleted) {
      Log("write completed");
      std::string error;
      if (!options_.savePath.empty() &&
          chanset::StoreDatFile(options_.savePath, image_, &error) != chanset::DatError::None)
        std::fprintf(stderr, "chanset-radio-sim: %s\n", chanset::TerminalText(options_.savePath + ": " + error).c_str());
    }
    if (r.transferEnded) TransferEnded();
  }
}

// Counts the transfer and reports the silence the line had before each data
// block of its writes: on a real line the header has left before the
// client's 1 ms pause begins; on a pseudo-terminal, which takes bytes at
// once, the pause may run while the header is still on the simulated wire.
void Simulator::TransferEnded() {
  ++transfers_;
  const Silences s = silences_;
  silences_ = Silences();
  char line[200];
  if (s.blocks == 0) {
    std::snprintf(line, sizeof line, "transfer %d: no data blocks written", transfers_);
  } else {
    std::snprintf(line, sizeof line,
                  "transfer %d: %d data blocks written, silence before each at %s: total %.3f ms, min %.3f ms, "
                  "mean %.3f ms, max %.3f ms",
                  transfers_, s.blocks, byteNs_ > 0 ? "9600 baud" : "once they left (--fast)", s.total / 1e6,
                  s.low / 1e6, s.total / 1e6 / s.blocks, s.high / 1e6);
  }
  Log(line);
  if (options_.statsPath.empty()) return;
  if (std::FILE* f = std::fopen(options_.statsPath.c_str(), "a")) {
    std::fprintf(f, "%s\n", line);
    std::fclose(f);
  }
}

// Writes every answer byte whose arrival time has come.
// Sends the bytes whose arrival time has come. Only what the pseudo-terminal
// took leaves the queue; when its buffer is full the rest waits for room.
void Simulator::Deliver(long long now) {
  std::uint8_t buf[256];
  std::size_t n = 0;
  for (auto it = outgoing_.begin(); it != outgoing_.end() && it->at <= now && n < sizeof buf; ++it)
    buf[n++] = it->byte;
  if (n == 0) return;
  ssize_t written = write(master_, buf, n);
  if (written < 0) {
    if (errno != EAGAIN && errno != EINTR) Log(std::string("write: ") + std::strerror(errno));
    written = 0;
  }
  outgoing_.erase(outgoing_.begin(), outgoing_.begin() + written);
  if (static_cast<std::size_t>(written) < n) {
    pollfd p{master_, POLLOUT, 0};
    poll(&p, 1, 5);
  }
}

void Simulator::HangUp() {
  close(master_);
  master_ = -1;
  hungUp_ = true;
}

int Simulator::Run() {
  while (!g_stop && !hungUp_) {
    long long now = NowNs();
    Process(now);
    if (hungUp_) break;
    Deliver(now);
    if (options_.exitAfter > 0 && transfers_ >= options_.exitAfter && outgoing_.empty()) break;
    if (radio_.Active() && incoming_.empty() && now - lastIn_ >= kIdleNs) {
      Log("client quiet: waiting for the magic");
      if (radio_.Idle()) TransferEnded();
      continue;
    }

    long long wake = radio_.Active() ? lastIn_ + kIdleNs : now + 3600LL * 1000 * kMs;
    if (!incoming_.empty()) wake = std::min(wake, incoming_.front().at);
    if (!outgoing_.empty()) wake = std::min(wake, outgoing_.front().at);
    long long wait = std::max(0LL, wake - now);
    timespec ts{static_cast<time_t>(wait / 1000000000), static_cast<long>(wait % 1000000000)};
    pollfd p{master_, POLLIN, 0};
    int r = ppoll(&p, 1, &ts, &g_waitMask);
    if (r < 0 && errno != EINTR) {
      std::perror("chanset-radio-sim: ppoll");
      return 1;
    }
    if (r > 0 && (p.revents & POLLIN)) Receive(NowNs());
    // Nobody has the device open (a hang-up until a client opens it): look
    // again shortly rather than spin. The wait lets SIGTERM in: a ppoll()
    // that finds the hang-up at once never does.
    if (r > 0 && !(p.revents & POLLIN)) {
      timespec idle{0, 10 * kMs};
      ppoll(nullptr, 0, &idle, &g_waitMask);
    }
  }
  if (!hungUp_ && !g_stop) LetTheClientFinish();
  return 0;
}

// Before the device goes away with the simulator, give the client the time
// to read the last answer and close the port: the master sees a hang-up once
// no slave descriptor is left.
void Simulator::LetTheClientFinish() {
  long long deadline = NowNs() + 2000 * kMs;
  while (!g_stop) {
    long long wait = deadline - NowNs();
    if (wait <= 0) break;
    timespec ts{static_cast<time_t>(wait / 1000000000), static_cast<long>(wait % 1000000000)};
    pollfd p{master_, 0, 0};
    if (ppoll(&p, 1, &ts, &g_waitMask) > 0 && (p.revents & POLLHUP)) break;
  }
}

}  // namespace radiosim

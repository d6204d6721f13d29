#include "link/SerialPort.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <cstdio>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

namespace chanset {

namespace {

constexpr long long kNsPerMs = 1000000;
// One byte on the line: start bit, 8 data bits, stop bit at 9600 baud.
constexpr long long kByteTimeNs = 10LL * 1000000000 / 9600;

long long NowNs() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<long long>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

timespec ToTimespec(long long ns) {
  timespec ts;
  ts.tv_sec = static_cast<time_t>(ns / 1000000000);
  ts.tv_nsec = static_cast<long>(ns % 1000000000);
  return ts;
}

void SleepNs(long long ns) {
  timespec ts = ToTimespec(ns);
  while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
  }
}

constexpr int kWaitCancelled = -2;
// Without an eventfd a request is noticed within this slice.
constexpr long long kCancelSliceNs = 20 * kNsPerMs;

// Waits for `events` on fd until the absolute deadline, or until `cancel`
// (which may be null) is requested. Returns the revents (0 on time-out),
// kWaitCancelled, or -1 with errno set. A request wins over ready data.
int WaitFor(int fd, short events, long long deadlineNs, const CancelSignal* cancel) {
  for (;;) {
    if (cancel && cancel->Requested()) return kWaitCancelled;
    long long left = deadlineNs - NowNs();
    if (left <= 0) return 0;
    // poll() skips an entry whose descriptor is negative.
    int cancelFd = cancel ? cancel->Fd() : -1;
    if (cancel && cancelFd < 0 && left > kCancelSliceNs) left = kCancelSliceNs;
    pollfd p[2] = {{fd, events, 0}, {cancelFd, POLLIN, 0}};
    timespec ts = ToTimespec(left);
    int r = ppoll(p, 2, &ts, nullptr);
    if (r < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (r == 0) continue;  // the loop re-checks the deadline
    if (p[1].revents != 0) return kWaitCancelled;
    return p[0].revents;
  }
}

// The controlling terminal of this process as major and minor numbers
// (field 7 of /proc/self/stat); false when it has none.
bool ControllingTerminal(unsigned& ma, unsigned& mi) {
  std::FILE* f = std::fopen("/proc/self/stat", "re");
  if (!f) return false;
  char buf[512];
  std::size_t n = std::fread(buf, 1, sizeof buf - 1, f);
  std::fclose(f);
  buf[n] = '\0';
  // The command name in brackets may hold blanks and brackets itself.
  const char* at = std::strrchr(buf, ')');
  int tty = 0;
  if (!at || std::sscanf(at + 1, " %*c %*d %*d %*d %d", &tty) != 1 || tty == 0) return false;
  ma = (static_cast<unsigned>(tty) >> 8) & 0xfff;
  mi = (static_cast<unsigned>(tty) & 0xff) | ((static_cast<unsigned>(tty) >> 12) & 0xfff00);
  return true;
}

// A terminal that is no serial line: /dev/tty, /dev/console and /dev/ptmx,
// a virtual console (tty0..tty63; the serial ttyS ports follow them), the
// controlling terminal, and the terminal of this program's own standard
// input, output or error. Pseudo-terminals that are none of these pass: a
// simulated radio sits on one.
bool IsTerminalNotSerial(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0 || !S_ISCHR(st.st_mode)) return false;
  const unsigned ma = major(st.st_rdev), mi = minor(st.st_rdev);
  if ((ma == 5 && mi <= 2) || (ma == 4 && mi < 64)) return true;
  unsigned cma = 0, cmi = 0;
  if (ControllingTerminal(cma, cmi) && cma == ma && cmi == mi) return true;
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    struct stat own;
    if (fstat(fd, &own) == 0 && S_ISCHR(own.st_mode) && own.st_rdev == st.st_rdev) return true;
  }
  return false;
}

void Refuse(SystemError& error, int code, const std::string& text) {
  error = SystemError{};
  error.code = code;
  error.text = text;
}

std::string RealPathOf(const std::string& path) {
  char buf[PATH_MAX];
  return realpath(path.c_str(), buf) ? std::string(buf) : path;
}

// Opens `path` read/write with flock(), as a port is opened both for a
// transfer and for probing. Returns the descriptor, or -1 with `error` set;
// a port that another program holds is EBUSY, naming it when /proc tells.
int OpenExclusive(const std::string& path, const LockPlaces& places, SystemError& error) {
  // Existing devices only: no O_CREAT. O_NONBLOCK keeps open() from waiting
  // for a carrier and lets every later wait go through poll().
  int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  int err = 0;
  if (fd < 0) {
    err = errno;
  } else if (!isatty(fd)) {
    err = ENOTTY;
  } else if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    err = errno == EWOULDBLOCK ? EBUSY : errno;
  }
  if (err == 0) return fd;
  if (fd >= 0) ::close(fd);
  Refuse(error, err, path + ": " + std::strerror(err));
  // Also TIOCEXCL of another program answers EBUSY at open().
  if (err == EBUSY && !places.proc.empty()) {
    std::vector<PortHolder> holders = FindPortHolders(places.proc, path);
    if (!holders.empty()) error.holder = holders[0];
  }
  return -1;
}

// Steps 1 to 5 of Open(): the descriptor, or -1 with `error` set. `lock`,
// when given, is taken (and let go again on failure), and TIOCEXCL set
// before the search for other holders, so that nobody can slip in after it.
int OpenForThisProgram(const std::string& path, const LockPlaces& places, PortLock* lock, SystemError& error) {
  if (IsTerminalNotSerial(path)) {
    Refuse(error, ENOTTY, path + ": a terminal, not a serial port");
    error.terminal = true;
    return -1;
  }
  const std::string device = RealPathOf(path);
  if (lock ? !lock->Lock(device, error) : !PortLock::Free(places, device, error)) return -1;
  int fd = OpenExclusive(path, places, error);
  int wasExclusive = 0;
  if (fd >= 0 && lock) {
    ioctl(fd, TIOCGEXCL, &wasExclusive);
    ioctl(fd, TIOCEXCL);
  }
  if (fd >= 0 && !PortLock::NobodyElseHas(places, device, error)) {
    if (lock && !wasExclusive) ioctl(fd, TIOCNXCL);  // the other program's port, as it was
    ::close(fd);
    fd = -1;
  }
  if (fd < 0 && lock) lock->Unlock();
  return fd;
}

}  // namespace

SerialPort::~SerialPort() { Close(); }

bool SerialPort::Fail(int code, const char* what) {
  error_.code = code;
  error_.text = std::string(what) + ": " + std::strerror(code);
  return false;
}

long SerialPort::ReadFailed(int code) {
  Fail(code, "read");
  return -1;
}

bool SerialPort::Open(const std::string& path) {
  Close();
  error_ = SystemError{};
  fd_ = OpenForThisProgram(path, places_, &lock_, error_);
  if (fd_ < 0) return false;
  restore_ = tcgetattr(fd_, &found_) == 0;
  if (!Configure()) {
    SystemError reason = error_;
    Close();
    error_ = reason;
    return false;
  }
  return true;
}

bool ProbePort(const std::string& path, SystemError* reason, const LockPlaces& places) {
  SystemError error;
  int fd = OpenForThisProgram(path, places, nullptr, error);
  if (reason) *reason = error;
  if (fd < 0) return false;
  ::close(fd);  // also releases the flock()
  return true;
}

bool SerialPort::Configure() {
  // Driver buffer sizes (1024 in, 512 out) cannot be chosen on Linux: the
  // tty layer's own buffers are fixed and larger than a transfer needs.
  termios t;
  if (tcgetattr(fd_, &t) != 0) return Fail(errno, "tcgetattr");
  // Raw 8N1 at 9600 baud. Everything else stays as the port had it, except
  // what would alter a binary byte stream: line editing, echo, signals, CR/LF
  // translation, output processing, and in-band XON/XOFF flow control (the
  // image holds 0x11 and 0x13 bytes that it would swallow). Hardware flow
  // control is left alone. CLOCAL: a three-wire cable has no carrier line.
  t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL |
                                      INPCK | IXON | IXOFF | IXANY);
  t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB);
  t.c_cflag |= CS8 | CREAD | CLOCAL;
  t.c_cc[VMIN] = 1;  // with O_NONBLOCK: no data gives EAGAIN, 0 means hung up
  t.c_cc[VTIME] = 0;
  cfsetispeed(&t, B9600);
  cfsetospeed(&t, B9600);
  if (tcsetattr(fd_, TCSANOW, &t) != 0) return Fail(errno, "tcsetattr");

  // DTR, then RTS. A device without modem lines (a pseudo-terminal, some
  // adapters) answers ENOTTY or EINVAL; the line works without them.
  for (int line : {TIOCM_DTR, TIOCM_RTS}) {
    if (ioctl(fd_, TIOCMBIS, &line) != 0 && errno != ENOTTY && errno != EINVAL)
      return Fail(errno, "TIOCMBIS");
  }
  return true;
}

// Waits until everything written has left the driver. The driver's queue is
// watched with a deadline first, so that a line held up by flow control
// fails instead of hanging; tcdrain() then waits out the last byte or two in
// the hardware. On a pseudo-terminal both return at once.
bool SerialPort::WaitUntilSent(long long deadlineNs) {
  for (;;) {
    if (CancelRequested()) return Fail(ECANCELED, "write");
    int queued = 0;
    if (ioctl(fd_, TIOCOUTQ, &queued) != 0) return Fail(errno, "TIOCOUTQ");
    if (queued <= 0) break;
    if (NowNs() >= deadlineNs) return Fail(ETIMEDOUT, "write");
    // The remaining bytes need at least (queued - 1) byte times.
    SleepNs(queued > 1 ? (queued - 1) * kByteTimeNs : kByteTimeNs / 4);
  }
  while (tcdrain(fd_) != 0) {
    if (errno != EINTR) return Fail(errno, "tcdrain");
  }
  return true;
}

bool SerialPort::Discard() {
  if (fd_ < 0) return Fail(EBADF, "discard");
  if (CancelRequested()) return Fail(ECANCELED, "discard");
  // Only received bytes are dropped: what this side has written is allowed
  // to leave first. (On a pseudo-terminal TCOFLUSH would drop the bytes the
  // other end has not read yet, such as an ACK just sent.)
  int queued = 0;
  ioctl(fd_, TIOCOUTQ, &queued);
  long long deadline = NowNs() + (static_cast<long long>(timeouts_.writePerByteMs) * (queued > 0 ? queued : 0) +
                                   timeouts_.writeConstantMs) * kNsPerMs;
  if (!WaitUntilSent(deadline)) return false;
  if (tcflush(fd_, TCIFLUSH) != 0) return Fail(errno, "tcflush");
  return true;
}

bool SerialPort::Write(const std::uint8_t* data, std::size_t size) {
  if (fd_ < 0) return Fail(EBADF, "write");
  if (CancelRequested()) return Fail(ECANCELED, "write");
  long long deadline =
      NowNs() + (static_cast<long long>(timeouts_.writePerByteMs) * static_cast<long long>(size) +
                 timeouts_.writeConstantMs) * kNsPerMs;
  std::size_t done = 0;
  while (done < size) {
    ssize_t n = ::write(fd_, data + done, size - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) return Fail(errno, "write");
    int revents = WaitFor(fd_, POLLOUT, deadline, cancel_);
    if (revents == kWaitCancelled) return Fail(ECANCELED, "write");
    if (revents < 0) return Fail(errno, "poll");
    if (revents == 0) return Fail(ETIMEDOUT, "write");
    // POLLHUP/POLLERR: the next write() reports the reason.
  }
  return WaitUntilSent(deadline);
}

long SerialPort::Read(std::uint8_t* data, std::size_t size) {
  if (fd_ < 0) return ReadFailed(EBADF);
  if (size == 0) return 0;
  const long long start = NowNs();
  const long long totalDeadline =
      start + (static_cast<long long>(timeouts_.readPerByteMs) * static_cast<long long>(size) +
               timeouts_.readConstantMs) * kNsPerMs;
  const long long interval = static_cast<long long>(timeouts_.readIntervalMs) * kNsPerMs;
  std::size_t got = 0;
  long long lastByte = 0;
  while (got < size) {
    long long deadline = totalDeadline;
    if (got > 0 && lastByte + interval < deadline) deadline = lastByte + interval;
    int revents = WaitFor(fd_, POLLIN, deadline, cancel_);
    if (revents == kWaitCancelled) return ReadFailed(ECANCELED);
    if (revents < 0) return ReadFailed(errno);
    if (revents == 0) break;  // a time-out: deliver what arrived
    if (revents & POLLNVAL) return ReadFailed(EBADF);
    ssize_t n = ::read(fd_, data + got, size - got);
    if (n > 0) {
      got += static_cast<std::size_t>(n);
      lastByte = NowNs();
      continue;
    }
    if (n < 0 && (errno == EINTR || errno == EAGAIN) && !(revents & (POLLHUP | POLLERR))) continue;
    // read() == 0 on a terminal in this mode, POLLHUP or POLLERR: the device
    // has gone (cable pulled, or the other end of a pseudo-terminal closed).
    return ReadFailed(n < 0 && errno != EAGAIN && errno != EINTR ? errno : EIO);
  }
  return static_cast<long>(got);
}

void SerialPort::Close() {
  if (fd_ >= 0) {
    // The line settings as they were found. The transfer has waited for
    // its bytes to leave, so nothing in flight is cut short.
    if (restore_) tcsetattr(fd_, TCSANOW, &found_);
    restore_ = false;
    // TIOCEXCL belongs to the device, not to this descriptor: cleared, it
    // does not outlive us while anyone keeps the device open.
    ioctl(fd_, TIOCNXCL);
    ::close(fd_);  // also releases the flock()
    fd_ = -1;
  }
  lock_.Unlock();
}

}  // namespace chanset

#pragma once
// What a program may leave changed on a serial device: its line settings and
// the exclusive flag, read through a descriptor of the test's own.
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <string>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

struct LineState {
  termios line{};
  int exclusive = 0;

  bool operator==(const LineState& o) const {
    return line.c_iflag == o.line.c_iflag && line.c_oflag == o.line.c_oflag && line.c_cflag == o.line.c_cflag &&
           line.c_lflag == o.line.c_lflag && std::memcmp(line.c_cc, o.line.c_cc, sizeof line.c_cc) == 0 &&
           cfgetispeed(&line) == cfgetispeed(&o.line) && cfgetospeed(&line) == cfgetospeed(&o.line) &&
           exclusive == o.exclusive;
  }
};

// The state of the device `path`; nothing when it cannot be opened here.
inline std::optional<LineState> ReadLineState(const std::string& path) {
  int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return std::nullopt;
  LineState s;
  const bool ok = tcgetattr(fd, &s.line) == 0 && ioctl(fd, TIOCGEXCL, &s.exclusive) == 0;
  close(fd);
  if (!ok) return std::nullopt;
  return s;
}

// Gives `path` settings nobody would choose for the radio (19200 baud, 7
// data bits with even parity, line editing, echo and XON/XOFF on), so that a
// program that leaves its own behind is seen. False when it cannot.
inline bool SetUnusualLine(const std::string& path) {
  int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return false;
  termios t{};
  bool ok = tcgetattr(fd, &t) == 0;
  t.c_cflag = (t.c_cflag & ~static_cast<tcflag_t>(CSIZE)) | CS7 | PARENB | CREAD;
  t.c_lflag |= ICANON | ECHO | ISIG;
  t.c_iflag |= IXON | ICRNL;
  t.c_oflag |= OPOST | ONLCR;
  cfsetispeed(&t, B19200);
  cfsetospeed(&t, B19200);
  ok = ok && tcsetattr(fd, TCSANOW, &t) == 0;
  close(fd);
  return ok;
}

#pragma once
// A pseudo-terminal pair for tests: the slave path stands in for a serial
// device, the master end sees what was written to it.
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

class PtyPair {
 public:
  PtyPair() {
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_master >= 0 && grantpt(m_master) == 0 && unlockpt(m_master) == 0) m_path = ptsname(m_master);
  }
  ~PtyPair() {
    if (m_master >= 0) close(m_master);
  }
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  bool ok() const { return !m_path.empty(); }
  const std::string& path() const { return m_path; }
  // Bytes written to the slave so far (none when nobody ever opened it).
  std::string Drain() {
    std::string bytes;
    char buf[256];
    for (;;) {
      pollfd p{m_master, POLLIN, 0};
      if (poll(&p, 1, 0) <= 0 || !(p.revents & POLLIN)) break;
      ssize_t n = read(m_master, buf, sizeof buf);
      if (n <= 0) break;
      bytes.append(buf, static_cast<std::size_t>(n));
    }
    return bytes;
  }

 private:
  int m_master = -1;
  std::string m_path;
};

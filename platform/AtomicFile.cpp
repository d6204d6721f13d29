#include "platform/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace chanset {

static bool Fail(std::string* error, int err) {
  if (error) *error = std::strerror(err);
  return false;
}

bool WriteFileAtomic(const std::string& path, const std::string& bytes, std::string* error) {
  std::size_t slash = path.rfind('/');
  std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  std::string tmpl = (slash == std::string::npos ? std::string() : dir) + "." + base + ".XXXXXX";
  std::vector<char> name(tmpl.begin(), tmpl.end());
  name.push_back('\0');
  int fd = mkstemp(name.data());
  if (fd < 0) return Fail(error, errno);
  struct stat st;
  mode_t mode = 0644;
  if (stat(path.c_str(), &st) == 0) mode = st.st_mode & 07777;
  else {
    mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }
  fchmod(fd, mode);
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    ssize_t n = write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      close(fd);
      unlink(name.data());
      return Fail(error, err);
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  if (fsync(fd) != 0 || close(fd) != 0) {
    int err = errno;
    unlink(name.data());
    return Fail(error, err);
  }
  if (rename(name.data(), path.c_str()) != 0) {
    int err = errno;
    unlink(name.data());
    return Fail(error, err);
  }
  return true;
}

bool ReadDescriptor(int fd, std::string& bytes, std::size_t limit, std::string* error) {
  bytes.clear();
  char buf[65536];
  while (bytes.size() < limit) {
    std::size_t want = limit - bytes.size() < sizeof buf ? limit - bytes.size() : sizeof buf;
    ssize_t n = read(fd, buf, want);
    if (n < 0) {
      if (errno == EINTR) continue;
      return Fail(error, errno);
    }
    if (n == 0) break;
    bytes.append(buf, static_cast<std::size_t>(n));
  }
  return true;
}

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string* error) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return Fail(error, errno);
  bool ok = ReadDescriptor(fd, bytes, bytes.max_size(), error);
  close(fd);
  return ok;
}

}  // namespace chanset

#include "platform/FileInput.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace chanset {

namespace {

InputStatus Failed(std::string* error, int err) {
  if (error) *error = std::strerror(err);
  errno = err;
  return InputStatus::Failed;
}

InputStatus Refused(std::string* error) {
  if (error) *error = NotRegularFileReason();
  return InputStatus::NotRegular;
}

// Opens what `path` names for reading; *owned tells whether the caller
// closes *fd (a stream's descriptor stays open). `st` describes it.
InputStatus OpenInput(const std::string& path, bool streams, int* fd, bool* owned, struct stat& st,
                      std::string* error) {
  *owned = false;
  if (LooksLikeStream(path)) {
    if (!streams) return Refused(error);
    *fd = StreamDescriptor(path);
    if (*fd < 0) return Failed(error, EBADF);
    if (fstat(*fd, &st) != 0) return Failed(error, errno);
    return S_ISDIR(st.st_mode) ? Refused(error) : InputStatus::Ok;
  }
  std::string target;
  if (!FollowLinksByRule(path, target, error)) {
    errno = EPERM;
    return InputStatus::Failed;
  }
  if (stat(target.c_str(), &st) != 0) return Failed(error, errno);
  const bool pipe = S_ISFIFO(st.st_mode) && streams;
  if (!S_ISREG(st.st_mode) && !pipe) return Refused(error);
  // A regular file opens without waiting (O_NONBLOCK keeps a file swapped
  // for a pipe meanwhile from blocking); a pipe waits for its writer, as
  // `cat` would. O_NOFOLLOW: the links were followed above, by the rule.
  int f = open(target.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW | (pipe ? 0 : O_NONBLOCK));
  if (f < 0) return Failed(error, errno);
  if (fstat(f, &st) != 0 || !(S_ISREG(st.st_mode) || (pipe && S_ISFIFO(st.st_mode)))) {
    close(f);
    return Refused(error);
  }
  if (!pipe) fcntl(f, F_SETFL, fcntl(f, F_GETFL) & ~O_NONBLOCK);
  *fd = f;
  *owned = true;
  return InputStatus::Ok;
}

}  // namespace

const char* NotRegularFileReason() {
  return "not a regular file (it is a folder, a device, a pipe or a socket)";
}

const char* TooLargeReason() { return "too large to be a channel table"; }

InputStatus ReadInput(const std::string& path, std::string& bytes, const InputRules& rules, std::string* error) {
  bytes.clear();
  int fd = -1;
  bool owned = false;
  struct stat st;
  InputStatus status = OpenInput(path, rules.streams, &fd, &owned, st, error);
  if (status != InputStatus::Ok) return status;
  // One byte past the limit tells a file that is too large from one that
  // fills it exactly.
  const std::size_t want = rules.cutAtLimit ? rules.limit : rules.limit + 1;
  // Room for all of it at once: a file for its size, a stream for the most
  // it may bring (memory that is never filled is never used).
  std::size_t room = want;
  if (S_ISREG(st.st_mode) && static_cast<std::size_t>(st.st_size) < want) room = static_cast<std::size_t>(st.st_size);
  bytes.reserve(room);
  const bool ok = ReadDescriptor(fd, bytes, want, error);
  const int err = errno;
  if (owned) close(fd);
  if (!ok) {
    errno = err;
    return InputStatus::Failed;
  }
  if (bytes.size() > rules.limit) {
    std::string().swap(bytes);
    if (error) *error = TooLargeReason();
    return InputStatus::TooLarge;
  }
  return InputStatus::Ok;
}

OpenResult OpenRegularFile(const std::string& path, int* fd, std::string* error) {
  bool owned = false;
  struct stat st;
  switch (OpenInput(path, false, fd, &owned, st, error)) {
    case InputStatus::Ok: return OpenResult::Ok;
    case InputStatus::NotRegular: return OpenResult::NotRegular;
    default: return OpenResult::Failed;
  }
}

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string* error) {
  return ReadInput(path, bytes, InputRules(), error) == InputStatus::Ok;
}

bool ReadDescriptor(int fd, std::string& bytes, std::size_t limit, std::string* error) {
  bytes.clear();
  char buf[65536];
  while (bytes.size() < limit) {
    std::size_t want = limit - bytes.size() < sizeof buf ? limit - bytes.size() : sizeof buf;
    ssize_t n = read(fd, buf, want);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (error) *error = std::strerror(errno);
      return false;
    }
    if (n == 0) break;
    bytes.append(buf, static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace chanset

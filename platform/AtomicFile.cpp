#include "platform/AtomicFile.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/UserDirs.h"

namespace chanset {

namespace {

SaveStepHook g_stepHook = nullptr;

void Step(const char* name) {
  if (g_stepHook) g_stepHook(name);
}

bool Fail(std::string* error, int err) {
  if (error) *error = std::strerror(err);
  errno = err;
  return false;
}

bool FailNotRegular(std::string* error, bool* notRegular) {
  if (error) *error = NotRegularFileReason();
  if (notRegular) *notRegular = true;
  return false;
}

// One write() with SIGPIPE held back, so that a closed pipe is an error
// (EPIPE) for the caller to report rather than the end of the program.
ssize_t WriteOnce(int fd, const char* data, std::size_t size) {
  sigset_t pipe, old;
  sigemptyset(&pipe);
  sigaddset(&pipe, SIGPIPE);
  sigset_t pending;
  pthread_sigmask(SIG_BLOCK, &pipe, &old);
  sigpending(&pending);
  const bool wasPending = sigismember(&pending, SIGPIPE) == 1;
  ssize_t n = write(fd, data, size);
  const int err = errno;
  if (n < 0 && err == EPIPE && !wasPending) {
    const timespec zero{0, 0};
    sigtimedwait(&pipe, nullptr, &zero);
  }
  pthread_sigmask(SIG_SETMASK, &old, nullptr);
  errno = err;
  return n;
}

// Writes all of `bytes` where the descriptor stands. False with errno set.
bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    ssize_t n = WriteOnce(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = ENOSPC;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool OpenForWriting(int fd) {
  const int flags = fcntl(fd, F_GETFL);
  return flags >= 0 && (flags & O_ACCMODE) != O_RDONLY;
}

mode_t NewFileMode() {
  mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// Temporary files: ".chanset.<pid>.<name>.XXXXXX", the name cut so that
// the whole stays within the longest file name.
constexpr std::size_t kNameRoom = 200;
const char kTempPrefix[] = ".chanset.";

std::string TempStem(const std::string& name) { return name.substr(0, kNameRoom); }

int MakeTemporary(const std::string& folder, const std::string& name, std::vector<char>& path) {
  std::string tmpl = folder + "/" + kTempPrefix + std::to_string(getpid()) + "." + TempStem(name) + ".XXXXXX";
  path.assign(tmpl.begin(), tmpl.end());
  path.push_back('\0');
  return mkostemp(path.data(), O_CLOEXEC);
}

// Removes what a killed save to `name` left in `folder`: a temporary file of
// ours (by its name and owner) whose process no longer runs.
void RemoveLeftovers(const std::string& folder, const std::string& name) {
  DIR* dir = opendir(folder.c_str());
  if (!dir) return;
  const std::string stem = TempStem(name);
  const std::size_t prefix = sizeof kTempPrefix - 1;
  while (const dirent* e = readdir(dir)) {
    const std::string entry = e->d_name;
    if (entry.compare(0, prefix, kTempPrefix) != 0) continue;
    const std::size_t dot = entry.find('.', prefix);
    if (dot == std::string::npos || dot == prefix || dot - prefix > 9) continue;
    const std::string pid = entry.substr(prefix, dot - prefix);
    const std::string rest = entry.substr(dot + 1);
    if (pid.find_first_not_of("0123456789") != std::string::npos || rest.size() != stem.size() + 7 ||
        rest.compare(0, stem.size(), stem) != 0 || rest[stem.size()] != '.')
      continue;
    const pid_t owner = static_cast<pid_t>(std::stol(pid));
    if (owner == getpid() || kill(owner, 0) == 0 || errno != ESRCH) continue;
    struct stat st;
    if (fstatat(dirfd(dir), entry.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
        st.st_uid == geteuid())
      unlinkat(dirfd(dir), entry.c_str(), 0);
  }
  closedir(dir);
}

// Gives the temporary file the old file's owner, group and permission bits.
// False when the owner or group cannot be kept (the file belongs to someone
// else, or to a group the user is not in).
bool TakeIdentity(int fd, const struct stat& old) {
  struct stat mine;
  if (fstat(fd, &mine) != 0) return false;
  if ((mine.st_uid != old.st_uid || mine.st_gid != old.st_gid) && fchown(fd, old.st_uid, old.st_gid) != 0)
    return false;
  // After the owner: changing it may clear the set-id bits.
  return fchmod(fd, old.st_mode & 07777) == 0;
}

void SyncFolder(const std::string& folder) {
  int dfd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd < 0) return;
  fsync(dfd);
  close(dfd);
}

// Checks an existing target (links already followed): a regular file the
// user may write. Sets `exists` and fills `st`.
bool CheckTarget(const std::string& target, struct stat& st, bool& exists, std::string* error,
                 bool* notRegular) {
  exists = false;
  if (lstat(target.c_str(), &st) != 0) {
    if (errno == ENOENT) return true;
    return Fail(error, errno);
  }
  exists = true;
  if (S_ISDIR(st.st_mode)) {
    if (notRegular) *notRegular = true;
    return Fail(error, EISDIR);
  }
  if (!S_ISREG(st.st_mode)) return FailNotRegular(error, notRegular);
  // A file with no write permission for anyone was marked read-only on
  // purpose: it is refused even for root, whom the probe below would let
  // through.
  if ((st.st_mode & 0222) == 0) return Fail(error, EACCES);
  // The file's own write permission decides, as it would for any program
  // that writes into it; the rename below would otherwise bypass it.
  int probe = open(target.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  if (probe < 0) return Fail(error, errno);
  close(probe);
  return true;
}

// Stores `old`, the bytes of `target` before an in-place rewrite, in the
// backups folder; the copy's path, or "" with *error.
std::string KeepCopy(const std::string& target, const std::string& old, std::string* error) {
  const std::string folder = BackupsFolder();
  std::string reason;
  if (!MakeFolders(folder, &reason)) {
    if (error) *error = "cannot keep a copy of the old contents in " + folder + ": " + reason;
    return std::string();
  }
  const std::string name = InPlaceCopyName(target, std::time(nullptr));
  const std::size_t dot = name.rfind('.');
  for (int n = 0; n < 1000; ++n) {
    std::string copy = folder + "/" +
                       (n == 0 ? name : name.substr(0, dot) + "-" + std::to_string(n) + name.substr(dot));
    if (CreateWholeFile(copy, old, 0600, &reason)) return copy;
    if (errno != EEXIST) break;
  }
  if (error) *error = "cannot keep a copy of the old contents in " + folder + ": " + reason;
  return std::string();
}

// Rewrites `target` where it is, after keeping a copy of its old bytes.
// The old bytes are put back when a write fails.
bool WriteInPlace(const std::string& target, const std::string& bytes, std::string* error) {
  int fd = open(target.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return Fail(error, errno);
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return FailNotRegular(error, nullptr);
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  std::string old;
  if (!ReadDescriptor(fd, old, old.max_size(), error)) {
    close(fd);
    return false;
  }
  const std::string copy = KeepCopy(target, old, error);
  if (copy.empty()) {
    close(fd);
    return false;
  }
  Step("copied");
  bool ok = true;
  int err = 0;
  for (std::size_t done = 0; ok && done < bytes.size();) {
    ssize_t n = pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = false;
      err = n < 0 ? errno : ENOSPC;
    } else {
      done += static_cast<std::size_t>(n);
    }
  }
  if (ok) Step("overwritten");
  if (ok && ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) ok = false, err = errno;
  if (ok) Step("cut");
  if (ok && fsync(fd) != 0) ok = false, err = errno;
  if (!ok) {
    const bool restored = WriteDescriptor(fd, old);
    close(fd);
    if (restored) unlink(copy.c_str());
    Fail(error, err);
    if (!restored && error) *error += "; the old contents are kept in " + copy;
    return false;
  }
  if (close(fd) != 0) {
    err = errno;
    Fail(error, err);
    if (error) *error += "; the old contents are kept in " + copy;
    return false;
  }
  unlink(copy.c_str());
  return true;
}

}  // namespace

void SetSaveStepHook(SaveStepHook hook) { g_stepHook = hook; }

std::string InPlaceCopyName(const std::string& path, std::time_t when) {
  const std::string name = NameOf(path);
  std::size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0) dot = name.size();
  std::tm local{};
  localtime_r(&when, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d_%H-%M-%S", &local);
  return name.substr(0, dot) + ".old-" + stamp + name.substr(dot);
}

bool CanWriteFile(const std::string& path, std::string* error) {
  if (LooksLikeStream(path)) {
    const int fd = StreamDescriptor(path);
    return fd >= 0 && OpenForWriting(fd) ? true : Fail(error, EBADF);
  }
  std::string target;
  if (!FollowLinksByRule(path, target, error)) return false;
  struct stat st;
  bool exists = false;
  if (!CheckTarget(target, st, exists, error, nullptr)) return false;
  if (exists) return true;
  if (access(FolderOf(target).c_str(), W_OK | X_OK) != 0) return Fail(error, errno);
  return true;
}

bool WriteFileAtomic(const std::string& path, const std::string& bytes, std::string* error, bool* notRegular) {
  if (notRegular) *notRegular = false;
  if (LooksLikeStream(path)) {
    const int fd = StreamDescriptor(path);
    if (fd < 0 || !OpenForWriting(fd)) return Fail(error, EBADF);
    return WriteAll(fd, bytes.data(), bytes.size()) ? true : Fail(error, errno);
  }
  std::string target;
  if (!FollowLinksByRule(path, target, error)) return false;
  struct stat old;
  bool exists = false;
  if (!CheckTarget(target, old, exists, error, notRegular)) return false;

  const std::string folder = FolderOf(target);
  RemoveLeftovers(folder, NameOf(target));
  std::vector<char> name;
  int fd = MakeTemporary(folder, NameOf(target), name);
  if (fd < 0) {
    // A folder that takes no new file: an existing file is rewritten where
    // it is, a new one cannot be made.
    if (exists) return WriteInPlace(target, bytes, error);
    return Fail(error, errno);
  }
  Step("temporary");
  bool identity = exists ? TakeIdentity(fd, old) : fchmod(fd, NewFileMode()) == 0;
  if (!identity) {
    // Replacing the file would hand it to this user; keep the file itself.
    close(fd);
    unlink(name.data());
    return WriteInPlace(target, bytes, error);
  }
  if (!WriteDescriptor(fd, bytes)) {
    int err = errno;
    close(fd);
    unlink(name.data());
    return Fail(error, err);
  }
  if (close(fd) != 0) {
    int err = errno;
    unlink(name.data());
    return Fail(error, err);
  }
  Step("written");
  if (rename(name.data(), target.c_str()) != 0) {
    int err = errno;
    unlink(name.data());
    return Fail(error, err);
  }
  Step("renamed");
  SyncFolder(folder);
  return true;
}

bool CreateWholeFile(const std::string& path, const std::string& bytes, unsigned mode, std::string* error) {
  const std::string folder = FolderOf(path);
  RemoveLeftovers(folder, NameOf(path));
  std::vector<char> name;
  int fd = MakeTemporary(folder, NameOf(path), name);
  if (fd < 0) return Fail(error, errno);
  if (fchmod(fd, static_cast<mode_t>(mode)) != 0 || !WriteDescriptor(fd, bytes)) {
    int err = errno;
    close(fd);
    unlink(name.data());
    return Fail(error, err);
  }
  close(fd);
  // link() never replaces: an existing name (a planted link included) fails.
  int linked = link(name.data(), path.c_str());
  int err = linked == 0 ? 0 : errno;
  unlink(name.data());
  if (linked != 0 && (err == EPERM || err == EOPNOTSUPP || err == ENOSYS)) {
    // A file system without hard links: an exclusive create, removed again
    // when it cannot be written whole.
    fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, static_cast<mode_t>(mode));
    if (fd < 0) return Fail(error, errno);
    bool ok = WriteDescriptor(fd, bytes);
    err = errno;
    close(fd);
    if (!ok) {
      unlink(path.c_str());
      return Fail(error, err);
    }
    linked = 0;
  }
  if (linked != 0) return Fail(error, err);
  SyncFolder(folder);
  return true;
}

bool WriteDescriptor(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) {
      errno = ENOSPC;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && fsync(fd) == 0;
}

// AppendFile -------------------------------------------------------------------

AppendFile::~AppendFile() { Close(); }

bool AppendFile::Open(const std::string& path, std::string* error) {
  Close();
  path_ = path;
  failure_.clear();
  lost_ = 0;
  auto failed = [&](const std::string& reason) {
    if (error) *error = path + ": " + reason;
    return false;
  };
  if (LooksLikeStream(path)) {
    const int fd = StreamDescriptor(path);
    if (fd < 0 || !OpenForWriting(fd)) return failed(std::strerror(EBADF));
    fd_ = fd;
    ownsFd_ = false;
    return true;
  }
  std::string target, reason;
  if (!FollowLinksByRule(path, target, &reason)) {
    if (error) *error = reason;
    return false;
  }
  // Looked at before it is opened: a pipe or a device is never opened for
  // writing (that could wait, or disturb a serial line).
  struct stat st;
  if (stat(target.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode)) return failed(NotRegularFileReason());
    if ((st.st_mode & 0222) == 0) return failed(std::strerror(EACCES));
  } else if (errno != ENOENT) {
    return failed(std::strerror(errno));
  }
  int fd = open(target.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC,
                0666);
  if (fd < 0) return failed(std::strerror(errno));
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return failed(NotRegularFileReason());
  }
  fd_ = fd;
  ownsFd_ = true;
  return true;
}

void AppendFile::Close() {
  if (fd_ >= 0 && ownsFd_) close(fd_);
  fd_ = -1;
  ownsFd_ = false;
}

bool AppendFile::Append(const char* line, std::size_t size) {
  if (fd_ < 0) return false;
  if (!failure_.empty()) {
    ++lost_;
    return false;
  }
  if (WriteAll(fd_, line, size)) return true;
  failure_ = std::strerror(errno);
  ++lost_;
  return false;
}

}  // namespace chanset

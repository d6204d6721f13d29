#include "platform/AtomicFile.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace chanset {

namespace {

bool Fail(std::string* error, int err) {
  if (error) *error = std::strerror(err);
  return false;
}

bool FailNotRegular(std::string* error, bool* notRegular) {
  if (error) *error = NotRegularFileReason();
  if (notRegular) *notRegular = true;
  return false;
}

// Rewrites `path` where it is. The old contents are read first and written
// back when any write of the new ones fails, so the file ends either new or
// as it was.
bool WriteInPlace(const std::string& path, const std::string& bytes, std::string* error) {
  int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return Fail(error, errno);
  std::string old;
  if (!ReadDescriptor(fd, old, old.max_size(), error)) {
    close(fd);
    return false;
  }
  if (!WriteDescriptor(fd, bytes)) {
    int err = errno;
    WriteDescriptor(fd, old);
    close(fd);
    return Fail(error, err);
  }
  if (close(fd) != 0) return Fail(error, errno);
  return true;
}

mode_t NewFileMode() {
  mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// The temporary file beside `target`: "<folder>/.<name>.XXXXXX". Returns -1
// (errno set) when the folder takes no new file.
int MakeTemporary(const std::string& target, std::vector<char>& name) {
  std::size_t slash = target.rfind('/');
  std::string prefix = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  std::string tmpl = prefix + "." + base + ".XXXXXX";
  name.assign(tmpl.begin(), tmpl.end());
  name.push_back('\0');
  return mkostemp(name.data(), O_CLOEXEC);
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

// Checks an existing target: a regular file the user may write. Sets
// *exists and fills `st`.
bool CheckTarget(const std::string& target, struct stat& st, bool& exists, std::string* error,
                 bool* notRegular) {
  exists = false;
  if (stat(target.c_str(), &st) != 0) {
    if (errno == ENOENT) return true;
    return Fail(error, errno);
  }
  exists = true;
  if (S_ISDIR(st.st_mode)) return Fail(error, EISDIR);
  if (!S_ISREG(st.st_mode)) return FailNotRegular(error, notRegular);
  // A file with no write permission for anyone was marked read-only on
  // purpose: it is refused even for root, whom the probe below would let
  // through.
  if ((st.st_mode & 0222) == 0) return Fail(error, EACCES);
  // The file's own write permission decides, as it would for any program
  // that writes into it; the rename below would otherwise bypass it.
  int probe = open(target.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (probe < 0) return Fail(error, errno);
  close(probe);
  return true;
}

}  // namespace

const char* NotRegularFileReason() {
  return "not a regular file (it is a folder, a device, a pipe or a socket)";
}

std::string FollowLinks(const std::string& path) {
  std::string current = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
    std::vector<char> buf(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : PATH_MAX) + 1);
    ssize_t n = readlink(current.c_str(), buf.data(), buf.size());
    if (n < 0 || static_cast<std::size_t>(n) >= buf.size()) return current;
    std::string target(buf.data(), static_cast<std::size_t>(n));
    current = target[0] == '/' ? target : FolderOf(current) + "/" + target;
  }
  return current;  // a loop of links: the write then fails with its reason
}

bool CanWriteFile(const std::string& path, std::string* error) {
  std::string target = FollowLinks(path);
  struct stat st;
  bool exists = false;
  if (!CheckTarget(target, st, exists, error, nullptr)) return false;
  if (exists) return true;
  if (access(FolderOf(target).c_str(), W_OK | X_OK) != 0) return Fail(error, errno);
  return true;
}

bool WriteFileAtomic(const std::string& path, const std::string& bytes, std::string* error,
                     bool* notRegular) {
  if (notRegular) *notRegular = false;
  const std::string target = FollowLinks(path);
  struct stat old;
  bool exists = false;
  if (!CheckTarget(target, old, exists, error, notRegular)) return false;

  std::vector<char> name;
  int fd = MakeTemporary(target, name);
  if (fd < 0) {
    // A folder that takes no new file: an existing file is rewritten where
    // it is, a new one cannot be made.
    if (exists) return WriteInPlace(target, bytes, error);
    return Fail(error, errno);
  }
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
  if (rename(name.data(), target.c_str()) != 0) {
    int err = errno;
    unlink(name.data());
    return Fail(error, err);
  }
  SyncFolder(FolderOf(target));
  return true;
}

OpenResult OpenRegularFile(const std::string& path, int* fd, std::string* error) {
  // O_NONBLOCK: opening a pipe with no writer, or a serial line waiting for
  // its carrier, returns at once instead of hanging.
  int f = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (f < 0) {
    int err = errno;
    struct stat st;
    // A socket cannot be opened at all (ENXIO); it is still no file.
    if (stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
      if (error) *error = NotRegularFileReason();
      return OpenResult::NotRegular;
    }
    Fail(error, err);
    errno = err;
    return OpenResult::Failed;
  }
  struct stat st;
  if (fstat(f, &st) != 0) {
    int err = errno;
    Fail(error, err);
    close(f);
    errno = err;
    return OpenResult::Failed;
  }
  if (!S_ISREG(st.st_mode)) {
    if (error) *error = NotRegularFileReason();
    close(f);
    return OpenResult::NotRegular;
  }
  int flags = fcntl(f, F_GETFL);
  if (flags >= 0) fcntl(f, F_SETFL, flags & ~O_NONBLOCK);
  *fd = f;
  return OpenResult::Ok;
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

std::string FolderOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool WriteDescriptor(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && fsync(fd) == 0;
}

}  // namespace chanset

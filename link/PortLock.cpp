#include "link/PortLock.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace chanset {

namespace {

std::string Errno(const std::string& what, int code) { return what + ": " + std::strerror(code); }

bool IsFolder(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string RealPathOf(const std::string& path) {
  char buf[PATH_MAX];
  return realpath(path.c_str(), buf) ? std::string(buf) : path;
}

// The lock folder in use, "" when there is none.
std::string LockDir(const LockPlaces& places) {
  for (const std::string& dir : places.lockDirs)
    if (!dir.empty() && IsFolder(dir)) return dir;
  return std::string();
}

// The first line of procRoot/<pid>/comm, as the process named itself (the
// command line writes out its control characters when it prints it).
std::string CommandOf(int procFd, const std::string& procRoot, int pid) {
  const std::string rel = std::to_string(pid) + "/comm";
  int fd = procFd >= 0 ? openat(procFd, rel.c_str(), O_RDONLY | O_CLOEXEC)
                       : open((procRoot + "/" + rel).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::string();
  char buf[64];
  ssize_t n = read(fd, buf, sizeof buf - 1);
  close(fd);
  std::string name(buf, n > 0 ? static_cast<std::size_t>(n) : 0);
  return name.substr(0, name.find('\n'));
}

// The process id a lock file names: ten ASCII characters, the number
// right-aligned (leading blanks), then a newline. 0 when the file holds no
// such number; -1 with errno when it cannot be read.
int ReadLockPid(const std::string& path) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return -1;
  char buf[32];
  ssize_t n = read(fd, buf, sizeof buf - 1);
  int saved = errno;
  close(fd);
  if (n < 0) {
    errno = saved;
    return -1;
  }
  buf[n] = '\0';
  char* at = buf;
  while (*at == ' ') ++at;
  char* end = nullptr;
  long pid = std::strtol(at, &end, 10);
  if (end == at || pid <= 0 || pid > INT_MAX || (*end != '\n' && *end != '\0')) return 0;
  return static_cast<int>(pid);
}

// Calls `each` with the name of every entry of the open folder `dirFd` but
// "." and "..", read through `buf`.
template <typename Each>
void ForEachEntry(int dirFd, char* buf, std::size_t size, Each each) {
  for (;;) {
    const ssize_t n = getdents64(dirFd, buf, size);
    if (n <= 0) return;
    for (ssize_t at = 0; at < n;) {
      const auto* e = reinterpret_cast<const dirent64*>(buf + at);
      at += e->d_reclen;
      if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) each(e->d_name);
    }
    // A folder read with room to spare has been read whole: no call to
    // find that out (one fewer per process).
    if (static_cast<std::size_t>(n) < size / 2) return;
  }
}

// A process exists with this id (one of another user's included).
bool Alive(int pid) { return kill(pid, 0) == 0 || errno == EPERM; }

// The lock files this process holds, so that our own id in a file can be
// told from a leftover of an earlier process that had the same id.
std::mutex g_heldMutex;
std::set<std::string>& Held() {
  static std::set<std::string> held;
  return held;
}
bool HeldHere(const std::string& path) {
  std::lock_guard<std::mutex> lock(g_heldMutex);
  return Held().count(path) != 0;
}

enum class Owner { None, Live, Stale, Unreadable };

// Who holds the lock file at `path`: nobody (no file), a live process
// (`holder` set), a process that is gone (or no id at all), or someone
// whose file cannot be read (errno says why).
Owner OwnerOf(const std::string& path, const std::string& procRoot, PortHolder& holder) {
  int pid = ReadLockPid(path);
  if (pid < 0) return errno == ENOENT ? Owner::None : Owner::Unreadable;
  if (pid == 0) return Owner::Stale;  // no id to find a process by
  const bool ours = pid == static_cast<int>(getpid());
  if (ours ? !HeldHere(path) : !Alive(pid)) return Owner::Stale;
  holder.pid = pid;
  holder.command = CommandOf(-1, procRoot, pid);
  return Owner::Live;
}

void FailBusy(SystemError& error, const std::string& device, const std::string& lockFile, const PortHolder& holder) {
  error.code = EBUSY;
  error.text = device + ": locked by process " + std::to_string(holder.pid) + " (" + lockFile + ")";
  error.holder = holder;
  error.lockFile = lockFile;
}

}  // namespace

LockPlaces LockPlacesFromEnvironment() {
  LockPlaces places;
  if (const char* v = std::getenv("CHANSET_LOCK_DIR"); v && *v) places.lockDirs = {v};
  if (const char* v = std::getenv("CHANSET_PROC_ROOT"); v && *v) places.proc = v;
  return places;
}

std::string LockFileName(const std::string& devicePath) {
  std::string name = devicePath.compare(0, 5, "/dev/") == 0 ? devicePath.substr(5)
                                                               : devicePath.substr(devicePath.rfind('/') + 1);
  std::replace(name.begin(), name.end(), '/', '_');
  return "LCK.." + name;
}

std::vector<PortHolder> FindPortHolders(const std::string& procRoot, const std::string& devicePath) {
  // Every process's fd folder is read and every link in it compared with the
  // device. This runs at every opening of a port, so it makes as few system
  // calls as it can: folders are read with getdents64() into buffers on the
  // stack, links with readlinkat() relative to them, no path is built.
  std::vector<PortHolder> holders;
  const std::string target = RealPathOf(devicePath);
  int procFd = open(procRoot.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (procFd < 0) return holders;
  std::vector<int> pids;
  alignas(dirent64) char names[32768];
  ForEachEntry(procFd, names, sizeof names, [&pids](const char* name) {
    if (name[0] >= '1' && name[0] <= '9' && std::strspn(name, "0123456789") == std::strlen(name))
      pids.push_back(std::atoi(name));
  });
  const int self = static_cast<int>(getpid());
  alignas(dirent64) char fds[4096];
  char link[PATH_MAX];
  char fdPath[32];
  for (int pid : pids) {
    if (pid == self) continue;
    std::snprintf(fdPath, sizeof fdPath, "%d/fd", pid);
    int fdDir = openat(procFd, fdPath, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fdDir < 0) continue;  // gone meanwhile, or another user's
    bool holds = false;
    ForEachEntry(fdDir, fds, sizeof fds, [&](const char* name) {
      if (holds) return;
      ssize_t n = readlinkat(fdDir, name, link, sizeof link);
      holds = n == static_cast<ssize_t>(target.size()) && std::memcmp(link, target.data(), target.size()) == 0;
    });
    close(fdDir);
    if (holds) holders.push_back({pid, CommandOf(procFd, procRoot, pid)});
  }
  close(procFd);
  std::sort(holders.begin(), holders.end(), [](const PortHolder& a, const PortHolder& b) { return a.pid < b.pid; });
  return holders;
}

bool PortLock::Free(const LockPlaces& places, const std::string& device, SystemError& error) {
  const std::string dir = LockDir(places);
  if (dir.empty()) return true;
  const std::string path = dir + "/" + LockFileName(device);
  PortHolder holder;
  if (OwnerOf(path, places.proc, holder) != Owner::Live) return true;
  FailBusy(error, device, path, holder);
  return false;
}

bool PortLock::NobodyElseHas(const LockPlaces& places, const std::string& device, SystemError& error) {
  if (places.proc.empty()) return true;
  std::vector<PortHolder> holders = FindPortHolders(places.proc, device);
  if (holders.empty()) return true;
  error.code = EBUSY;
  error.text = device + ": open in process " + std::to_string(holders[0].pid);
  error.holder = holders[0];
  error.lockFile.clear();
  return false;
}

bool PortLock::Lock(const std::string& device, SystemError& error) {
  Unlock();
  notes_.clear();
  const std::string dir = LockDir(places_);
  if (dir.empty()) {
    if (!places_.lockDirs.empty()) notes_.push_back("no lock file: no lock folder");
    return true;
  }
  const std::string path = dir + "/" + LockFileName(device);
  // Written whole under another name, then linked into place: nobody ever
  // sees the lock file without its id, and of two programs taking it at the
  // same moment exactly one succeeds.
  static std::atomic<unsigned> serial{0};
  const std::string temp = dir + "/LTMP." + std::to_string(getpid()) + "." + std::to_string(serial++);
  char content[16];
  std::snprintf(content, sizeof content, "%10d\n", static_cast<int>(getpid()));
  for (int attempt = 0; attempt < 3; ++attempt) {
    PortHolder holder;
    switch (OwnerOf(path, places_.proc, holder)) {
      case Owner::Live:
        FailBusy(error, device, path, holder);
        return false;
      case Owner::Unreadable:
        // Someone's, but whose cannot be told: it stays, and the search for
        // processes that have the device open decides.
        notes_.push_back("no lock file: cannot read " + Errno(path, errno));
        return true;
      case Owner::Stale: {
        int pid = ReadLockPid(path);
        if (unlink(path.c_str()) != 0 && errno != ENOENT) {
          notes_.push_back("no lock file: cannot remove the stale " + Errno(path, errno));
          return true;
        }
        notes_.push_back("removed the stale lock file " + path +
                         (pid > 0 ? " of process " + std::to_string(pid) : std::string(" without a process id")));
        break;
      }
      case Owner::None:
        break;
    }
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) {
      notes_.push_back("no lock file: " + Errno(dir, errno));
      return true;
    }
    const bool written = write(fd, content, 11) == 11;
    const int writeError = errno;
    fchmod(fd, 0644);  // readable by every program that looks, whatever the umask
    close(fd);
    if (!written) {
      unlink(temp.c_str());
      notes_.push_back("no lock file: " + Errno(temp, writeError));
      return true;
    }
    const int linked = link(temp.c_str(), path.c_str());
    const int linkError = errno;
    unlink(temp.c_str());
    if (linked == 0) {
      {
        std::lock_guard<std::mutex> lock(g_heldMutex);
        Held().insert(path);
      }
      held_ = path;
      notes_.push_back("locked " + path);
      return true;
    }
    if (linkError != EEXIST) {
      notes_.push_back("no lock file: " + Errno(path, linkError));
      return true;
    }
    // Another program took it in between: look at who it is.
  }
  notes_.push_back("no lock file: " + path + " keeps changing");
  return true;
}

void PortLock::Unlock() {
  if (held_.empty()) return;
  // Someone may have removed ours as stale and taken it since: theirs stays.
  if (ReadLockPid(held_) == static_cast<int>(getpid())) unlink(held_.c_str());
  std::lock_guard<std::mutex> lock(g_heldMutex);
  Held().erase(held_);
  held_.clear();
}

}  // namespace chanset

#include "platform/PathRules.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace chanset {

namespace {

// The N of "/dev/fd/N", "/proc/self/fd/N" and the three standard names; -1
// for any other path.
int DescriptorNumber(const std::string& path) {
  if (path == "/dev/stdin") return 0;
  if (path == "/dev/stdout") return 1;
  if (path == "/dev/stderr") return 2;
  for (const char* prefix : {"/dev/fd/", "/proc/self/fd/"}) {
    const std::string p = prefix;
    if (path.compare(0, p.size(), p) != 0) continue;
    const std::string digits = path.substr(p.size());
    if (digits.empty() || digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos)
      return -1;
    return std::atoi(digits.c_str());
  }
  return -1;
}

bool ReadLinkText(const std::string& path, std::size_t sizeHint, std::string& text) {
  std::vector<char> buf((sizeHint > 0 ? sizeHint : PATH_MAX) + 1);
  ssize_t n = readlink(path.c_str(), buf.data(), buf.size());
  if (n < 0 || static_cast<std::size_t>(n) >= buf.size()) return false;
  text.assign(buf.data(), static_cast<std::size_t>(n));
  return true;
}

// The kernel's rule for following the link `link` (lstat in `st`): refused
// only in a sticky folder anyone may write, for a link that belongs
// neither to the caller nor to the folder's owner.
bool MayFollow(const std::string& link, const struct stat& st) {
  struct stat folder;
  if (stat(FolderOf(link).c_str(), &folder) != 0) return true;
  const bool shared = (folder.st_mode & S_ISVTX) && (folder.st_mode & S_IWOTH);
  return !shared || st.st_uid == geteuid() || st.st_uid == folder.st_uid;
}

// Follows links at the end of `path`; with `rule`, refuses a link the
// kernel's rule would not follow.
bool Follow(const std::string& path, bool rule, std::string& target, std::string* error) {
  std::string current = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    std::string next;
    if (lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode) ||
        !ReadLinkText(current, static_cast<std::size_t>(st.st_size), next) || next.empty()) {
      target = current;
      return true;
    }
    if (rule && !MayFollow(current, st)) {
      if (error)
        *error = current + ": a symbolic link another user made in a shared folder; it is not followed";
      return false;
    }
    current = next[0] == '/' ? next : FolderOf(current) + "/" + next;
  }
  if (error) *error = path + ": too many symbolic links in a row";
  target = current;
  return false;
}

// Where a path that may not exist would be: its folder resolved, its links
// followed.
std::string Place(const std::string& path) {
  std::string target = FollowLinks(path);
  char buf[PATH_MAX];
  if (realpath(FolderOf(target).c_str(), buf)) return LexicalPath(std::string(buf) + "/" + NameOf(target));
  return LexicalPath(target);
}

bool Identify(const std::string& path, struct stat& st) {
  int fd = StreamDescriptor(path);
  if (fd >= 0) return fstat(fd, &st) == 0;
  return stat(path.c_str(), &st) == 0;
}

}  // namespace

std::string LexicalPath(const std::string& path) {
  std::string full = path;
  if (full.empty() || full[0] != '/') {
    char cwd[PATH_MAX];
    if (getcwd(cwd, sizeof cwd)) full = std::string(cwd) + "/" + full;
  }
  std::vector<std::string> parts;
  std::size_t at = 0;
  while (at <= full.size()) {
    std::size_t slash = full.find('/', at);
    if (slash == std::string::npos) slash = full.size();
    std::string part = full.substr(at, slash - at);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    at = slash + 1;
  }
  std::string out;
  for (const std::string& p : parts) out += "/" + p;
  return out.empty() ? "/" : out;
}

bool LooksLikeStream(const std::string& path) { return DescriptorNumber(path) >= 0; }

int StreamDescriptor(const std::string& path) {
  const int fd = DescriptorNumber(path);
  if (fd < 0) return -1;
  const int flags = fcntl(fd, F_GETFD);
  if (flags < 0) return -1;
  // Beyond the three standard ones, only what the caller handed over: the
  // program's own descriptors are all close-on-exec.
  if (fd > 2 && (flags & FD_CLOEXEC)) return -1;
  return fd;
}

bool FollowLinksByRule(const std::string& path, std::string& target, std::string* error) {
  return Follow(path, true, target, error);
}

std::string FollowLinks(const std::string& path) {
  std::string target;
  Follow(path, false, target, nullptr);
  return target;
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  const bool hasA = Identify(a, sa), hasB = Identify(b, sb);
  if (hasA && hasB) return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
  if (hasA != hasB || LooksLikeStream(a) || LooksLikeStream(b)) return false;
  return Place(a) == Place(b);
}

std::string FolderOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace chanset

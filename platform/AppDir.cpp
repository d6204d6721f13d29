#include "platform/AppDir.h"

#include <climits>
#include <unistd.h>

namespace chanset {

static std::string& Override() {
  static std::string dir;
  return dir;
}

std::string ApplicationDirectory() {
  if (!Override().empty()) return Override();
  char buf[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return "./";
  std::string path(buf, static_cast<std::size_t>(n));
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

void SetApplicationDirectory(const std::string& dir) {
  std::string d = dir;
  if (!d.empty() && d.back() != '/') d += '/';
  Override() = d;
}

}  // namespace chanset

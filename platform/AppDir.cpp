#include "platform/AppDir.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
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

std::string UserConfigDirectory() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && xdg[0] == '/') return std::string(xdg) + "/Chanset/";
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] == '\0') {
    if (const passwd* pw = getpwuid(getuid())) home = pw->pw_dir;
  }
  return std::string(home != nullptr ? home : "") + "/.config/Chanset/";
}

bool MakeFolders(const std::string& dir) {
  std::size_t pos = 1;
  for (;;) {
    std::size_t slash = dir.find('/', pos);
    std::string part = dir.substr(0, slash);
    if (!part.empty() && mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) return true;
    pos = slash + 1;
  }
}

}  // namespace chanset

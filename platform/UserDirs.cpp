#include "platform/UserDirs.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace chanset {

namespace {

// $variable when it is an absolute path, else the home folder + `fallback`.
std::string XdgFolder(const char* variable, const char* fallback) {
  const char* xdg = std::getenv(variable);
  if (xdg != nullptr && xdg[0] == '/') return xdg;
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] == '\0') {
    if (const passwd* pw = getpwuid(getuid())) home = pw->pw_dir;
  }
  return std::string(home != nullptr ? home : "") + fallback;
}

}  // namespace

std::string ConfigHome() { return XdgFolder("XDG_CONFIG_HOME", "/.config"); }

std::string DataHome() { return XdgFolder("XDG_DATA_HOME", "/.local/share"); }

std::string BackupsFolder() { return DataHome() + "/Chanset/backups"; }

bool MakeFolders(const std::string& dir, std::string* error) {
  std::size_t pos = 1;
  for (;;) {
    std::size_t slash = dir.find('/', pos);
    std::string part = dir.substr(0, slash);
    if (!part.empty() && mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
      if (error) *error = std::strerror(errno);
      return false;
    }
    if (slash == std::string::npos) return true;
    pos = slash + 1;
  }
}

}  // namespace chanset

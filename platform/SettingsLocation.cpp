#include "platform/SettingsLocation.h"

#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/AppDir.h"
#include "platform/UserDirs.h"
#include "settings/CSettingsFile.h"

namespace chanset {

const char kSettingsFileName[] = "Chanset.ini";

namespace {

std::string UserFolder() { return ConfigHome() + "/Chanset/"; }

bool IsLink(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

}  // namespace

SettingsFilePaths ChooseSettingsFilePaths(const std::string& appDir, const std::string& userDir,
                                          bool ownsBesideFile, bool userCopyExists) {
  const std::string beside = appDir + kSettingsFileName;
  if (ownsBesideFile) return {beside, beside};
  const std::string userCopy = userDir + kSettingsFileName;
  if (userCopyExists) return {userCopy, userCopy};
  return {beside, userCopy};
}

SettingsFilePaths ProgramSettingsFilePaths() {
  const std::string appDir = ApplicationDirectory();
  const std::string userDir = UserFolder();
  struct stat st;
  const bool userCopyExists = stat((userDir + kSettingsFileName).c_str(), &st) == 0;
  const bool ownsBesideFile = !IsLink(appDir + kSettingsFileName) && access(appDir.c_str(), W_OK | X_OK) == 0;
  return ChooseSettingsFilePaths(appDir, userDir, ownsBesideFile, userCopyExists);
}

std::string SiteFolder() {
  const std::string appDir = ApplicationDirectory();
  const std::string beside = appDir + kSettingsFileName;
  char real[PATH_MAX];
  if (!IsLink(beside) || realpath(beside.c_str(), real) == nullptr) return appDir;
  std::string path = real;
  return path.substr(0, path.rfind('/') + 1);
}

std::vector<std::string> BackgroundPictureFiles() {
  const char kName[] = "background.bmp";
  return {UserFolder() + kName, SiteFolder() + kName, ApplicationDirectory() + kName};
}

bool LoadProgramSettings(CSettingsFile& file) {
  const SettingsFilePaths paths = ProgramSettingsFilePaths();
  const bool loaded = file.LoadPath(paths.read, true, true, false);
  if (paths.write != paths.read) file.SetSaveTarget(paths.write);
  return loaded;
}

}  // namespace chanset

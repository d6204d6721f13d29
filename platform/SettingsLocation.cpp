#include "platform/SettingsLocation.h"

#include <sys/stat.h>
#include <unistd.h>

#include "platform/AppDir.h"
#include "platform/UserDirs.h"
#include "settings/CSettingsFile.h"

namespace chanset {

const char kSettingsFileName[] = "Chanset.ini";

SettingsFilePaths ChooseSettingsFilePaths(const std::string& appDir, const std::string& userDir,
                                          bool appDirWritable, bool userCopyExists) {
  const std::string beside = appDir + kSettingsFileName;
  if (appDirWritable) return {beside, beside};
  const std::string userCopy = userDir + kSettingsFileName;
  if (userCopyExists) return {userCopy, userCopy};
  return {beside, userCopy};
}

SettingsFilePaths ProgramSettingsFilePaths() {
  const std::string appDir = ApplicationDirectory();
  const std::string userDir = ConfigHome() + "/Chanset/";
  struct stat st;
  const bool userCopyExists = stat((userDir + kSettingsFileName).c_str(), &st) == 0;
  return ChooseSettingsFilePaths(appDir, userDir, access(appDir.c_str(), W_OK | X_OK) == 0, userCopyExists);
}

bool LoadProgramSettings(CSettingsFile& file) {
  const SettingsFilePaths paths = ProgramSettingsFilePaths();
  const bool loaded = file.LoadPath(paths.read, true, true, false);
  if (paths.write != paths.read) file.SetSaveTarget(paths.write);
  return loaded;
}

}  // namespace chanset

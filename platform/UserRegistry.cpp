#include "platform/UserRegistry.h"

#include <sys/stat.h>

#include "platform/AtomicFile.h"
#include "platform/UserDirs.h"
#include "settings/CSettingsFile.h"

namespace chanset {

namespace {

bool FileExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

// Loads the registry file fresh for a change, so that values another running
// instance wrote since our last access are kept.
bool OpenForWrite(CSettingsFile& file) {
  std::string path = UserRegistry::FilePath();
  if (!MakeFolders(FolderOf(path))) return false;
  return file.LoadPath(path, false, true, false);
}

bool ParseDword(const std::string& text, std::uint32_t& value) {
  if (text.empty() || text.size() > 10) return false;
  std::uint64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (v > 0xFFFFFFFFu) return false;
  value = static_cast<std::uint32_t>(v);
  return true;
}

}  // namespace

std::string UserRegistry::FilePath() { return ConfigHome() + "/Chanset/registry.ini"; }

std::string UserRegistry::ReadString(const std::string& keyPath, const std::string& name,
                                     const std::string& def) {
  std::string path = FilePath();
  if (!FileExists(path)) return def;  // a read never creates anything
  CSettingsFile file;
  if (!file.LoadPath(path, false, true, false)) return def;
  return file.GetRawValue(keyPath, name, def);
}

void UserRegistry::WriteString(const std::string& keyPath, const std::string& name,
                               const std::string& value) {
  // A line break would split the entry into lines of their own.
  if (value.find_first_of("\r\n") != std::string::npos) return;
  CSettingsFile file;
  if (!OpenForWrite(file)) return;
  // Values compare exactly (device paths are case-sensitive), while the file
  // marks a value changed only when it differs without regard to case; going
  // through an empty value makes a case-only change count too. No stored
  // value holds a line feed, so a missing one never equals `value`.
  if (file.GetRawValue(keyPath, name, "\n") == value) return;
  file.SetValue(keyPath, name, std::string());
  file.SetValue(keyPath, name, value);
  file.Save();
}

std::uint32_t UserRegistry::ReadDword(const std::string& keyPath, const std::string& name,
                                      std::uint32_t def) {
  std::uint32_t value = def;
  if (!ParseDword(ReadString(keyPath, name), value)) return def;
  return value;
}

void UserRegistry::WriteDword(const std::string& keyPath, const std::string& name,
                              std::uint32_t value) {
  WriteString(keyPath, name, std::to_string(value));
}

void UserRegistry::DeleteValue(const std::string& keyPath, const std::string& name) {
  if (!FileExists(FilePath())) return;  // nothing to remove, nothing to create
  CSettingsFile file;
  if (!OpenForWrite(file)) return;
  file.RemoveKey(keyPath, name);
  file.Save();
}

void UserRegistry::CreateKey(const std::string& keyPath) {
  CSettingsFile file;
  if (!OpenForWrite(file)) return;
  file.AddSection(keyPath);
  file.Save();
}

std::string AppRegistryKey() {
  return "Software\\" + g_settingsFile().GetValue("Setup", "AppName", "");
}

}  // namespace chanset

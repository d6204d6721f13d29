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
bool OpenForWrite(CSettingsFile& file, std::string* error) {
  std::string path = UserRegistry::FilePath(), reason;
  if (!MakeFolders(FolderOf(path), &reason)) {
    if (error) *error = FolderOf(path) + ": " + reason;
    return false;
  }
  if (file.LoadPath(path, false, true, false)) return true;
  if (error) *error = path + ": cannot be read";
  return false;
}

bool Saved(CSettingsFile& file, std::string* error) {
  file.Save();
  if (file.LastError().empty()) return true;
  if (error) *error = file.LastError();
  return false;
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

bool UserRegistry::WriteString(const std::string& keyPath, const std::string& name, const std::string& value,
                               std::string* error) {
  // A line break would split the entry into lines of their own.
  if (value.find_first_of("\r\n") != std::string::npos) {
    if (error) *error = "a value holds a line break";
    return false;
  }
  CSettingsFile file;
  if (!OpenForWrite(file, error)) return false;
  // Values compare exactly (device paths are case-sensitive), while the file
  // marks a value changed only when it differs without regard to case; going
  // through an empty value makes a case-only change count too. No stored
  // value holds a line feed, so a missing one never equals `value`.
  if (file.GetRawValue(keyPath, name, "\n") == value) return true;
  file.SetValue(keyPath, name, std::string());
  file.SetValue(keyPath, name, value);
  return Saved(file, error);
}

std::uint32_t UserRegistry::ReadDword(const std::string& keyPath, const std::string& name,
                                      std::uint32_t def) {
  std::uint32_t value = def;
  if (!ParseDword(ReadString(keyPath, name), value)) return def;
  return value;
}

bool UserRegistry::WriteDword(const std::string& keyPath, const std::string& name, std::uint32_t value,
                              std::string* error) {
  return WriteString(keyPath, name, std::to_string(value), error);
}

bool UserRegistry::CreateKey(const std::string& keyPath, std::string* error) {
  CSettingsFile file;
  if (!OpenForWrite(file, error)) return false;
  file.AddSection(keyPath);
  return Saved(file, error);
}

std::string AppRegistryKey() {
  return "Software\\" + g_settingsFile().GetValue("Setup", "AppName", "");
}

}  // namespace chanset

#include "settings/CSettingsFile.h"

// Placeholder: an always-empty settings file until the reader is written.
namespace chanset {

CSettingsFile::CSettingsFile() = default;
CSettingsFile::~CSettingsFile() = default;
bool CSettingsFile::Load(const std::string&, bool, bool, bool) { return false; }
bool CSettingsFile::LoadPath(const std::string&, bool, bool, bool) { return false; }
std::string CSettingsFile::GetValue(const std::string&, const std::string&, const std::string& def) const {
  return def;
}
void CSettingsFile::SetValue(const std::string&, const std::string&, const std::string&) {}
std::string CSettingsFile::Save(bool) { return {}; }
void CSettingsFile::Clear() {}

CSettingsFile& g_settingsFile() {
  static CSettingsFile file;
  return file;
}

}  // namespace chanset

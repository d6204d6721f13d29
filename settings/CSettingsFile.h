#pragma once
// Reader and writer of the INI-style settings file (Chanset.ini).
#include <string>
#include <vector>

namespace chanset {

class CSettingsFile {
 public:
  CSettingsFile();
  ~CSettingsFile();  // saves (with backup when asked) if save-on-close is set, then clears
  CSettingsFile(const CSettingsFile&) = delete;
  CSettingsFile& operator=(const CSettingsFile&) = delete;

  // Loads `fileName` from the application directory.
  bool Load(const std::string& fileName, bool saveOnClose, bool ignoreCase, bool backupOnClose);
  // Loads a file given by its full path (creating it empty when missing).
  bool LoadPath(const std::string& path, bool saveOnClose, bool ignoreCase, bool backupOnClose);

  std::string GetValue(const std::string& section, const std::string& key,
                       const std::string& def = std::string()) const;
  void SetValue(const std::string& section, const std::string& key, const std::string& value);
  // Returns the backup file name, or "" when nothing was written.
  std::string Save(bool makeBackup = false);
  void Clear();

  const std::string& Path() const { return m_strPath; }
  bool IsChanged() const { return m_bChanged; }

 private:
  std::vector<std::vector<std::string>> m_ppKeys;
  std::vector<std::vector<std::string>> m_ppValues;
  std::vector<std::string> m_arrSections;
  int m_nLastSection = 0;
  int m_nGrowBy = 4;
  bool m_bIgnoreCase = true;
  bool m_bSaveOnClose = false;
  std::string m_strBackupName;
  bool m_bBackupOnClose = false;
  bool m_bChanged = false;
  std::string m_strPath;
};

// The settings-file object of the running program.
CSettingsFile& g_settingsFile();

}  // namespace chanset

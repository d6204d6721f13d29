#pragma once
// Reader and writer of the INI-style settings file (Chanset.ini).
//
// Syntax as read: lines are trimmed; "[name]" starts a section (the name is
// kept exactly, blanks included, and a repeated name starts another section);
// any other line is split at its first "=" into key and value, each trimmed;
// lines whose key is empty or starts with ';', '/', '\' or '*' are comments.
// Keys before the first header belong to the nameless section 0. Duplicate
// sections and keys are all kept; lookups take the first equal section and
// the last equal key. Files are UTF-8 and are written with "\n" line ends.
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
  // Loads a file given by its full path. A missing file loads as an empty
  // one and is not created; a save that has something to write makes it.
  bool LoadPath(const std::string& path, bool saveOnClose, bool ignoreCase, bool backupOnClose);

  // The value with its inline comment cut off ("//", then "\t;", then "/*").
  std::string GetValue(const std::string& section, const std::string& key,
                       const std::string& def = std::string()) const;
  // The value exactly as stored, without cutting inline comments.
  std::string GetRawValue(const std::string& section, const std::string& key,
                          const std::string& def = std::string()) const;
  void SetValue(const std::string& section, const std::string& key, const std::string& value);
  // Removes the key (every copy of it) from the section; nothing when absent.
  void RemoveKey(const std::string& section, const std::string& key);
  bool HasSection(const std::string& section) const;
  // Appends an empty section when none of that name exists (needs a loaded file).
  void AddSection(const std::string& section);
  // Makes saves write `path` (creating its folder) instead of the loaded
  // file, which stays untouched: a settings file the user may not change is
  // copied to the user's own folder by the first save. From then on `path`
  // is the loaded file.
  void SetSaveTarget(const std::string& path);
  // Returns the backup file name, or "" when nothing was written. A save
  // that wrote the file clears the changed mark, so the next save (the one at
  // exit included) writes nothing until something changes again.
  std::string Save(bool makeBackup = false);
  void Clear();

  const std::string& Path() const { return m_strPath; }
  bool IsChanged() const { return m_bChanged; }
  // Why the last Save wrote nothing although something had changed; empty
  // after a successful save.
  const std::string& LastError() const { return m_strLastError; }

  // The text Save writes (exposed for tests and tools).
  std::string Serialize() const;

 private:
  bool Equal(const std::string& a, const std::string& b) const;
  int FindSection(const std::string& section) const;
  int FindKey(int section, const std::string& key) const;
  int NewSection(const std::string& name);
  void ParseLine(std::string line, std::string& currentName);
  std::string ComputeBackupName() const;
  bool MakeBackup(std::string& error);

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
  std::string m_strSaveTarget;  // where the next save goes when not m_strPath
  std::string m_strLastError;
};

// The settings-file object of the running program.
CSettingsFile& g_settingsFile();

}  // namespace chanset

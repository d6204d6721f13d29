#include "settings/CSettingsFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/AppDir.h"
#include "platform/AtomicFile.h"
#include "platform/UserDirs.h"

namespace chanset {

namespace {

const char kWhite[] = " \t\r\n\v\f";

std::string Trim(const std::string& s) {
  std::size_t b = s.find_first_not_of(kWhite);
  if (b == std::string::npos) return std::string();
  std::size_t e = s.find_last_not_of(kWhite);
  return s.substr(b, e - b + 1);
}

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Removes `marker` and everything after it when it occurs in `value`.
void CutAt(std::string& value, const char* marker) {
  std::size_t p = value.find(marker);
  if (p != std::string::npos) value.erase(p);
}

}  // namespace

CSettingsFile::CSettingsFile() = default;

CSettingsFile::~CSettingsFile() {
  if (m_bSaveOnClose) Save(m_bBackupOnClose);
  Clear();
}

bool CSettingsFile::Load(const std::string& fileName, bool saveOnClose, bool ignoreCase,
                         bool backupOnClose) {
  return LoadPath(ApplicationDirectory() + fileName, saveOnClose, ignoreCase, backupOnClose);
}

bool CSettingsFile::LoadPath(const std::string& path, bool saveOnClose, bool ignoreCase,
                             bool backupOnClose) {
  if (!m_strPath.empty()) {
    if (m_bSaveOnClose) Save(false);
    Clear();
  }
  m_bSaveOnClose = saveOnClose;
  m_bIgnoreCase = ignoreCase;
  m_bBackupOnClose = backupOnClose;

  // A missing file loads as an empty one and is not created: only a save
  // of something that changed makes the file. A pipe or a device is never
  // waited on, and a file far larger than any settings file is not taken.
  std::string text;
  InputStatus read = ReadInput(path, text);
  struct stat folder;
  bool missing = read == InputStatus::Failed && errno == ENOENT && stat(FolderOf(path).c_str(), &folder) == 0 &&
                 S_ISDIR(folder.st_mode);
  // A read error part way: the lines before it are kept for lookups.
  const bool partly = read == InputStatus::Failed && !text.empty();
  if (read != InputStatus::Ok && !missing && !partly) return false;

  m_strPath = path;
  m_ppKeys.assign(1, {});
  m_ppValues.assign(1, {});
  m_arrSections.assign(1, std::string());
  m_nLastSection = 0;

  // A byte-order mark some editors put first is not part of the first line.
  std::size_t pos = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  std::string currentName;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    ParseLine(text.substr(pos, end - pos), currentName);
    pos = end + 1;
  }
  if (partly) {
    // Forget the path: a later save must not replace the whole file with
    // the part that could be read.
    m_strPath.clear();
    return false;
  }
  return true;
}

void CSettingsFile::ParseLine(std::string line, std::string& currentName) {
  std::size_t nul = line.find('\0');
  if (nul != std::string::npos) line.erase(nul);
  line = Trim(line);
  if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
    currentName = line.substr(1, line.size() - 2);
    NewSection(currentName);
    return;
  }
  std::string key, value;
  std::size_t eq = line.find('=');
  if (eq == std::string::npos) {
    key = line;
  } else {
    key = Trim(line.substr(0, eq));
    value = Trim(line.substr(eq + 1));
  }
  if (key.empty()) return;
  if (std::strchr(";/\\*", key.front()) != nullptr) return;
  m_ppKeys[m_nLastSection].push_back(key);
  m_ppValues[m_nLastSection].push_back(value);
  m_arrSections[m_nLastSection] = currentName;
}

int CSettingsFile::NewSection(const std::string& name) {
  ++m_nLastSection;
  std::size_t need = static_cast<std::size_t>(m_nLastSection) + 1;
  if (need > m_ppKeys.capacity()) {
    // The tables grow by several entries at a time rather than one.
    std::size_t cap = m_ppKeys.capacity() + static_cast<std::size_t>(m_nGrowBy);
    m_ppKeys.reserve(cap);
    m_ppValues.reserve(cap);
    m_arrSections.reserve(cap);
  }
  m_ppKeys.resize(need);
  m_ppValues.resize(need);
  m_arrSections.resize(need);
  m_arrSections[m_nLastSection] = name;
  return m_nLastSection;
}

bool CSettingsFile::Equal(const std::string& a, const std::string& b) const {
  if (!m_bIgnoreCase) return a == b;
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  return true;
}

int CSettingsFile::FindSection(const std::string& section) const {
  for (std::size_t i = 0; i < m_arrSections.size(); ++i)
    if (Equal(m_arrSections[i], section)) return static_cast<int>(i);
  return -1;
}

int CSettingsFile::FindKey(int section, const std::string& key) const {
  const std::vector<std::string>& keys = m_ppKeys[static_cast<std::size_t>(section)];
  for (std::size_t i = keys.size(); i-- > 0;)
    if (Equal(keys[i], key)) return static_cast<int>(i);
  return -1;
}

std::string CSettingsFile::GetRawValue(const std::string& section, const std::string& key,
                                       const std::string& def) const {
  int s = FindSection(section);
  if (s < 0) return def;
  int k = FindKey(s, key);
  if (k < 0) return def;
  return m_ppValues[static_cast<std::size_t>(s)][static_cast<std::size_t>(k)];
}

std::string CSettingsFile::GetValue(const std::string& section, const std::string& key,
                                    const std::string& def) const {
  int s = FindSection(section);
  if (s < 0) return def;
  int k = FindKey(s, key);
  if (k < 0) return def;
  // Inline comments are cut here, not when reading the file; the blank in
  // front of a cut marker stays.
  std::string value = m_ppValues[static_cast<std::size_t>(s)][static_cast<std::size_t>(k)];
  CutAt(value, "//");
  CutAt(value, "\t;");
  CutAt(value, "/*");
  return value;
}

void CSettingsFile::SetValue(const std::string& section, const std::string& key,
                             const std::string& value) {
  if (m_strPath.empty()) return;
  int s = FindSection(section);
  if (s < 0) {
    m_bChanged = true;
    s = NewSection(section);
  }
  std::vector<std::string>& keys = m_ppKeys[static_cast<std::size_t>(s)];
  std::vector<std::string>& values = m_ppValues[static_cast<std::size_t>(s)];
  int k = FindKey(s, key);
  if (k < 0) {
    m_bChanged = true;
    keys.push_back(key);
    values.push_back(value);
    return;
  }
  std::string& old = values[static_cast<std::size_t>(k)];
  if (!Equal(old, value)) m_bChanged = true;
  old = value;
}

bool CSettingsFile::HasSection(const std::string& section) const {
  return FindSection(section) >= 0;
}

void CSettingsFile::AddSection(const std::string& section) {
  if (m_strPath.empty() || FindSection(section) >= 0) return;
  m_bChanged = true;
  NewSection(section);
}

std::string CSettingsFile::Serialize() const {
  std::string out;
  for (std::size_t s = 0; s < m_arrSections.size(); ++s) {
    // Only the nameless section 0 goes without a header. A later section
    // read from "[]" keeps its header: without it its keys would join the
    // section above on the next load and could override that section's keys.
    if (s > 0 || !m_arrSections[s].empty()) out += "[" + m_arrSections[s] + "]\n";
    const std::vector<std::string>& keys = m_ppKeys[s];
    const std::vector<std::string>& values = m_ppValues[s];
    for (std::size_t k = 0; k < keys.size(); ++k) {
      out += keys[k];
      if (!keys[k].empty()) out += "=";
      out += values[k];
      out += "\n";
    }
  }
  // A first key that starts with a byte-order mark would lose it on the next
  // load, which skips a mark at the start of the file; a mark of the file's
  // own in front keeps it.
  if (out.compare(0, 3, "\xEF\xBB\xBF") == 0) out.insert(0, "\xEF\xBB\xBF");
  return out;
}

std::string CSettingsFile::ComputeBackupName() const {
  // Every entry of the folder whose name starts with the file's stem counts;
  // the last three characters of its name give its number.
  std::string dir = FolderOf(m_strPath);
  std::size_t slash = m_strPath.rfind('/');
  std::string name = slash == std::string::npos ? m_strPath : m_strPath.substr(slash + 1);
  std::string stem = name.substr(0, name.rfind('.'));
  int largest = 0;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d)) {
      std::string entry = e->d_name;
      if (entry.compare(0, stem.size(), stem) != 0) continue;
      std::string last = entry.substr(entry.size() > 3 ? entry.size() - 3 : 0);
      int number = 0;
      for (char c : last) {
        if (c < '0' || c > '9') break;
        number = number * 10 + (c - '0');
      }
      if (number > largest) largest = number;
    }
    closedir(d);
  }
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, ".%.3d", largest + 1);
  return m_strPath + suffix;
}

bool CSettingsFile::MakeBackup(std::string& error) {
  if (m_strBackupName.empty()) m_strBackupName = ComputeBackupName();
  struct stat st;
  if (stat(m_strPath.c_str(), &st) != 0 && errno == ENOENT) return true;  // nothing to copy
  std::string bytes;
  if (!ReadWholeFile(m_strPath, bytes, &error)) return false;
  return WriteFileAtomic(m_strBackupName, bytes, &error);
}

std::string CSettingsFile::Save(bool makeBackup) {
  m_strLastError.clear();
  if (!m_bChanged || m_strPath.empty()) return std::string();
  std::string error;
  // A first save to a new target replaces no file, so it needs no backup.
  const bool redirected = !m_strSaveTarget.empty();
  if (makeBackup && !redirected && !MakeBackup(error)) {
    // Without its backup the old file is not replaced.
    m_strLastError = "backup " + m_strBackupName + ": " + error;
    return std::string();
  }
  const std::string& destination = redirected ? m_strSaveTarget : m_strPath;
  if (redirected && !MakeFolders(FolderOf(destination), &error)) {
    m_strLastError = FolderOf(destination) + ": " + error;
    return std::string();
  }
  // The shared writer keeps a link a link, refuses a read-only file and
  // never leaves a half-written one.
  if (!WriteFileAtomic(destination, Serialize(), &error)) {
    m_strLastError = destination + ": " + error;
    return std::string();
  }
  if (redirected) {
    m_strPath = m_strSaveTarget;
    m_strSaveTarget.clear();
  }
  // The file now holds what memory holds: a later save (the one at exit
  // included) has nothing to write until something changes again.
  m_bChanged = false;
  return m_strBackupName;
}

void CSettingsFile::SetSaveTarget(const std::string& path) { m_strSaveTarget = path; }

void CSettingsFile::Clear() {
  m_ppKeys.clear();
  m_ppValues.clear();
  m_arrSections.clear();
  m_nLastSection = 0;
  m_strPath.clear();
  m_strSaveTarget.clear();
  m_bChanged = false;
}

CSettingsFile& g_settingsFile() {
  static CSettingsFile file;
  return file;
}

}  // namespace chanset

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/AppDir.h"
#include "settings/CSettingsFile.h"
#include "tests/unit/AsUser.h"
#include "tests/unit/TempDir.h"

using chanset::CSettingsFile;
using testutil::ReadText;
using testutil::TempDir;
using testutil::WriteText;

namespace {

struct LookupCase {
  const char* name;
  const char* file;
  const char* section;
  const char* key;
  const char* expected;  // "<default>" when the lookup must fall back
};

const LookupCase kLookups[] = {
    {"last equal key wins, any case", "[Setup]\nLanguage = Chinese\nlanguage=English\n",
     "setup", "LANGUAGE", "English"},
    {"second section of a name is never searched", "[Setup]\nA=1\n[Setup]\nA=2\nB=3\n",
     "Setup", "B", "<default>"},
    {"first equal section wins", "[Setup]\nA=1\n[Setup]\nA=2\n", "SETUP", "A", "1"},
    {"cut keeps the blank before //", "[S]\nAppName=Radio // shop\n", "S", "AppName", "Radio "},
    {"cut at // inside a word", "[S]\nPath=a//b\n", "S", "Path", "a"},
    {"cut at tab semicolon", "[S]\nX=a\t; c\n", "S", "X", "a"},
    {"semicolon without tab stays", "[S]\nX=a ; c\n", "S", "X", "a ; c"},
    {"cut at /*", "[S]\nX=a /* c */\n", "S", "X", "a "},
    {"value keeps further equal signs", "[S]\nName=a=b\n", "S", "Name", "a=b"},
    {"hash line is a key", "[S]\n#hash\n", "S", "#hash", ""},
    {"semicolon line is a comment", "[S]\n;semi\n", "S", ";semi", "<default>"},
    {"slash line is a comment", "[S]\n/slash\n", "S", "/slash", "<default>"},
    {"backslash line is a comment", "[S]\n\\back\n", "S", "\\back", "<default>"},
    {"star line is a comment", "[S]\n*star\n", "S", "*star", "<default>"},
    {"comment key with a value", "[S]\n ; k = v\n", "S", "; k", "<default>"},
    {"line starting with = is dropped", "[S]\n=v\n", "S", "", "<default>"},
    {"header with trailing comment is a key", "[Setup] ; main\n", "", "[Setup] ; main", ""},
    {"...and opens no section", "[Setup] ; main\nK=v\n", "Setup", "K", "<default>"},
    {"...its keys stay in section 0", "[Setup] ; main\nK=v\n", "", "K", "v"},
    {"blanks inside brackets belong to the name", "[ Setup ]\nK=v\n", "Setup", "K",
     "<default>"},
    {"...found with the blanks", "[ Setup ]\nK=v\n", " Setup ", "K", "v"},
    {"keys above the first header are section 0", "K0=zero\n[S]\nK0=s\n", "", "K0", "zero"},
    {"...not found in a named section", "K0=zero\n[S]\n", "S", "K0", "<default>"},
    {"key and value are trimmed", "[S]\n\t Key \t=  v w \t\n", "S", "key", "v w"},
    {"CRLF lines read the same", "[Setup]\r\nA = 1 \r\nB=2\r\n", "Setup", "A", "1"},
    {"last line without line end", "[S]\nA=1", "S", "A", "1"},
    {"byte-order mark before the first header", "\xEF\xBB\xBF[S]\nA=1\n", "S", "A", "1"},
    {"UTF-8 names compare exactly", "[中文]\nKey=值\n", "中文", "KEY", "值"},
    {"case folding is ASCII only", "[É]\nK=v\n", "é", "K", "<default>"},
    {"missing section", "[S]\nA=1\n", "T", "A", "<default>"},
};

class SettingsLookup : public ::testing::TestWithParam<LookupCase> {};

TEST_P(SettingsLookup, GetValue) {
  const LookupCase& c = GetParam();
  TempDir dir;
  WriteText(dir.File("s.ini"), c.file);
  CSettingsFile f;
  ASSERT_TRUE(f.LoadPath(dir.File("s.ini"), false, true, false));
  EXPECT_EQ(f.GetValue(c.section, c.key, "<default>"), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Table, SettingsLookup, ::testing::ValuesIn(kLookups),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(SettingsFile, CaseSensitiveWhenAsked) {
  TempDir dir;
  WriteText(dir.File("s.ini"), "[Setup]\nKey=v\n");
  CSettingsFile f;
  ASSERT_TRUE(f.LoadPath(dir.File("s.ini"), false, false, false));
  EXPECT_EQ(f.GetValue("setup", "Key", "-"), "-");
  EXPECT_EQ(f.GetValue("Setup", "KEY", "-"), "-");
  EXPECT_EQ(f.GetValue("Setup", "Key", "-"), "v");
}

struct WriteCase {
  const char* name;
  const char* file;
  const char* section;  // the value set before saving
  const char* key;
  const char* value;
  const char* written;
};

const WriteCase kWrites[] = {
    {"comment lines vanish, the hash line gets =", "#hash\n;semi\n/slash\n\\back\n*star\nk = v\n",
     "", "new", "1", "#hash=\nk=v\nnew=1\n"},
    {"both equal sections are written back", "top=1\n[A]\nx=1\n[A]\nx=2\n", "a", "X", "9",
     "top=1\n[A]\nx=9\n[A]\nx=2\n"},
    {"duplicate keys kept, the last one set", "[A]\nk=1\nk=2\n", "A", "k", "3",
     "[A]\nk=1\nk=3\n"},
    {"new section appended, spacing normalised", "[ B ]\n\n  y =  2  \n", "C", "z", "3",
     "[ B ]\ny=2\n[C]\nz=3\n"},
    {"CRLF file written with LF", "[S]\r\nk=v\r\n", "S", "k", "w", "[S]\nk=w\n"},
    {"a later nameless section keeps its header", "[S]\na=1\n[]\nb=2\n", "S", "a", "0",
     "[S]\na=0\n[]\nb=2\n"},
    {"inline comment kept in the file", "[S]\nk=v // note\n", "S", "other", "x",
     "[S]\nk=v // note\nother=x\n"},
};

class SettingsWrite : public ::testing::TestWithParam<WriteCase> {};

TEST_P(SettingsWrite, SaveWritesTheNormalisedFile) {
  const WriteCase& c = GetParam();
  TempDir dir;
  std::string path = dir.File("s.ini");
  WriteText(path, c.file);
  CSettingsFile f;
  ASSERT_TRUE(f.LoadPath(path, false, true, false));
  f.SetValue(c.section, c.key, c.value);
  EXPECT_TRUE(f.IsChanged());
  EXPECT_EQ(f.Save(), "");
  EXPECT_EQ(f.LastError(), "");
  EXPECT_EQ(ReadText(path), c.written);
}

INSTANTIATE_TEST_SUITE_P(Table, SettingsWrite, ::testing::ValuesIn(kWrites),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

// Found by the settings fuzz target: a "[]" section written back without its
// header made its keys override those of the section above after a reload,
// and a first key starting with a byte-order mark lost the mark.
TEST(SettingsFile, SaveAndReloadKeepEveryLookup) {
  TempDir dir;
  std::string path = dir.File("s.ini");
  WriteText(path, "\xEF\xBB\xBF\xEF\xBB\xBFmark=m\ntop=0\n[S]\na=1\n[]\na=2\nb=3\n[T]\nc=4\n");
  CSettingsFile f;
  ASSERT_TRUE(f.LoadPath(path, false, true, false));
  f.AddSection("U");
  ASSERT_EQ(f.Save(), "");
  CSettingsFile g;
  ASSERT_TRUE(g.LoadPath(path, false, true, false));
  for (const CSettingsFile* file : {&f, &g}) {
    EXPECT_EQ(file->GetValue("", "\xEF\xBB\xBFmark", "-"), "m");
    EXPECT_EQ(file->GetValue("", "mark", "-"), "-");
    EXPECT_EQ(file->GetValue("S", "a", "-"), "1");
    EXPECT_EQ(file->GetValue("S", "b", "-"), "-");
    EXPECT_EQ(file->GetValue("", "top", "-"), "0");
    EXPECT_EQ(file->GetValue("", "b", "-"), "-");
    EXPECT_EQ(file->GetValue("T", "c", "-"), "4");
  }
}

struct FileStamp {
  std::string bytes;
  timespec mtime{};
  ino_t inode = 0;
};

FileStamp Stamp(const std::string& path) {
  FileStamp s;
  s.bytes = ReadText(path);
  struct stat st {};
  stat(path.c_str(), &st);
  s.mtime = st.st_mtim;
  s.inode = st.st_ino;
  return s;
}

void ExpectUntouched(const FileStamp& before, const std::string& path) {
  FileStamp after = Stamp(path);
  EXPECT_EQ(after.bytes, before.bytes);
  EXPECT_EQ(after.inode, before.inode);
  EXPECT_EQ(after.mtime.tv_sec, before.mtime.tv_sec);
  EXPECT_EQ(after.mtime.tv_nsec, before.mtime.tv_nsec);
}

// Spacing that any rewrite would normalise, so a write always shows.
const char kLoose[] = "[Setup]\n  Language =  English  \n; comment\n";

TEST(SettingsFile, NothingWrittenWhenNothingChanged) {
  TempDir dir;
  std::string path = dir.File("Chanset.ini");
  WriteText(path, kLoose);
  FileStamp before = Stamp(path);
  {
    CSettingsFile f;
    ASSERT_TRUE(f.LoadPath(path, true, true, false));
    f.SetValue("SETUP", "language", "ENGLISH");  // differs in case only
    EXPECT_FALSE(f.IsChanged());
    EXPECT_EQ(f.Save(), "");
    EXPECT_EQ(f.GetValue("Setup", "Language"), "ENGLISH");  // stored all the same
  }  // destruction saves only a changed file
  ExpectUntouched(before, path);
}

TEST(SettingsFile, DestructionSavesAChangedFile) {
  TempDir dir;
  std::string path = dir.File("Chanset.ini");
  WriteText(path, kLoose);
  {
    CSettingsFile f;
    ASSERT_TRUE(f.LoadPath(path, true, true, false));
    f.SetValue("Setup", "Language", "Chinese");
  }
  EXPECT_EQ(ReadText(path), "[Setup]\nLanguage=Chinese\n");
}

TEST(SettingsFile, NoSaveOnCloseLeavesTheFile) {
  TempDir dir;
  std::string path = dir.File("Chanset.ini");
  WriteText(path, kLoose);
  {
    CSettingsFile f;
    ASSERT_TRUE(f.LoadPath(path, false, true, false));
    f.SetValue("Setup", "Language", "Chinese");
  }
  EXPECT_EQ(ReadText(path), kLoose);
}

TEST(SettingsFile, LoadingAnotherFileSavesTheFirst) {
  TempDir dir;
  WriteText(dir.File("a.ini"), "[A]\nk=1\n");
  WriteText(dir.File("b.ini"), "[B]\nk=2\n");
  CSettingsFile f;
  ASSERT_TRUE(f.LoadPath(dir.File("a.ini"), true, true, false));
  f.SetValue("A", "k", "5");
  ASSERT_TRUE(f.LoadPath(dir.File("b.ini"), false, true, false));
  EXPECT_EQ(ReadText(dir.File("a.ini")), "[A]\nk=5\n");
  EXPECT_EQ(f.GetValue("A", "k", "-"), "-");
  EXPECT_EQ(f.GetValue("B", "k", "-"), "2");
  EXPECT_FALSE(f.IsChanged());
}

// A missing file loads as an empty one and is never left behind empty: only
// a save with something to write creates it.
TEST(SettingsFile, MissingFileIsCreatedOnlyByASaveThatWrites) {
  TempDir dir;
  std::string path = dir.File("Chanset.ini");
  struct stat st {};
  {
    CSettingsFile f;
    ASSERT_TRUE(f.LoadPath(path, true, true, false));
    EXPECT_NE(stat(path.c_str(), &st), 0);
    EXPECT_EQ(f.GetValue("Setup", "Language", "English"), "English");
    EXPECT_EQ(f.Save(), "");
  }  // destroyed with save on close and nothing changed
  EXPECT_NE(stat(path.c_str(), &st), 0);
  CSettingsFile f;
  ASSERT_TRUE(f.LoadPath(path, false, true, false));
  f.SetValue("Setup", "Language", "Chinese");
  f.Save();
  EXPECT_EQ(f.LastError(), "");
  EXPECT_EQ(ReadText(path), "[Setup]\nLanguage=Chinese\n");
}

// After a save that wrote the file, nothing is rewritten until something
// changes: an edit made to the file meanwhile by hand survives the exit.
TEST(SettingsFile, SavedFileIsNotRewrittenAtExit) {
  TempDir dir;
  std::string path = dir.File("Chanset.ini");
  WriteText(path, "[Setup]\nLanguage=English\n");
  {
    CSettingsFile f;
    ASSERT_TRUE(f.LoadPath(path, true, true, false));
    f.SetValue("Setup", "Language", "Chinese");
    f.Save();
    EXPECT_FALSE(f.IsChanged());
    WriteText(path, "[Setup]\nLanguage=Chinese\nShowLang=1\n");
    EXPECT_EQ(f.Save(), "");
    f.SetValue("Setup", "Language", "chinese");  // differs only in case: no change
  }
  EXPECT_EQ(ReadText(path), "[Setup]\nLanguage=Chinese\nShowLang=1\n");
}

TEST(SettingsFile, LoadResolvesTheNameInTheApplicationDirectory) {
  TempDir dir;
  WriteText(dir.File("Chanset.ini"), "[Setup]\nAppName=Here\n");
  chanset::SetApplicationDirectory(dir.Path());
  CSettingsFile f;
  EXPECT_TRUE(f.Load("Chanset.ini", false, true, false));
  chanset::SetApplicationDirectory("");
  EXPECT_EQ(f.Path(), dir.File("Chanset.ini"));
  EXPECT_EQ(f.GetValue("Setup", "AppName"), "Here");
}

TEST(SettingsFile, UnopenablePathLoadsNothingAndIgnoresSets) {
  TempDir dir;
  CSettingsFile f;
  EXPECT_FALSE(f.LoadPath(dir.File("no/such/folder/x.ini"), true, true, false));
  EXPECT_EQ(f.Path(), "");
  f.SetValue("S", "k", "v");
  EXPECT_FALSE(f.IsChanged());
  EXPECT_EQ(f.GetValue("S", "k", "d"), "d");
  EXPECT_EQ(f.Save(), "");
}

struct BackupCase {
  const char* name;
  std::vector<std::string> existing;
  const char* expected;
};

class SettingsBackup : public ::testing::TestWithParam<BackupCase> {};

TEST_P(SettingsBackup, NumbersOneAboveTheLargest) {
  const BackupCase& c = GetParam();
  TempDir dir;
  std::string path = dir.File("Chanset.ini");
  WriteText(path, "[S]\nk=old\n");
  for (const std::string& name : c.existing) WriteText(dir.File(name), "x");
  CSettingsFile f;
  ASSERT_TRUE(f.LoadPath(path, false, true, false));
  f.SetValue("S", "k", "new");
  std::string backup = f.Save(true);
  EXPECT_EQ(backup, dir.File(c.expected));
  EXPECT_EQ(ReadText(backup), "[S]\nk=old\n");
  EXPECT_EQ(ReadText(path), "[S]\nk=new\n");
  // The name is computed once: a second save replaces the same copy.
  f.SetValue("S", "k", "newer");
  EXPECT_EQ(f.Save(true), backup);
  EXPECT_EQ(ReadText(backup), "[S]\nk=new\n");
}

INSTANTIATE_TEST_SUITE_P(
    Table, SettingsBackup,
    ::testing::Values(
        BackupCase{"none yet", {}, "Chanset.ini.001"},
        BackupCase{"after 007", {"Chanset.ini.007"}, "Chanset.ini.008"},
        BackupCase{"largest of several, other stems ignored",
                   {"Chanset.ini.007", "Chanset.ini.012", "Other.ini.050"}, "Chanset.ini.013"},
        BackupCase{"last three characters only", {"Chanset.ini.1041"}, "Chanset.ini.042"},
        BackupCase{"non-digits count as 0", {"Chanset.bak", "Chanset.x9"}, "Chanset.ini.001"}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(SettingsFile, FailedSaveOverADirectoryLeavesItAlone) {
  TempDir dir;
  std::string path = dir.File("Chanset.ini");
  WriteText(path, "[S]\nk=1\n");
  CSettingsFile f;
  ASSERT_TRUE(f.LoadPath(path, false, true, false));
  f.SetValue("S", "k", "2");
  // The file is replaced by a folder that cannot be overwritten.
  ASSERT_EQ(unlink(path.c_str()), 0);
  ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
  WriteText(path + "/inside", "keep");
  EXPECT_EQ(f.Save(), "");
  EXPECT_NE(f.LastError(), "");
  EXPECT_EQ(ReadText(path + "/inside"), "keep");
  // No temporary file is left behind.
  int entries = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.Path())) (void)e, ++entries;
  EXPECT_EQ(entries, 1);
}

// A file in its own folder, loaded, with one value changed.
void ChangedFileInFolder(const std::string& folder, const std::string& path, CSettingsFile& f) {
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  WriteText(path, kLoose);
  ASSERT_TRUE(f.LoadPath(path, false, true, false));
  f.SetValue("Setup", "Language", "Chinese");
}

// Run as "nobody" when the tests run as root, so that the permissions apply.
TEST(SettingsFile, FailedSaveInReadOnlyFolderLeavesTheFile) {
  TempDir dir;
  testutil::GiveToChildUser(dir.Path());
  testutil::RunAsUser([&] {
    std::string sub = dir.File("ro");
    std::string path = sub + "/Chanset.ini";
    CSettingsFile f;
    ChangedFileInFolder(sub, path, f);
    chmod(path.c_str(), 0444);
    chmod(sub.c_str(), 0555);
    FileStamp before = Stamp(path);
    EXPECT_EQ(f.Save(), "");
    EXPECT_NE(f.LastError(), "");
    ExpectUntouched(before, path);
  });
}

TEST(SettingsFile, ReadOnlyFolderWithWritableFileIsRewrittenInPlace) {
  TempDir dir;
  testutil::GiveToChildUser(dir.Path());
  // The old bytes are kept meanwhile in the backups folder, which the user
  // must be able to write.
  const std::string dataHome = getenv("XDG_DATA_HOME") ? getenv("XDG_DATA_HOME") : "";
  setenv("XDG_DATA_HOME", dir.File("data").c_str(), 1);
  testutil::RunAsUser([&] {
    std::string sub = dir.File("ro");
    std::string path = sub + "/Chanset.ini";
    CSettingsFile f;
    ChangedFileInFolder(sub, path, f);
    chmod(sub.c_str(), 0555);
    f.Save();
    EXPECT_EQ(f.LastError(), "");
    EXPECT_EQ(ReadText(path), "[Setup]\nLanguage=Chinese\n");
  });
  setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
}

TEST(SettingsFile, SaveThroughASymbolicLinkKeepsTheLink) {
  TempDir dir;
  std::string real = dir.File("real.ini");
  std::string link = dir.File("Chanset.ini");
  WriteText(real, "[S]\nk=1\n");
  ASSERT_EQ(symlink(real.c_str(), link.c_str()), 0);
  CSettingsFile f;
  ASSERT_TRUE(f.LoadPath(link, false, true, false));
  f.SetValue("S", "k", "2");
  f.Save();
  struct stat st {};
  ASSERT_EQ(lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(ReadText(real), "[S]\nk=2\n");
}

TEST(SettingsFile, ClearForgetsEverything) {
  TempDir dir;
  WriteText(dir.File("s.ini"), "[S]\nk=1\n");
  CSettingsFile f;
  ASSERT_TRUE(f.LoadPath(dir.File("s.ini"), true, true, false));
  f.SetValue("S", "k", "2");
  f.Clear();
  EXPECT_EQ(f.Path(), "");
  EXPECT_FALSE(f.IsChanged());
  EXPECT_EQ(f.GetValue("S", "k", "-"), "-");
  EXPECT_EQ(ReadText(dir.File("s.ini")), "[S]\nk=1\n");
}

TEST(SettingsFile, ShippedFileHasBothLanguageSections) {
  CSettingsFile f;
  ASSERT_TRUE(f.LoadPath(CHANSET_SOURCE_DIR "/resources/Chanset.ini", false, true, false));
  EXPECT_EQ(f.GetValue("Setup", "Language"), "English");
  EXPECT_EQ(f.GetValue("Setup", "ShowLang"), "1");
  EXPECT_EQ(f.GetValue("Setup", "AppName"), "Chanset");
  for (const char* lang : {"English", "Chinese"})
    for (const char* key : {"AppName", "Company", "About Title", "Version", "Copyrights",
                            "Copyrights Owner", "Title"}) {
      SCOPED_TRACE(std::string(lang) + " " + key);
      EXPECT_NE(f.GetValue(lang, key), "");
    }
  EXPECT_FALSE(f.IsChanged());
}

}  // namespace

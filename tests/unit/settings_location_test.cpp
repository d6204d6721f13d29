// Where Chanset.ini is read and written: beside a program that may write its
// own folder and whose file there is no link, else the user's copy of the
// installed file. Every case runs as an ordinary user (see Unprivileged.h);
// one who may write the installed folder and the site's file stands for
// root.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

#include "TempDir.h"
#include "tests/unit/Unprivileged.h"
#include "platform/AppDir.h"
#include "platform/SettingsLocation.h"
#include "settings/CSettingsFile.h"

using testutil::ReadText;
using testutil::TempDir;
using testutil::WriteText;

namespace {

const char kInstalled[] = "[Setup]\nLanguage=English\n[English]\nCompany=Kestrel Ridge Radio\n";

enum class Written { AppFile, UserCopy, Nothing };

struct Case {
  const char* name;
  bool appDirWritable;   // the folder, and the site's file when siteLink
  bool siteLink;         // Chanset.ini beside the program links to the site's file, as installed
  const char* userCopy;  // nullptr: the user has no copy
  bool configFolderWritable;
  const char* seen;      // "Language|Company" as loaded
  Written written;       // where the two changes went
};

class SettingsLocationTest : public testing::TestWithParam<Case> {};

TEST_P(SettingsLocationTest, ReadsAndWritesTheRightFile) {
  const Case& c = GetParam();
  TempDir tmp;
  ASSERT_EQ(chmod(tmp.Path().c_str(), 0755), 0);
  const std::string app = tmp.File("app"), config = tmp.File("config"), site = tmp.File("site");
  const std::string appIni = app + "/Chanset.ini", userIni = config + "/Chanset/Chanset.ini";
  const std::string siteIni = c.siteLink ? site + "/Chanset.ini" : appIni;
  ASSERT_EQ(mkdir(app.c_str(), 0755), 0);
  ASSERT_EQ(mkdir(config.c_str(), 0755), 0);
  ASSERT_EQ(mkdir(site.c_str(), 0755), 0);
  WriteText(siteIni, kInstalled);
  if (c.siteLink) {
    ASSERT_EQ(symlink(siteIni.c_str(), appIni.c_str()), 0);
  }
  if (c.userCopy) {
    ASSERT_EQ(mkdir((config + "/Chanset").c_str(), 0700), 0);
    WriteText(userIni, c.userCopy);
    ASSERT_EQ(chown((config + "/Chanset").c_str(), testutil::UnprivilegedUid(), testutil::UnprivilegedGid()), 0);
    ASSERT_EQ(chown(userIni.c_str(), testutil::UnprivilegedUid(), testutil::UnprivilegedGid()), 0);
  }
  ASSERT_EQ(chown(config.c_str(), testutil::UnprivilegedUid(), testutil::UnprivilegedGid()), 0);
  if (!c.configFolderWritable) {
    ASSERT_EQ(chmod(config.c_str(), 0555), 0);
  }
  if (c.appDirWritable) {
    for (const std::string& path : {app, site, siteIni})
      ASSERT_EQ(chown(path.c_str(), testutil::UnprivilegedUid(), testutil::UnprivilegedGid()), 0);
  } else {
    // Installed: neither the folder nor the file is the user's to change.
    ASSERT_EQ(chmod(siteIni.c_str(), 0444), 0);
    ASSERT_EQ(chmod(app.c_str(), 0555), 0);
  }

  testutil::ChildResult r = testutil::RunUnprivileged([&](std::string& out) {
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    chanset::SetApplicationDirectory(app);
    chanset::CSettingsFile file;
    chanset::LoadProgramSettings(file);
    out = file.GetValue("Setup", "Language") + "|" + file.GetValue("English", "Company");
    // Two changes, saved one after the other, as two Language switches are.
    file.SetValue("Setup", "Language", "Chinese");
    file.Save();
    out += file.LastError().empty() ? "|saved" : "|failed";
    file.SetValue("Setup", "ShowLang", "0");
    file.Save();
    return 0;
  });
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_EQ(r.output, std::string(c.seen) + (c.written == Written::Nothing ? "|failed" : "|saved"));

  const std::string app_after = ReadText(siteIni);
  if (c.written == Written::AppFile) {
    EXPECT_NE(app_after.find("Language=Chinese\n"), std::string::npos) << app_after;
    EXPECT_NE(app_after.find("ShowLang=0\n"), std::string::npos) << app_after;
  } else {
    EXPECT_EQ(app_after, kInstalled);
  }
  struct stat st;
  const bool userCopyNow = stat(userIni.c_str(), &st) == 0;
  if (c.written == Written::UserCopy) {
    ASSERT_TRUE(userCopyNow);
    const std::string copy = ReadText(userIni);
    EXPECT_NE(copy.find("Language=Chinese\n"), std::string::npos) << copy;
    EXPECT_NE(copy.find("ShowLang=0\n"), std::string::npos) << copy;
    // Everything else of the file that was read comes along.
    const std::string company = std::string("Company=") + (c.userCopy ? "Mine" : "Kestrel Ridge Radio") + "\n";
    EXPECT_NE(copy.find(company), std::string::npos) << copy;
  } else if (c.userCopy) {
    EXPECT_EQ(ReadText(userIni), c.userCopy);
  } else {
    EXPECT_FALSE(userCopyNow);
  }
}

const char kUsersCopy[] = "[Setup]\nLanguage=French\n[English]\nCompany=Mine\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsLocationTest,
    testing::Values(
        Case{"BuildFolderWritesBesideTheProgram", true, false, nullptr, true, "English|Kestrel Ridge Radio",
             Written::AppFile},
        Case{"BuildFolderIgnoresTheUsersCopy", true, false, kUsersCopy, true, "English|Kestrel Ridge Radio",
             Written::AppFile},
        Case{"InstalledCopiesItsFileAtTheFirstChange", false, true, nullptr, true, "English|Kestrel Ridge Radio",
             Written::UserCopy},
        Case{"InstalledReadsTheUsersCopy", false, true, kUsersCopy, true, "French|Mine", Written::UserCopy},
        Case{"InstalledWithoutAConfigFolderChangesNothing", false, true, nullptr, false,
             "English|Kestrel Ridge Radio", Written::Nothing},
        Case{"ReadOnlyCopyWithoutLinkIsReadAsInstalled", false, false, nullptr, true, "English|Kestrel Ridge Radio",
             Written::UserCopy},
        // Root may write the installed folder and the site's file, and
        // still gets a copy of its own.
        Case{"InstalledForRootCopiesAtTheFirstChange", true, true, nullptr, true, "English|Kestrel Ridge Radio",
             Written::UserCopy},
        Case{"InstalledForRootReadsRootsCopy", true, true, kUsersCopy, true, "French|Mine", Written::UserCopy}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace

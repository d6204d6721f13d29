// Backups of radio reads: where they go, how they are named, that none is
// ever written over, and that every failure is a warning, not a crash.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "data/DatFile.h"
#include "data/Backups.h"
#include "tests/unit/TempDir.h"
#include "tests/unit/Unprivileged.h"

using namespace chanset;
using testutil::ReadText;
using testutil::TempDir;
using testutil::WriteText;

namespace {

// 2023-11-14 22:13:20 UTC.
constexpr std::time_t kWhen = 1700000000;

class Backups : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("XDG_DATA_HOME", data_.Path().c_str(), 1);
    setenv("TZ", "UTC", 1);
    tzset();
  }
  void TearDown() override {
    unsetenv("XDG_DATA_HOME");
    unsetenv("TZ");
    tzset();
  }
  std::string Folder() const { return data_.Path() + "/Chanset/backups"; }

  TempDir data_;
};

Image Sample(std::uint8_t seed) {
  Image image = NewImage();
  for (std::size_t i = 0; i < kImageSize; i += 7) image[i] = static_cast<std::uint8_t>(seed + i);
  return image;
}

std::string DatBytes(const Image& image) {
  std::ostringstream out;
  StoreDat(out, image);
  return out.str();
}

// Runs `body` in a forked child and returns its exit status; `unprivileged`
// makes the child an ordinary user first (root ignores file permissions).
int InChild(const std::function<int()>& body, bool unprivileged = false) {
  pid_t pid = fork();
  if (pid == 0) {
    if (unprivileged && !testutil::BecomeUnprivileged()) _exit(100);
    _exit(body());
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 101;
}

TEST_F(Backups, FolderFollowsAnAbsoluteXdgDataHomeElseTheHomeFolder) {
  EXPECT_EQ(BackupFolder(), Folder());
  setenv("XDG_DATA_HOME", "relative/path", 1);
  const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
  EXPECT_EQ(BackupFolder(), home + "/.local/share/Chanset/backups");
}

TEST_F(Backups, WholeDatFileNamedByLocalTimeInAPrivateFolder) {
  const Image image = Sample(1);
  BackupResult r = StoreBackup(image, false, kWhen);
  ASSERT_TRUE(r.ok()) << r.warning;
  EXPECT_EQ(r.path, Folder() + "/2023-11-14_22-13-20.dat");
  EXPECT_EQ(ReadText(r.path), DatBytes(image));
  Image loaded{};
  EXPECT_EQ(LoadDatFile(r.path, loaded), DatError::None);
  EXPECT_EQ(loaded, image);
  struct stat st;
  ASSERT_EQ(stat(Folder().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  ASSERT_EQ(stat(r.path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 077, 0u) << "nobody else reads a user's backups";

  setenv("TZ", "CST-8", 1);  // the local time, not UTC
  tzset();
  r = StoreBackup(image, false, kWhen);
  EXPECT_EQ(r.path, Folder() + "/2023-11-15_06-13-20.dat");
}

TEST_F(Backups, SameSecondGetsSuffixesAndNothingIsWrittenOver) {
  ASSERT_EQ(system(("mkdir -p '" + Folder() + "'").c_str()), 0);
  WriteText(Folder() + "/2023-11-14_22-13-20-1.dat", "keep me");
  std::vector<std::string> paths;
  for (std::uint8_t n = 0; n < 3; ++n) {
    BackupResult r = StoreBackup(Sample(n), false, kWhen);
    ASSERT_TRUE(r.ok()) << r.warning;
    EXPECT_EQ(ReadText(r.path), DatBytes(Sample(n)));
    paths.push_back(r.path);
  }
  EXPECT_EQ(paths, (std::vector<std::string>{Folder() + "/2023-11-14_22-13-20.dat",
                                             Folder() + "/2023-11-14_22-13-20-2.dat",
                                             Folder() + "/2023-11-14_22-13-20-3.dat"}));
  EXPECT_EQ(ReadText(Folder() + "/2023-11-14_22-13-20-1.dat"), "keep me");
}

TEST_F(Backups, FailuresAreWarningsInTheUsersLanguage) {
  // The data folder's "Chanset" is a file: no folder can be made under it.
  WriteText(data_.File("Chanset"), "x");
  BackupResult r = StoreBackup(Sample(1), false, kWhen);
  EXPECT_EQ(r.path, "");
  EXPECT_EQ(r.warning, "Could not store a backup of the data read in " + Folder() + ": Not a directory");
  EXPECT_EQ(StoreBackup(Sample(1), true, kWhen).warning, "无法在 " + Folder() + " 保存读出数据的备份：Not a directory");
  EXPECT_EQ(ReadText(data_.File("Chanset")), "x");

  // A folder the user may not write in.
  unlink(data_.File("Chanset").c_str());
  ASSERT_EQ(chmod(data_.Path().c_str(), 0500), 0);
  EXPECT_EQ(InChild(
                [] {
                  BackupResult denied = StoreBackup(Sample(1), false, kWhen);
                  return denied.path.empty() && denied.warning.find("Permission denied") != std::string::npos ? 0 : 1;
                },
                true),
            0);
}

TEST_F(Backups, FullDiskLeavesNoPartFile) {
  // A file-size limit below 1040 bytes fails the write part-way, as a full
  // disk does.
  ASSERT_EQ(system(("mkdir -p '" + Folder() + "'").c_str()), 0);
  EXPECT_EQ(InChild([] {
              std::signal(SIGXFSZ, SIG_IGN);
              rlimit limit{100, 100};
              setrlimit(RLIMIT_FSIZE, &limit);
              BackupResult r = StoreBackup(Sample(1), false, kWhen);
              return r.path.empty() && r.warning.find("File too large") != std::string::npos ? 0 : 1;
            }),
            0);
  EXPECT_NE(access((Folder() + "/2023-11-14_22-13-20.dat").c_str(), F_OK), 0) << "the part file is removed";
}

}  // namespace

// Saving respects the file it replaces, and opening never waits on what is
// not a file. Each case runs against every writer the program has: the .dat
// store and the settings file (which the user registry also uses).
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "data/DatFile.h"
#include "platform/AtomicFile.h"
#include "settings/CSettingsFile.h"
#include "tests/unit/AsUser.h"
#include "tests/unit/TempDir.h"

using namespace chanset;
using testutil::ReadText;
using testutil::RunAsUser;
using testutil::TempDir;
using testutil::WriteText;

namespace {

const char kOld[] = "[Old]\nx=1\n";

// A writer stores new contents over the file at a path, the way the program
// does; Expected() is what a successful write leaves there.
struct Writer {
  const char* name;
  bool (*write)(const std::string& path, std::string& error);
  std::string (*expected)();
};

std::string DatBytes() {
  Image image = NewImage();
  image[0x20] = 0x42;
  std::ostringstream out;
  StoreDat(out, image);
  return out.str();
}

bool WriteDat(const std::string& path, std::string& error) {
  Image image = NewImage();
  image[0x20] = 0x42;
  return StoreDatFile(path, image, &error) == DatError::None;
}

// Long enough that a write capped at 1000 bytes fails halfway.
const std::string kLongValue(1500, 'v');

bool WriteSettings(const std::string& path, std::string& error) {
  CSettingsFile f;
  if (!f.LoadPath(path, false, true, false)) {
    error = "load failed";
    return false;
  }
  f.SetValue("S", "k", kLongValue);
  f.Save();
  error = f.LastError();
  return error.empty();
}

std::string SettingsText() { return std::string(kOld) + "[S]\nk=" + kLongValue + "\n"; }

void PrintTo(const Writer& w, std::ostream* os) { *os << w.name; }

const Writer kWriters[] = {{"dat", WriteDat, DatBytes}, {"settings", WriteSettings, SettingsText}};

struct Stamp {
  std::string bytes;
  mode_t mode = 0;
  ino_t inode = 0;
};

Stamp StampOf(const std::string& path) {
  Stamp s;
  struct stat st {};
  if (lstat(path.c_str(), &st) == 0) {
    s.mode = st.st_mode;
    s.inode = st.st_ino;
  }
  s.bytes = ReadText(path);
  return s;
}

void ExpectUntouched(const Stamp& before, const std::string& path) {
  Stamp now = StampOf(path);
  EXPECT_EQ(now.bytes, before.bytes);
  EXPECT_EQ(now.mode, before.mode);
  EXPECT_EQ(now.inode, before.inode);
}

// Names in a folder, so that no temporary file is left behind.
std::vector<std::string> Entries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder)) names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

// A folder the child user owns, with a file of old contents in it.
template <class Param>
class SaveFolder : public ::testing::TestWithParam<Param> {
 protected:
  void SetUp() override {
    folder_ = dir_.File("work");
    ASSERT_EQ(mkdir(folder_.c_str(), 0755), 0);
    file_ = folder_ + "/file";
    WriteText(file_, kOld);
    testutil::GiveToChildUser(dir_.Path());
    testutil::GiveToChildUser(folder_);
    testutil::GiveToChildUser(file_);
    // Where a file rewritten in place keeps its old bytes meanwhile.
    if (const char* home = getenv("XDG_DATA_HOME")) dataHome_ = home;
    setenv("XDG_DATA_HOME", dir_.File("data").c_str(), 1);
    copies_ = dir_.File("data/Chanset/backups");
  }
  void TearDown() override { setenv("XDG_DATA_HOME", dataHome_.c_str(), 1); }
  TempDir dir_;
  std::string folder_, file_, copies_, dataHome_;
};

class EveryWriter : public SaveFolder<Writer> {
 protected:
  // Marks the file read-only (0444), writes it, and expects a refusal that
  // leaves the file and its folder as they were.
  void ExpectReadOnlyRefused() {
    ASSERT_EQ(chmod(file_.c_str(), 0444), 0);
    Stamp before = StampOf(file_);
    std::string error;
    EXPECT_FALSE(GetParam().write(file_, error));
    // The same reason an unwritable file gets anywhere.
    EXPECT_NE(error.find("Permission denied"), std::string::npos) << error;
    ExpectUntouched(before, file_);
    EXPECT_EQ(Entries(folder_), std::vector<std::string>{"file"});
  }
};

TEST_P(EveryWriter, ReadOnlyFileInWritableFolderIsRefusedAndUntouched) {
  RunAsUser([&] { ExpectReadOnlyRefused(); });
}

// Root may write any file, but one marked read-only for everybody stays as
// it is whoever saves (run as the test's own user, root in CI).
TEST_P(EveryWriter, FileWithoutAnyWriteBitIsRefusedForEveryUser) { ExpectReadOnlyRefused(); }

TEST_P(EveryWriter, WritableFileInReadOnlyFolderIsRewrittenInPlace) {
  RunAsUser([&] {
    ASSERT_EQ(chmod(file_.c_str(), 0640), 0);
    ASSERT_EQ(chmod(folder_.c_str(), 0555), 0);
    Stamp before = StampOf(file_);
    std::string error;
    EXPECT_TRUE(GetParam().write(file_, error)) << error;
    Stamp after = StampOf(file_);
    EXPECT_EQ(after.bytes, GetParam().expected());
    EXPECT_EQ(after.inode, before.inode);
    EXPECT_EQ(after.mode & 07777, 0640u);
    // The copy kept meanwhile goes once the new bytes are in.
    EXPECT_EQ(Entries(copies_), std::vector<std::string>{});
  });
}

// The in-place write fails halfway (the file may not grow past 1000 bytes):
// the old bytes are put back.
TEST_P(EveryWriter, FailedInPlaceWritePutsTheOldBytesBack) {
  RunAsUser(
      [&] {
        ASSERT_EQ(chmod(folder_.c_str(), 0555), 0);
        Stamp before = StampOf(file_);
        std::string error;
        EXPECT_FALSE(GetParam().write(file_, error));
        EXPECT_NE(error, "");
        ExpectUntouched(before, file_);
        EXPECT_EQ(Entries(copies_), std::vector<std::string>{});
      },
      1000);
}

TEST_P(EveryWriter, NewFileInReadOnlyFolderIsNotMade) {
  RunAsUser([&] {
    ASSERT_EQ(chmod(folder_.c_str(), 0555), 0);
    std::string error;
    EXPECT_FALSE(GetParam().write(folder_ + "/new", error));
    EXPECT_NE(error.find("Permission denied"), std::string::npos) << error;
    EXPECT_EQ(Entries(folder_), std::vector<std::string>{"file"});
  });
}

// A link stays a link; the file it leads to (through a second link, in
// another folder) gets the new contents, and its temporary file is made
// beside it, not beside the link.
TEST_P(EveryWriter, SymbolicLinkIsKeptAndItsTargetWritten) {
  RunAsUser([&] {
    std::string other = folder_ + "/real";
    ASSERT_EQ(mkdir(other.c_str(), 0755), 0);
    std::string real = other + "/real.file";
    ASSERT_EQ(rename(file_.c_str(), real.c_str()), 0);
    ASSERT_EQ(chmod(real.c_str(), 0600), 0);
    ASSERT_EQ(symlink("real/real.file", (folder_ + "/hop").c_str()), 0);
    ASSERT_EQ(symlink("hop", file_.c_str()), 0);
    std::string error;
    EXPECT_TRUE(GetParam().write(file_, error)) << error;
    struct stat st {};
    ASSERT_EQ(lstat(file_.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(lstat(real.c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_EQ(ReadText(real), GetParam().expected());
    EXPECT_EQ(Entries(other), std::vector<std::string>{"real.file"});
    EXPECT_EQ(Entries(folder_), (std::vector<std::string>{"file", "hop", "real"}));
  });
}

TEST_P(EveryWriter, PermissionBitsAreKept) {
  for (mode_t mode : {0600, 0640, 0664, 0604}) {
    SCOPED_TRACE(mode);
    ASSERT_EQ(chmod(file_.c_str(), mode), 0);
    WriteText(file_, kOld);
    std::string error;
    EXPECT_TRUE(GetParam().write(file_, error)) << error;
    struct stat st {};
    ASSERT_EQ(stat(file_.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, mode);
    EXPECT_EQ(ReadText(file_), GetParam().expected());
  }
}

// Root saving another user's file leaves it that user's file.
TEST_P(EveryWriter, OwnerAndGroupAreKept) {
  if (!testutil::RunningAsRoot()) GTEST_SKIP() << "only root can save a file another user owns";
  std::string error;
  EXPECT_TRUE(GetParam().write(file_, error)) << error;
  struct stat st {};
  ASSERT_EQ(stat(file_.c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, testutil::UnprivilegedUid());
  EXPECT_EQ(st.st_gid, testutil::UnprivilegedGid());
}

TEST_P(EveryWriter, NonRegularTargetIsRefused) {
  std::string fifo = folder_ + "/pipe";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  std::string sub = folder_ + "/sub";
  ASSERT_EQ(mkdir(sub.c_str(), 0755), 0);
  for (const std::string& target : {fifo, sub}) {
    SCOPED_TRACE(target);
    std::string error;
    EXPECT_FALSE(GetParam().write(target, error));
    EXPECT_NE(error, "");
  }
  struct stat st {};
  ASSERT_EQ(lstat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  ASSERT_EQ(lstat(sub.c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
}

INSTANTIATE_TEST_SUITE_P(Writers, EveryWriter, ::testing::ValuesIn(kWriters),
                         [](const auto& info) { return std::string(info.param.name); });

// A save killed at any of its steps leaves the file wholly old or wholly
// new; only an in-place rewrite killed between its first write and its end
// leaves a mixture, and then the copy of the old bytes is in the backups
// folder. The next save to the file leaves nothing of the killed one
// beside it.
struct Kill {
  const char* step;
  bool inPlace;        // the folder takes no new file
  const char* leaves;  // "old", "new" or "mixed"
};
const Kill kKills[] = {{"temporary", false, "old"}, {"written", false, "old"}, {"renamed", false, "new"},
                       {"copied", true, "old"},     {"overwritten", true, "mixed"}, {"cut", true, "new"}};
const char* g_killAt = "";

void PrintTo(const Kill& k, std::ostream* os) { *os << k.step; }

using KilledSave = SaveFolder<Kill>;

TEST_P(KilledSave, LeavesOldNewOrTheCopyAndNoTemporaryFileAfterTheNextSave) {
  const Kill& kill = GetParam();
  const std::string oldBytes(3000, 'o'), newBytes = "new contents\n";
  WriteText(file_, oldBytes);
  RunAsUser([&] {
    ASSERT_EQ(chmod(folder_.c_str(), kill.inPlace ? 0555 : 0755), 0);
    pid_t pid = fork();
    if (pid == 0) {
      g_killAt = kill.step;
      SetSaveStepHook([](const char* step) {
        if (std::strcmp(step, g_killAt) == 0) raise(SIGKILL);
      });
      WriteFileAtomic(file_, newBytes);
      _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFSIGNALED(status));
    const std::string now = ReadText(file_);
    const std::string leaves = now == oldBytes ? "old" : now == newBytes ? "new" : "mixed";
    EXPECT_EQ(leaves, kill.leaves);
    if (leaves == "mixed") {
      ASSERT_EQ(Entries(copies_).size(), 1u);
      EXPECT_EQ(ReadText(copies_ + "/" + Entries(copies_)[0]), oldBytes);
    }
    EXPECT_TRUE(WriteFileAtomic(file_, newBytes));
    EXPECT_EQ(Entries(folder_), std::vector<std::string>{"file"});
  });
}

INSTANTIATE_TEST_SUITE_P(Steps, KilledSave, ::testing::ValuesIn(kKills),
                         [](const auto& info) { return std::string(info.param.step); });

// Opening -------------------------------------------------------------------

// A listening socket file for the table below.
std::string MakeSocket(const std::string& path, int& fd) {
  fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path.c_str());
  if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) return std::string();
  listen(fd, 1);
  return path;
}

// Loads `path` in a child and reports whether it finished within a second
// with NotAFile (a load that waits on the pipe would never finish).
bool LoadRefusedPromptly(const std::string& path) {
  pid_t pid = fork();
  if (pid == 0) {
    Image image{};
    _exit(LoadDatFile(path, image) == DatError::NotAFile ? 0 : 1);
  }
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(OpenDat, WhatIsNotAFileIsRefusedAtOnceAndNeverRead) {
  TempDir dir;
  std::string fifo = dir.File("pipe.dat");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  int sock = -1;
  std::string socketPath = MakeSocket(dir.File("sock.dat"), sock);
  ASSERT_NE(socketPath, "");
  for (const std::string& path : {fifo, socketPath, dir.Path(), std::string("/dev/null"),
                                  std::string("/dev/zero"), std::string("/dev/ptmx")}) {
    SCOPED_TRACE(path);
    EXPECT_TRUE(LoadRefusedPromptly(path));
    Image image{};
    image[0] = 7;
    std::string reason;
    if (path != fifo) {  // the pipe is only ever opened in the child
      EXPECT_EQ(LoadDatFile(path, image, &reason), DatError::NotAFile);
      EXPECT_EQ(reason, NotRegularFileReason());
      EXPECT_EQ(image[0], 7);
    }
  }
  close(sock);
}

// The format needs 1040 bytes: a file of a terabyte (sparse) loads its
// first 1040 bytes like any other.
TEST(OpenDat, HugeFileReadsOnlyItsFirst1040Bytes) {
  TempDir dir;
  std::string path = dir.File("huge.dat");
  WriteText(path, DatBytes());
  ASSERT_EQ(truncate(path.c_str(), off_t(1) << 40), 0);
  Image image{};
  ASSERT_EQ(LoadDatFile(path, image), DatError::None);
  EXPECT_EQ(image[0x20], 0x42);
}

TEST(OpenSettings, PipeInPlaceOfTheSettingsFileIsRefusedAtOnce) {
  TempDir dir;
  std::string fifo = dir.File("Chanset.ini");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  CSettingsFile f;
  EXPECT_FALSE(f.LoadPath(fifo, false, true, false));  // returns: nothing waits for a writer
  EXPECT_EQ(f.Path(), "");
}

}  // namespace

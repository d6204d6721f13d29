// The lock files of serial ports, in fake lock folders (the end-to-end
// tests add the files of processes that are gone): a live owner keeps the
// port, ours is written the way terminal programs write theirs and removed
// again, a file without an id or with ours left over is stale, and a folder
// nobody may write to is no reason to refuse the port.
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <functional>
#include <sys/stat.h>

#include "link/PortLock.h"
#include "tests/unit/TempDir.h"
#include "tests/unit/Unprivileged.h"

using namespace chanset;

namespace {

const std::string kDevice = "/dev/ttyUSB7";

std::string LockText(int pid) {
  char text[16];
  std::snprintf(text, sizeof text, "%10d\n", pid);
  return text;
}

struct LockCase {
  const char* name;
  std::function<std::string(const std::string& dir)> before;  // the lock file's text ("": none)
  bool locks;             // Lock() succeeds
  const char* note;       // the start of a note it gives ("" for none expected)
  int holder;             // the pid it names when it refuses (-1: this process, 0: none)
  bool ourFileAfter;      // while locked, the file holds our id
};

class PortLockTest : public testing::TestWithParam<LockCase> {
 protected:
  testutil::TempDir dir_;
  std::string Folder() const { return dir_.File("lock"); }
  std::string File() const { return Folder() + "/LCK..ttyUSB7"; }
  LockPlaces Places() const { return {{dir_.File("run-lock"), Folder()}, "/proc"}; }
};

TEST_P(PortLockTest, HonoursOthersAndWritesItsOwn) {
  const LockCase& c = GetParam();
  mkdir(Folder().c_str(), 0755);
  const std::string text = c.before(Folder());
  if (!text.empty()) testutil::WriteText(File(), text);

  PortLock lock(Places());
  SystemError error;
  EXPECT_EQ(lock.Lock(kDevice, error), c.locks);
  std::string notes;
  for (const std::string& n : lock.Notes()) notes += n + "\n";
  if (c.note[0]) {
    EXPECT_EQ(notes.find(c.note), 0u) << notes;
  }
  if (!c.locks) {
    EXPECT_EQ(error.code, EBUSY);
    EXPECT_EQ(error.holder.pid, c.holder == -1 ? getpid() : c.holder);
    EXPECT_EQ(error.lockFile, File());
  }
  const std::string during = testutil::ReadText(File());
  EXPECT_EQ(during, c.ourFileAfter ? LockText(getpid()) : text);
  lock.Unlock();
  EXPECT_EQ(testutil::ReadText(File()), c.ourFileAfter ? "" : text) << "ours removed, anyone else's kept";
}

// A second lock object of this process holds the file meanwhile.
std::string HeldHere(const std::string& folder) {
  static PortLock* other = nullptr;
  delete other;
  other = new PortLock({{folder}, "/proc"});
  SystemError ignored;
  other->Lock(kDevice, ignored);
  return LockText(getpid());
}

INSTANTIATE_TEST_SUITE_P(
    Files, PortLockTest,
    testing::Values(
        LockCase{"NoFile", [](const std::string&) { return std::string(); }, true, "locked ", 0, true},
        LockCase{"LiveOwner", [](const std::string&) { return LockText(1); }, false, "", 1, false},
        LockCase{"NoIdInIt", [](const std::string&) { return std::string("garbage\n"); }, true,
                 "removed the stale lock file ", 0, true},
        // An earlier process that had our id left it.
        LockCase{"OurIdLeftOver", [](const std::string&) { return LockText(getpid()); }, true,
                 "removed the stale lock file ", 0, true},
        LockCase{"HeldByThisProcess", HeldHere, false, "", -1, false}),
    [](const testing::TestParamInfo<LockCase>& info) { return info.param.name; });

TEST(PortLock, WithoutAWritableFolderThePortIsUsedWithoutALockFile) {
  testutil::TempDir dir;
  chmod(dir.Path().c_str(), 0755);  // readable, not writable, for the unprivileged child
  const testutil::ChildResult child = testutil::RunUnprivileged([&](std::string& out) {
    PortLock lock({{dir.Path()}, "/proc"});
    SystemError error;
    const bool locked = lock.Lock(kDevice, error);
    out = lock.Notes().empty() ? "" : lock.Notes()[0];
    return locked ? 0 : 1;
  });
  EXPECT_EQ(child.status, 0);
  EXPECT_EQ(child.output, "no lock file: " + dir.Path() + ": Permission denied");
  PortLock nowhere({{dir.File("none")}, "/proc"});
  SystemError error;
  EXPECT_TRUE(nowhere.Lock(kDevice, error));
  EXPECT_EQ(nowhere.Notes(), std::vector<std::string>{"no lock file: no lock folder"});
}

TEST(PortLock, TheFileIsNamedAfterTheDeviceBelowDev) {
  EXPECT_EQ(LockFileName("/dev/ttyUSB0"), "LCK..ttyUSB0");
  EXPECT_EQ(LockFileName("/dev/pts/3"), "LCK..pts_3");
  EXPECT_EQ(LockFileName("/tmp/fake/dev/ttyS1"), "LCK..ttyS1");
}

}  // namespace

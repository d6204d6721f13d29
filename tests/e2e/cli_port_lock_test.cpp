// The port is chanset-cli's alone while it is open, and it is left as it was
// found, whatever ends the transfer: against chanset-radio-sim on a
// pseudo-terminal, with other programs holding the port, lock files, a
// terminal given as the port, and every ending (success, failure, a pulled
// cable, Ctrl-C, SIGTERM, SIGHUP).
#include <csignal>
#include <filesystem>

#include "link/PortLock.h"
#include "platform/PackStrings.h"
#include "tests/e2e/CliFixture.h"
#include "tests/e2e/LineState.h"

using namespace chanset;
using namespace clitest;

namespace {

enum class Other {
  None,
  OpensPort,     // a second program has the device open, and no lock file
  LocksPort,     // a second program holds only the device's lock file
  StaleLock,     // a lock file of a process that is gone
  OwnTerminal,   // the port given is the program's own standard input
  DevTty,        // the port given is /dev/tty
};

struct PortCase {
  const char* name;
  Other other;
  const char* fault;      // simulator fault, "" for none
  bool write;
  const char* lang;       // --lang
  int signal;             // sent once the trace shows `mark`; 0 for none
  const char* mark;
  int status;             // exit status
  const char* says;       // on stderr ("%1" stands for the port)
  const char* ending;     // the trace's END line
};

// Programs that run beside chanset-cli, stopped with the test.
class CliPortLock : public CliTransfer, public ::testing::WithParamInterface<PortCase> {
 protected:
  void TearDown() override {
    for (pid_t pid : others_) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
    CliTransfer::TearDown();
  }
  // `sleep 30`, with `device` open as its standard input when one is given.
  pid_t StartOther(const std::string& device) {
    pid_t pid = fork();
    if (pid == 0) {
      if (!device.empty()) dup2(open(device.c_str(), O_RDWR | O_NOCTTY), STDIN_FILENO);
      execlp("sleep", "sleep", "30", static_cast<char*>(nullptr));
      _exit(127);
    }
    others_.push_back(pid);
    return pid;
  }
  void WriteLock(const std::string& device, int pid) {
    char text[16];
    std::snprintf(text, sizeof text, "%10d\n", pid);
    std::ofstream(LockFolder() + "/" + LockFileName(device)) << text;
  }
  std::vector<pid_t> others_;
};

TEST_P(CliPortLock, EndsAsItShouldAndLeavesThePortAsFound) {
  const PortCase& c = GetParam();
  // At the radio's own pace when there is a signal to send in time.
  std::vector<std::string> simArgs = {"--save", Path("saved.dat")};
  if (c.fault[0]) simArgs.insert(simArgs.end(), {"--fault", c.fault});
  std::string port = StartAnotherSimulator(simArgs, c.signal == 0);
  int lockOwner = 0;
  switch (c.other) {
    case Other::OpensPort: StartOther(port); break;
    case Other::LocksPort: WriteLock(port, lockOwner = StartOther("")); break;
    case Other::StaleLock: {
      pid_t gone = StartOther("");
      kill(gone, SIGKILL);
      waitpid(gone, nullptr, 0);
      others_.clear();
      WriteLock(port, gone);
      break;
    }
    case Other::OwnTerminal: port = InputTerminal(); break;
    case Other::DevTty: port = "/dev/tty"; break;
    case Other::None: break;
  }
  // Never the settings of a terminal the test may itself be running in.
  if (c.other != Other::DevTty) {
    ASSERT_TRUE(SetUnusualLine(port));
  }
  const std::optional<LineState> before = ReadLineState(port);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));  // the other program is up
  ASSERT_EQ(StoreDatFile(Path("in.dat"), RandomImage(3)), DatError::None);

  pid_t cli = StartCli({c.write ? "write" : "read", "--port", port, "--lang", c.lang, "--trace", Path("trace.txt"),
                        c.write ? Path("in.dat") : Path("out.dat")},
                       {}, c.other == Other::OwnTerminal ? "\n" : nullptr);
  if (c.signal != 0) {
    ASSERT_TRUE(WaitForText(Path("trace.txt"), c.mark, 20000)) << ReadFile(Path("trace.txt"));
    kill(cli, c.signal);
  }
  Outcome o = FinishCli(cli);

  EXPECT_EQ(o.status, c.status) << o.err;
  EXPECT_TRUE(Contains(o.err, FillText(c.says, {port}))) << o.err;
  EXPECT_EQ(Exists(Path("out.dat")), c.status == 0 && !c.write) << "an output only after a read that completed";
  const std::string trace = ReadFile(Path("trace.txt"));
  const std::string last = trace.substr(trace.rfind('\n', trace.size() - 2) + 1);
  EXPECT_TRUE(Contains(last, std::string(" END ") + c.ending + "\n")) << trace;
  if (c.other == Other::StaleLock) {
    EXPECT_TRUE(Contains(trace, "LOCK removed the stale lock file ")) << trace;
  }
  // Left as found: the line settings and the exclusive flag, and no lock
  // file but another program's own.
  if (!Contains(c.fault, "hangup")) {  // else the device is gone with the cable
    EXPECT_TRUE(ReadLineState(port) == before);
  }
  std::vector<std::string> locks;
  for (const auto& entry : std::filesystem::directory_iterator(LockFolder())) locks.push_back(entry.path().string());
  if (lockOwner != 0) {
    ASSERT_EQ(locks.size(), 1u);
    EXPECT_EQ(std::stoi(ReadFile(locks[0])), lockOwner);
  } else {
    EXPECT_TRUE(locks.empty()) << locks[0];
  }
}

INSTANTIATE_TEST_SUITE_P(
    Endings, CliPortLock,
    ::testing::Values(
        PortCase{"Success", Other::None, "", false, "en", 0, "", 0, "", "completed"},
        PortCase{"StaleLockRemoved", Other::StaleLock, "", true, "en", 0, "", 0, "", "completed"},
        PortCase{"Failure", Other::None, "wrong-ack:20", false, "en", 0, "", 1, kInterrupt, "block failed at block 20"},
        PortCase{"CablePulled", Other::None, "hangup:10", true, "en", 0, "", 1,
                 "The connection through %1 was lost: check that the cable is still plugged in.",
                 "block failed at block 10"},
        PortCase{"CablePulledChinese", Other::None, "hangup:60", false, "zh", 0, "", 1,
                 "编程中断，请重新启动电台后再试\nchanset-cli: 经 %1 的连接已断开", "block failed at block 60"},
        PortCase{"CtrlC", Other::None, "", false, "en", SIGINT, "TX 52 00 40 08", 130, "chanset-cli: cancelled\n",
                 "cancelled"},
        PortCase{"SigTerm", Other::None, "", true, "en", SIGTERM, "TX 57 00 40 08", 143,
                 "chanset-cli: the transfer was stopped by SIGTERM and the port released\n", "cancelled"},
        PortCase{"SigHupInTheHandshake", Other::None, "silent", false, "zh", SIGHUP, "TX 4E", 129,
                 "chanset-cli: 传输已被 SIGHUP 中止，串口已释放\n", "cancelled"},
        PortCase{"HeldWithoutLockFile", Other::OpensPort, "", true, "en", 0, "", 1,
                 "\nchanset-cli: %1 is in use by sleep (process ", "open failed"},
        PortCase{"HeldWithLockFile", Other::LocksPort, "", false, "en", 0, "", 1, "%1 is locked by sleep (process ",
                 "open failed"},
        PortCase{"OwnTerminal", Other::OwnTerminal, "", false, "en", 0, "", 1,
                 "%1 is a terminal, not a serial port", "open failed"},
        PortCase{"DevTty", Other::DevTty, "", true, "en", 0, "", 1, "/dev/tty is a terminal, not a serial port",
                 "open failed"}),
    [](const ::testing::TestParamInfo<PortCase>& info) { return info.param.name; });

}  // namespace

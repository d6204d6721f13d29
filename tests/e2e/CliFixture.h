#pragma once
// chanset-cli and chanset-radio-sim as child processes, for the end-to-end
// tests of the radio commands: a fixture with a private folder, simulators
// on pseudo-terminals and a way to run the command-line tool.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <random>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "data/DatFile.h"
#include "data/MemoryImage.h"
#include "tests/e2e/ChildProcess.h"
#include "tests/e2e/SameRows.h"
#include "tests/e2e/SimulatorProcess.h"

namespace clitest {

using namespace chanset;

inline const std::string kBin = CHANSET_APP_DIR;
inline const char kOpenFailed[] = "Could not Open the Port,Please check whether the Port are occupied or the device are ok";
inline const char kCommError[] = "Communication Error,Please check all the connections and the radio power";
inline const char kInterrupt[] = "Program Interrupt, Please reset the radio and try again";

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

inline bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Waits up to `ms` for `file` to contain `text`.
inline bool WaitForText(const std::string& file, const std::string& text, int ms) {
  for (int waited = 0; waited < ms; waited += 10) {
    if (Contains(ReadFile(file), text)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

inline Image RandomImage(unsigned seed) {
  std::mt19937 gen(seed);
  Image image;
  for (auto& b : image) b = static_cast<std::uint8_t>(gen());
  return image;
}

inline Image LoadImage(const std::string& path) {
  Image image{};
  EXPECT_EQ(LoadDatFile(path, image), DatError::None) << path;
  return image;
}

struct Outcome {
  int status = -1;
  std::string out, err;
};

class CliTransfer : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/cli_transfer_test.XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    // Every read keeps a backup: here, in the test's own folder; every
    // port's lock file too.
    setenv("XDG_DATA_HOME", Path("data").c_str(), 1);
    ASSERT_EQ(mkdir(LockFolder().c_str(), 0755), 0);
    setenv("CHANSET_LOCK_DIR", LockFolder().c_str(), 1);
  }

  std::string LockFolder() const { return Path("locks"); }

  // The backups folder of this test's reads.
  std::string BackupFolder() const { return Path("data/Chanset/backups"); }
  void TearDown() override {
    if (inMaster_ >= 0) close(inMaster_);
    StopSimulator();
    std::string cmd = "rm -rf '" + dir_ + "'";
    (void)!std::system(cmd.c_str());
  }

  std::string Path(const std::string& name) const { return dir_ + "/" + name; }

  // Starts chanset-radio-sim --fast with `args`; returns its device path.
  std::string StartSimulator(std::vector<std::string> args) {
    args.insert(args.begin(), "--fast");
    std::string path = SpawnSimulator(kBin + "/chanset-radio-sim", args, sim_);
    EXPECT_EQ(path.rfind("/dev/pts/", 0), 0u) << "simulator printed '" << path << "'";
    return path;
  }

  // Waits up to `ms` for the simulator to end by itself; its exit status, or -1.
  int WaitForSimulator(int ms) {
    for (int waited = 0; waited < ms; waited += 10) {
      int status;
      if (waitpid(sim_, &status, WNOHANG) == sim_) {
        sim_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1;
  }

  void StopSimulator() {
    for (pid_t pid : more_) {
      kill(pid, SIGTERM);
      waitpid(pid, nullptr, 0);
    }
    more_.clear();
    if (sim_ <= 0) return;
    kill(sim_, SIGTERM);
    waitpid(sim_, nullptr, 0);
    sim_ = -1;
  }

  // One more simulated radio beside the first, at 9600 baud unless `fast`;
  // returns its device path.
  std::string StartAnotherSimulator(std::vector<std::string> args, bool fast = true) {
    if (fast) args.insert(args.begin(), "--fast");
    pid_t pid = -1;
    std::string path = SpawnSimulator(kBin + "/chanset-radio-sim", args, pid);
    if (pid > 0) more_.push_back(pid);
    EXPECT_EQ(path.rfind("/dev/pts/", 0), 0u) << "simulator printed '" << path << "'";
    return path;
  }

  // Starts chanset-cli; stdin is /dev/null unless `terminalInput` is given,
  // in which case stdin is a terminal that already holds that typed text.
  // With `terminalErr` stderr is a terminal too, read by FinishCli.
  pid_t StartCli(const std::vector<std::string>& args, const std::vector<std::string>& env = {},
                 const char* terminalInput = nullptr, bool terminalErr = false) {
    std::string in, err;
    if (terminalInput) in = InputTerminal();
    if (terminalErr) err = OpenTerminal(errMaster_);
    std::string outPath = Path("cli.out"), errPath = Path("cli.err");
    pid_t pid = fork();
    if (pid == 0) {
      int i = terminalInput ? open(in.c_str(), O_RDWR | O_NOCTTY) : open("/dev/null", O_RDONLY);
      dup2(i, STDIN_FILENO);
      int o = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      int e = terminalErr ? open(err.c_str(), O_RDWR | O_NOCTTY) : open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      dup2(o, STDOUT_FILENO);
      dup2(e, STDERR_FILENO);
      for (const std::string& kv : env) putenv(const_cast<char*>(kv.c_str()));
      ExecProgram(kBin + "/chanset-cli", args);
    }
    if (terminalInput) {
      // Typed ahead: the terminal keeps the line until the program reads it.
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      EXPECT_GT(write(inMaster_, terminalInput, std::strlen(terminalInput)), 0);
    }
    return pid;
  }

  Outcome FinishCli(pid_t pid) {
    Outcome o;
    int status = 0;
    for (;;) {
      // A terminal's output is read as it comes, so the program never blocks on it.
      if (errMaster_ >= 0) DrainTerminal(o.err, 20);
      pid_t done = waitpid(pid, &status, errMaster_ >= 0 ? WNOHANG : 0);
      if (done == pid) break;
    }
    if (errMaster_ >= 0) DrainTerminal(o.err, 0);
    // The input terminal stays for the test to look at (InputTerminal).
    if (errMaster_ >= 0) close(errMaster_);
    errMaster_ = -1;
    o.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    o.out = ReadFile(Path("cli.out"));
    if (o.err.empty()) o.err = ReadFile(Path("cli.err"));
    return o;
  }

  Outcome RunCli(const std::vector<std::string>& args, const std::vector<std::string>& env = {},
                 const char* terminalInput = nullptr) {
    return FinishCli(StartCli(args, env, terminalInput));
  }

  // The terminal every StartCli with `terminalInput` gives the program as
  // its standard input, until the end of the test.
  std::string InputTerminal() {
    if (inPath_.empty()) inPath_ = OpenTerminal(inMaster_);
    return inPath_;
  }

 private:
  static std::string OpenTerminal(int& master) {
    master = posix_openpt(O_RDWR | O_NOCTTY);
    EXPECT_TRUE(master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0);
    return ptsname(master);
  }
  void DrainTerminal(std::string& text, int ms) {
    pollfd p{errMaster_, POLLIN, 0};
    while (poll(&p, 1, ms) > 0) {
      char buf[512];
      ssize_t n = read(errMaster_, buf, sizeof buf);
      if (n <= 0) break;
      text.append(buf, static_cast<std::size_t>(n));
    }
  }
  int inMaster_ = -1, errMaster_ = -1;
  std::string inPath_;

 protected:
  std::string dir_;
  pid_t sim_ = -1;
  std::vector<pid_t> more_;
};

}  // namespace clitest

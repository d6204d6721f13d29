// How fast, and in how little memory, an input that never ends is stopped
// at the 16 MiB cap:
//  - chanset-cli import - BASE OUT < /dev/zero (the command line reads
//    standard input as a stream until the cap), against the idle program
//    (chanset-cli --version);
//  - chanset-cli import /dev/zero BASE OUT (a device: refused at once);
//  - the window's reader (the call Import Channels makes) on a sparse file
//    of a terabyte and on /dev/zero.
// Each case runs in a child process; its peak memory is the child's own.
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "data/DatFile.h"
#include "platform/FileInput.h"
#include "tests/e2e/ChildProcess.h"

namespace {

struct Run {
  double seconds = 0;
  double peakMiB = 0;
  int status = -1;
};

// Runs `child` in a forked process with stdin from `input`.
template <class F>
Run InChild(const char* input, F child) {
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = fork();
  if (pid == 0) {
    int in = open(input, O_RDONLY);
    dup2(in, STDIN_FILENO);
    int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    child();
    _exit(0);
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  Run run;
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.peakMiB = usage.ru_maxrss / 1024.0;
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

Run Cli(const std::vector<std::string>& args, const char* input) {
  return InChild(input, [&] { ExecProgram(std::string(CHANSET_APP_DIR) + "/chanset-cli", args); });
}

// The window's reader in a child: exits 0 when it gave the expected status.
Run Window(const std::string& path, chanset::InputStatus expected) {
  return InChild("/dev/null", [&] {
    std::string bytes;
    _exit(chanset::ReadInput(path, bytes, chanset::InputRules()) == expected ? 0 : 1);
  });
}

void Print(const char* what, const Run& run, const Run& idle) {
  std::printf("%-52s %6.3f s  peak %6.1f MiB (%+6.1f MiB above idle)  exit %d\n", what, run.seconds, run.peakMiB,
              run.peakMiB - idle.peakMiB, run.status);
}

}  // namespace

int main() {
  char dir[] = "/tmp/input_cap_bench.XXXXXX";
  if (!mkdtemp(dir)) return 1;
  const std::string base = std::string(dir) + "/base.dat", out = std::string(dir) + "/out.dat";
  const std::string huge = std::string(dir) + "/huge.csv";
  chanset::StoreDatFile(base, chanset::NewImage());
  int fd = open(huge.c_str(), O_WRONLY | O_CREAT, 0644);
  ftruncate(fd, off_t(1) << 40);
  close(fd);

  const Run idleCli = Cli({"--version"}, "/dev/null");
  Print("idle: chanset-cli --version", idleCli, idleCli);
  Print("chanset-cli import - BASE OUT < /dev/zero", Cli({"import", "-", base, out}, "/dev/zero"), idleCli);
  Print("chanset-cli import /dev/zero BASE OUT", Cli({"import", "/dev/zero", base, out}, "/dev/null"), idleCli);
  const Run idleWindow = InChild("/dev/null", [] {});
  Print("window reader, sparse 1 TiB file", Window(huge, chanset::InputStatus::TooLarge), idleWindow);
  Print("window reader, /dev/zero", Window("/dev/zero", chanset::InputStatus::NotRegular), idleWindow);
  unlink(huge.c_str());
  unlink(base.c_str());
  rmdir(dir);
  return 0;
}

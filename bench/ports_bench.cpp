// Many radios, the wire trace and Cancel, against chanset-radio-sim with its
// 9600-baud line model:
//
//   fleet   chanset-cli write to 8 radios at once, against the same command
//           for one radio (limit: 1.15 x)
//   trace   a read with --trace against one without, in alternating rounds
//           (limit: 2 % slower)
//   cancel  from the Cancel request to the port being closed, at each step
//           of the handshake and in both block loops (limit: 0.2 s)
//   lock    what the lock file and the search for other holders add to
//           opening (and closing) a free port, on a machine of 2 000
//           processes where 16 ports are busy: a fake /proc and lock folder
//           (limit: 5 ms); also the refusal of a busy port, and the search
//           through this machine's own /proc
//
// Run by hand: build/bench/ports_bench [fleet|trace|cancel|lock]... [--rounds N] [--normal-priority]
#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <sched.h>
#include <string>
#include <sys/stat.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "bench/BenchSupport.h"
#include "data/DatFile.h"
#include "data/MemoryImage.h"
#include "link/CancelSignal.h"
#include "link/CloneTransfer.h"
#include "link/PortLock.h"
#include "link/SerialPort.h"
#include "link/TraceSink.h"
#include "tests/e2e/ChildProcess.h"
#include "tests/e2e/SimulatorProcess.h"

using namespace chanset;
using Clock = std::chrono::steady_clock;

namespace {

const std::string kBin = CHANSET_APP_DIR;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

class Simulators {
 public:
  ~Simulators() {
    for (pid_t pid : pids_) {
      kill(pid, SIGTERM);
      waitpid(pid, nullptr, 0);
    }
  }
  std::string Start(const std::vector<std::string>& args = {}) {
    pid_t pid = -1;
    std::string path = SpawnSimulator(kBin + "/chanset-radio-sim", args, pid);
    if (pid > 0) pids_.push_back(pid);
    if (path.empty()) {
      std::fprintf(stderr, "ports_bench: chanset-radio-sim did not start\n");
      std::exit(2);
    }
    return path;
  }

 private:
  std::vector<pid_t> pids_;
};

// Runs chanset-cli with `args` (output discarded); the wall time, or -1 when
// it failed.
double TimeCli(const std::vector<std::string>& args) {
  auto start = Clock::now();
  pid_t pid = fork();
  if (pid == 0) {
    int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    ExecProgram(kBin + "/chanset-cli", args);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  double took = Seconds(Clock::now() - start);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? took : -1;
}

bool Fleet(int rounds) {
  constexpr int kRadios = 8;
  constexpr double kLimit = 1.15;
  char dir[] = "/tmp/ports_bench.XXXXXX";
  if (!mkdtemp(dir)) return false;
  std::string in = std::string(dir) + "/in.dat";
  StoreDatFile(in, NewImage());
  Simulators sims;
  std::vector<std::string> ports;
  for (int i = 0; i < kRadios; ++i) ports.push_back(sims.Start());
  std::vector<double> one, all;
  for (int r = 0; r < rounds; ++r) {
    one.push_back(TimeCli({"write", "--port", ports[static_cast<std::size_t>(r % kRadios)], in}));
    std::vector<std::string> args = {"write"};
    for (const std::string& p : ports) args.insert(args.end(), {"--port", p});
    args.push_back(in);
    all.push_back(TimeCli(args));
    std::printf("fleet round %d: one radio %.3f s, %d radios %.3f s\n", r + 1, one.back(), kRadios, all.back());
    if (one.back() < 0 || all.back() < 0) return false;
  }
  double ratio = Median(all) / Median(one);
  std::printf("fleet: %d radios in %.3f s, one in %.3f s (medians): %.3f x (limit %.2f)\n", kRadios, Median(all),
              Median(one), ratio, kLimit);
  std::system(("rm -rf " + std::string(dir)).c_str());
  return ratio <= kLimit;
}

class QuietHost : public TransferHost {
 public:
  explicit QuietHost(const CancelSignal* cancel = nullptr) : cancel_(cancel) {}
  bool Poll() override { return cancel_ && cancel_->Requested(); }
  bool AskRetry() override { return false; }
  void Progress(int) override {}
  void Message(int, const SystemError&) override {}
  void Sleep(int ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

 private:
  const CancelSignal* cancel_;
};

bool Trace(int rounds) {
  constexpr double kLimit = 1.02;
  Simulators sims;
  std::string port = sims.Start();
  std::vector<double> plain, traced, ratios;
  char dir[] = "/tmp/ports_bench.XXXXXX";
  if (!mkdtemp(dir)) return false;
  for (int r = 0; r < rounds; ++r) {
    for (bool on : {false, true}) {
      TraceSink sink;
      if (on) sink.Open(std::string(dir) + "/trace.txt");
      SerialPort serial;
      QuietHost host;
      Image image = NewImage();
      auto start = Clock::now();
      TransferResult result = RunTracedTransfer(serial, host, &sink, port, TransferDirection::Read, image);
      double took = Seconds(Clock::now() - start);
      if (!result.ok()) return false;
      (on ? traced : plain).push_back(took);
    }
    ratios.push_back(traced.back() / plain.back());
    std::printf("trace round %d: off %.4f s, on %.4f s\n", r + 1, plain.back(), traced.back());
  }
  // Each round's two reads ran back to back: the median of their ratios
  // is the least disturbed by other load on the machine.
  double ratio = Median(ratios);
  std::printf("trace: on %.4f s, off %.4f s (medians); on/off per round, median %+.2f %% (limit +2 %%)\n",
              Median(traced), Median(plain), (ratio - 1) * 100);
  std::system(("rm -rf " + std::string(dir)).c_str());
  return ratio <= kLimit;
}

// A port that tells when a chosen call starts and when the port was closed.
class WatchedPort final : public Port {
 public:
  WatchedPort(Port& inner, std::function<bool(const char* call, int count)> trigger)
      : inner_(inner), trigger_(std::move(trigger)) {}
  bool Open(const std::string& path) override {
    bool ok = inner_.Open(path);
    Hit("open", ++opens_);
    return ok;
  }
  bool Discard() override { return inner_.Discard(); }
  bool Write(const std::uint8_t* data, std::size_t size) override {
    Hit("write", ++writes_);
    return inner_.Write(data, size);
  }
  long Read(std::uint8_t* data, std::size_t size) override {
    Hit("read", ++reads_);
    return inner_.Read(data, size);
  }
  void Close() override {
    inner_.Close();
    closedAt_ = Clock::now();
    closed_ = true;
  }
  SystemError LastError() const override { return inner_.LastError(); }

  std::atomic<bool> reached{false};
  Clock::time_point closedAt() const { return closedAt_; }
  bool closed() const { return closed_; }

 private:
  void Hit(const char* call, int count) {
    if (!reached && trigger_(call, count)) reached = true;
  }
  Port& inner_;
  std::function<bool(const char*, int)> trigger_;
  int opens_ = 0, writes_ = 0, reads_ = 0;
  std::atomic<bool> closed_{false};
  Clock::time_point closedAt_;
};

struct CancelStep {
  const char* name;
  std::vector<std::string> simArgs;
  TransferDirection direction;
  const char* call;  // the port call that marks the step
  int count;         // its n-th time
  int settleMs;      // then this long, so the port is well inside the wait
};

bool CancelLatency(int rounds) {
  constexpr double kLimit = 0.2;
  const CancelStep steps[] = {
      {"handshake polls", {}, TransferDirection::Read, "open", 1, 3},
      {"stage one: magic bytes", {}, TransferDirection::Read, "write", 4, 0},
      {"stage one: waiting for ACK (silent radio)", {"--fault", "silent"}, TransferDirection::Read, "read", 1, 300},
      {"stage two: identification", {}, TransferDirection::Read, "read", 2, 0},
      {"stage two: waiting for ACK", {"--fault", "no-ack-stage2-always"}, TransferDirection::Read, "read", 3, 300},
      {"read blocks: reply of block 40", {}, TransferDirection::Read, "read", 3 + 2 * 40 + 1, 2},
      {"write blocks: ACK of block 40", {}, TransferDirection::Write, "read", 3 + 40 + 1, 0},
      {"write blocks: sending block 90", {}, TransferDirection::Write, "write", 11 + 2 * 90 + 1, 0},
  };
  bool ok = true;
  for (const CancelStep& step : steps) {
    Simulators sims;
    std::string port = sims.Start(step.simArgs);
    std::vector<double> latencies;
    for (int r = 0; r < rounds; ++r) {
      CancelSignal cancel;
      SerialPort serial;
      serial.SetCancel(&cancel);
      WatchedPort watched(serial, [&step](const char* call, int count) {
        return std::string(call) == step.call && count == step.count;
      });
      QuietHost host(&cancel);
      Image image = NewImage();
      std::thread transfer([&] { RunTransfer(watched, host, port, step.direction, image); });
      while (!watched.reached && !watched.closed()) std::this_thread::sleep_for(std::chrono::microseconds(200));
      std::this_thread::sleep_for(std::chrono::milliseconds(step.settleMs));
      auto asked = Clock::now();
      cancel.Request();
      transfer.join();
      if (!watched.reached || watched.closedAt() < asked) {
        std::printf("cancel: %s: the transfer ended before the request\n", step.name);
        ok = false;
        break;
      }
      latencies.push_back(Seconds(watched.closedAt() - asked));
      std::this_thread::sleep_for(std::chrono::milliseconds(400));  // the radio back to idle
    }
    if (latencies.empty()) continue;
    double worst = *std::max_element(latencies.begin(), latencies.end());
    std::printf("cancel: %-44s worst %.2f ms, median %.2f ms over %zu\n", step.name, worst * 1000,
                Median(latencies) * 1000, latencies.size());
    ok = ok && worst <= kLimit;
  }
  return ok;
}

double ThreadCpuMs() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// A machine of `processes` processes as a fake /proc: each has the usual
// standard streams, a pipe, a log file and an eventfd open; the first
// `busy.size()` of them hold one of `busy` too. Each busy port also has a
// lock file naming a live process (1, always there).
void FakeMachine(const std::string& root, int processes, const std::vector<std::string>& busy) {
  const std::string proc = root + "/proc", locks = root + "/lock";
  mkdir(proc.c_str(), 0755);
  mkdir(locks.c_str(), 0755);
  for (int i = 0; i < processes; ++i) {
    const std::string dir = proc + "/" + std::to_string(100000 + i);
    mkdir(dir.c_str(), 0755);
    mkdir((dir + "/fd").c_str(), 0755);
    if (FILE* f = std::fopen((dir + "/comm").c_str(), "w")) {
      std::fprintf(f, "worker%d\n", i);
      std::fclose(f);
    }
    const char* targets[] = {"/dev/null", "/dev/null", "/dev/null", "pipe:[4026531840]", "/var/log/worker.log",
                             "anon_inode:[eventfd]"};
    for (int fd = 0; fd < 6; ++fd) (void)!symlink(targets[fd], (dir + "/fd/" + std::to_string(fd)).c_str());
    if (static_cast<std::size_t>(i) < busy.size())
      (void)!symlink(busy[static_cast<std::size_t>(i)].c_str(), (dir + "/fd/6").c_str());
  }
  for (const std::string& port : busy)
    if (FILE* f = std::fopen((locks + "/" + LockFileName(port)).c_str(), "w")) {
      std::fprintf(f, "%10d\n", 1);
      std::fclose(f);
    }
}

bool LockCost(int rounds) {
  constexpr int kProcesses = 2000;
  constexpr int kBusy = 16;
  constexpr double kLimitMs = 5.0;
  char dir[] = "/tmp/ports_bench.XXXXXX";
  if (!mkdtemp(dir)) return false;
  std::vector<int> masters;
  std::vector<std::string> ports;
  for (int i = 0; i <= kBusy; ++i) {
    int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return false;
    masters.push_back(master);
    ports.push_back(ptsname(master));
  }
  const std::string free = ports.back();
  ports.pop_back();
  FakeMachine(dir, kProcesses, ports);
  LockPlaces fake;
  fake.lockDirs = {std::string(dir) + "/lock"};
  fake.proc = std::string(dir) + "/proc";
  LockPlaces none;
  none.lockDirs.clear();
  none.proc.clear();
  auto openClose = [](const LockPlaces& places, const std::string& path) {
    SerialPort port(PortTimeouts(), places);
    bool ok = port.Open(path);
    port.Close();
    return ok;
  };
  const int runs = std::max(20, rounds * 10);
  bool ok = true;
  const double plain = bench::BestMs(runs, [&] { ok = openClose(none, free) && ok; });
  const double locked = bench::BestMs(runs, [&] { ok = openClose(fake, free) && ok; });
  const double scan = bench::BestMs(runs, [&] { FindPortHolders(fake.proc, free); });
  // What the machine charges for a system call: the search makes about
  // eight per process (openat, getdents64, a readlinkat per descriptor, close).
  double call = 1e9;
  for (int r = 0; r < runs; ++r) {
    const double start = ThreadCpuMs();
    for (int i = 0; i < 10000; ++i) (void)!getppid();
    call = std::min(call, (ThreadCpuMs() - start) * 1000 / 10000);
  }
  double scanCpu = 1e9;
  for (int r = 0; r < runs; ++r) {
    const double start = ThreadCpuMs();
    FindPortHolders(fake.proc, free);
    scanCpu = std::min(scanCpu, ThreadCpuMs() - start);
  }
  bool refused = true;
  const double busyMs = bench::BestMs(runs, [&] { refused = !openClose(fake, ports[0]) && refused; });
  int processes = 0;
  const double real = bench::BestMs(runs, [&] { FindPortHolders("/proc", free); });
  if (DIR* d = opendir("/proc")) {
    while (dirent* e = readdir(d)) processes += e->d_name[0] >= '1' && e->d_name[0] <= '9';
    closedir(d);
  }
  for (int m : masters) close(m);
  std::system(("rm -rf " + std::string(dir)).c_str());
  const double added = locked - plain;
  std::printf("lock: opening and closing a free port takes %.3f ms without locks, %.3f ms with the lock file and the "
              "search of %d processes (%d ports busy): %.3f ms more (limit %.1f ms); the search alone %.3f ms\n",
              plain, locked, kProcesses, kBusy, added, kLimitMs, scan);
  std::printf("lock: a busy port is refused in %.3f ms; this machine's /proc (%d processes) is searched in %.3f ms "
              "(best of %d)\n",
              busyMs, processes, real, runs);
  std::printf("lock: the search of the fake /proc takes %.3f ms of CPU; a system call costs %.3f us of CPU here "
              "(getppid)\n",
              scanCpu, call);
  if (!ok || !refused) std::printf("lock: %s\n", ok ? "a busy port was opened" : "the free port did not open");
  return ok && refused && added <= kLimitMs;
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = 5;
  bool realtime = true;
  std::vector<std::string> which;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--rounds" && i + 1 < argc) rounds = std::max(1, std::atoi(argv[++i]));
    else if (arg == "--normal-priority") realtime = false;
    else which.push_back(arg);
  }
  // As in transfer_bench: when allowed, this process and the programs it
  // starts run at real-time priority, so other load on the machine disturbs
  // the protocol's pauses less (--normal-priority to measure without).
  prctl(PR_SET_TIMERSLACK, 1UL);
  sched_param param{};
  param.sched_priority = 10;
  if (realtime && sched_setscheduler(0, SCHED_FIFO, &param) != 0) realtime = false;
  std::printf("priority: %s\n", realtime ? "real-time (SCHED_FIFO)" : "normal");
  if (which.empty()) which = {"fleet", "trace", "cancel", "lock"};
  bool ok = true;
  for (const std::string& w : which) {
    if (w == "fleet") ok = Fleet(rounds) && ok;
    else if (w == "trace") ok = Trace(rounds) && ok;
    else if (w == "cancel") ok = CancelLatency(rounds) && ok;
    else if (w == "lock") ok = LockCost(rounds) && ok;
    else {
      std::fprintf(stderr, "usage: ports_bench [fleet|trace|cancel|lock]... [--rounds N] [--normal-priority]\n");
      return 2;
    }
  }
  return ok ? 0 : 1;
}

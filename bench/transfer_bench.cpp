// How close a clone transfer comes to the line's own limit: a read and a write
// against chanset-radio-sim with its 9600-baud line model, each compared with
// the wire-time minimum of the protocol.
//
//   byte time        10 bits at 9600 baud
//   handshake        20 bytes + 19 ms of pauses (8 x 2 ms before the magic bytes,
//                    3 x 1 ms in stage two)
//   read, per block  18 bytes (4 request, 12 reply, ACK, ACK) + 1 ms, and 1 ms
//                    more before the second block of each row: 2.55 s in all
//   write, per block 13 bytes (12 frame, ACK) + 1 ms: 1.84 s in all
//
// A verified write (a write, then the read-back compared with what was sent)
// is held to the sum of the two minimums, in-process and as
// `chanset-cli write --verify` (process start, file load, the backup of the
// read-back and the comparison included).
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "data/MemoryImage.h"
#include "data/DatFile.h"
#include "link/CloneTransfer.h"
#include "link/ReadBack.h"
#include "link/SerialPort.h"
#include "tests/e2e/SimulatorProcess.h"

using namespace chanset;

namespace {

constexpr double kByteSeconds = 10.0 / 9600.0;
constexpr double kLimit = 1.10;

double HandshakeMinimum() { return 20 * kByteSeconds + 0.019; }
double ReadMinimum() { return HandshakeMinimum() + kTransferBlocks * (18 * kByteSeconds + 0.001) + kTransferRows * 0.001; }
double WriteMinimum() { return HandshakeMinimum() + kTransferBlocks * (13 * kByteSeconds + 0.001); }

class QuietHost : public TransferHost {
 public:
  bool Poll() override { return false; }
  bool AskRetry() override { return false; }
  void Progress(int) override {}
  void Message(int id, const SystemError& reason) override {
    std::fprintf(stderr, "transfer_bench: message %d %s\n", id, reason.text.c_str());
  }
  void Sleep(int ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
};

// Starts the simulator and returns its device path (empty on failure).
std::string StartSimulator(pid_t& pid) {
  return SpawnSimulator(std::string(CHANSET_APP_DIR) + "/chanset-radio-sim", {}, pid);
}

double Timed(const std::string& path, TransferDirection direction, Image& image, bool& ok) {
  SerialPort port;
  QuietHost host;
  auto start = std::chrono::steady_clock::now();
  TransferResult r = RunTransfer(port, host, path, direction, image);
  std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  ok = ok && r.ok();
  return took.count();
}

// A write and its read-back through one port, as the GUI and the CLI run them.
double TimedVerifiedWrite(const std::string& path, const Image& image, bool& ok) {
  SerialPort port;
  QuietHost host;
  Image sent = image;
  auto start = std::chrono::steady_clock::now();
  TransferResult w = RunTransfer(port, host, path, TransferDirection::Write, sent);
  ReadBackResult back = ReadBackWritten(port, host, nullptr, path, sent);
  std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  ok = ok && w.ok() && back.end == VerifyEnd::Verified;
  return took.count();
}

// chanset-cli write --verify --quiet on `path`, with the plan in `plan`.
double TimedCliVerifiedWrite(const std::string& path, const std::string& plan, bool& ok) {
  std::fflush(stdout);  // the child must not print what is still buffered here
  auto start = std::chrono::steady_clock::now();
  pid_t pid = fork();
  if (pid == 0) {
    std::freopen("/dev/null", "w", stdout);
    std::string cli = std::string(CHANSET_APP_DIR) + "/chanset-cli";
    execl(cli.c_str(), cli.c_str(), "write", "--verify", "--quiet", "--port", path.c_str(), plan.c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = -1;
  waitpid(pid, &status, 0);
  std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  ok = ok && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return took.count();
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = 1;
  bool realtime = true;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--normal-priority") realtime = false;
    else if (std::atoi(arg.c_str()) > 0) rounds = std::atoi(arg.c_str());
  }
  // What is measured is the protocol and the code, not the other programs on
  // the machine: when allowed, this process and the simulator it starts run
  // at real-time priority (--normal-priority to measure without). Short
  // pauses should also end on time.
  prctl(PR_SET_TIMERSLACK, 1UL);
  sched_param param{};
  param.sched_priority = 10;
  if (realtime && sched_setscheduler(0, SCHED_FIFO, &param) != 0) realtime = false;
  std::printf("priority: %s\n", realtime ? "real-time (SCHED_FIFO)" : "normal");
  pid_t pid = -1;
  std::string path = StartSimulator(pid);
  if (path.empty()) {
    std::fprintf(stderr, "transfer_bench: chanset-radio-sim did not start\n");
    return 2;
  }
  // The read-backs' backups go to a folder of their own, removed at the end.
  char data[] = "/tmp/transfer_bench.XXXXXX";
  if (!mkdtemp(data)) return 2;
  setenv("XDG_DATA_HOME", data, 1);
  const std::string plan = std::string(data) + "/plan.dat";
  bool ok = true;
  double worstRead = 0, worstWrite = 0, worstVerified = 0, worstCli = 0;
  Image image = NewImage();
  ok = StoreDatFile(plan, image) == DatError::None;
  const double verifiedMinimum = WriteMinimum() + ReadMinimum();
  for (int i = 0; i < rounds && ok; ++i) {
    double read = Timed(path, TransferDirection::Read, image, ok) / ReadMinimum();
    double write = Timed(path, TransferDirection::Write, image, ok) / WriteMinimum();
    double verified = TimedVerifiedWrite(path, image, ok) / verifiedMinimum;
    double cli = TimedCliVerifiedWrite(path, plan, ok) / verifiedMinimum;
    std::printf("round %d: read %.3f x minimum (%.2f s), write %.3f x minimum (%.2f s), verified write %.3f x"
                " minimum (%.2f s), chanset-cli write --verify %.3f x minimum (%.2f s)\n",
                i + 1, read, read * ReadMinimum(), write, write * WriteMinimum(), verified,
                verified * verifiedMinimum, cli, cli * verifiedMinimum);
    worstRead = std::max(worstRead, read);
    worstWrite = std::max(worstWrite, write);
    worstVerified = std::max(worstVerified, verified);
    worstCli = std::max(worstCli, cli);
  }
  std::string cleanup = std::string("rm -rf '") + data + "'";
  (void)!std::system(cleanup.c_str());
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
  if (!ok) {
    std::fprintf(stderr, "transfer_bench: a transfer failed\n");
    return 1;
  }
  std::printf("read ratio %.3f (limit %.2f), write ratio %.3f (limit %.2f)\n", worstRead, kLimit, worstWrite, kLimit);
  std::printf("verified write ratio %.3f, chanset-cli write --verify ratio %.3f (limit %.2f of write + read)\n",
              worstVerified, worstCli, kLimit);
  return worstRead <= kLimit && worstWrite <= kLimit && worstVerified <= kLimit && worstCli <= kLimit ? 0 : 1;
}

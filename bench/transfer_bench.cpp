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
//
// A write is counted against the silence the line really had. On a real
// cable Write() returns once the header has left the UART, and the 1 ms
// pause before the data bytes is silence on the wire. A pseudo-terminal
// takes the bytes at once, so the pause runs while the simulator's line
// model still carries the header: the line sees less silence than a cable
// would. The simulator reports the silence it saw before each data block
// (--stats); a write's minimum is its bytes plus that silence, and a ratio
// under 1.00 means the bench counts wrong. What the same write would take on
// a real cable (the missing silence added) is printed beside it.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
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

constexpr double kDataPause = 0.001;  // before the data bytes of each write block

double HandshakeMinimum() { return 20 * kByteSeconds + 0.019; }
double ReadMinimum() { return HandshakeMinimum() + kTransferBlocks * (18 * kByteSeconds + 0.001) + kTransferRows * 0.001; }
double WriteMinimum() { return HandshakeMinimum() + kTransferBlocks * (13 * kByteSeconds + kDataPause); }
// A write's minimum on a line that had `silence` seconds before its data
// blocks in all, instead of the protocol's 1 ms each.
double WriteMinimumWith(double silence) { return WriteMinimum() - kTransferBlocks * kDataPause + silence; }

// The simulator's --stats file: the silence before the data blocks of each
// transfer, one line per transfer. Lines are taken in order as they come.
class LineStats {
 public:
  explicit LineStats(std::string path) : path_(std::move(path)) {}
  // The total silence (seconds) before data blocks of the transfers
  // reported since the last call, and how many data blocks there were.
  double Silence(int& blocks) {
    std::ifstream in(path_);
    std::string line;
    double total = 0;
    blocks = 0;
    for (int n = 0; std::getline(in, line); ++n) {
      if (n < seen_) continue;
      ++seen_;
      int count = 0;
      double ms = 0;
      std::size_t at = line.find(": ");
      if (at != std::string::npos && std::sscanf(line.c_str() + at, ": %d data blocks written", &count) == 1 &&
          (at = line.find("total ")) != std::string::npos && std::sscanf(line.c_str() + at, "total %lf ms", &ms) == 1) {
        blocks += count;
        total += ms / 1000;
      }
    }
    return total;
  }

 private:
  std::string path_;
  int seen_ = 0;
};

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
std::string StartSimulator(pid_t& pid, const std::string& stats) {
  return SpawnSimulator(std::string(CHANSET_APP_DIR) + "/chanset-radio-sim", {"--stats", stats}, pid);
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
  // The read-backs' backups and the simulator's report go to a folder of
  // their own, removed at the end.
  char data[] = "/tmp/transfer_bench.XXXXXX";
  if (!mkdtemp(data)) return 2;
  setenv("XDG_DATA_HOME", data, 1);
  setenv("CHANSET_LOCK_DIR", data, 1);
  LineStats stats(std::string(data) + "/line.txt");
  pid_t pid = -1;
  std::string path = StartSimulator(pid, std::string(data) + "/line.txt");
  if (path.empty()) {
    std::fprintf(stderr, "transfer_bench: chanset-radio-sim did not start\n");
    return 2;
  }
  const std::string plan = std::string(data) + "/plan.dat";
  bool ok = true, fault = false;
  double worstRead = 0, worstWrite = 0, worstVerified = 0, worstCli = 0, cableWrite = 0;
  Image image = NewImage();
  ok = StoreDatFile(plan, image) == DatError::None;
  int blocks = 0;
  for (int i = 0; i < rounds && ok; ++i) {
    double readTook = Timed(path, TransferDirection::Read, image, ok);
    stats.Silence(blocks);
    double writeTook = Timed(path, TransferDirection::Write, image, ok);
    const double writeSilence = stats.Silence(blocks);
    const double writeBlocks = blocks;
    double verifiedTook = TimedVerifiedWrite(path, image, ok);
    const double verifiedMinimum = WriteMinimumWith(stats.Silence(blocks)) + ReadMinimum();
    double cliTook = TimedCliVerifiedWrite(path, plan, ok);
    const double cliMinimum = WriteMinimumWith(stats.Silence(blocks)) + ReadMinimum();
    const double read = readTook / ReadMinimum(), write = writeTook / WriteMinimumWith(writeSilence);
    const double verified = verifiedTook / verifiedMinimum, cli = cliTook / cliMinimum;
    // On a cable the pause before each data block is silence of its own.
    const double onCable = writeTook + kTransferBlocks * kDataPause - writeSilence;
    std::printf("round %d: read %.3f x minimum (%.2f s); write %.3f x minimum (%.2f s; the line had %.3f ms of "
                "silence before each of %.0f data blocks, a cable 1 ms: about %.2f s there); verified write %.3f x"
                " minimum (%.2f s); chanset-cli write --verify %.3f x minimum (%.2f s)\n",
                i + 1, read, readTook, write, writeTook, writeBlocks > 0 ? writeSilence * 1000 / writeBlocks : 0.0,
                writeBlocks, onCable, verified, verifiedTook, cli, cliTook);
    if (writeBlocks != kTransferBlocks) {
      std::fprintf(stderr, "transfer_bench: the simulator reported %.0f data blocks for a write\n", writeBlocks);
      fault = true;
    }
    for (double ratio : {read, write, verified, cli})
      if (ratio < 1.0) fault = true;
    worstRead = std::max(worstRead, read);
    worstWrite = std::max(worstWrite, write);
    worstVerified = std::max(worstVerified, verified);
    worstCli = std::max(worstCli, cli);
    cableWrite = std::max(cableWrite, onCable);
  }
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
  std::string cleanup = std::string("rm -rf '") + data + "'";
  (void)!std::system(cleanup.c_str());
  if (!ok) {
    std::fprintf(stderr, "transfer_bench: a transfer failed\n");
    return 1;
  }
  std::printf("read ratio %.3f (limit %.2f), write ratio %.3f (limit %.2f)\n", worstRead, kLimit, worstWrite, kLimit);
  std::printf("verified write ratio %.3f, chanset-cli write --verify ratio %.3f (limit %.2f of write + read)\n",
              worstVerified, worstCli, kLimit);
  std::printf("a real cable at 9600 baud takes at least %.2f s for a read and %.2f s for a write (every byte, and "
              "every pause after the bytes before it have left); these writes would take up to %.2f s on one\n",
              ReadMinimum(), WriteMinimum(), cableWrite);
  if (fault) {
    std::fprintf(stderr, "transfer_bench: a ratio under 1.00 x is a fault of this bench's counting, not a fast "
                         "transfer\n");
    return 1;
  }
  return worstRead <= kLimit && worstWrite <= kLimit && worstVerified <= kLimit && worstCli <= kLimit ? 0 : 1;
}

#include "tools/cli/Fleet.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>
#include <unistd.h>

#include "data/DatFile.h"
#include "link/SerialPort.h"
#include "link/TraceSink.h"
#include "tools/cli/CliCommand.h"
#include "tools/cli/TransferChecks.h"

namespace cli {

namespace {

using Clock = std::chrono::steady_clock;

// What every port's thread shares: the terminal and the counts on the
// progress line. Each lock is held only while printing a line.
class Console {
 public:
  // `rowsPerPort`: 62 for a transfer, 124 for a write and its read-back.
  Console(const char* verb, std::size_t ports, int rowsPerPort, bool quiet)
      : verb_(verb), total_(rowsPerPort), rows_(ports, 0), ended_(ports, false),
        bar_(!quiet && isatty(STDERR_FILENO) == 1), start_(Clock::now()) {}

  void Progress(std::size_t port, int rows) {
    std::lock_guard<std::mutex> lock(mutex_);
    rows_[port] = rows;
    // At most ten redraws a second, whatever the number of radios.
    Clock::time_point now = Clock::now();
    if (now - lastDraw_ < std::chrono::milliseconds(100)) return;
    lastDraw_ = now;
    Draw();
  }

  // One port's result line, with the progress line drawn again under it.
  // While a question waits for its answer the line is held back, so that it
  // does not land in the middle of what is typed.
  void Result(std::size_t port, const std::string& line) {
    std::lock_guard<std::mutex> lock(mutex_);
    ended_[port] = true;
    if (asking_) {
      held_.push_back(line);
      return;
    }
    Clear();
    PrintLines(stdout, line);
    std::fflush(stdout);
    Draw();
  }

  // A warning on stderr, under the progress line like a result.
  void Warning(const std::string& line) {
    std::lock_guard<std::mutex> lock(mutex_);
    Clear();
    PrintLine(stderr, "chanset-cli: warning: " + line);
    Draw();
  }

  // Asks Retry or Cancel for one port on the terminal; one question at a
  // time, the progress line held still meanwhile.
  bool AskRetry(const std::string& label, bool chinese) {
    std::lock_guard<std::mutex> question(questionMutex_);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      Clear();
      asking_ = true;
    }
    const bool retry = AskRetryOnTerminal(label + ": " + MessageText(chanset::kMsgCommunicationError, chinese) +
                                          "\n" + label + ": Retry or Cancel? [r/c] ");
    std::lock_guard<std::mutex> lock(mutex_);
    asking_ = false;
    for (const std::string& line : held_) PrintLines(stdout, line);
    std::fflush(stdout);
    held_.clear();
    Draw();
    return retry;
  }

  void Finish() {
    std::lock_guard<std::mutex> lock(mutex_);
    Clear();
  }

 private:
  void Draw() {
    if (!bar_ || asking_) return;
    int low = total_, high = 0;
    std::size_t ended = 0;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
      if (ended_[i]) {
        ++ended;
        continue;
      }
      low = std::min(low, rows_[i]);
      high = std::max(high, rows_[i]);
    }
    std::chrono::duration<double> took = Clock::now() - start_;
    char line[160];
    if (ended == rows_.size())
      std::snprintf(line, sizeof line, "%s %zu radios: all ended  %.1f s", verb_, rows_.size(), took.count());
    else
      std::snprintf(line, sizeof line, "%s %zu radios: %zu ended, the others at %d to %d of %d rows  %.1f s", verb_,
                    rows_.size(), ended, low, high, total_, took.count());
    std::fprintf(stderr, "\r%s\033[K", line);
    std::fflush(stderr);
    drawn_ = true;
  }

  void Clear() {
    if (!drawn_) return;
    std::fprintf(stderr, "\r\033[K");
    std::fflush(stderr);
    drawn_ = false;
  }

  const char* verb_;
  int total_;
  std::mutex mutex_, questionMutex_;
  std::vector<int> rows_;
  std::vector<bool> ended_;
  std::vector<std::string> held_;
  bool bar_;
  bool drawn_ = false;
  bool asking_ = false;
  Clock::time_point start_, lastDraw_{};
};

// One radio's side: its own port, its own answers.
class FleetHost : public chanset::TransferHost {
 public:
  FleetHost(Console& console, std::size_t index, const PortTarget& target, bool chinese)
      : console_(console), index_(index), target_(target), chinese_(chinese) {}

  bool Poll() override { return Interrupted(); }
  bool AskRetry() override {
    if (isatty(STDIN_FILENO) != 1) {
      note_ = "Retry answered Cancel: no terminal to ask on";
      return false;
    }
    return console_.AskRetry(target_.label, chinese_);
  }
  void Progress(int rows) override { console_.Progress(index_, offset_ + rows); }
  void Message(int id, const chanset::SystemError& reason) override {
    message_ = MessageWithReason(id, reason, target_.path, chinese_);
  }
  void Sleep(int ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

  const std::string& message() const { return message_; }
  const std::string& note() const { return note_; }
  // Rows already done before this transfer (the write before a read-back).
  void SetOffset(int rows) { offset_ = rows; }

 private:
  Console& console_;
  std::size_t index_;
  const PortTarget& target_;
  bool chinese_;
  std::string message_, note_;
  int offset_ = 0;
};

enum class Outcome { Succeeded, Failed, Cancelled, Differs, NotVerified };

struct PortJob {
  const PortTarget* target = nullptr;
  std::unique_ptr<chanset::TraceSink> trace;
  Outcome outcome = Outcome::Failed;
};

std::string Named(const PortTarget& t) { return t.label == t.path ? t.label : t.label + " (" + t.path + ")"; }

// What every port's thread is given.
struct FleetJob {
  Console& console;
  chanset::TransferDirection direction;
  const std::string& folder;
  const TransferOptions& options;
  const chanset::CSettingsFile* names;
};

// The backup of a radio read completely: the file, for its result line, or
// "" with the warning on stderr.
std::string BackupOf(const chanset::Image& image, const PortTarget& t, const FleetJob& f) {
  BackupNote backup = BackUpRead(image, f.options);
  if (!backup.warning.empty()) f.console.Warning(t.label + ": " + backup.warning);
  return backup.path;
}

// The read-back of a written radio: its outcome and the rest of its line.
Outcome CheckWritten(chanset::SerialPort& port, FleetHost& host, PortJob& job, const chanset::Image& image,
                     const FleetJob& f, std::string& line) {
  const PortTarget& t = *job.target;
  host.SetOffset(chanset::kTransferRows);
  chanset::ReadBackResult back = chanset::ReadBackWritten(port, host, job.trace.get(), t.path, image);
  std::string backup = back.complete() ? BackupOf(back.image, t, f) : std::string();
  VerifyReport report = ReportReadBack(back, image, t.path, f.options.chinese, f.names);
  if (back.end == chanset::VerifyEnd::NotVerified) {
    line += report.verdict;
    return Outcome::NotVerified;
  }
  line += "written" + (backup.empty() ? "" : ", read back into " + backup) + "; " + report.verdict;
  for (const std::string& difference : report.differences) line += "\n  " + difference;
  return back.end == chanset::VerifyEnd::Verified ? Outcome::Succeeded : Outcome::Differs;
}

// One radio from start to result line.
void RunOne(PortJob& job, std::size_t index, const FleetJob& f, chanset::Image image) {
  const PortTarget& t = *job.target;
  chanset::SerialPort port;
  port.SetCancel(InterruptSignal());
  FleetHost host(f.console, index, t, f.options.chinese);
  chanset::TransferResult result = chanset::RunTracedTransfer(port, host, job.trace.get(), t.path, f.direction, image);

  std::string line = Named(t) + ": ";
  if (result.ok() && f.direction == chanset::TransferDirection::Write) {
    if (f.options.verify) {
      job.outcome = CheckWritten(port, host, job, image, f, line);
    } else {
      job.outcome = Outcome::Succeeded;
      line += "written";
    }
  } else if (result.ok()) {
    std::string file = FleetFileOf(f.folder, t), error;
    std::string backup = BackupOf(image, t, f);
    if (chanset::StoreDatFile(file, image, &error) == chanset::DatError::None) {
      job.outcome = Outcome::Succeeded;
      line += "read into " + file + (backup.empty() ? "" : "; backup: " + backup);
    } else {
      line += "failed: cannot write " + file + ": " + error + (backup.empty() ? "" : "; kept in " + backup);
    }
  } else if (result.end == chanset::TransferEnd::Cancelled || Interrupted()) {
    job.outcome = Outcome::Cancelled;
    line += "cancelled";
  } else {
    // The Retry question's answer shows no message of its own: name it here.
    line += "failed: " + (host.message().empty() ? std::string(MessageText(result.message, f.options.chinese))
                                                 : host.message());
    if (!host.note().empty()) line += "; " + host.note();
  }
  f.console.Result(index, line);
  if (job.trace && !TraceLossText(*job.trace).empty()) f.console.Warning(t.label + ": " + TraceLossText(*job.trace));
}

std::string Join(const std::vector<PortJob>& jobs, Outcome outcome) {
  std::string text;
  for (const PortJob& j : jobs)
    if (j.outcome == outcome) text += (text.empty() ? "" : ", ") + j.target->label;
  return text;
}

}  // namespace

std::string FleetFileOf(const std::string& folder, const PortTarget& port) { return folder + "/" + port.stem + ".dat"; }

int RunFleet(const std::vector<PortTarget>& ports, chanset::TransferDirection direction, const chanset::Image& image,
             const std::string& folder, const TransferOptions& options, const chanset::CSettingsFile* names) {
  const bool read = direction == chanset::TransferDirection::Read;
  const bool verify = !read && options.verify;
  std::vector<PortJob> jobs(ports.size());
  for (std::size_t i = 0; i < ports.size(); ++i) {
    jobs[i].target = &ports[i];
    if (options.tracePath.empty()) continue;
    jobs[i].trace = std::make_unique<chanset::TraceSink>();
    if (!OpenTrace(TraceFileOf(options, ports.size(), ports[i]), *jobs[i].trace)) return 1;
  }

  Console console(read ? "Reading" : "Writing", ports.size(), chanset::kTransferRows * (verify ? 2 : 1),
                  options.quiet);
  const FleetJob shared{console, direction, folder, options, names};
  CatchInterrupt();
  std::vector<std::thread> threads;
  threads.reserve(ports.size());
  for (std::size_t i = 0; i < ports.size(); ++i)
    threads.emplace_back(RunOne, std::ref(jobs[i]), i, std::cref(shared), image);
  for (std::thread& t : threads) t.join();
  console.Finish();
  ReleaseInterrupt();

  auto count = [&jobs](Outcome outcome) {
    return static_cast<std::size_t>(
        std::count_if(jobs.begin(), jobs.end(), [outcome](const PortJob& j) { return j.outcome == outcome; }));
  };
  const std::size_t succeeded = count(Outcome::Succeeded);
  std::string summary = std::string(read ? "read " : verify ? "wrote and verified " : "wrote ") +
                        std::to_string(succeeded) + " of " + std::to_string(ports.size()) + " radios" +
                        (read ? " into " + folder : "");
  const std::pair<Outcome, const char*> kinds[] = {{Outcome::Failed, "failed"},
                                                   {Outcome::Differs, "differ"},
                                                   {Outcome::NotVerified, "not verified"},
                                                   {Outcome::Cancelled, "cancelled"}};
  for (const auto& [outcome, word] : kinds)
    if (std::string which = Join(jobs, outcome); !which.empty()) summary += std::string("; ") + word + ": " + which;
  PrintLine(stdout, summary);
  if (Interrupted()) return ReportStopped(options.chinese);
  if (count(Outcome::Failed) + count(Outcome::Cancelled) > 0) return 1;
  if (count(Outcome::Differs) > 0) return kExitVerifyDiffers;
  if (count(Outcome::NotVerified) > 0) return kExitNotVerified;
  return 0;
}

}  // namespace cli

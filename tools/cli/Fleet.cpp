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

namespace cli {

namespace {

using Clock = std::chrono::steady_clock;

// What every port's thread shares: the terminal and the counts on the
// progress line. Each lock is held only while printing a line.
class Console {
 public:
  Console(const char* verb, std::size_t ports, bool quiet)
      : verb_(verb), rows_(ports, 0), ended_(ports, false), bar_(!quiet && isatty(STDERR_FILENO) == 1),
        start_(Clock::now()) {}

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
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
    Draw();
  }

  // Asks Retry or Cancel for one port on the terminal; one question at a
  // time, the progress line held still meanwhile.
  bool AskRetry(const std::string& label) {
    std::lock_guard<std::mutex> question(questionMutex_);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      Clear();
      asking_ = true;
    }
    bool retry = false;
    for (;;) {
      std::fprintf(stderr, "%s: %s\n%s: Retry or Cancel? [r/c] ", label.c_str(),
                   MessageText(chanset::kMsgCommunicationError), label.c_str());
      std::fflush(stderr);
      char line[64];
      if (Interrupted() || !std::fgets(line, sizeof line, stdin)) break;
      if (line[0] == 'r' || line[0] == 'R') {
        retry = true;
        break;
      }
      if (line[0] == 'c' || line[0] == 'C') break;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    asking_ = false;
    for (const std::string& line : held_) std::printf("%s\n", line.c_str());
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
    int low = chanset::kTransferRows, high = 0;
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
                    rows_.size(), ended, low, high, chanset::kTransferRows, took.count());
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
  FleetHost(Console& console, std::size_t index, const std::string& label)
      : console_(console), index_(index), label_(label) {}

  bool Poll() override { return Interrupted(); }
  bool AskRetry() override {
    if (isatty(STDIN_FILENO) != 1) {
      note_ = "Retry answered Cancel: no terminal to ask on";
      return false;
    }
    return console_.AskRetry(label_);
  }
  void Progress(int rows) override { console_.Progress(index_, rows); }
  void Message(int id, const chanset::SystemError& reason) override {
    message_ = MessageText(id);
    if (reason.code != 0) {
      std::string hint = chanset::PortErrorHint(reason.code);
      message_ += " (" + reason.text + (hint.empty() ? "" : " - " + hint) + ")";
    }
  }
  void Sleep(int ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

  const std::string& message() const { return message_; }
  const std::string& note() const { return note_; }

 private:
  Console& console_;
  std::size_t index_;
  std::string label_;
  std::string message_, note_;
};

enum class Outcome { Succeeded, Failed, Cancelled };

struct PortJob {
  const PortTarget* target = nullptr;
  std::unique_ptr<chanset::TraceSink> trace;
  Outcome outcome = Outcome::Failed;
};

std::string Named(const PortTarget& t) { return t.label == t.path ? t.label : t.label + " (" + t.path + ")"; }

// One radio from start to result line.
void RunOne(PortJob& job, std::size_t index, Console& console, chanset::TransferDirection direction,
            chanset::Image image, const std::string& folder) {
  const PortTarget& t = *job.target;
  chanset::SerialPort port;
  port.SetCancel(InterruptSignal());
  FleetHost host(console, index, t.label);
  chanset::TransferResult result = chanset::RunTracedTransfer(port, host, job.trace.get(), t.path, direction, image);

  std::string line = Named(t) + ": ";
  if (result.ok() && direction == chanset::TransferDirection::Write) {
    // A read-back check of the written radio belongs here, before the port
    // counts as done.
    job.outcome = Outcome::Succeeded;
    line += "written";
  } else if (result.ok()) {
    std::string file = folder + "/" + t.stem + ".dat", error;
    if (chanset::StoreDatFile(file, image, &error) == chanset::DatError::None) {
      job.outcome = Outcome::Succeeded;
      line += "read into " + file;
    } else {
      line += "failed: cannot write " + file + ": " + error;
    }
  } else if (result.end == chanset::TransferEnd::Cancelled || Interrupted()) {
    job.outcome = Outcome::Cancelled;
    line += "cancelled";
  } else {
    // The Retry question's answer shows no message of its own: name it here.
    line += "failed: " + (host.message().empty() ? std::string(MessageText(result.message)) : host.message());
    if (!host.note().empty()) line += "; " + host.note();
  }
  console.Result(index, line);
}

std::string Join(const std::vector<PortJob>& jobs, Outcome outcome) {
  std::string text;
  for (const PortJob& j : jobs)
    if (j.outcome == outcome) text += (text.empty() ? "" : ", ") + j.target->label;
  return text;
}

}  // namespace

int RunFleet(const std::vector<PortTarget>& ports, chanset::TransferDirection direction, const chanset::Image& image,
             const std::string& folder, const TransferOptions& options) {
  const bool read = direction == chanset::TransferDirection::Read;
  std::vector<PortJob> jobs(ports.size());
  for (std::size_t i = 0; i < ports.size(); ++i) {
    jobs[i].target = &ports[i];
    if (options.tracePath.empty()) continue;
    jobs[i].trace = std::make_unique<chanset::TraceSink>();
    if (!OpenTrace(options.tracePath + "." + ports[i].stem, *jobs[i].trace)) return 1;
  }

  Console console(read ? "Reading" : "Writing", ports.size(), options.quiet);
  CatchInterrupt();
  std::vector<std::thread> threads;
  threads.reserve(ports.size());
  for (std::size_t i = 0; i < ports.size(); ++i)
    threads.emplace_back(RunOne, std::ref(jobs[i]), i, std::ref(console), direction, image, std::cref(folder));
  for (std::thread& t : threads) t.join();
  console.Finish();
  ReleaseInterrupt();

  std::size_t succeeded = static_cast<std::size_t>(
      std::count_if(jobs.begin(), jobs.end(), [](const PortJob& j) { return j.outcome == Outcome::Succeeded; }));
  std::string summary = std::string(read ? "read " : "wrote ") + std::to_string(succeeded) + " of " +
                        std::to_string(ports.size()) + " radios" + (read ? " into " + folder : "");
  if (std::string failed = Join(jobs, Outcome::Failed); !failed.empty()) summary += "; failed: " + failed;
  if (std::string cancelled = Join(jobs, Outcome::Cancelled); !cancelled.empty())
    summary += "; cancelled: " + cancelled;
  std::printf("%s\n", summary.c_str());
  if (Interrupted()) return kExitInterrupted;
  return succeeded == ports.size() ? 0 : 1;
}

}  // namespace cli

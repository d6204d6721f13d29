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
#include "link/RadioFleet.h"
#include "link/TraceSink.h"
#include "tools/cli/CliCommand.h"
#include "tools/cli/LogWrites.h"
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

enum class Outcome { Succeeded, Failed, Cancelled, Differs, NotVerified };

std::string Named(const PortTarget& t) { return t.label == t.path ? t.label : t.label + " (" + t.path + ")"; }

// What the whole fleet shares.
struct FleetRun {
  const std::vector<PortTarget>& ports;
  chanset::TransferDirection direction;
  const chanset::Image& image;
  const std::string& folder;
  const std::string& document;
  const TransferOptions& options;
  const chanset::CSettingsFile* names;
};

// The terminal's side of the engine (link/RadioFleet.h): each radio's
// progress on the one progress line, its Retry question, and its result line
// as it ends, with the backup, the file of a read and the write log's line.
class ConsoleObserver final : public chanset::FleetObserver {
 public:
  ConsoleObserver(Console& console, const FleetRun& run, std::vector<const chanset::TraceSink*> traces)
      : console_(console), run_(run), traces_(std::move(traces)), messages_(run.ports.size()),
        notes_(run.ports.size()), outcomes_(run.ports.size(), Outcome::Failed) {}

  void Progress(std::size_t port, int rows, bool verifying) override {
    console_.Progress(port, (verifying ? chanset::kTransferRows : 0) + rows);
  }
  bool AskRetry(std::size_t port) override {
    if (isatty(STDIN_FILENO) != 1) {
      notes_[port] = "Retry answered Cancel: no terminal to ask on";
      return false;
    }
    return console_.AskRetry(run_.ports[port].label, run_.options.chinese);
  }
  void Message(std::size_t port, int id, const chanset::SystemError& reason) override {
    messages_[port] = MessageWithReason(id, reason, run_.ports[port].path, run_.options.chinese);
  }
  void Ended(std::size_t port, const chanset::FleetResult& result) override;

  Outcome OutcomeOf(std::size_t port) const { return outcomes_[port]; }

 private:
  // The backup of a radio read completely: the file, for its result line,
  // or "" with the warning on stderr.
  std::string BackupOf(const chanset::Image& image, const PortTarget& t) {
    BackupNote backup = BackUpRead(image, run_.options);
    if (!backup.warning.empty()) console_.Warning(t.label + ": " + backup.warning);
    return backup.path;
  }
  Outcome Written(const PortTarget& t, const chanset::FleetResult& r, std::string& line);
  Outcome Read(const PortTarget& t, const chanset::FleetResult& r, std::string& line);

  Console& console_;
  const FleetRun& run_;
  std::vector<const chanset::TraceSink*> traces_;
  // Each port's entries are written by its own thread only.
  std::vector<std::string> messages_, notes_;
  std::vector<Outcome> outcomes_;
};

// A written radio: its read-back's verdict, when it had one.
Outcome ConsoleObserver::Written(const PortTarget& t, const chanset::FleetResult& r, std::string& line) {
  if (!r.back) {
    line += "written";
    return Outcome::Succeeded;
  }
  const chanset::ReadBackResult& back = *r.back;
  std::string backup = back.complete() ? BackupOf(back.image, t) : std::string();
  VerifyReport report = ReportReadBack(back, run_.image, t.path, run_.options.chinese, run_.names);
  if (back.end == chanset::VerifyEnd::NotVerified) {
    line += report.verdict;
    return Outcome::NotVerified;
  }
  line += "written" + (backup.empty() ? "" : ", read back into " + backup) + "; " + report.verdict;
  for (const std::string& difference : report.differences) line += "\n  " + difference;
  return back.end == chanset::VerifyEnd::Verified ? Outcome::Succeeded : Outcome::Differs;
}

// A radio read completely: its file, and its backup.
Outcome ConsoleObserver::Read(const PortTarget& t, const chanset::FleetResult& r, std::string& line) {
  std::string file = FleetFileOf(run_.folder, t), error;
  std::string backup = BackupOf(r.image, t);
  if (chanset::StoreDatFile(file, r.image, &error) == chanset::DatError::None) {
    line += "read into " + file + (backup.empty() ? "" : "; backup: " + backup);
    return Outcome::Succeeded;
  }
  line += "failed: cannot write " + file + ": " + error + (backup.empty() ? "" : "; kept in " + backup);
  return Outcome::Failed;
}

void ConsoleObserver::Ended(std::size_t port, const chanset::FleetResult& r) {
  const PortTarget& t = run_.ports[port];
  const bool write = run_.direction == chanset::TransferDirection::Write;
  std::string line = Named(t) + ": ";
  Outcome& outcome = outcomes_[port];
  if (r.transfer.ok()) {
    outcome = write ? Written(t, r, line) : Read(t, r, line);
  } else if (r.transfer.end == chanset::TransferEnd::Cancelled || Interrupted()) {
    outcome = Outcome::Cancelled;
    line += "cancelled";
  } else {
    // The Retry question's answer shows no message of its own: name it here.
    line += "failed: " + (messages_[port].empty() ? std::string(MessageText(r.transfer.message, run_.options.chinese))
                                                  : messages_[port]);
    if (!notes_[port].empty()) line += "; " + notes_[port];
  }
  console_.Result(port, line);
  if (write) {
    const std::string warning =
        LogWrite(t.path, run_.document, run_.image, r.transfer, r.back ? &*r.back : nullptr, run_.names);
    if (!warning.empty()) console_.Warning(t.label + ": " + warning);
  }
  if (traces_[port] && !TraceLossText(*traces_[port]).empty())
    console_.Warning(t.label + ": " + TraceLossText(*traces_[port]));
}

std::string Join(const std::vector<PortTarget>& ports, const ConsoleObserver& observer, Outcome outcome) {
  std::string text;
  for (std::size_t i = 0; i < ports.size(); ++i)
    if (observer.OutcomeOf(i) == outcome) text += (text.empty() ? "" : ", ") + ports[i].label;
  return text;
}

}  // namespace

std::string FleetFileOf(const std::string& folder, const PortTarget& port) { return folder + "/" + port.stem + ".dat"; }

int RunFleet(const std::vector<PortTarget>& ports, chanset::TransferDirection direction, const chanset::Image& image,
             const std::string& folder, const TransferOptions& options, const chanset::CSettingsFile* names,
             const std::string& document) {
  const bool read = direction == chanset::TransferDirection::Read;
  const bool verify = !read && options.verify;
  std::vector<std::unique_ptr<chanset::TraceSink>> traces(ports.size());
  std::vector<const chanset::TraceSink*> traced;
  std::vector<chanset::FleetPort> fleetPorts;
  for (std::size_t i = 0; i < ports.size(); ++i) {
    if (!options.tracePath.empty()) {
      traces[i] = std::make_unique<chanset::TraceSink>();
      if (!OpenTrace(TraceFileOf(options, ports.size(), ports[i]), *traces[i])) return 1;
    }
    fleetPorts.push_back({ports[i].path, traces[i].get()});
    traced.push_back(traces[i].get());
  }

  Console console(read ? "Reading" : "Writing", ports.size(), chanset::kTransferRows * (verify ? 2 : 1),
                  options.quiet);
  const FleetRun run{ports, direction, image, folder, document, options, names};
  ConsoleObserver observer(console, run, traced);
  chanset::FleetJob job;
  job.direction = direction;
  job.image = image;
  job.verify = verify;
  CatchInterrupt();
  job.stopAll = InterruptSignal();  // Ctrl-C, SIGTERM and SIGHUP stop every radio at once
  {
    chanset::RadioFleet fleet(std::move(fleetPorts), job, observer);
    fleet.Start();
    fleet.Wait();
  }
  console.Finish();
  ReleaseInterrupt();

  auto count = [&](Outcome outcome) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < ports.size(); ++i) n += observer.OutcomeOf(i) == outcome ? 1 : 0;
    return n;
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
    if (std::string which = Join(ports, observer, outcome); !which.empty())
      summary += std::string("; ") + word + ": " + which;
  PrintLine(stdout, summary);
  if (Interrupted()) return ReportStopped(options.chinese);
  if (count(Outcome::Failed) + count(Outcome::Cancelled) > 0) return 1;
  if (count(Outcome::Differs) > 0) return kExitVerifyDiffers;
  if (count(Outcome::NotVerified) > 0) return kExitNotVerified;
  return 0;
}

}  // namespace cli

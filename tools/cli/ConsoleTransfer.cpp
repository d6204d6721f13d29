#include "tools/cli/ConsoleTransfer.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <unistd.h>

#include "link/CancelSignal.h"
#include "link/PortErrorText.h"
#include "link/PortNames.h"
#include "link/SerialPort.h"
#include "link/TraceSink.h"
#include "platform/PackStrings.h"
#include "platform/ResourceIds.h"
#include "platform/TerminalText.h"
#include "tools/cli/CliCommand.h"

namespace cli {

namespace {

volatile sig_atomic_t g_signal = 0;  // the first stop signal that came
chanset::CancelSignal* g_cancel = nullptr;
constexpr std::array<int, 3> kStopSignals = {SIGINT, SIGTERM, SIGHUP};
struct sigaction g_before[3];  // their handling before CatchInterrupt()

void OnStopSignal(int sig) {
  if (g_signal == 0) g_signal = sig;
  if (g_cancel) g_cancel->Request();
}

// "COMn" for a COM word (any case, with or without "\\.\"), else the last
// part of the path; characters a file name should not have become '_'.
std::string StemOf(const std::string& label) {
  std::string word = label.compare(0, 4, "\\\\.\\") == 0 ? label.substr(4) : label;
  std::string stem;
  if (chanset::IsComWord(word)) {
    stem = "COM" + word.substr(3);
  } else {
    std::size_t slash = word.find_last_of('/');
    stem = slash == std::string::npos ? word : word.substr(slash + 1);
  }
  for (char& c : stem)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-' && c != '_') c = '_';
  return stem.empty() || stem[0] == '.' ? "port" + stem : stem;
}

std::string SameDeviceKey(const std::string& path) {
  char buf[PATH_MAX];
  return realpath(path.c_str(), buf) ? std::string(buf) : path;
}

class ConsoleHost : public chanset::TransferHost {
 public:
  ConsoleHost(const char* verb, const PortTarget& port, const TransferOptions& options)
      : verb_(verb), path_(port.path), chinese_(options.chinese), bar_(!options.quiet && isatty(STDERR_FILENO) == 1),
        start_(std::chrono::steady_clock::now()) {
    if (bar_) Progress(0);
  }

  bool Poll() override { return Interrupted(); }

  bool AskRetry() override {
    EndBar();
    PrintLine(stderr, std::string("chanset-cli: ") + MessageText(chanset::kMsgCommunicationError, chinese_));
    if (isatty(STDIN_FILENO) != 1) {
      PrintLine(stderr, "chanset-cli: no terminal to answer Retry or Cancel: cancelled");
      return false;
    }
    return AskRetryOnTerminal("Retry or Cancel? [r/c] ");
  }

  void Progress(int rows) override {
    if (!bar_) return;
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start_;
    std::fprintf(stderr, "\r%s", ProgressLine(verb_, rows, took.count()).c_str());
    drawn_ = true;
    if (rows == chanset::kTransferRows) EndBar();
    std::fflush(stderr);
  }

  // The message, and under it what to do about the port, as the window
  // shows them.
  void Message(int id, const chanset::SystemError& reason) override {
    EndBar();
    PrintLine(stderr, std::string("chanset-cli: ") + MessageText(id, chinese_));
    const std::string why = ReasonText(reason, path_, chinese_);
    if (!why.empty()) PrintLine(stderr, "chanset-cli: " + why);
  }

  void Sleep(int ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

  void EndBar() {
    if (drawn_) std::fputc('\n', stderr);
    drawn_ = false;
  }

 private:
  const char* verb_;
  std::string path_;
  bool chinese_;
  bool bar_;
  bool drawn_ = false;
  std::chrono::steady_clock::time_point start_;
};

}  // namespace

const char* MessageText(int id, bool chinese) { return chanset::PackString(id, chinese); }

std::string ReasonText(const chanset::SystemError& reason, const std::string& path, bool chinese) {
  if (reason.code == 0) return std::string();
  const std::string detail = chanset::PortErrorDetail(reason, path, chinese);
  return detail.empty() ? reason.text : detail;
}

std::string MessageWithReason(int id, const chanset::SystemError& reason, const std::string& path, bool chinese) {
  std::string text = MessageText(id, chinese);
  const std::string why = ReasonText(reason, path, chinese);
  return why.empty() ? text : text + " (" + why + ")";
}

std::string ProgressLine(const char* verb, int rows, double seconds) {
  constexpr int kWidth = 31;
  int filled = rows * kWidth / chanset::kTransferRows;
  char line[128];
  std::snprintf(line, sizeof line, "%s [%s%s] %2d/%d rows %5.1f s", verb,
                std::string(static_cast<std::size_t>(filled), '#').c_str(),
                std::string(static_cast<std::size_t>(kWidth - filled), '.').c_str(), rows, chanset::kTransferRows,
                seconds);
  return line;
}

bool ParseTransferArgs(std::vector<std::string> args, const char* verb, std::vector<PortTarget>& ports,
                       std::string& file, TransferOptions& options, std::string& error) {
  const std::string v = verb;
  const char* fileWord = v == "read" ? "OUT.dat|DIR" : "IN.dat";
  std::string value;
  std::vector<std::string> labels;
  while (TakeOption(args, "--port", value, error)) labels.push_back(value);
  if (!error.empty()) return false;
  if (labels.empty()) {
    error = v + " needs --port COMn|PATH";
    return false;
  }
  if (!TakeOption(args, "--trace", options.tracePath, error) && !error.empty()) return false;
  // "--trace -" is standard error, where the messages go.
  if (options.tracePath == "-") options.tracePath = "/dev/stderr";
  options.quiet = TakeFlag(args, "--quiet");
  // A trace on the terminal would be torn by the progress line.
  if (chanset::StreamDescriptor(options.tracePath) == STDERR_FILENO) options.quiet = true;
  options.backup = !TakeFlag(args, "--no-backup");
  if (!TakeLanguage(args, options.chinese, error)) return false;
  options.verify = TakeFlag(args, "--verify");
  if (options.verify && v != "write") {
    error = "--verify belongs to write: it reads the radio back after writing it";
    return false;
  }
  if (!Operands(args) || args.size() != 1) {
    error = "usage: " + v + " --port COMn|PATH [--port ...] [--trace FILE] [--quiet] [--no-backup] [--lang en|zh]" +
            (v == "write" ? " [--verify] " : " ") + fileWord;
    return false;
  }
  file = args[0];
  for (const std::string& label : labels) {
    PortTarget t{label, chanset::ResolvePortArgument(label), StemOf(label)};
    if (t.path.empty()) {
      error = "there is no port " + label + ": ports run from COM1 to COM16";
      return false;
    }
    for (const PortTarget& other : ports) {
      if (SameDeviceKey(other.path) == SameDeviceKey(t.path)) {
        error = other.label == label ? "the port " + label + " is given twice"
                                     : other.label + " and " + label + " are the same device";
        return false;
      }
    }
    // Two ports may end in the same name (two by-path folders): number them.
    std::string stem = t.stem;
    for (int n = 2;
         std::any_of(ports.begin(), ports.end(), [&](const PortTarget& p) { return p.stem == t.stem; }); ++n)
      t.stem = stem + "-" + std::to_string(n);
    ports.push_back(t);
  }
  return true;
}

void CatchInterrupt() {
  static chanset::CancelSignal cancel;  // made before the handler can use it
  g_cancel = &cancel;
  // Every port wait ends at once and the ports are released properly. No
  // SA_RESTART, so a question waiting for a typed answer ends too. A second
  // Ctrl-C ends the program at once; a second SIGTERM or SIGHUP (a closed
  // terminal may send both the kernel's and the shell's) changes nothing.
  // A signal the caller ignores (nohup) stays ignored.
  for (std::size_t i = 0; i < kStopSignals.size(); ++i) {
    struct sigaction sa {};
    sa.sa_handler = OnStopSignal;
    sa.sa_flags = kStopSignals[i] == SIGINT ? SA_RESETHAND : 0;
    sigemptyset(&sa.sa_mask);
    sigaction(kStopSignals[i], nullptr, &g_before[i]);
    if (g_before[i].sa_handler != SIG_IGN) sigaction(kStopSignals[i], &sa, nullptr);
  }
}

void ReleaseInterrupt() {
  for (std::size_t i = 0; i < kStopSignals.size(); ++i) sigaction(kStopSignals[i], &g_before[i], nullptr);
}

bool Interrupted() { return g_signal != 0; }

int ReportStopped(bool chinese) {
  const int sig = g_signal;
  if (sig == SIGINT) {
    PrintLine(stderr, "chanset-cli: cancelled");
  } else {
    PrintLine(stderr, "chanset-cli: " + chanset::FillText(chanset::PackString(ids::kStoppedBySignal, chinese),
                                                          {chanset::SignalName(sig)}));
  }
  return 128 + sig;
}

bool AskRetryOnTerminal(const std::string& prompt) {
  // The prompt may name a port as the user gave it: every line of it is
  // written out safely, the last one left open for the answer.
  std::string shown;
  for (std::size_t at = 0; at <= prompt.size();) {
    std::size_t end = prompt.find('\n', at);
    if (end == std::string::npos) end = prompt.size();
    shown += chanset::TerminalText(prompt.substr(at, end - at)) + (end < prompt.size() ? "\n" : "");
    at = end + 1;
  }
  for (;;) {
    std::fwrite(shown.data(), 1, shown.size(), stderr);
    std::fflush(stderr);
    char line[64];
    // Ctrl-C interrupts the read: the answer is Cancel.
    if (Interrupted() || !std::fgets(line, sizeof line, stdin)) return false;
    if (line[0] == 'r' || line[0] == 'R') return true;
    if (line[0] == 'c' || line[0] == 'C') return false;
  }
}

chanset::CancelSignal* InterruptSignal() { return g_cancel; }

bool OpenTrace(const std::string& path, chanset::TraceSink& sink) {
  std::string error;
  if (sink.Open(path, &error)) return true;
  Fail("cannot write the trace " + error);
  return false;
}

std::string TraceFileOf(const TransferOptions& options, std::size_t portCount, const PortTarget& port) {
  return portCount > 1 ? options.tracePath + "." + port.stem : options.tracePath;
}

bool CheckTrace(const std::vector<PortTarget>& ports, std::vector<std::string> files, const TransferOptions& options) {
  if (options.tracePath.empty()) return true;
  if (ports.size() > 1 && chanset::LooksLikeStream(options.tracePath)) {
    Fail("--trace " + options.tracePath + " takes one port: with several, each port's trace goes to FILE.<port>");
    return false;
  }
  files.push_back(SettingsPathForCommand());
  std::vector<std::string> devices;
  for (const PortTarget& p : ports) devices.push_back(p.path);
  for (const PortTarget& p : ports) {
    const std::string clash = chanset::TraceClash(TraceFileOf(options, ports.size(), p), files, devices);
    if (!clash.empty()) {
      Fail(clash + "; nothing was done");
      return false;
    }
  }
  return true;
}

std::string TraceLossText(const chanset::TraceSink& sink) {
  if (sink.LinesLost() == 0) return std::string();
  return "the trace " + sink.Path() + " stopped (" + sink.Failure() + "): " + std::to_string(sink.LinesLost()) +
         " lines were not written";
}

void WarnTraceLoss(const chanset::TraceSink& sink) {
  const std::string text = TraceLossText(sink);
  if (!text.empty()) PrintLine(stderr, "chanset-cli: warning: " + text);
}

chanset::TransferResult RunConsoleTransfer(const PortTarget& target, chanset::TransferDirection direction,
                                           chanset::Image& image, const TransferOptions& options,
                                           chanset::TraceSink* trace) {
  chanset::SerialPort port;
  port.SetCancel(InterruptSignal());
  ConsoleHost host(direction == chanset::TransferDirection::Read ? "Reading" : "Writing", target, options);
  chanset::TransferResult result = chanset::RunTracedTransfer(port, host, trace, target.path, direction, image);
  host.EndBar();
  return result;
}

chanset::ReadBackResult RunConsoleReadBack(const PortTarget& target, const chanset::Image& sent,
                                           const TransferOptions& options, chanset::TraceSink* trace) {
  chanset::SerialPort port;
  port.SetCancel(InterruptSignal());
  ConsoleHost host("Verifying", target, options);
  chanset::ReadBackResult result = chanset::ReadBackWritten(port, host, trace, target.path, sent);
  host.EndBar();
  return result;
}

}  // namespace cli

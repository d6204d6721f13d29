#include "tools/cli/ConsoleTransfer.h"

#include <algorithm>
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
#include "link/PortNames.h"
#include "link/SerialPort.h"
#include "link/TraceSink.h"
#include "platform/TerminalText.h"
#include "tools/cli/CliCommand.h"

namespace cli {

namespace {

volatile sig_atomic_t g_interrupted = 0;
chanset::CancelSignal* g_cancel = nullptr;

void OnInterrupt(int) {
  g_interrupted = 1;
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
  ConsoleHost(const char* verb, bool quiet)
      : verb_(verb), bar_(!quiet && isatty(STDERR_FILENO) == 1), start_(std::chrono::steady_clock::now()) {
    if (bar_) Progress(0);
  }

  bool Poll() override { return Interrupted(); }

  bool AskRetry() override {
    EndBar();
    PrintLine(stderr, std::string("chanset-cli: ") + MessageText(chanset::kMsgCommunicationError));
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

  void Message(int id, const chanset::SystemError& reason) override {
    EndBar();
    PrintLine(stderr, std::string("chanset-cli: ") + MessageText(id));
    if (reason.code != 0) {
      std::string hint = chanset::PortErrorHint(reason.code);
      PrintLine(stderr, "chanset-cli: " + reason.text + (hint.empty() ? "" : " - " + hint));
    }
  }

  void Sleep(int ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

  void EndBar() {
    if (drawn_) std::fputc('\n', stderr);
    drawn_ = false;
  }

 private:
  const char* verb_;
  bool bar_;
  bool drawn_ = false;
  std::chrono::steady_clock::time_point start_;
};

}  // namespace

const char* MessageText(int id) {
  switch (id) {
    case chanset::kMsgCommunicationError:
      return "Communication Error,Please check all the connections and the radio power";
    case chanset::kMsgOpenFailed:
      return "Could not Open the Port,Please check whether the Port are occupied or the device are ok";
    case chanset::kMsgProgramInterrupt:
      return "Program Interrupt, Please reset the radio and try again";
    default:
      return "";
  }
}

std::string MessageWithReason(int id, const chanset::SystemError& reason) {
  std::string text = MessageText(id);
  if (reason.code != 0) {
    std::string hint = chanset::PortErrorHint(reason.code);
    text += " (" + reason.text + (hint.empty() ? "" : " - " + hint) + ")";
  }
  return text;
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
  // Ctrl-C cancels: every port wait ends at once and the ports are released
  // properly. No SA_RESTART, so a question waiting for a typed answer ends
  // too. A second Ctrl-C ends the program at once.
  struct sigaction sa {};
  sa.sa_handler = OnInterrupt;
  sa.sa_flags = SA_RESETHAND;
  sigemptyset(&sa.sa_mask);
  sigaction(SIGINT, &sa, nullptr);
}

void ReleaseInterrupt() { signal(SIGINT, SIG_DFL); }

bool Interrupted() { return g_interrupted != 0; }

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
  ConsoleHost host(direction == chanset::TransferDirection::Read ? "Reading" : "Writing", options.quiet);
  chanset::TransferResult result = chanset::RunTracedTransfer(port, host, trace, target.path, direction, image);
  host.EndBar();
  if (result.end == chanset::TransferEnd::Cancelled) PrintLine(stderr, "chanset-cli: cancelled");
  return result;
}

chanset::ReadBackResult RunConsoleReadBack(const PortTarget& target, const chanset::Image& sent,
                                           const TransferOptions& options, chanset::TraceSink* trace) {
  chanset::SerialPort port;
  port.SetCancel(InterruptSignal());
  ConsoleHost host("Verifying", options.quiet);
  chanset::ReadBackResult result = chanset::ReadBackWritten(port, host, trace, target.path, sent);
  host.EndBar();
  return result;
}

}  // namespace cli

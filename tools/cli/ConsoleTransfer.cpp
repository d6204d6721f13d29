#include "tools/cli/ConsoleTransfer.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>
#include <thread>
#include <unistd.h>

#include "link/SerialPort.h"

namespace cli {

namespace {

volatile sig_atomic_t g_interrupted = 0;

void OnInterrupt(int) { g_interrupted = 1; }

class ConsoleHost : public chanset::TransferHost {
 public:
  explicit ConsoleHost(const char* verb) : verb_(verb), bar_(isatty(STDERR_FILENO) == 1) {}

  bool Poll() override { return g_interrupted != 0; }

  bool AskRetry() override {
    EndBar();
    std::fprintf(stderr, "chanset-cli: %s\n", MessageText(chanset::kMsgCommunicationError));
    if (isatty(STDIN_FILENO) != 1) {
      std::fprintf(stderr, "chanset-cli: no terminal to answer Retry or Cancel: cancelled\n");
      return false;
    }
    for (;;) {
      std::fprintf(stderr, "Retry or Cancel? [r/c] ");
      std::fflush(stderr);
      char line[64];
      if (!std::fgets(line, sizeof line, stdin)) return false;
      if (line[0] == 'r' || line[0] == 'R') return true;
      if (line[0] == 'c' || line[0] == 'C') return false;
    }
  }

  void Progress(int rows) override {
    if (!bar_) return;
    constexpr int kWidth = 31;
    int filled = rows * kWidth / chanset::kTransferRows;
    std::fprintf(stderr, "\r%s [%s%s] %2d/%d", verb_, std::string(static_cast<std::size_t>(filled), '#').c_str(),
                 std::string(static_cast<std::size_t>(kWidth - filled), '.').c_str(), rows, chanset::kTransferRows);
    drawn_ = true;
    if (rows == chanset::kTransferRows) EndBar();
    std::fflush(stderr);
  }

  void Message(int id, const chanset::SystemError& reason) override {
    EndBar();
    std::fprintf(stderr, "chanset-cli: %s\n", MessageText(id));
    if (reason.code != 0) {
      std::string hint = chanset::PortErrorHint(reason.code);
      std::fprintf(stderr, "chanset-cli: %s%s%s\n", reason.text.c_str(), hint.empty() ? "" : " - ", hint.c_str());
    }
  }

  void Sleep(int ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

 private:
  void EndBar() {
    if (drawn_) std::fputc('\n', stderr);
    drawn_ = false;
  }

  const char* verb_;
  bool bar_;
  bool drawn_ = false;
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

chanset::TransferResult RunConsoleTransfer(const std::string& portPath, chanset::TransferDirection direction,
                                           chanset::Image& image) {
  // Ctrl-C cancels at the transfer's next poll, so the port is released
  // properly; a second Ctrl-C ends the program at once.
  struct sigaction sa {};
  sa.sa_handler = OnInterrupt;
  sa.sa_flags = SA_RESETHAND;
  sigemptyset(&sa.sa_mask);
  sigaction(SIGINT, &sa, nullptr);

  chanset::SerialPort port;
  ConsoleHost host(direction == chanset::TransferDirection::Read ? "Reading" : "Writing");
  chanset::TransferResult result = chanset::RunTransfer(port, host, portPath, direction, image);
  signal(SIGINT, SIG_DFL);
  if (result.end == chanset::TransferEnd::Cancelled) std::fprintf(stderr, "chanset-cli: cancelled\n");
  return result;
}

}  // namespace cli

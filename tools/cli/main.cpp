// chanset-cli: the scripting interface to radio images, files and the radio.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "platform/TerminalText.h"
#include "platform/Version.h"
#include "tools/cli/CliCommand.h"
#include "tools/cli/ConsoleTransfer.h"

namespace cli {

static std::string g_iniPath;

const std::string& IniPath() { return g_iniPath; }

int Fail(const std::string& message) {
  PrintLine(stderr, "chanset-cli: " + message);
  return 1;
}

void PrintLine(std::FILE* stream, const std::string& text) {
  const std::string line = chanset::TerminalText(text) + "\n";
  std::fwrite(line.data(), 1, line.size(), stream);
}

void PrintLines(std::FILE* stream, const std::string& text) {
  std::string lines;
  for (std::size_t at = 0; at <= text.size();) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    lines += chanset::TerminalText(text.substr(at, end - at)) + "\n";
    at = end + 1;
  }
  std::fwrite(lines.data(), 1, lines.size(), stream);
}

namespace {

// The words before "--" (all of them when there is none).
std::size_t OptionsEnd(const Args& args) {
  for (std::size_t i = 0; i < args.size(); ++i)
    if (args[i] == "--") return i;
  return args.size();
}

}  // namespace

bool TakeOption(Args& args, const std::string& name, std::string& value, std::string& error) {
  const std::size_t end = OptionsEnd(args);
  for (std::size_t i = 0; i < end; ++i) {
    if (args[i] != name) continue;
    if (i + 1 >= end) {
      error = name + " needs a value";
      return false;
    }
    value = args[i + 1];
    args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
    return true;
  }
  return false;
}

bool TakeFlag(Args& args, const std::string& name) {
  const std::size_t end = OptionsEnd(args);
  for (std::size_t i = 0; i < end; ++i) {
    if (args[i] == name) {
      args.erase(args.begin() + static_cast<long>(i));
      return true;
    }
  }
  return false;
}

bool Operands(Args& args) {
  const std::size_t end = OptionsEnd(args);
  for (std::size_t i = 0; i < end; ++i)
    if (args[i].size() > 1 && args[i][0] == '-') return false;
  if (end < args.size()) args.erase(args.begin() + static_cast<long>(end));
  return true;
}

// A command's standard output and error must have reached their files:
// a full disk or a closed pipe is an error, never a silent success.
static int FinishOutput(int status) {
  const bool flushed = std::fflush(stdout) == 0;
  const int err = errno;
  if (!flushed || std::ferror(stdout)) {
    Fail(std::string("cannot write to standard output") + (flushed ? "" : std::string(": ") + std::strerror(err)));
    return status == 0 ? 1 : status;
  }
  if (std::ferror(stderr) && status == 0) return 1;
  return status;
}

// The help, laid out as help2man reads it: the manual page chanset-cli(1)
// is made from it, so every option and exit status shown here is in the
// manual too.
static void PrintUsage(std::FILE* out) {
  std::fputs(
      "Usage: chanset-cli [--ini FILE] COMMAND [ARGS]\n"
      "  or:  chanset-cli --version | --help\n"
      "Makes, reads, compares and converts the configuration files (.dat) of a hand-held\n"
      "two-way FM radio, and copies them to and from radios over the serial programming cable.\n"
      "\n"
      "Commands:\n",
      out);
  // Each summary under its command, indented 20 columns (as help2man takes
  // it for the command's own paragraph) and wrapped at 80.
  for (const Command& c : Commands()) {
    std::fprintf(out, "  %s %s\n", c.name, c.usage);
    std::string line, word;
    std::istringstream words(c.summary);
    while (words >> word) {
      if (!line.empty() && 20 + line.size() + 1 + word.size() > 80) {
        std::fprintf(out, "%20s%s\n", "", line.c_str());
        line.clear();
      }
      line += (line.empty() ? "" : " ") + word;
    }
    std::fprintf(out, "%20s%s\n", "", line.c_str());
  }
  std::fputs(
      "\n"
      "--port takes COMn (or \\\\.\\COMn), which leads to a device as in chanset, or a device path.\n"
      "A file may be - : standard input when read, standard output when written (standard error\n"
      "for --trace). -- ends the options. See chanset-cli(1), PATHS.\n"
      "\n"
      "Options:\n"
      "  --ini FILE   take the radio types and bands, and the AppName that names the port\n"
      "               map, from FILE instead of the Chanset.ini that chanset reads\n"
      "  -h, --help   print this help and exit\n"
      "  --version    print the version and exit\n"
      "\n"
      "Exit status:\n",
      out);
  struct ExitStatus {
    int status;
    const char* meaning;
  };
  static const ExitStatus kStatuses[] = {
      {0, "success; diff: the files hold the same data"},
      {1, "the command failed, and the message says why; diff: the files differ"},
      {2, "a usage error; diff: a file cannot be read or is no configuration file"},
      {3, "import --partial: some rows were refused; write --verify: written but not verified"},
      {kExitVerifyDiffers, "write --verify: a radio holds other data than was written"},
      {128 + SIGHUP, "SIGHUP stopped a transfer"},
      {128 + SIGINT, "Ctrl-C (SIGINT) stopped a transfer"},
      {128 + SIGTERM, "SIGTERM stopped a transfer"},
  };
  for (const ExitStatus& e : kStatuses) std::fprintf(out, "  %-4d %s\n", e.status, e.meaning);
}

}  // namespace cli

int main(int argc, char** argv) {
  // A closed pipe is a write error to report, not the end of the program.
  std::signal(SIGPIPE, SIG_IGN);
  cli::Args args(argv + 1, argv + argc);
  std::string error;
  // A usage error exits 2, as an unknown command does (diff keeps 1 for "different").
  if (!cli::TakeOption(args, "--ini", cli::g_iniPath, error) && !error.empty()) {
    cli::Fail(error);
    return 2;
  }
  if (args.empty()) {
    cli::PrintUsage(stderr);
    return 2;
  }
  std::string name = args.front();
  args.erase(args.begin());
  if (name == "--version") {
    std::printf("chanset-cli %s\n", chanset::kVersion);
    return cli::FinishOutput(0);
  }
  if (name == "--help" || name == "-h" || name == "help") {
    cli::PrintUsage(stdout);
    return cli::FinishOutput(0);
  }
  for (const cli::Command& c : cli::Commands()) {
    if (name == c.name) return cli::FinishOutput(c.run(args));
  }
  cli::Fail("unknown command '" + name + "'");
  cli::PrintUsage(stderr);
  return 2;
}

// chanset-cli: the scripting interface to radio images, files and the radio.
#include <cstdio>
#include <iostream>

#include "platform/Version.h"
#include "tools/cli/CliCommand.h"

namespace cli {

static std::string g_iniPath;

const std::string& IniPath() { return g_iniPath; }

int Fail(const std::string& message) {
  std::cerr << "chanset-cli: " + message + "\n";  // one write
  return 1;
}

bool TakeOption(Args& args, const std::string& name, std::string& value, std::string& error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] != name) continue;
    if (i + 1 >= args.size()) {
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
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == name) {
      args.erase(args.begin() + static_cast<long>(i));
      return true;
    }
  }
  return false;
}

static void PrintUsage(std::FILE* out) {
  std::fprintf(out, "usage: chanset-cli [--ini FILE] COMMAND [ARGS]\n       chanset-cli --version | --help\n\ncommands:\n");
  for (const Command& c : Commands())
    std::fprintf(out, "  %s %s\n      %s\n", c.name, c.usage, c.summary);
}

}  // namespace cli

int main(int argc, char** argv) {
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
    return 0;
  }
  if (name == "--help" || name == "-h" || name == "help") {
    cli::PrintUsage(stdout);
    return 0;
  }
  for (const cli::Command& c : cli::Commands()) {
    if (name == c.name) return c.run(args);
  }
  std::fprintf(stderr, "chanset-cli: unknown command '%s'\n", name.c_str());
  cli::PrintUsage(stderr);
  return 2;
}

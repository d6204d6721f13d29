#include "tools/cli/CliCommand.h"

namespace cli {

// Each command lives in its own cmd_*.cpp file.
int RunDump(const Args& args);
int RunNew(const Args& args);

const std::vector<Command>& Commands() {
  static const std::vector<Command> commands = {
      {"new", "OUT.dat", "write a new configuration file (empty channels, type 0, band 0)", RunNew},
      {"dump", "FILE.dat [--lang en|zh]", "print the 16 channels as CSV", RunDump},
  };
  return commands;
}

}  // namespace cli

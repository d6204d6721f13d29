#include "tools/cli/CliCommand.h"

namespace cli {

// Each command lives in its own cmd_*.cpp file.

const std::vector<Command>& Commands() {
  static const std::vector<Command> commands = {
  };
  return commands;
}

}  // namespace cli

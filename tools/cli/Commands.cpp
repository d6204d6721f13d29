#include "tools/cli/CliCommand.h"

namespace cli {

// Each command lives in its own cmd_*.cpp file.
int RunRead(const Args& args);
int RunWrite(const Args& args);

const std::vector<Command>& Commands() {
  static const std::vector<Command> commands = {
      {"read", "--port COMn|PATH OUT.dat", "read the radio into OUT.dat (rows 62..63 from a new image)", RunRead},
      {"write", "--port COMn|PATH IN.dat", "write rows 0..61 of IN.dat to the radio", RunWrite},
  };
  return commands;
}

}  // namespace cli

#include "tools/cli/CliCommand.h"

namespace cli {

// Each command lives in its own cmd_*.cpp file.
int RunDump(const Args& args);
int RunNew(const Args& args);
int RunImportCsv(const Args& args);
int RunRead(const Args& args);
int RunWrite(const Args& args);
int RunPorts(const Args& args);

const std::vector<Command>& Commands() {
  static const std::vector<Command> commands = {
      {"new", "OUT.dat", "write a new configuration file (empty channels, type 0, band 0)", RunNew},
      {"dump", "FILE.dat [--lang en|zh]", "print the 16 channels as CSV", RunDump},
      {"import-csv", "IN.csv BASE.dat OUT.dat",
       "BASE.dat with its channels replaced from a CSV table shaped as dump prints it,"
       " every cell checked against BASE's band; stored as OUT.dat",
       RunImportCsv},
      {"read", "--port COMn|PATH [--trace FILE] [--quiet] OUT.dat",
       "read the radio into OUT.dat (rows 62..63 from a new image); with several --port, every radio at once,"
       " each into DIR/<port>.dat",
       RunRead},
      {"write", "--port COMn|PATH [--port ...] [--trace FILE] [--quiet] IN.dat",
       "write rows 0..61 of IN.dat to the radio; with several --port, to every radio at once."
       " --trace logs every byte, discard and pause; Ctrl-C cancels at once (exit 130)",
       RunWrite},
      {"ports", "[--sysfs DIR] [--dev DIR] [--proc DIR]",
       "list the serial devices: by-id name, USB maker and product, the COMn mapped to each,"
       " and whether it can be opened now",
       RunPorts},
  };
  return commands;
}

}  // namespace cli

#include "tools/cli/CliCommand.h"

namespace cli {

// Each command lives in its own cmd_*.cpp file.
int RunDump(const Args& args);
int RunDiff(const Args& args);
int RunNew(const Args& args);
int RunImportCsv(const Args& args);
int RunExport(const Args& args);
int RunImport(const Args& args);
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
      {"diff", "A.dat B.dat [--lang en|zh]",
       "print what differs from A to B, one change per line (channel fields, options, type and"
       " band by name, other bytes by address); exit 0 when equal, 1 when different, 2 on error",
       RunDiff},
      {"export", "FILE.dat OUT.csv [--format chanset|chirp] [--lang en|zh]",
       "write the channels as Chanset's CSV table (as dump prints it) or as CHIRP CSV (power in the"
       " watts of the radio type's Watts key in the settings file)",
       RunExport},
      {"import", "IN.csv BASE.dat OUT.dat [--format auto|chanset|chirp] [--renumber] [--partial]",
       "BASE.dat with the channels named by a Chanset or CHIRP CSV file replaced, every value checked"
       " against BASE's band; stored as OUT.dat. A refused row writes nothing (exit 1) unless"
       " --partial, which imports the other rows (exit 3); at most 20 refusals are listed."
       " --renumber puts the accepted rows on channels 1, 2, ... in file order",
       RunImport},
      {"read", "--port COMn|PATH [--trace FILE] [--quiet] [--no-backup] [--lang en|zh] OUT.dat",
       "read the radio into OUT.dat (rows 62..63 from a new image); with several --port, every radio at once,"
       " each into DIR/<port>.dat. Every radio read is also kept in the backups folder"
       " ($XDG_DATA_HOME/Chanset/backups) unless --no-backup",
       RunRead},
      {"write", "--port COMn|PATH [--port ...] [--trace FILE] [--quiet] [--verify] [--no-backup] [--lang en|zh] IN.dat",
       "write rows 0..61 of IN.dat to the radio; with several --port, to every radio at once."
       " --verify reads each radio back and compares: exit 4 and the differences (as diff prints them) when"
       " it holds other data, exit 3 when the read-back failed (written but not verified); the read-back is"
       " kept as a backup. --trace logs every byte, discard and pause; Ctrl-C, SIGTERM and SIGHUP cancel at"
       " once and put the port back as it was found (exit 128 + the signal: 130, 143, 129)",
       RunWrite},
      {"ports", "[--sysfs DIR] [--dev DIR] [--proc DIR]",
       "list the serial devices: by-id name, USB maker and product, the COMn mapped to each,"
       " and whether it can be opened now",
       RunPorts},
  };
  return commands;
}

}  // namespace cli

// chanset-cli dump FILE.dat [--lang en|zh]
// Prints the 16 channels of a configuration file as CSV: the grid's column
// titles, then one row per channel with the texts the channel grid shows.
#include "editor/ChansetCsv.h"
#include "tools/cli/CliCommand.h"

namespace cli {

int RunDump(const Args& arguments) {
  Args args = arguments;
  bool chinese = false;
  if (!TakeLanguage(args, chinese)) return 1;
  if (!Operands(args) || args.size() != 1)
    return Fail("usage: chanset-cli dump FILE.dat [--lang en|zh]");

  chanset::Image image{};
  if (!LoadForCommand(args[0], image, chinese)) return 1;

  // The table goes to standard output as it is, through the descriptor
  // the shell opened.
  return WriteOutput("-", chanset::WriteChansetCsv(image, chinese)) ? 0 : 1;
}

}  // namespace cli

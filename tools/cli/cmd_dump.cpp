// chanset-cli dump FILE.dat [--lang en|zh]
// Prints the 16 channels of a configuration file as CSV: the grid's column
// titles, then one row per channel with the texts the channel grid shows.
#include <iostream>

#include "editor/ChansetCsv.h"
#include "tools/cli/CliCommand.h"

namespace cli {

int RunDump(const Args& arguments) {
  Args args = arguments;
  bool chinese = false;
  if (!TakeLanguage(args, chinese)) return 1;
  if (args.size() != 1 || (args[0].size() > 1 && args[0][0] == '-'))
    return Fail("usage: chanset-cli dump FILE.dat [--lang en|zh]");

  chanset::Image image{};
  if (!LoadForCommand(args[0], image, chinese)) return 1;

  std::cout << chanset::WriteChansetCsv(image, chinese) << std::flush;
  if (!std::cout) return Fail("cannot write to standard output");
  return 0;
}

}  // namespace cli

// chanset-cli diff A.dat B.dat [--lang en|zh] [--ini FILE]
// Prints what differs between two configuration files, one change per line
// ("CH 3 Rx Frequency: 462.56250 -> 462.57500"). Exits as diff does: 0 when
// the files hold the same image, 1 when they differ, 2 on any error.
#include <cstdio>
#include <memory>

#include "data/ImageDiff.h"
#include "settings/CSettingsFile.h"
#include "tools/cli/CliCommand.h"

using namespace chanset;

namespace cli {

namespace {

constexpr int kTrouble = 2;

}  // namespace

int RunDiff(const Args& arguments) {
  Args args = arguments;
  bool chinese = false;
  if (!TakeLanguage(args, chinese)) return kTrouble;
  if (!Operands(args) || args.size() != 2) {
    Fail("usage: chanset-cli diff A.dat B.dat [--lang en|zh] [--ini FILE]");
    return kTrouble;
  }

  // The settings file names the radio types and bands; without one the
  // indexes are shown.
  bool ok = true;
  std::unique_ptr<CSettingsFile> settings = LoadNamesForCommand(ok);
  if (!ok) return kTrouble;

  Image a{}, b{};
  if (!LoadForCommand(args[0], a, chinese) || !LoadForCommand(args[1], b, chinese)) return kTrouble;

  const std::vector<std::string> lines = DiffImages(a, b, chinese, settings.get(), DiffRows::All);
  // Type and band names come from the settings file: written out safely.
  for (const std::string& line : lines) PrintLine(stdout, line);
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    Fail("cannot write to standard output");
    return kTrouble;
  }
  return lines.empty() ? 0 : 1;
}

}  // namespace cli

// chanset-cli log [--since DATE]
// Prints the write log ($XDG_DATA_HOME/Chanset/writes.csv) as it is kept:
// CSV, its header line first, then one line per write to a radio, oldest
// first; with --since only the writes at or after DATE. Control characters
// in a field (a file name is anybody's) are written out, never sent to the
// terminal.
#include <cerrno>
#include <cstdio>
#include <string>
#include <sys/stat.h>

#include "link/WriteLog.h"
#include "platform/FileInput.h"
#include "platform/TerminalText.h"
#include "tools/cli/CliCommand.h"

namespace cli {

int RunLog(const Args& arguments) {
  Args args = arguments;
  std::string sinceText, error;
  const bool hasSince = TakeOption(args, "--since", sinceText, error);
  if (!error.empty()) return Fail(error);
  if (!args.empty()) return Fail("usage: log [--since DATE]");
  std::time_t since = -1;
  if (hasSince && !chanset::ParseIsoTime(sinceText, since))
    return Fail("--since takes a date (YYYY-MM-DD) or a time (YYYY-MM-DDTHH:MM[:SS], with Z or +HH:MM for"
                " another zone than the local one), not '" + sinceText + "'");

  const std::string path = chanset::WriteLogPath();
  std::string text;
  struct stat st;
  if (stat(path.c_str(), &st) != 0 && errno == ENOENT) {
    std::fprintf(stderr, "chanset-cli: no write to a radio is recorded yet (the log is %s)\n", path.c_str());
  } else if (!chanset::ReadWholeFile(path, text, &error)) {
    return Fail("cannot read the write log " + path + ": " + error);
  }
  int unreadable = 0;
  std::string out = chanset::CsvLine(chanset::WriteLogColumns());
  for (chanset::CsvRecord row : chanset::WriteLogRows(text, since, &unreadable)) {
    for (std::string& field : row) field = chanset::TerminalText(field);
    out += chanset::CsvLine(row);
  }
  if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fflush(stdout) != 0)
    return Fail("cannot write to standard output");
  if (unreadable > 0)
    std::fprintf(stderr, "chanset-cli: warning: %d %s of %s cannot be read and %s left out\n", unreadable,
                 unreadable == 1 ? "line" : "lines", path.c_str(), unreadable == 1 ? "is" : "are");
  return 0;
}

}  // namespace cli

// chanset-cli import IN.csv BASE.dat OUT.dat [--format auto|chanset|chirp]
//                   [--renumber] [--partial] [--ini FILE]
// Replaces the channels named by the rows of a CSV file (Chanset's own table
// or CHIRP CSV) in BASE's image, every value checked against BASE's band,
// and stores the result as OUT.dat; the other channels keep their bytes.
// Exit status: 0 all rows imported; 1 nothing written (an error, or a
// refused row without --partial); 3 with --partial when rows were refused
// (the accepted ones are written).
#include <cstdio>

#include "editor/ChannelImport.h"
#include "editor/ChirpCsv.h"
#include "data/DatFile.h"
#include "settings/CSettingsFile.h"
#include "tools/cli/CliCommand.h"

using namespace chanset;

namespace cli {

int RunImport(const Args& arguments) {
  Args args = arguments;
  const char* usage =
      "usage: chanset-cli import IN.csv BASE.dat OUT.dat [--format auto|chanset|chirp] [--renumber] [--partial]";
  std::string formatText = "auto", error;
  if (!TakeOption(args, "--format", formatText, error) && !error.empty()) return Fail(error);
  ImportOptions options;
  if (!ParseCsvFormat(formatText, options.format))
    return Fail("--format takes auto, chanset or chirp, not '" + formatText + "'");
  options.renumber = TakeFlag(args, "--renumber");
  const bool partial = TakeFlag(args, "--partial");
  if (!Operands(args) || args.size() != 3) return Fail(usage);
  const std::string& csvPath = args[0];
  const std::string& basePath = args[1];
  const std::string& outPath = args[2];
  const std::string notWritten = "; " + outPath + " not written";
  if (SameFileWords(csvPath, outPath)) return Fail(outPath + " is the CSV file read" + notWritten);

  CSettingsFile settings;
  Image image{};
  std::string text;
  if (!LoadImportInputs(csvPath, basePath, settings, image, text)) return 1;

  options.bandText = BandText(settings, image);
  options.limits = DeriveBandLimits(options.bandText);
  options.watts = RadioWatts(settings, image);
  const ImportResult result = ImportChannels(text, options);
  if (!result.error.empty()) return Fail(csvPath + ": " + result.error + notWritten);
  if (result.RowCount() == 0) return Fail(csvPath + ": no channel rows" + notWritten);

  // The notes, and the refusals as a list of at most kListLines lines and
  // the count of the rest; each line is one write.
  auto print = [](const std::string& line) { PrintLine(stderr, line); };
  for (const std::string& note : result.notes) print(csvPath + ": note: " + note);
  std::size_t shown = 0;
  for (const ImportRow& row : result.rows) {
    for (const CellRefusal& refusal : row.refusals)
      if (shown++ < kListLines) print(csvPath + ": " + ImportRefusalText(refusal, false));
    if (row.Accepted())
      for (const std::string& note : row.notes)
        print(csvPath + ": line " + std::to_string(row.line) + ": note: " + note);
  }
  if (result.refusalCount > kListLines) print(csvPath + ": " + MoreLinesText(result.refusalCount - kListLines, false));
  const int refused = result.RefusedCount();
  if (refused > 0 && !partial)
    return Fail(std::to_string(refused) + " row(s) refused" + notWritten + " (--partial imports the others)");

  const int written = ApplyImport(result, image);
  if (!StoreForCommand(outPath, image)) return 1;
  if (refused > 0) {
    PrintLine(stderr, "chanset-cli: " + std::to_string(written) + " row(s) imported, " + std::to_string(refused) +
                          " refused");
    return 3;
  }
  return 0;
}

}  // namespace cli

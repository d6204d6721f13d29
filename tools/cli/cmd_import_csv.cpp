// chanset-cli import-csv IN.csv BASE.dat OUT.dat [--ini FILE]
// Replaces the channels of BASE's image with a table shaped as `dump` prints
// it, checking every cell against BASE's radio type and band first.
#include <cstdio>

#include "editor/ChansetCsv.h"
#include "data/DatFile.h"
#include "settings/CSettingsFile.h"
#include "tools/cli/CliCommand.h"

using namespace chanset;

namespace cli {

int RunImportCsv(const Args& arguments) {
  Args args = arguments;
  if (!Operands(args) || args.size() != 3)
    return Fail("usage: chanset-cli import-csv IN.csv BASE.dat OUT.dat [--ini FILE]");
  const std::string& csvPath = args[0];
  const std::string& basePath = args[1];
  const std::string& outPath = args[2];
  if (SameFileWords(csvPath, outPath)) return Fail(outPath + " is the CSV file read; " + outPath + " not written");

  CSettingsFile settings;
  Image image{};
  std::string text;
  if (!LoadImportInputs(csvPath, basePath, settings, image, text)) return 1;
  std::vector<CsvRecord> records;
  std::vector<int> lines;
  CsvError csvError;
  if (!ParseCsvLines(text, records, &lines, &csvError))
    return Fail(csvPath + ": line " + std::to_string(csvError.line) + ": " +
                CsvErrorText(csvError.kind) + "; " + outPath + " not written");

  std::string band = BandText(settings, image);
  BandLimits limits = DeriveBandLimits(band);
  ChannelTable table;
  std::vector<CellRefusal> errors = CheckChannelTable(records, lines, limits, band, table);
  if (!errors.empty()) {
    for (const CellRefusal& e : errors)
      PrintLine(stderr, csvPath + ": line " + std::to_string(e.row) + ", column " + std::to_string(e.column) +
                            ", \"" + e.text + "\": " + e.reason);
    return Fail(std::to_string(errors.size()) + " error(s); " + outPath + " not written");
  }

  EncodeChannelTable(table, image);
  return StoreForCommand(outPath, image) ? 0 : 1;
}

}  // namespace cli

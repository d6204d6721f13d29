// chanset-cli import-csv IN.csv BASE.dat OUT.dat [--ini FILE]
// Replaces the channels of BASE's image with a table shaped as `dump` prints
// it, checking every cell against BASE's radio type and band first.
#include <cstdio>

#include "editor/ChansetCsv.h"
#include "platform/ListLines.h"
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
  std::string band = BandText(settings, image);
  BandLimits limits = DeriveBandLimits(band);
  ChannelTable table;
  const TableCheck check = CheckChannelTable(text, limits, band, table);
  if (check.csvError.kind != CsvErrorKind::None)
    return Fail(csvPath + ": line " + std::to_string(check.csvError.line) + ": " +
                CsvErrorText(check.csvError.kind) + "; " + outPath + " not written");
  if (!check.Passed()) {
    // At most kListLines errors and the count of the rest, one write each.
    for (const CellRefusal& e : check.errors)
      PrintLine(stderr, csvPath + ": line " + std::to_string(e.row) + ", column " + std::to_string(e.column) +
                            ", \"" + e.text + "\": " + e.reason);
    if (check.errorCount > check.errors.size())
      PrintLine(stderr, csvPath + ": " + MoreLinesText(check.errorCount - check.errors.size(), false));
    return Fail(std::to_string(check.errorCount) + " error(s); " + outPath + " not written");
  }

  EncodeChannelTable(table, image);
  return StoreForCommand(outPath, image) ? 0 : 1;
}

}  // namespace cli

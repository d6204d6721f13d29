// chanset-cli import-csv IN.csv BASE.dat OUT.dat [--ini FILE]
// Replaces the channels of BASE's image with a table shaped as `dump` prints
// it, checking every cell against BASE's radio type and band first.
#include <iostream>

#include "editor/ChansetCsv.h"
#include "platform/ListLines.h"
#include "data/DatFile.h"
#include "settings/CSettingsFile.h"
#include "tools/cli/CliCommand.h"

using namespace chanset;

namespace cli {

int RunImportCsv(const Args& args) {
  if (args.size() != 3) return Fail("usage: chanset-cli import-csv IN.csv BASE.dat OUT.dat [--ini FILE]");
  const std::string& csvPath = args[0];
  const std::string& basePath = args[1];
  const std::string& outPath = args[2];

  CSettingsFile settings;
  Image image{};
  std::string text, reason;
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
      std::cerr << csvPath + ": line " + std::to_string(e.row) + ", column " + std::to_string(e.column) + ", \"" +
                       e.text + "\": " + e.reason + "\n";
    if (check.errorCount > check.errors.size())
      std::cerr << csvPath + ": " + MoreLinesText(check.errorCount - check.errors.size(), false) + "\n";
    return Fail(std::to_string(check.errorCount) + " error(s); " + outPath + " not written");
  }

  EncodeChannelTable(table, image);
  if (StoreDatFile(outPath, image, &reason) != DatError::None)
    return Fail("cannot write " + outPath + ": " + reason);
  return 0;
}

}  // namespace cli

// chanset-cli import-csv IN.csv BASE.dat OUT.dat [--ini FILE]
// Replaces the channels of BASE's image with a table shaped as `dump` prints
// it, checking every cell against BASE's radio type and band first.
#include <iostream>
#include <sys/stat.h>

#include "data/DatFile.h"
#include "platform/AtomicFile.h"
#include "platform/SettingsLocation.h"
#include "settings/CSettingsFile.h"
#include "tools/cli/ChannelTable.h"
#include "tools/cli/CliCommand.h"

using namespace chanset;

namespace cli {

namespace {

// The validated table as the encoder reads it: grid row n, columns 1..8.
class TableCells : public CellTexts {
 public:
  explicit TableCells(const ChannelTable& table) : table_(table) {}
  std::string Text(int row, int col) const override {
    if (row < 1 || row > kChannelCount || col < 1 || col > 8) return std::string();
    return table_[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(col - 1)];
  }

 private:
  const ChannelTable& table_;
};

}  // namespace

int RunImportCsv(const Args& args) {
  if (args.size() != 3) return Fail("usage: chanset-cli import-csv IN.csv BASE.dat OUT.dat [--ini FILE]");
  const std::string& csvPath = args[0];
  const std::string& basePath = args[1];
  const std::string& outPath = args[2];

  // The settings file names the radio types and bands: the one Chanset
  // reads. It is only read here: a missing one is an error, never created.
  std::string ini = IniPath().empty() ? ProgramSettingsFilePaths().read : IniPath();
  struct stat st;
  if (stat(ini.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
    return Fail(ini + ": settings file not found (it names the radio types and bands)");
  CSettingsFile settings;
  if (!settings.LoadPath(ini, false, true, false)) return Fail("cannot read " + ini);

  Image image{};
  if (!LoadForCommand(basePath, image, false)) return 1;

  std::string text, reason;
  if (!ReadWholeFile(csvPath, text, &reason)) return Fail("cannot read " + csvPath + ": " + reason);
  std::vector<CsvRecord> records;
  std::vector<int> lines;
  CsvError csvError;
  if (!ParseCsvLines(text, records, &lines, &csvError))
    return Fail(csvPath + ": line " + std::to_string(csvError.line) + ": " +
                CsvErrorText(csvError.kind) + "; " + outPath + " not written");

  std::string band = BandText(settings, image);
  BandLimits limits = DeriveBandLimits(band);
  ChannelTable table;
  std::vector<TableError> errors = CheckChannelTable(records, lines, limits, band, table);
  if (!errors.empty()) {
    for (const TableError& e : errors)
      std::cerr << csvPath << ": line " << e.line << ", column " << e.column << ", \"" << e.text
                << "\": " << e.reason << "\n";
    return Fail(std::to_string(errors.size()) + " error(s); " + outPath + " not written");
  }

  EncodeChannels(TableCells(table), image);
  if (StoreDatFile(outPath, image, &reason) != DatError::None)
    return Fail("cannot write " + outPath + ": " + reason);
  return 0;
}

}  // namespace cli

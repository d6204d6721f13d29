#pragma once
// Chanset's own channel table as CSV: the grid's column titles, then one row
// per channel, the channel number and its eight grid texts. `chanset-cli
// dump` prints it, `export --format chanset` writes it, `import-csv` and
// `import` read it.
#include <array>
#include <string>
#include <vector>

#include "data/ChannelCodec.h"
#include "data/Csv.h"
#include "editor/ChannelRows.h"

namespace chanset {

// The whole table of an image: the header row and all 16 channels, the
// texts in the given language.
std::string WriteChansetCsv(const Image& image, bool chinese);

// Whether a record is the header row: the nine column titles in order, each
// in either language (surrounding blanks ignored).
bool IsChansetHeader(const CsvRecord& record);

// One data row: channel number, then the eight texts. `rules` decides the
// band and the language; refusals carry `line` and the CSV column (the
// channel number is column 1, the Rx column 2) and no column name.
struct ChansetRow {
  int channel = 0;  // 0 when the first field is no channel number
  ChannelTexts texts;
  std::vector<CellRefusal> refusals;
};
ChansetRow CheckChansetRow(const CsvRecord& record, int line, const RowRules& rules);

using ChannelTable = std::array<ChannelTexts, kChannelCount>;

// Checks a table shaped as `dump` prints it (an optional header row, then
// one row per channel 1..16: channel number and the eight texts; rows of
// nothing but separators skipped) as the channel row check does, and fills
// `table` with the texts the encoder gets (frequencies as "%3.5f", an empty
// Tx taking the Rx, a row with an empty Rx wholly empty, English words).
// Every error has English reasons; each channel must have exactly one row.
// The table is read one record at a time, and only the first kListLines
// errors are kept.
struct TableCheck {
  std::vector<CellRefusal> errors;  // the first kListLines errors
  std::size_t errorCount = 0;       // all of them
  CsvError csvError;                // set when the text is no CSV at all
  bool Passed() const { return errorCount == 0 && csvError.kind == CsvErrorKind::None; }
};
TableCheck CheckChannelTable(const std::string& csvText, const BandLimits& limits, const std::string& bandText,
                             ChannelTable& table);

// The channels of `table` written into `image` (the write-back marker too).
void EncodeChannelTable(const ChannelTable& table, Image& image);

}  // namespace chanset

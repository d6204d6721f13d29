#pragma once
// What an import of channels produces, whatever the file format: every
// source row with the channel it goes to and either the texts the channel
// will get or why it is refused. The format readers (ChansetCsv, ChirpCsv)
// fill it; ChannelImport picks the reader and applies the result.
#include <string>
#include <vector>

#include "data/ChannelCodec.h"
#include "editor/ChannelRows.h"

namespace chanset {

enum class CsvFormat { Auto, Chanset, Chirp };

struct ImportOptions {
  CsvFormat format = CsvFormat::Auto;
  // Rows go to channels 1, 2, ... in file order instead of the channel (or
  // Location) they name; rows after the 16th are refused.
  bool renumber = false;
  BandLimits limits;     // of the document the channels go into
  std::string bandText;  // its band, named in out-of-range reasons
  bool chinese = false;  // language of the texts, reasons and notes
};

// One data row of the file.
struct ImportRow {
  int line = 0;     // line of the file the row starts on
  int channel = 0;  // the channel it goes to, 1..16; 0 when it has none
  ChannelTexts texts;  // what the channel gets; all empty clears it
  std::vector<CellRefusal> refusals;  // why it is refused; empty when accepted
  std::vector<std::string> notes;     // what the preview should say besides
                                      // ("power from watts", "Name dropped")
  bool Accepted() const { return refusals.empty(); }
};

struct ImportResult {
  CsvFormat format = CsvFormat::Auto;  // the format read (never Auto once read)
  std::vector<ImportRow> rows;
  // Set when the file cannot be read as a channel table at all (malformed
  // CSV, empty, no header of either format, a column missing); `rows` is
  // then empty. The message is in the language of the options and begins
  // with the line it is about.
  std::string error;
  int errorLine = 0;

  int AcceptedCount() const {
    int n = 0;
    for (const ImportRow& row : rows) n += row.Accepted() ? 1 : 0;
    return n;
  }
  int RefusedCount() const { return static_cast<int>(rows.size()) - AcceptedCount(); }
};

}  // namespace chanset

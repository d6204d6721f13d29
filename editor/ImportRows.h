#pragma once
// What an import of channels produces, whatever the file format: the rows
// the import may use, with the channel each goes to and the texts it will
// get, and the first refused rows with why, for the lists a person reads.
// A file of a million rows keeps no more than that: the radio has 16
// channels, and a list shows kListLines lines. The format readers
// (ChansetCsv, ChirpCsv) read one row at a time; ChannelImport picks the
// reader, keeps what it may use and applies the result.
#include <cstdint>
#include <string>
#include <vector>

#include "data/ChannelCodec.h"
#include "editor/ChannelRows.h"
#include "platform/ListLines.h"

namespace chanset {

enum class CsvFormat { Auto, Chanset, Chirp };

// What the three power levels of a radio type transmit, in milliwatts
// (CHIRP CSV writes power in watts).
struct PowerWatts {
  std::int64_t high = 5000, middle = 2000, low = 500;
};

struct ImportOptions {
  CsvFormat format = CsvFormat::Auto;
  // The accepted rows go to channels 1, 2, ... in file order instead of the
  // channel (or Location) they name; accepted rows after the 16th are
  // refused. Refused rows take no channel.
  bool renumber = false;
  BandLimits limits;     // of the document the channels go into
  std::string bandText;  // its band, named in out-of-range reasons
  PowerWatts watts;      // of its radio type, for CHIRP's Power column
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
  // Every accepted row (at most 16: each has its own channel) and the first
  // kListLines refused rows, in file order.
  std::vector<ImportRow> rows;
  int refusedRows = 0;          // every refused row of the file
  std::size_t refusalCount = 0;  // every refusal of those rows (a row may have several)
  std::vector<std::string> notes;  // about the file as a whole ("no Power column")
  // Set when the file cannot be read as a channel table at all (malformed
  // CSV, empty, no header of either format, a column missing); `rows` is
  // then empty. The message is in the language of the options and begins
  // with the line it is about.
  std::string error;
  int errorLine = 0;

  // Takes a row read from the file: kept when accepted or among the first
  // refused ones, else only counted.
  void Keep(ImportRow row);

  int AcceptedCount() const {
    int n = 0;
    for (const ImportRow& row : rows) n += row.Accepted() ? 1 : 0;
    return n;
  }
  int RefusedCount() const { return refusedRows; }
  int RowCount() const { return AcceptedCount() + refusedRows; }
};

}  // namespace chanset

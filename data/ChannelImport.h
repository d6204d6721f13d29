#pragma once
// Importing channels from a CSV file: Chanset's own table (as `chanset-cli
// dump` and the export write it, with the column titles in either language)
// or a CHIRP CSV file. The result lists every source row with the channel it
// goes to and either the texts the channel will get or why it is refused,
// so an import can be shown before it is done (the GUI's preview) and then
// applied in one step.
//
// Use:
//   ImportOptions options;            // band of the document, language, ...
//   ImportResult result = ImportChannels(csvText, options);
//   if (!result.error.empty()) ...    // the file as a whole is unusable
//   for (const ImportRow& row : result.rows) ...   // show or list
//   ApplyImport(result, image);       // the accepted rows replace channels
#include <string>
#include <vector>

#include "data/ChannelCodec.h"
#include "editor/ChannelRows.h"

namespace chanset {

enum class CsvFormat { Auto, Chanset, Chirp };

// "auto", "chanset", "chirp" (as the command line spells them); false for
// any other text.
bool ParseCsvFormat(const std::string& text, CsvFormat& format);

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

  int AcceptedCount() const;
  int RefusedCount() const;
};

ImportResult ImportChannels(const std::string& csvText, const ImportOptions& options);

// Writes the texts of every accepted row into its channel of `image` (the
// encoder's rules; bytes the encoder does not own stay as they were) and
// sets the write-back marker. Channels without an accepted row keep their
// bytes. Returns the number of channels written.
int ApplyImport(const ImportResult& result, Image& image);

// "line 5, column 3 (Frequency), "abc": not a frequency in MHz", or the
// Chinese form; without the column part for a refusal of the whole row.
std::string ImportRefusalText(const CellRefusal& refusal, bool chinese);

}  // namespace chanset

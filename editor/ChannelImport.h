#pragma once
// Importing channels from a CSV file: Chanset's own table (as `chanset-cli
// dump` and the export write it, with the column titles in either language)
// or a CHIRP CSV file. The file is read one row at a time; the result keeps
// the rows that may be used, with the channel each goes to and the texts it
// will get, and the first refused rows with why (ImportRows.h), so an import
// can be shown before it is done (the GUI's preview) and then applied in
// one step. Rows of nothing but separators are skipped like empty lines.
//
// Use:
//   ImportOptions options;            // band of the document, language, ...
//   ImportResult result = ImportChannels(csvText, options);
//   if (!result.error.empty()) ...    // the file as a whole is unusable
//   for (const ImportRow& row : result.rows) ...   // show or list
//   ApplyImport(result, image);       // the accepted rows replace channels
#include <string>
#include <vector>

#include "editor/ImportRows.h"

namespace chanset {

// "auto", "chanset", "chirp" (as the command line spells them); false for
// any other text.
bool ParseCsvFormat(const std::string& text, CsvFormat& format);

ImportResult ImportChannels(const std::string& csvText, const ImportOptions& options);

// Writes the texts of every accepted row into its channel of `image` (the
// encoder's rules; bytes the encoder does not own stay as they were) and
// sets the write-back marker. Channels without an accepted row keep their
// bytes. Returns the number of channels written.
int ApplyImport(const ImportResult& result, Image& image);

// The refusals of an import as the lines of a list: the first kListLines,
// then "…and N more" when there are more.
std::vector<std::string> ImportListLines(const ImportResult& result, bool chinese);

// "line 5, column 3 (Frequency), "abc": not a frequency in MHz", or the
// Chinese form; without the column part for a refusal of the whole row.
std::string ImportRefusalText(const CellRefusal& refusal, bool chinese);

}  // namespace chanset

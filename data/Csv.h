#pragma once
// Comma-separated values, RFC 4180 style, UTF-8: fields separated by commas,
// records by LF (CRLF is read too). A field that holds a comma, a double
// quote, CR or LF is written in double quotes with its quotes doubled.
#include <string>
#include <vector>

namespace chanset {

using CsvRecord = std::vector<std::string>;

// One field, quoted only when it needs to be (a comma, quote, CR or LF in
// it, or a leading UTF-8 byte-order mark).
std::string CsvField(const std::string& field);
// One record: the fields joined by commas, followed by "\n". A record of one
// empty field is written as "" so that it does not read as an empty line.
std::string CsvLine(const CsvRecord& fields);

enum class CsvErrorKind {
  None,
  UnterminatedQuote,  // a quoted field runs to the end of the text
  TextAfterQuote,     // something other than a comma or line end follows a closing quote
  QuoteInField,       // a double quote inside an unquoted field
};

struct CsvError {
  CsvErrorKind kind = CsvErrorKind::None;
  int line = 0;  // 1-based line of the text where the fault is
};

// English description of an error kind, for tools that print it.
const char* CsvErrorText(CsvErrorKind kind);

// Splits `text` into records. A UTF-8 byte-order mark at the start and empty
// lines are skipped; the last record needs no line end. On a malformed text
// returns false, fills *error and leaves `records` empty.
bool ParseCsv(const std::string& text, std::vector<CsvRecord>& records, CsvError* error = nullptr);
// The same, also giving the 1-based line each record starts on (for messages
// that point at a cell).
bool ParseCsvLines(const std::string& text, std::vector<CsvRecord>& records,
                   std::vector<int>* lines, CsvError* error = nullptr);

}  // namespace chanset

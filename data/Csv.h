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

// The same one record at a time, for readers that keep only some of the
// records of a large text. `text` must outlive the reader.
class CsvReader {
 public:
  explicit CsvReader(const std::string& text);
  // The next record and the line it starts on; false at the end of the
  // text, or on a malformed text (then Failed() and Error() say where).
  bool Next(CsvRecord& record, int& line);
  bool Failed() const { return m_error.kind != CsvErrorKind::None; }
  const CsvError& Error() const { return m_error; }

 private:
  bool AtLineEnd() const;
  void SkipLineEnd();
  bool ReadField(std::string& field);
  bool Fail(CsvErrorKind kind, int line);

  const std::string& m_text;
  std::size_t m_pos = 0;
  int m_line = 1;
  CsvError m_error;
};

// Whether every field of a record is empty or blank: a row of nothing but
// separators, as spreadsheets leave behind, which readers skip like an
// empty line.
bool IsBlankRecord(const CsvRecord& record);

}  // namespace chanset

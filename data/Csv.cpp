#include "data/Csv.h"

namespace chanset {

std::string CsvField(const std::string& field) {
  // A field starting with a byte-order mark is quoted too: at the start of
  // a text the reader would take the mark for the file's own and drop it.
  if (field.find_first_of(",\"\r\n") == std::string::npos && field.compare(0, 3, "\xEF\xBB\xBF") != 0)
    return field;
  std::string quoted = "\"";
  for (char c : field) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

std::string CsvLine(const CsvRecord& fields) {
  // One empty field is written quoted: as a bare empty line the reader
  // would skip it and the record would be lost.
  if (fields.size() == 1 && fields[0].empty()) return "\"\"\n";
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line += ',';
    line += CsvField(fields[i]);
  }
  line += '\n';
  return line;
}

const char* CsvErrorText(CsvErrorKind kind) {
  switch (kind) {
    case CsvErrorKind::None: return "no error";
    case CsvErrorKind::UnterminatedQuote: return "a quoted field is not closed";
    case CsvErrorKind::TextAfterQuote: return "text after the closing quote of a field";
    case CsvErrorKind::QuoteInField: return "a double quote inside an unquoted field";
  }
  return "";
}

CsvReader::CsvReader(const std::string& text) : m_text(text) {
  if (m_text.compare(0, 3, "\xEF\xBB\xBF") == 0) m_pos = 3;
}

bool CsvReader::Next(CsvRecord& record, int& line) {
  record.clear();
  if (Failed()) return false;
  while (m_pos < m_text.size() && AtLineEnd()) SkipLineEnd();  // empty lines
  if (m_pos >= m_text.size()) return false;
  line = m_line;
  for (;;) {
    std::string field;
    if (!ReadField(field)) {
      record.clear();
      return false;
    }
    record.push_back(std::move(field));
    if (m_pos < m_text.size() && m_text[m_pos] == ',') {
      ++m_pos;
      continue;
    }
    SkipLineEnd();
    return true;
  }
}

bool CsvReader::AtLineEnd() const {
  if (m_pos >= m_text.size()) return true;
  if (m_text[m_pos] == '\n') return true;
  return m_text[m_pos] == '\r' && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == '\n';
}

void CsvReader::SkipLineEnd() {
  if (m_pos >= m_text.size()) return;
  m_pos += m_text[m_pos] == '\r' ? 2 : 1;
  ++m_line;
}

bool CsvReader::Fail(CsvErrorKind kind, int line) {
  m_error.kind = kind;
  m_error.line = line;
  return false;
}

bool CsvReader::ReadField(std::string& field) {
  if (m_pos < m_text.size() && m_text[m_pos] == '"') {
    const int openLine = m_line;
    ++m_pos;
    for (;;) {
      if (m_pos >= m_text.size()) return Fail(CsvErrorKind::UnterminatedQuote, openLine);
      char c = m_text[m_pos++];
      if (c == '"') {
        if (m_pos < m_text.size() && m_text[m_pos] == '"') {
          field += '"';
          ++m_pos;
          continue;
        }
        break;
      }
      if (c == '\n') ++m_line;
      field += c;
    }
    if (m_pos < m_text.size() && m_text[m_pos] != ',' && !AtLineEnd())
      return Fail(CsvErrorKind::TextAfterQuote, m_line);
    return true;
  }
  // An unquoted field runs to the next separator or line end.
  for (;;) {
    const std::size_t stop = m_text.find_first_of(",\n\r\"", m_pos);
    field.append(m_text, m_pos, (stop == std::string::npos ? m_text.size() : stop) - m_pos);
    m_pos = stop == std::string::npos ? m_text.size() : stop;
    if (m_pos >= m_text.size() || m_text[m_pos] == ',' || AtLineEnd()) break;
    if (m_text[m_pos] == '"') return Fail(CsvErrorKind::QuoteInField, m_line);
    field += m_text[m_pos++];  // a lone CR is data
  }
  return true;
}

bool IsBlankRecord(const CsvRecord& record) {
  for (const std::string& f : record)
    if (f.find_first_not_of(" \t") != std::string::npos) return false;
  return true;
}

bool ParseCsv(const std::string& text, std::vector<CsvRecord>& records, CsvError* error) {
  return ParseCsvLines(text, records, nullptr, error);
}

bool ParseCsvLines(const std::string& text, std::vector<CsvRecord>& records,
                   std::vector<int>* lines, CsvError* error) {
  records.clear();
  if (lines) lines->clear();
  CsvError scratch;
  CsvError& err = error ? *error : scratch;
  err = CsvError{};
  CsvReader reader(text);
  CsvRecord record;
  int line = 0;
  while (reader.Next(record, line)) {
    records.push_back(std::move(record));
    if (lines) lines->push_back(line);
  }
  if (!reader.Failed()) return true;
  err = reader.Error();
  records.clear();
  if (lines) lines->clear();
  return false;
}

}  // namespace chanset

#include "editor/ChannelImport.h"

#include <map>

#include "editor/ChansetCsv.h"
#include "data/ChannelWords.h"
#include "editor/ChirpCsv.h"
#include "data/Csv.h"

namespace chanset {

namespace {

std::string CsvErrorTextIn(CsvErrorKind kind, bool chinese) {
  if (!chinese) return CsvErrorText(kind);
  switch (kind) {
    case CsvErrorKind::None: return "没有错误";
    case CsvErrorKind::UnterminatedQuote: return "带引号的字段没有结束";
    case CsvErrorKind::TextAfterQuote: return "字段的结束引号后还有文字";
    case CsvErrorKind::QuoteInField: return "不带引号的字段中有双引号";
  }
  return "";
}

ImportResult Fail(int line, bool chinese, const std::string& en, const std::string& zh) {
  ImportResult result;
  result.errorLine = line;
  result.error = InLanguage(chinese, "line " + std::to_string(line) + ": " + en,
                            "第" + std::to_string(line) + "行：" + zh);
  return result;
}

// Rows of Chanset's own table: channel number (ignored with renumber) and
// the eight texts.
class ChansetReader {
 public:
  explicit ChansetReader(const ImportOptions& options) : m_options(options) {}

  // A first row that is the header (the column titles, or with the format
  // named outright any row that does not start with a channel number) is
  // no channel; false then.
  bool IsHeader(const CsvRecord& first) const {
    return IsChansetHeader(first) || ParseChannelNumber(first[0]) == 0;
  }

  ImportRow ReadRow(CsvRecord record, int line) {
    const bool zh = m_options.chinese;
    ImportRow row;
    row.line = line;
    if (IsChansetHeader(record)) {
      row.refusals.push_back({line, 0, 0, "", "", RefusalKind::Value, InLanguage(zh, "a second header row", "重复的表头行")});
      return row;
    }
    if (m_options.renumber && !record.empty()) record[0] = "1";  // the number in the file does not count
    ChansetRow checked = CheckChansetRow(record, line, {m_options.limits, m_options.bandText, zh});
    row.channel = m_options.renumber ? 0 : checked.channel;
    row.texts = checked.texts;
    row.refusals = checked.refusals;
    for (CellRefusal& refusal : row.refusals) {
      refusal.channel = row.channel;
      if (refusal.column >= 1 && refusal.column <= static_cast<int>(kColumnTitles.size()))
        refusal.columnName = kColumnTitles[static_cast<std::size_t>(refusal.column - 1)].In(zh);
    }
    if (row.channel != 0 && m_taken.count(row.channel)) {
      const std::string firstLine = std::to_string(m_taken[row.channel]);
      row.refusals.insert(row.refusals.begin(),
                          {row.line, row.channel, 0, "", "", RefusalKind::ChannelTwice,
                           InLanguage(zh, "channel " + std::to_string(row.channel) + " already comes from line " + firstLine,
                                      "信道" + std::to_string(row.channel) + "已由第" + firstLine + "行给出")});
    } else if (row.channel != 0) {
      m_taken[row.channel] = row.line;
    }
    if (!row.refusals.empty()) row.texts.fill(std::string());
    return row;
  }

 private:
  ImportOptions m_options;
  std::map<int, int> m_taken;  // channel -> line
};

}  // namespace

bool ParseCsvFormat(const std::string& text, CsvFormat& format) {
  if (text == "auto") format = CsvFormat::Auto;
  else if (text == "chanset") format = CsvFormat::Chanset;
  else if (text == "chirp") format = CsvFormat::Chirp;
  else return false;
  return true;
}

void ImportResult::Keep(ImportRow row) {
  if (!row.Accepted()) {
    ++refusedRows;
    refusalCount += row.refusals.size();
    if (static_cast<std::size_t>(refusedRows) > kListLines) return;  // counted, not kept
  }
  rows.push_back(std::move(row));
}

ImportResult ImportChannels(const std::string& csvText, const ImportOptions& options) {
  const bool zh = options.chinese;
  // One record at a time: the file may hold far more rows than are kept.
  CsvReader reader(csvText);
  CsvRecord record;
  int line = 0;
  auto next = [&] {
    while (reader.Next(record, line))
      if (!IsBlankRecord(record)) return true;  // rows of only separators are skipped like empty lines
    return false;
  };
  auto csvFailure = [&] {
    const CsvError& e = reader.Error();
    return Fail(e.line, zh, CsvErrorTextIn(e.kind, false), CsvErrorTextIn(e.kind, true));
  };
  if (!next()) return reader.Failed() ? csvFailure() : Fail(1, zh, "the file holds no rows", "文件中没有任何行");

  ImportResult result;
  result.format = options.format;
  if (result.format == CsvFormat::Auto) {
    if (IsChirpHeader(record))
      result.format = CsvFormat::Chirp;
    else if (IsChansetHeader(record))
      result.format = CsvFormat::Chanset;
    else
      return Fail(line, zh,
                  "neither a Chanset channel table (CH,Rx Frequency,...) nor a CHIRP CSV file "
                  "(Location,Name,Frequency,...): the first row is no header of either",
                  "既不是Chanset信道表（信道,接收频率,...）也不是CHIRP CSV文件（Location,Name,Frequency,...）："
                  "第一行不是两者的表头");
  }

  ChirpReader chirp(options);
  ChansetReader table(options);
  bool haveRow = true;  // `record` holds a row not yet read
  if (result.format == CsvFormat::Chirp) {
    std::string error;
    if (!chirp.ReadHeader(record, line, error, result.notes)) {
      ImportResult failed;
      failed.error = error;
      failed.errorLine = line;
      return failed;
    }
    haveRow = false;
  } else if (table.IsHeader(record)) {
    haveRow = false;
  }

  int nextChannel = 1;  // with renumber: the channel the next accepted row gets
  while (haveRow || next()) {
    haveRow = false;
    ImportRow row = result.format == CsvFormat::Chirp ? chirp.ReadRow(record, line) : table.ReadRow(record, line);
    if (options.renumber && row.Accepted()) {
      if (nextChannel <= kChannelCount) {
        row.channel = nextChannel++;
      } else {
        row.texts.fill(std::string());
        row.notes.clear();
        row.refusals.push_back({row.line, 0, 0, "", "", RefusalKind::PastLastChannel,
                                InLanguage(zh, "no channel left: the radio has 16", "没有剩余的信道：电台只有16个信道")});
      }
    }
    result.Keep(std::move(row));
  }
  if (reader.Failed()) return csvFailure();
  return result;
}

int ApplyImport(const ImportResult& result, Image& image) {
  int written = 0;
  for (const ImportRow& row : result.rows) {
    if (!row.Accepted() || row.channel < 1 || row.channel > kChannelCount) continue;
    EncodeChannel(row.texts, image, row.channel);
    ++written;
  }
  image[off::kWriteBack] = kWriteBackMarker;
  return written;
}

std::vector<std::string> ImportListLines(const ImportResult& result, bool chinese) {
  std::vector<std::string> lines;
  for (const ImportRow& row : result.rows)
    for (const CellRefusal& refusal : row.refusals)
      if (lines.size() < kListLines) lines.push_back(ImportRefusalText(refusal, chinese));
  return CappedLines(std::move(lines), result.refusalCount, chinese);
}

std::string ImportRefusalText(const CellRefusal& r, bool chinese) {
  std::string text = InLanguage(chinese, "line " + std::to_string(r.row), "第" + std::to_string(r.row) + "行");
  if (r.column > 0) text += InLanguage(chinese, ", column " + std::to_string(r.column), "，第" + std::to_string(r.column) + "列");
  if (!r.columnName.empty()) text += InLanguage(chinese, " (" + r.columnName + ")", "（" + r.columnName + "）");
  if (r.column > 0 || !r.text.empty()) text += InLanguage(chinese, ", \"" + r.text + "\"", "，“" + r.text + "”");
  return text + InLanguage(chinese, ": ", "：") + r.reason;
}

}  // namespace chanset

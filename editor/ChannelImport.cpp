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

// Rows of Chanset's own table: channel number (or the row's place with
// renumber) and the eight texts, tones as a decoded image may show them.
ImportResult ReadChansetRecords(const std::vector<CsvRecord>& records, const std::vector<int>& lines,
                                const ImportOptions& options) {
  ImportResult result;
  result.format = CsvFormat::Chanset;
  const bool zh = options.chinese;
  const RowRules rules{options.limits, options.bandText, ToneRule::Decodable, zh};
  // The header row: the column titles, or with the format named outright
  // any first row that does not start with a channel number.
  std::size_t first = 0;
  if (!records.empty() && (IsChansetHeader(records[0]) || ParseChannelNumber(records[0][0]) == 0)) first = 1;

  std::map<int, int> taken;  // channel -> line
  int place = 0;
  for (std::size_t r = first; r < records.size(); ++r) {
    ImportRow row;
    row.line = r < lines.size() ? lines[r] : 0;
    CsvRecord record = records[r];
    if (IsChansetHeader(record)) {
      row.refusals.push_back({row.line, 0, 0, "", "", RefusalKind::Value,
                              InLanguage(zh, "a second header row", "重复的表头行")});
      result.rows.push_back(std::move(row));
      continue;
    }
    ++place;
    if (options.renumber) {
      if (place > kChannelCount) {
        row.refusals.push_back({row.line, 0, 0, "", "", RefusalKind::PastLastChannel,
                                InLanguage(zh, "no channel left: the radio has 16", "没有剩余的信道：电台只有16个信道")});
        result.rows.push_back(std::move(row));
        continue;
      }
      if (!record.empty()) record[0] = std::to_string(place);  // the number in the file does not count
    }
    ChansetRow checked = CheckChansetRow(record, row.line, rules);
    row.channel = checked.channel;
    row.texts = checked.texts;
    row.refusals = checked.refusals;
    for (CellRefusal& refusal : row.refusals)
      if (refusal.column >= 1 && refusal.column <= static_cast<int>(kColumnTitles.size()))
        refusal.columnName = kColumnTitles[static_cast<std::size_t>(refusal.column - 1)].In(zh);
    if (row.channel != 0 && taken.count(row.channel)) {
      const std::string firstLine = std::to_string(taken[row.channel]);
      row.refusals.insert(row.refusals.begin(),
                          {row.line, row.channel, 0, "", "", RefusalKind::ChannelTwice,
                           InLanguage(zh, "channel " + std::to_string(row.channel) + " already comes from line " + firstLine,
                                      "信道" + std::to_string(row.channel) + "已由第" + firstLine + "行给出")});
    } else if (row.channel != 0) {
      taken[row.channel] = row.line;
    }
    if (!row.refusals.empty()) row.texts.fill(std::string());
    result.rows.push_back(std::move(row));
  }
  return result;
}

}  // namespace

bool ParseCsvFormat(const std::string& text, CsvFormat& format) {
  if (text == "auto") format = CsvFormat::Auto;
  else if (text == "chanset") format = CsvFormat::Chanset;
  else if (text == "chirp") format = CsvFormat::Chirp;
  else return false;
  return true;
}

ImportResult ImportChannels(const std::string& csvText, const ImportOptions& options) {
  const bool zh = options.chinese;
  std::vector<CsvRecord> records;
  std::vector<int> lines;
  CsvError csvError;
  if (!ParseCsvLines(csvText, records, &lines, &csvError))
    return Fail(csvError.line, zh, CsvErrorTextIn(csvError.kind, false), CsvErrorTextIn(csvError.kind, true));
  if (records.empty()) return Fail(1, zh, "the file holds no rows", "文件中没有任何行");

  CsvFormat format = options.format;
  if (format == CsvFormat::Auto) {
    if (IsChirpHeader(records[0]))
      format = CsvFormat::Chirp;
    else if (IsChansetHeader(records[0]))
      format = CsvFormat::Chanset;
    else
      return Fail(lines[0], zh,
                  "neither a Chanset channel table (CH,Rx Frequency,...) nor a CHIRP CSV file "
                  "(Location,Name,Frequency,...): the first row is no header of either",
                  "既不是Chanset信道表（信道,接收频率,...）也不是CHIRP CSV文件（Location,Name,Frequency,...）："
                  "第一行不是两者的表头");
  }
  return format == CsvFormat::Chirp ? ReadChirpRecords(records, lines, options)
                                    : ReadChansetRecords(records, lines, options);
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

std::string ImportRefusalText(const CellRefusal& r, bool chinese) {
  std::string text = InLanguage(chinese, "line " + std::to_string(r.row), "第" + std::to_string(r.row) + "行");
  if (r.column > 0) text += InLanguage(chinese, ", column " + std::to_string(r.column), "，第" + std::to_string(r.column) + "列");
  if (!r.columnName.empty()) text += InLanguage(chinese, " (" + r.columnName + ")", "（" + r.columnName + "）");
  if (r.column > 0 || !r.text.empty()) text += InLanguage(chinese, ", \"" + r.text + "\"", "，“" + r.text + "”");
  return text + InLanguage(chinese, ": ", "：") + r.reason;
}

}  // namespace chanset

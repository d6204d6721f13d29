#include "editor/ChansetCsv.h"

#include <algorithm>
#include <map>

#include "data/ChannelWords.h"
#include "platform/ListLines.h"

namespace chanset {

std::string WriteChansetCsv(const Image& image, bool chinese) {
  CsvRecord header;
  for (const WordPair& title : kColumnTitles) header.push_back(title.In(chinese));
  std::string out = CsvLine(header);
  for (int n = 1; n <= kChannelCount; ++n) {
    ChannelTexts texts = DecodeChannel(image, n, chinese);
    CsvRecord row{std::to_string(n)};
    row.insert(row.end(), texts.begin(), texts.end());
    out += CsvLine(row);
  }
  return out;
}

bool IsChansetHeader(const CsvRecord& record) {
  if (record.size() < kColumnTitles.size()) return false;
  for (std::size_t c = 0; c < kColumnTitles.size(); ++c)
    if (!kColumnTitles[c].Matches(TrimBlanks(record[c]))) return false;
  return true;
}

ChansetRow CheckChansetRow(const CsvRecord& record, int line, const RowRules& rules) {
  ChansetRow row;
  const bool zh = rules.chinese;
  row.channel = record.empty() ? 0 : ParseChannelNumber(record[0]);
  if (row.channel == 0) {
    row.refusals.push_back({line, 0, 1, "", record.empty() ? "" : ShownText(TrimBlanks(record[0])),
                            RefusalKind::NotChannel,
                            InLanguage(zh, "not a channel number 1 to 16", "不是1至16的信道号")});
    return row;
  }
  if (record.size() != 9) {
    const std::string count = std::to_string(record.size());
    row.refusals.push_back(
        {line, row.channel, static_cast<int>(std::min<std::size_t>(record.size(), 9)) + 1, "", "",
         RefusalKind::FieldCount,
         InLanguage(zh, "a row needs 9 columns (channel and eight texts), this one has " + count,
                    "一行需要9列（信道号和八项内容），此行有" + count + "列")});
    return row;
  }
  ChannelTexts fields;
  std::copy(record.begin() + 1, record.end(), fields.begin());
  row.refusals = CheckChannelRow(fields, rules, row.texts, line, row.channel);
  for (CellRefusal& r : row.refusals) {
    r.column += 1;  // the channel number comes first
    r.columnName.clear();
  }
  return row;
}

TableCheck CheckChannelTable(const std::string& csvText, const BandLimits& limits, const std::string& bandText,
                             ChannelTable& table) {
  TableCheck check;
  auto error = [&check](CellRefusal refusal) {
    if (check.errors.size() < kListLines) check.errors.push_back(std::move(refusal));
    ++check.errorCount;
  };
  for (ChannelTexts& t : table) t.fill(std::string());
  const RowRules rules{limits, bandText, false};
  std::map<int, int> seen;  // channel -> line

  CsvReader reader(csvText);
  CsvRecord record;
  int line = 0, lastLine = 0;
  bool first = true;
  while (reader.Next(record, line)) {
    lastLine = line;
    if (IsBlankRecord(record)) continue;
    // A first row that does not start with a channel number is the header
    // row (the column titles, in either language).
    if (first && ParseChannelNumber(record[0]) == 0) {
      first = false;
      continue;
    }
    first = false;
    ChansetRow row = CheckChansetRow(record, line, rules);
    if (row.channel != 0 && seen.count(row.channel)) {
      error({line, row.channel, 1, "", ShownText(TrimBlanks(record[0])), RefusalKind::ChannelTwice,
             "channel given twice (first on line " + std::to_string(seen[row.channel]) + ")"});
      continue;
    }
    if (row.channel != 0) seen[row.channel] = line;
    for (CellRefusal& refusal : row.refusals) error(std::move(refusal));
    if (row.channel != 0) table[static_cast<std::size_t>(row.channel - 1)] = row.texts;
  }
  if (reader.Failed()) {
    check.csvError = reader.Error();
    return check;
  }

  std::string missing;
  for (int c = 1; c <= kChannelCount; ++c)
    if (!seen.count(c)) missing += (missing.empty() ? "" : ", ") + std::to_string(c);
  if (!missing.empty())
    error({lastLine + 1, 0, 1, "", "", RefusalKind::MissingChannels,
           (missing.find(',') == std::string::npos ? "no row for channel " : "no rows for channels ") + missing});
  return check;
}

void EncodeChannelTable(const ChannelTable& table, Image& image) {
  for (int n = 1; n <= kChannelCount; ++n) EncodeChannel(table[static_cast<std::size_t>(n - 1)], image, n);
  image[off::kWriteBack] = kWriteBackMarker;
}

}  // namespace chanset

#include "editor/ChannelClipboard.h"

#include <algorithm>

#include "data/ChannelWords.h"
#include "data/Csv.h"
#include "platform/ListLines.h"

namespace chanset {

namespace {

constexpr char kMagic[] = "CHCH";
constexpr std::uint8_t kVersion = 1;
constexpr std::size_t kHeaderSize = 6;
constexpr std::size_t kRecordSize = kRowSize + 1;

std::vector<int> ValidChannels(std::vector<int> channels) {
  channels.erase(std::remove_if(channels.begin(), channels.end(),
                                [](int n) { return n < 1 || n > kChannelCount; }),
                 channels.end());
  std::sort(channels.begin(), channels.end());
  channels.erase(std::unique(channels.begin(), channels.end()), channels.end());
  return channels;
}

struct TextRow {
  int line;
  std::vector<std::string> fields;
};

// One field of tab-separated text: a spreadsheet quotes a field holding a
// tab, a quote or a line end, doubling its quotes.
std::string Unquote(const std::string& field) {
  if (field.size() < 2 || field.front() != '"' || field.back() != '"') return field;
  std::string out;
  for (std::size_t i = 1; i + 1 < field.size(); ++i) {
    out += field[i];
    if (field[i] == '"' && field[i + 1] == '"') ++i;
  }
  return out;
}

// Splits pasted text into rows. Tab-separated when any line holds a tab,
// else comma-separated with CSV quoting. Blank lines before the first row
// and after the last are dropped; a blank line between rows stays (as a row
// without fields).
bool SplitRows(const std::string& text, std::vector<TextRow>& rows, CellRefusal& failure, bool chinese) {
  std::vector<std::string> lines;
  for (std::size_t from = 0;;) {
    const std::size_t end = text.find_first_of("\r\n", from);
    lines.push_back(text.substr(from, end == std::string::npos ? std::string::npos : end - from));
    if (end == std::string::npos) break;
    from = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
  }
  // A line of tabs is a row (an empty channel copied from the grid); only a
  // line of nothing but spaces is blank.
  auto blank = [](const std::string& l) { return l.find_first_not_of(' ') == std::string::npos; };
  std::size_t first = 0, last = lines.size();
  while (first < last && blank(lines[first])) ++first;
  while (last > first && blank(lines[last - 1])) --last;

  const bool tabs = std::any_of(lines.begin() + static_cast<std::ptrdiff_t>(first),
                                lines.begin() + static_cast<std::ptrdiff_t>(last),
                                [](const std::string& l) { return l.find('\t') != std::string::npos; });
  for (std::size_t i = first; i < last; ++i) {
    TextRow row{static_cast<int>(i) + 1, {}};
    if (blank(lines[i])) {
      rows.push_back(row);
      continue;
    }
    if (tabs) {
      std::size_t from = 0;
      for (;;) {
        std::size_t tab = lines[i].find('\t', from);
        row.fields.push_back(Unquote(lines[i].substr(from, tab - from)));
        if (tab == std::string::npos) break;
        from = tab + 1;
      }
    } else {
      std::vector<CsvRecord> records;
      CsvError error;
      if (!ParseCsv(lines[i], records, &error)) {
        failure = {row.line, 0, 0, "", lines[i], RefusalKind::FieldCount,
                   InLanguage(chinese, std::string("not readable as comma-separated fields: ") + CsvErrorText(error.kind),
                              "无法按逗号分隔的字段读取")};
        return false;
      }
      row.fields = records.empty() ? std::vector<std::string>{} : records[0];
    }
    rows.push_back(row);
  }
  return true;
}

// A row of column titles, with or without the CH title first.
bool IsTitleRow(const std::vector<std::string>& fields) {
  if (fields.size() != 8 && fields.size() != 9) return false;
  const std::size_t skip = 9 - fields.size();
  for (std::size_t i = 0; i < fields.size(); ++i)
    if (!kColumnTitles[i + skip].Matches(TrimBlanks(fields[i]))) return false;
  return true;
}

CellRefusal RowRefusal(int row, int channel, RefusalKind kind, bool chinese, const std::string& en,
                       const std::string& zh) {
  return {row, channel, 0, "", "", kind, InLanguage(chinese, en, zh)};
}

// Whether text holds more non-blank lines than `most`, counted without
// splitting it (a hundred thousand rows are refused at once).
bool MoreLinesThan(const std::string& text, std::size_t most, std::size_t& count) {
  count = 0;
  bool blank = true;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    const char c = i < text.size() ? text[i] : '\n';
    if (c == '\n' || c == '\r') {
      if (!blank) ++count;
      blank = true;
    } else if (c != ' ') {
      blank = false;
    }
  }
  return count > most;
}

CellRefusal TooManyRows(std::size_t rows, bool chinese) {
  const std::string n = std::to_string(rows);
  return RowRefusal(0, 0, RefusalKind::TooManyRows, chinese,
                    n + " rows: the radio has 16 channels, so at most 16 rows can be pasted",
                    n + "行：电台只有16个信道，最多可粘贴16行");
}

CellRefusal PastEnd(int row, int channel, bool chinese) {
  const std::string n = std::to_string(channel);
  return RowRefusal(row, channel, RefusalKind::PastLastChannel, chinese,
                    "would go to channel " + n + "; the last channel is 16",
                    "将落在信道" + n + "；最后一个信道是16");
}

}  // namespace

std::string ChannelsAsText(const Image& image, const std::vector<int>& channels, bool chinese) {
  std::string text;
  for (int n : ValidChannels(channels)) {
    const ChannelTexts texts = DecodeChannel(image, n, chinese);
    for (std::size_t c = 0; c < texts.size(); ++c) text += (c ? "\t" : "") + texts[c];
    text += '\n';
  }
  return text;
}

std::string ChannelsAsBytes(const Image& image, const std::vector<int>& channels) {
  const std::vector<int> list = ValidChannels(channels);
  std::string bytes(kMagic, 4);
  bytes += static_cast<char>(kVersion);
  bytes += static_cast<char>(list.size());
  for (int n : list) {
    const ChannelRecord record = ReadChannelRecord(image, n);
    bytes.append(reinterpret_cast<const char*>(record.bytes.data()), record.bytes.size());
    bytes += static_cast<char>(record.scan ? 1 : 0);
  }
  return bytes;
}

bool ParseChannelBytes(const std::string& bytes, std::vector<ChannelRecord>& records) {
  records.clear();
  if (bytes.size() < kHeaderSize || bytes.compare(0, 4, kMagic) != 0 ||
      static_cast<std::uint8_t>(bytes[4]) != kVersion)
    return false;
  const std::size_t count = static_cast<std::uint8_t>(bytes[5]);
  if (count < 1 || count > static_cast<std::size_t>(kChannelCount) ||
      bytes.size() != kHeaderSize + count * kRecordSize)
    return false;
  for (std::size_t i = 0; i < count; ++i) {
    const char* p = bytes.data() + kHeaderSize + i * kRecordSize;
    ChannelRecord record;
    std::copy(p, p + kRowSize, record.bytes.begin());
    if (p[kRowSize] != 0 && p[kRowSize] != 1) {
      records.clear();
      return false;
    }
    record.scan = p[kRowSize] == 1;
    records.push_back(record);
  }
  return true;
}

PastePlan PlanTextPaste(const std::string& text, int firstChannel, const RowRules& given) {
  PastePlan plan;
  plan.firstChannel = firstChannel;
  const RowRules& rules = given;
  const bool zh = rules.chinese;

  // The radio has 16 channels: 16 rows and a row of titles at most, counted
  // before any row is read.
  std::size_t lineCount = 0;
  if (MoreLinesThan(text, kChannelCount + 1, lineCount)) {
    plan.refusals.push_back(TooManyRows(lineCount, zh));
    return plan;
  }
  std::vector<TextRow> rows;
  CellRefusal failure;
  if (!SplitRows(text, rows, failure, zh)) {
    plan.refusals.push_back(failure);
    return plan;
  }
  if (!rows.empty() && IsTitleRow(rows[0].fields)) rows.erase(rows.begin());
  if (rows.empty()) {
    plan.refusals.push_back(RowRefusal(0, 0, RefusalKind::FieldCount, zh, "nothing to paste: no channel rows",
                                       "没有可粘贴的内容：没有信道行"));
    return plan;
  }
  if (rows.size() > static_cast<std::size_t>(kChannelCount)) {
    plan.refusals.push_back(TooManyRows(rows.size(), zh));
    return plan;
  }

  for (std::size_t i = 0; i < rows.size(); ++i) {
    const TextRow& row = rows[i];
    const int channel = firstChannel + static_cast<int>(i);
    std::vector<std::string> fields = row.fields;
    if (fields.size() == 9 && ParseChannelNumber(fields[0]) != 0) fields.erase(fields.begin());
    if (channel > kChannelCount) {
      plan.refusals.push_back(PastEnd(row.line, channel, zh));
      continue;
    }
    if (fields.empty()) {
      plan.refusals.push_back(RowRefusal(row.line, channel, RefusalKind::FieldCount, zh,
                                         "an empty line; an empty channel is a row of 8 empty fields",
                                         "空行；空信道应为8个空字段"));
      continue;
    }
    if (fields.size() != 8) {
      const std::string count = std::to_string(fields.size());
      plan.refusals.push_back(
          RowRefusal(row.line, channel, RefusalKind::FieldCount, zh,
                     "a row needs 8 fields, or 9 with the channel number first; this one has " + count,
                     "一行需要8个字段，或以信道号开头的9个字段；此行有" + count + "个"));
      continue;
    }
    ChannelTexts in, out;
    std::copy(fields.begin(), fields.end(), in.begin());
    std::vector<CellRefusal> refused = CheckChannelRow(in, rules, out, row.line, channel);
    plan.refusals.insert(plan.refusals.end(), refused.begin(), refused.end());
    plan.texts.push_back(out);
  }
  if (!plan.refusals.empty()) plan.texts.clear();
  return plan;
}

PastePlan PlanBytePaste(const std::vector<ChannelRecord>& records, int firstChannel, const RowRules& rules) {
  PastePlan plan;
  plan.firstChannel = firstChannel;
  const bool zh = rules.chinese;
  if (firstChannel < 1)
    plan.refusals.push_back(RowRefusal(1, firstChannel, RefusalKind::NotChannel, zh, "not a channel 1 to 16",
                                       "不是1至16的信道"));
  std::vector<ChannelRecord> checked;
  for (std::size_t i = 0; i < records.size(); ++i) {
    const int row = static_cast<int>(i) + 1;
    const int channel = firstChannel + static_cast<int>(i);
    if (channel > kChannelCount) {
      plan.refusals.push_back(PastEnd(row, channel, zh));
      continue;
    }
    // The channel as the grid would show it, checked as if it were typed.
    Image scratch = NewImage();
    WriteChannelRecord(scratch, 1, records[i]);
    ChannelTexts texts;
    const std::vector<CellRefusal> refused =
        CheckChannelRow(DecodeChannel(scratch, 1, zh), rules, texts, row, channel);
    plan.refusals.insert(plan.refusals.end(), refused.begin(), refused.end());
    if (!refused.empty()) continue;
    // Frequencies and tones as the encoder writes the checked texts, so
    // bytes no text stands for (a nibble above 9) never get in; the flag
    // bytes and bytes 14-15 as they came.
    EncodeChannel(texts, scratch, 1);
    ChannelRecord record = records[i];
    const ChannelRecord encoded = ReadChannelRecord(scratch, 1);
    std::copy_n(encoded.bytes.begin(), off::kFlagsA, record.bytes.begin());
    checked.push_back(record);
  }
  if (plan.refusals.empty()) plan.records = checked;
  return plan;
}

bool ApplyPaste(const PastePlan& plan, Image& image) {
  if (!plan.Accepted() || plan.firstChannel < 1 || plan.firstChannel + plan.Count() - 1 > kChannelCount)
    return false;
  for (int i = 0; i < plan.Count(); ++i) {
    const int channel = plan.firstChannel + i;
    if (!plan.texts.empty())
      EncodeChannel(plan.texts[static_cast<std::size_t>(i)], image, channel);
    else
      WriteChannelRecord(image, channel, plan.records[static_cast<std::size_t>(i)]);
  }
  return true;
}

std::vector<std::string> PasteListLines(const PastePlan& plan, bool chinese) {
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < plan.refusals.size() && i < kListLines; ++i)
    lines.push_back(PasteRefusalText(plan.refusals[i], chinese));
  return CappedLines(std::move(lines), plan.refusals.size(), chinese);
}

std::string PasteRefusalText(const CellRefusal& r, bool chinese) {
  if (r.row == 0) return r.reason;  // about the text as a whole
  std::string text = InLanguage(chinese, "Row " + std::to_string(r.row), "第" + std::to_string(r.row) + "行");
  if (r.channel > 0) text += InLanguage(chinese, " (CH " + std::to_string(r.channel) + ")", "（信道" + std::to_string(r.channel) + "）");
  if (r.column > 0) text += InLanguage(chinese, ", ", "，") + r.columnName + InLanguage(chinese, ", \"" + r.text + "\"", "，“" + r.text + "”");
  return text + InLanguage(chinese, ": ", "：") + r.reason;
}

}  // namespace chanset

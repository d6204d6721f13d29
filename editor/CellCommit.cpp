#include "editor/CellCommit.h"


#include "data/ChannelWords.h"

namespace chanset {

namespace {
constexpr std::int64_t kTenHzPerMHz = 100000;

// Checks a typed frequency. On success `text` receives its five-decimal form.
int CheckTypedFrequency(const std::string& typed, const BandLimits& limits, std::string& text) {
  // The cell shows the very value that was checked (the typed number
  // truncated to 10 Hz): "446.006255" passes as 44600625 and shows
  // "446.00625". Rounding the text instead would store 446.00626, which is
  // on no channel step and which the grid would refuse on the next Enter.
  const std::int64_t v = ScaleDecimal(typed, kTenHzPerMHz);
  switch (CheckFrequency(v, limits)) {
    case FrequencyCheck::OutOfRange: return ids::kOutOfRange;
    case FrequencyCheck::OffStep: return ids::kStepError;
    case FrequencyCheck::Ok: break;
  }
  text = TenHzText(v);
  return 0;
}
}  // namespace

const ChannelTexts& NewChannelDefaults(bool chinese) {
  auto make = [](bool zh) {
    return ChannelTexts{"", "", words::kNone.In(zh), words::kNone.In(zh), words::kWide.In(zh),
                        words::kYes.In(zh), words::kOff.In(zh), words::kHigh.In(zh)};
  };
  static const ChannelTexts english = make(false);
  static const ChannelTexts chineseTexts = make(true);
  return chinese ? chineseTexts : english;
}

CommitResult CommitCell(int column, const std::string& editorText, const ChannelTexts& row,
                        const BandLimits& limits, bool chinese) {
  CommitResult result{row, 0};
  const std::string& rx = row[kColRx - 1];
  const std::string& tx = row[kColTx - 1];

  if (column == kColRx) {
    if (editorText.empty()) {
      result.row = ChannelTexts{};  // the channel is deleted
      return result;
    }
    std::string text;
    result.message = CheckTypedFrequency(editorText, limits, text);
    if (result.Refused()) return result;  // the row keeps its previous texts
    if (rx.empty()) {
      result.row = NewChannelDefaults(chinese);
      result.row[kColTx - 1] = text;
    }
    result.row[kColRx - 1] = text;
    return result;
  }

  if (column == kColTx) {
    if (editorText.empty()) {
      result.row[kColTx - 1] = rx;  // the transmit frequency follows the receive one
      return result;
    }
    std::string text;
    result.message = CheckTypedFrequency(editorText, limits, text);
    if (result.Refused()) return result;
    // A transmit frequency without a receive frequency is not kept.
    result.row[kColTx - 1] = rx.empty() ? std::string() : text;
    return result;
  }

  if (column > kColTx && column <= kColLast)
    result.row[column - 1] = (rx.empty() && tx.empty()) ? std::string() : editorText;
  return result;
}

int FindListEntry(const std::vector<std::string>& entries, const std::string& cellText) {
  if (entries.empty()) return -1;
  auto fold = [](char ch) {
    return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch;
  };
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::string& entry = entries[i];
    if (entry.size() < cellText.size()) continue;
    bool match = true;
    for (std::size_t k = 0; k < cellText.size() && match; ++k)
      match = fold(entry[k]) == fold(cellText[k]);
    if (match) return static_cast<int>(i);
  }
  return 0;
}

GridCell NextEnterCell(GridCell from, int lastRow, int lastCol) {
  if (from.col < lastCol) return {from.row, from.col + 1};
  if (from.row < lastRow) return {from.row + 1, 1};
  return {1, 1};
}

}  // namespace chanset

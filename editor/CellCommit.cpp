#include "editor/CellCommit.h"

#include "data/ChannelWords.h"

namespace chanset {

namespace {

// The message a refused cell shows: the range message for anything that is
// no frequency of the band (text that is no number included), the step
// message for a frequency off the steps, the list message for a choice.
int MessageFor(RefusalKind kind, int column) {
  if (kind == RefusalKind::OffStep) return ids::kStepError;
  return column <= kColTx ? ids::kOutOfRange : ids::kNotInList;
}

// A typed frequency is read as a number the way the grid always has: the
// longest leading part of a decimal number counts ("446.0125MHz" is
// 446.0125), text without one reads as 0, and the value is truncated to
// 10 Hz. The row check then sees that plain value. A text too long for any
// cell goes to the check as it is, to be refused for its length.
std::string TypedFrequency(const std::string& typed) {
  if (typed.size() > kLongestCell) return typed;
  const std::int64_t v = ScaleDecimal(typed, 100000);
  return v > 0 ? TenHzText(v) : std::string("0");
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
  if (column < kColRx || column > kColLast) return result;
  const std::string& rx = row[kColRx - 1];
  const std::string& tx = row[kColTx - 1];
  if (column == kColRx && editorText.empty()) {
    result.row = ChannelTexts{};  // the channel is deleted
    return result;
  }
  if (column == kColTx && editorText.empty()) {
    result.row[kColTx - 1] = rx;  // the transmit frequency follows the receive one
    return result;
  }

  // The typed text goes through the row check every channel that comes in
  // passes, in a row where only its own cell can fail: a frequency is also
  // the Rx (an empty Rx would make the row no channel at all), a choice
  // stands beside a placeholder Rx whose refusal does not count.
  const std::string typed = column <= kColTx ? TypedFrequency(editorText) : editorText;
  ChannelTexts probe = NewChannelDefaults(chinese);
  probe[kColRx - 1] = column <= kColTx ? typed : "0";
  probe[static_cast<std::size_t>(column - 1)] = typed;
  ChannelTexts checked;
  for (const CellRefusal& refusal : CheckChannelRow(probe, {limits, std::string(), chinese}, checked)) {
    if (refusal.column != column) continue;
    result.message = MessageFor(refusal.kind, column);
    result.refusal = refusal.kind;
    return result;  // the row keeps its previous texts
  }
  // The cell shows the very value that was checked (a frequency truncated
  // to 10 Hz, "446.006255" showing "446.00625"; a word in the interface
  // language), so the next Enter on it never refuses what the grid wrote.
  const std::string& text = checked[static_cast<std::size_t>(column - 1)];

  if (column == kColRx) {
    if (rx.empty()) {
      result.row = NewChannelDefaults(chinese);
      result.row[kColTx - 1] = text;
    }
    result.row[kColRx - 1] = text;
  } else if (column == kColTx) {
    // A transmit frequency without a receive frequency is not kept.
    result.row[kColTx - 1] = rx.empty() ? std::string() : text;
  } else {
    result.row[static_cast<std::size_t>(column - 1)] = (rx.empty() && tx.empty()) ? std::string() : text;
  }
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

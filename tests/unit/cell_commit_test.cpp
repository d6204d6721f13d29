#include <gtest/gtest.h>

#include "editor/CellCommit.h"
#include "editor/ToneTable.h"

using namespace chanset;

namespace {

const BandLimits kBand400{40000000, 47100000};  // 400-470MHz
const BandLimits kBand136{13600000, 17500000};  // 136-174MHz

const ChannelTexts kEmpty{};
const ChannelTexts kChannel{"446.00625", "446.00625", "None", "D023N",
                            "Wide",      "Yes",       "Off",  "High"};
const ChannelTexts kNewChannel{"446.00625", "446.00625", "None", "None",
                               "Wide",      "Yes",       "Off",  "High"};

ChannelTexts With(ChannelTexts row, int column, const std::string& text) {
  row[column - 1] = text;
  return row;
}

struct CommitCase {
  const char* name;
  int column;
  std::string typed;
  ChannelTexts before;
  ChannelTexts after;
  int message;
};

class CommitTable : public ::testing::TestWithParam<CommitCase> {};

TEST_P(CommitTable, GivesRowAndMessage) {
  const CommitCase& c = GetParam();
  const CommitResult r = CommitCell(c.column, c.typed, c.before, kBand400, false);
  EXPECT_EQ(r.row, c.after);
  EXPECT_EQ(r.message, c.message);
  EXPECT_EQ(r.Refused(), c.message != 0);
}

INSTANTIATE_TEST_SUITE_P(
    Band400to470, CommitTable,
    ::testing::Values(
        // A first Rx creates the channel with its defaults.
        CommitCase{"NewChannel", 1, "446.00625", kEmpty, kNewChannel, 0},
        CommitCase{"NewChannelWholeMHz", 1, "446", kEmpty,
                   With(With(kNewChannel, 1, "446.00000"), 2, "446.00000"), 0},
        // Steps: 6.25 kHz and 5 kHz multiples pass, others do not.
        CommitCase{"OffStepNewRowStaysEmpty", 1, "446.00312", kEmpty, kEmpty, ids::kStepError},
        CommitCase{"On625Step", 1, "446.0125", kChannel, With(kChannel, 1, "446.01250"), 0},
        CommitCase{"On500Step", 1, "446.005", kChannel, With(kChannel, 1, "446.00500"), 0},
        // The range ends one MHz above the band's named top.
        CommitCase{"TopOfRange", 1, "471.00000", kChannel, With(kChannel, 1, "471.00000"), 0},
        CommitCase{"AboveRange", 1, "471.00500", kChannel, kChannel, ids::kOutOfRange},
        CommitCase{"BelowRange", 1, "399.99375", kChannel, kChannel, ids::kOutOfRange},
        CommitCase{"BottomOfRange", 1, "400", kChannel, With(kChannel, 1, "400.00000"), 0},
        // Not a number reads as 0: out of range, checked before the step.
        CommitCase{"NotANumber", 1, "abc", kChannel, kChannel, ids::kOutOfRange},
        CommitCase{"NotANumberNewRow", 1, "x446", kEmpty, kEmpty, ids::kOutOfRange},
        CommitCase{"NegativeNumber", 1, "-446.00625", kChannel, kChannel, ids::kOutOfRange},
        // Trailing text after a typed number: the number counts.
        CommitCase{"LeadingNumberPart", 1, "446.0125MHz", kChannel,
                   With(kChannel, 1, "446.01250"), 0},
        // The cell shows the value that was checked: the typed number
        // truncated to 10 Hz, never rounded off the step.
        CommitCase{"TruncatedCheckTruncatedText", 1, "446.006255", kChannel,
                   With(kChannel, 1, "446.00625"), 0},
        CommitCase{"TruncatedNewRowFillsTx", 1, "446.0062599", kEmpty,
                   kNewChannel, 0},
        CommitCase{"TxTruncatedText", 2, "447.0062599", kChannel, With(kChannel, 2, "447.00625"), 0},
        // An existing channel keeps its Tx and choices when its Rx changes.
        CommitCase{"ExistingRxChange", 1, "450.5", With(kChannel, 2, "447.00000"),
                   With(With(kChannel, 1, "450.50000"), 2, "447.00000"), 0},
        CommitCase{"ClearRxDeletes", 1, "", kChannel, kEmpty, 0},
        // Tx.
        CommitCase{"TxAccepted", 2, "447.5", kChannel, With(kChannel, 2, "447.50000"), 0},
        CommitCase{"ClearTxCopiesRx", 2, "", With(kChannel, 2, "450.00000"), kChannel, 0},
        CommitCase{"TxOffStepKeepsRow", 2, "447.00312", kChannel, kChannel, ids::kStepError},
        CommitCase{"TxOutOfRangeKeepsRow", 2, "480", kChannel, kChannel, ids::kOutOfRange},
        CommitCase{"TxWithoutRxNotKept", 2, "446.00625", kEmpty, kEmpty, 0},
        CommitCase{"TxWithoutRxStillChecked", 2, "500", kEmpty, kEmpty, ids::kOutOfRange},
        // Choices.
        CommitCase{"ChoiceStored", 5, "Narrow", kChannel, With(kChannel, 5, "Narrow"), 0},
        CommitCase{"ChoiceEmptyRowStaysEmpty", 5, "Narrow", kEmpty, kEmpty, 0},
        CommitCase{"ChoiceWithTxOnly", 8, "Low", With(kEmpty, 2, "446.00625"),
                   With(With(kEmpty, 2, "446.00625"), 8, "Low"), 0},
        CommitCase{"ToneStored", 3, "D023I", kChannel, With(kChannel, 3, "D023I"), 0},
        CommitCase{"ChoiceOfNoList", 7, "Sometimes", kChannel, kChannel, ids::kNotInList},
        CommitCase{"ToneOfNoList", 4, "88.6", kChannel, kChannel, ids::kNotInList}),
    [](const ::testing::TestParamInfo<CommitCase>& info) { return info.param.name; });

// Whatever a commit shows passes the same checks again unchanged, so the
// next Enter on the cell never refuses what the grid itself wrote.
TEST(CommitCell, ShownValueIsTheCheckedValue) {
  for (const char* typed : {"446.006255", "446.0062499999", "446.00999", "400.0000001", "470.99999",
                            "446.0125000001", " 446.005MHz", "4.46e2"}) {
    SCOPED_TRACE(typed);
    const CommitResult first = CommitCell(1, typed, kChannel, kBand400, false);
    if (first.Refused()) continue;
    const std::string shown = first.row[0];
    EXPECT_EQ(ScaleDecimal(shown, 100000), ScaleDecimal(typed, 100000));
    const CommitResult again = CommitCell(1, shown, first.row, kBand400, false);
    EXPECT_FALSE(again.Refused());
    EXPECT_EQ(again.row, first.row);
  }
}

TEST(CommitCell, ChineseDefaultsAndOtherBand) {
  const CommitResult r = CommitCell(1, "136.5", kEmpty, kBand136, true);
  EXPECT_EQ(r.row, (ChannelTexts{"136.50000", "136.50000", "无", "无", "宽", "是", "关", "高"}));
  EXPECT_EQ(CommitCell(1, "175.005", kEmpty, kBand136, true).message, ids::kOutOfRange);
  EXPECT_EQ(CommitCell(1, "175", kEmpty, kBand136, true).message, 0);
}

TEST(CommitCell, EmptyBandRefusesEverythingAboveOneMHz) {
  const BandLimits none{0, 100000};
  EXPECT_EQ(CommitCell(1, "446.00625", kEmpty, none, false).message, ids::kOutOfRange);
  EXPECT_EQ(CommitCell(1, "0.5", kEmpty, none, false).message, 0);
}

TEST(FindListEntry, FirstEntryBeginningWithTextIgnoringCase) {
  const std::vector<std::string> busy{"Off", "Carrier", "QT/DQT"};
  EXPECT_EQ(FindListEntry(busy, "Carrier"), 1);
  EXPECT_EQ(FindListEntry(busy, "qt/dqt"), 2);
  EXPECT_EQ(FindListEntry(busy, "C"), 1);
  EXPECT_EQ(FindListEntry(busy, ""), 0);
  EXPECT_EQ(FindListEntry(busy, "Carriers"), 0);
  EXPECT_EQ(FindListEntry({}, "Off"), -1);
  const std::vector<std::string> power{"高", "中", "低"};
  EXPECT_EQ(FindListEntry(power, "低"), 2);
}

// A decoded tone the list lacks opens the list on its first entry, and
// leaving the cell stores that entry.
TEST(FindListEntry, ToneNotInListStoresFirstEntryWhenLeft) {
  for (bool chinese : {false, true}) {
    const ToneTable tones(chinese);
    std::vector<std::string> entries;
    for (int i = 0; i < tones.Size(); ++i) entries.push_back(tones.Text(i));
    for (const char* decoded : {"88.6", "D017N", "D050I"}) {
      const int index = FindListEntry(entries, decoded);
      ASSERT_EQ(index, 0) << decoded;
      const CommitResult r =
          CommitCell(3, entries[index], With(kChannel, 3, decoded), kBand400, chinese);
      EXPECT_EQ(r.row[2], chinese ? "无" : "None") << decoded;
      EXPECT_FALSE(r.Refused());
    }
    // Texts that are in the list find themselves.
    for (const char* text : {"88.5", "100.0", "D023N", "D023I", "D754I"})
      EXPECT_EQ(entries[FindListEntry(entries, text)], text);
    EXPECT_EQ(entries[FindListEntry(entries, "d023i")], "D023I");
  }
}

struct WalkCase {
  GridCell from;
  GridCell to;
};

class EnterWalk : public ::testing::TestWithParam<WalkCase> {};

TEST_P(EnterWalk, MovesToNextCell) {
  EXPECT_EQ(NextEnterCell(GetParam().from, 16, 8), GetParam().to);
}

INSTANTIATE_TEST_SUITE_P(ChannelGrid, EnterWalk,
                         ::testing::Values(WalkCase{{1, 1}, {1, 2}}, WalkCase{{5, 7}, {5, 8}},
                                           WalkCase{{5, 8}, {6, 1}}, WalkCase{{15, 8}, {16, 1}},
                                           WalkCase{{16, 7}, {16, 8}},
                                           WalkCase{{16, 8}, {1, 1}}));

TEST(EnterWalk, VisitsEveryEditableCellOnceBeforeWrapping) {
  GridCell cell{1, 1};
  int steps = 0;
  do {
    EXPECT_GE(cell.row, 1);
    EXPECT_LE(cell.row, 16);
    EXPECT_GE(cell.col, 1);
    EXPECT_LE(cell.col, 8);
    cell = NextEnterCell(cell, 16, 8);
    ++steps;
  } while (!(cell == GridCell{1, 1}) && steps < 1000);
  EXPECT_EQ(steps, 16 * 8);
}

}  // namespace

// The row check, the clipboard formats, the paste parser and whole-channel
// moves.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "data/ChannelCodec.h"
#include "editor/ChannelBlocks.h"
#include "editor/ChannelClipboard.h"
#include "editor/ChannelRows.h"

using namespace chanset;

namespace {

const std::string kBand = "400-470MHz";
RowRules Rules(bool zh = false, ToneRule tones = ToneRule::Listed) {
  return {DeriveBandLimits(kBand), kBand, tones, zh};
}

// ---- the row check ----

struct RowCase {
  ToneRule tones;
  bool zh;
  ChannelTexts in;
  ChannelTexts out;  // when nothing is refused
  std::vector<std::pair<int, RefusalKind>> refused;  // grid column, kind
};

class RowCheck : public ::testing::TestWithParam<RowCase> {};

TEST_P(RowCheck, GivesGridTextsOrRefusedCells) {
  const RowCase& c = GetParam();
  ChannelTexts out;
  const std::vector<CellRefusal> refused = CheckChannelRow(c.in, Rules(c.zh, c.tones), out, 4, 7);
  std::vector<std::pair<int, RefusalKind>> got;
  for (const CellRefusal& r : refused) {
    got.emplace_back(r.column, r.kind);
    EXPECT_EQ(r.row, 4);
    EXPECT_EQ(r.channel, 7);
    EXPECT_EQ(r.text, TrimBlanks(c.in[static_cast<std::size_t>(r.column - 1)]));
  }
  EXPECT_EQ(got, c.refused);
  if (c.refused.empty()) {
    EXPECT_EQ(out, c.out);
  }
}

using K = RefusalKind;
const ToneRule L = ToneRule::Listed, D = ToneRule::Decodable;

INSTANTIATE_TEST_SUITE_P(
    Table, RowCheck,
    ::testing::Values(
        RowCase{L, false, {"446.00625", "", "None", "D023N", "Wide", "Yes", "Off", "High"},
                {"446.00625", "446.00625", "None", "D023N", "Wide", "Yes", "Off", "High"}, {}},
        // Words of the other language, a spreadsheet's "100" for 100.0 Hz,
        // blanks around cells; the texts come out in English.
        RowCase{L, false, {" 440.0125", "441 ", "无", "100", "窄", "否", "载波", "中"},
                {"440.01250", "441.00000", "None", "100.0", "Narrow", "No", "Carrier", "Middle"}, {}},
        // The cell gets the value that was checked, not a rounded one off the step.
        RowCase{L, false, {"446.006255", "446.0125", "88.50", "d754i", "Wide", "No", "QT/DQT", "Low"},
                {"446.00625", "446.01250", "88.5", "D754I", "Wide", "No", "QT/DQT", "Low"}, {}},
        // Empty cells take what the encoder would make of them, in Chinese.
        RowCase{L, true, {"446.00625", "", "", "", "", "", "", ""},
                {"446.00625", "446.00625", "无", "无", "宽", "是", "QT/DQT", "高"}, {}},
        // An empty Rx empties the channel, whatever the other cells say.
        RowCase{L, false, {"", "480", "junk", "", "x", "", "", ""}, {}, {}},
        RowCase{L, false, {"471.005", "446.00312", "88.6", "D017N", "Wideband", "yes", "Off", "Max"}, {},
                {{1, K::OutOfRange}, {2, K::OffStep}, {3, K::NotTone}, {4, K::NotTone}, {5, K::NotWord},
                 {6, K::NotWord}, {8, K::NotWord}}},
        RowCase{L, false, {"446MHz", "1e2", "D999N", "62.4", "Wide", "Yes", "Off", "High"}, {},
                {{1, K::NotFrequency}, {2, K::NotFrequency}, {3, K::NotTone}, {4, K::NotTone}}},
        RowCase{L, false, {"399.99375", "471", "none", "D023X", "Wide", "Yes", "Off", "High"}, {},
                {{1, K::OutOfRange}, {3, K::NotTone}, {4, K::NotTone}}},
        // The tables dump writes may hold any tone an image decodes to.
        RowCase{D, false, {"446", "", "88.6", "D017N", "Wide", "Yes", "Off", "High"},
                {"446.00000", "446.00000", "88.6", "D017N", "Wide", "Yes", "Off", "High"}, {}},
        RowCase{D, false, {"446", "", "100", "088.5", "Wide", "Yes", "Off", "High"}, {},
                {{3, K::NotTone}, {4, K::NotTone}}}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(RowCheck, ReasonsInBothLanguages) {
  ChannelTexts out;
  const ChannelTexts in{"500", "", "None", "None", "Wide", "Yes", "Off", "Big"};
  auto en = CheckChannelRow(in, Rules(false), out);
  ASSERT_EQ(en.size(), 2u);
  EXPECT_EQ(en[0].reason, "out of range: the band 400-470MHz takes 400.00000 to 471.00000 MHz");
  EXPECT_EQ(en[1].columnName, "Power");
  EXPECT_EQ(en[1].reason, "not a known word; one of High, Middle, Low, 高, 中, 低 or empty");
  auto zh = CheckChannelRow(in, Rules(true), out);
  ASSERT_EQ(zh.size(), 2u);
  EXPECT_EQ(zh[0].reason, "超出范围：频段400-470MHz的范围是400.00000至471.00000 MHz");
  EXPECT_EQ(zh[1].columnName, "功率");
}

// ---- paste ----

struct PasteCase {
  const char* text;
  int first;
  std::vector<ChannelTexts> texts;
  std::vector<std::string> refusals;  // PasteRefusalText, English
};

class Paste : public ::testing::TestWithParam<PasteCase> {};

TEST_P(Paste, PlansTheRowsOrRefusesEveryBadCell) {
  const PasteCase& c = GetParam();
  const PastePlan plan = PlanTextPaste(c.text, c.first, Rules());
  std::vector<std::string> refusals;
  for (const CellRefusal& r : plan.refusals) refusals.push_back(PasteRefusalText(r, false));
  EXPECT_EQ(refusals, c.refusals);
  EXPECT_EQ(plan.texts, c.texts);
  EXPECT_EQ(plan.Accepted(), c.refusals.empty());
}

const ChannelTexts kRow1{"446.00625", "446.00625", "None", "None", "Wide", "Yes", "Off", "High"};
const ChannelTexts kRow2{"440.01250", "445.01250", "88.5", "D023N", "Narrow", "No", "Carrier", "Low"};

INSTANTIATE_TEST_SUITE_P(
    Table, Paste,
    ::testing::Values(
        // As a spreadsheet gives it: titles, channel numbers, CRLF, an empty channel.
        PasteCase{"CH\tRx Frequency\tTx Frequency\tQT/DQT Dec\tQT/DQT Enc\tW/N\tScan\tBusy Lock\tPower\r\n"
                  " 1\t446.00625\t446.00625\tNone\tNone\tWide\tYes\tOff\tHigh\r\n"
                  "2\t\t\t\t\t\t\t\t\r\n",
                  5, {kRow1, ChannelTexts{}}, {}},
        // Chinese words and titles, without channel numbers, no final line end.
        PasteCase{"接收频率\t发射频率\tQT/DQT解码\tQT/DQT编码\t宽/窄\t扫描\t繁忙锁定\t功率\n"
                  "440.0125\t445.0125\t88.5\tD023N\t窄\t否\t载波\t低",
                  16, {kRow2}, {}},
        // Comma-separated with quotes, blank lines around.
        PasteCase{"\n\"446.00625\",,None,None,Wide,Yes,Off,High\n440.0125,445.0125,88.5,D023N,Narrow,No,Carrier,Low\n\n",
                  1, {kRow1, kRow2}, {}},
        // Every refused cell is listed; nothing is pasted.
        PasteCase{"500\t\tNone\tNone\tWide\tYes\tOff\tHigh\n"
                  "446.00625\t446.00625\t88.6\tNone\tWide\tYes\tOff\tMax\n"
                  "446.00625\tNone\n\n"
                  "x\t446\t446\tNone\tNone\tWide\tYes\tOff\tHigh\n",
                  3, {},
                  {"Row 1 (CH 3), Rx Frequency, \"500\": out of range: the band 400-470MHz takes 400.00000 to "
                   "471.00000 MHz",
                   "Row 2 (CH 4), QT/DQT Dec, \"88.6\": not in the tone list: None, one of its 53 CTCSS tones "
                   "(88.5) or a listed DCS code with N or I (D023N)",
                   "Row 2 (CH 4), Power, \"Max\": not a known word; one of High, Middle, Low, 高, 中, 低 or empty",
                   "Row 3 (CH 5): a row needs 8 fields, or 9 with the channel number first; this one has 2",
                   "Row 4 (CH 6): an empty line; an empty channel is a row of 8 empty fields",
                   "Row 5 (CH 7): a row needs 8 fields, or 9 with the channel number first; this one has 9"}},
        PasteCase{"446\t\t\t\t\t\t\t\n446\t\t\t\t\t\t\t\n446\t\t\t\t\t\t\t\n", 15, {},
                  {"Row 3 (CH 17): would go to channel 17; the last channel is 16"}},
        PasteCase{" \r\n \r\n", 1, {}, {"nothing to paste: no channel rows"}},
        PasteCase{"\"a,b\"c,1", 1, {},
                  {"Row 1: not readable as comma-separated fields: text after the closing quote of a field"}}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(Paste, RefusalsInChinese) {
  const PastePlan plan = PlanTextPaste("500\t\t无\t无\t宽\t是\t关\t高\n", 2, Rules(true));
  ASSERT_EQ(plan.refusals.size(), 1u);
  EXPECT_EQ(PasteRefusalText(plan.refusals[0], true),
            "第1行（信道2），接收频率，“500”：超出范围：频段400-470MHz的范围是400.00000至471.00000 MHz");
}

// An image with channels 1..16 told apart: byte 0 (a BCD digit pair), the
// unused byte 15 and alternating scan bits.
Image NumberedImage() {
  Image image = NewImage();
  for (int n = 1; n <= kChannelCount; ++n) {
    image[off::channel(n)] = static_cast<std::uint8_t>(n);
    image[off::channel(n) + 15] = static_cast<std::uint8_t>(0xA0 + n);
    SetScanBit(image, n, n % 3 == 0);
  }
  return image;
}

// Which original channel each place holds, checking that record and scan
// bit travelled together.
std::vector<int> Order(const Image& image) {
  std::vector<int> order;
  for (int place = 1; place <= kChannelCount; ++place) {
    const int n = image[off::channel(place)];
    EXPECT_EQ(image[off::channel(place) + 15], 0xA0 + n);
    EXPECT_EQ(ScanBit(image, place), n % 3 == 0) << place;
    order.push_back(n);
  }
  return order;
}

TEST(Clipboard, BytesCarryChannelsExactly) {
  std::mt19937 rng(7);
  Image source;
  for (auto& b : source) b = static_cast<std::uint8_t>(rng());
  const std::string bytes = ChannelsAsBytes(source, {9, 2, 5, 2, 40});
  ASSERT_EQ(bytes.size(), 6u + 3 * 17);
  std::vector<ChannelRecord> records;
  ASSERT_TRUE(ParseChannelBytes(bytes, records));

  Image target = NumberedImage();
  const Image before = target;
  const PastePlan plan = PlanBytePaste(records, 10, false);
  ASSERT_TRUE(ApplyPaste(plan, target));
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(ReadChannelRecord(target, 10 + i), ReadChannelRecord(source, std::vector<int>{2, 5, 9}[i]));
  for (int n : {1, 9, 13, 16}) EXPECT_EQ(ReadChannelRecord(target, n), ReadChannelRecord(before, n));
  for (std::size_t i = 0x110; i < kImageSize; ++i)
    if (i != off::kScanBits && i != off::kScanBits + 1) {
      ASSERT_EQ(target[i], before[i]) << i;
    }

  // Past channel 16 nothing is pasted.
  const PastePlan late = PlanBytePaste(records, 15, false);
  EXPECT_EQ(late.refusals.size(), 1u);
  EXPECT_FALSE(ApplyPaste(late, target));

  // Anything but the format itself is refused.
  std::string wrong = bytes;
  for (auto change : std::vector<std::pair<std::size_t, char>>{{0, 'X'}, {4, 2}, {5, 0}, {5, 17}, {22, 2}}) {
    wrong = bytes;
    wrong[change.first] = change.second;
    EXPECT_FALSE(ParseChannelBytes(wrong, records)) << change.first;
    EXPECT_TRUE(records.empty());
  }
  EXPECT_FALSE(ParseChannelBytes(bytes + "x", records));
  EXPECT_FALSE(ParseChannelBytes(bytes.substr(0, 5), records));
}

TEST(Clipboard, TextPastesBackAsTheSameTexts) {
  for (bool zh : {false, true}) {
    Image source = NewImage();
    EncodeChannel(kRow1, source, 3);
    EncodeChannel(kRow2, source, 4);
    const std::string text = ChannelsAsText(source, {4, 3, 5}, zh);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\t'), 3 * 7);

    Image target = NumberedImage();
    const PastePlan plan = PlanTextPaste(text, 8, Rules(zh));
    ASSERT_TRUE(plan.Accepted());
    ASSERT_TRUE(ApplyPaste(plan, target));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(DecodeChannel(target, 8 + i, zh), DecodeChannel(source, 3 + i, zh));
  }
}

// ---- moves and delete ----

struct MoveCase {
  char op;  // 'u' up, 'd' down, 't' to target
  std::vector<int> selection;
  int target;
  bool moved;
  std::vector<int> order;      // the first places; the rest unchanged
  std::vector<int> selectionAfter;
};

class Moves : public ::testing::TestWithParam<MoveCase> {};

TEST_P(Moves, ChannelsMoveWhole) {
  const MoveCase& c = GetParam();
  Image image = NumberedImage();
  std::vector<int> selection = c.selection;
  const bool moved = c.op == 'u'   ? MoveChannelsUp(image, selection)
                     : c.op == 'd' ? MoveChannelsDown(image, selection)
                                   : MoveChannelsTo(image, selection, c.target);
  EXPECT_EQ(moved, c.moved);
  std::vector<int> want = c.order;
  for (int n = static_cast<int>(want.size()) + 1; n <= kChannelCount; ++n) want.push_back(n);
  EXPECT_EQ(Order(image), want);
  if (moved) {
    EXPECT_EQ(selection, c.selectionAfter);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, Moves,
    ::testing::Values(MoveCase{'u', {3, 4}, 0, true, {1, 3, 4, 2}, {2, 3}},
                      MoveCase{'u', {5, 3}, 0, true, {1, 3, 2, 5, 4}, {2, 4}},
                      MoveCase{'u', {1, 2}, 0, false, {}, {}},
                      MoveCase{'d', {2, 3}, 0, true, {1, 4, 2, 3}, {3, 4}},
                      MoveCase{'d', {16}, 0, false, {}, {}},
                      MoveCase{'t', {2, 3}, 6, true, {1, 4, 5, 2, 3}, {4, 5}},
                      MoveCase{'t', {5, 6}, 1, true, {5, 6, 1, 2, 3, 4}, {1, 2}},
                      MoveCase{'t', {2, 4}, 3, true, {1, 2, 4, 3}, {2, 3}},
                      MoveCase{'t', {15}, 17, true, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 16, 15}, {16}},
                      MoveCase{'t', {2, 3}, 3, false, {}, {}},
                      MoveCase{'t', {2, 3}, 4, false, {}, {}},
                      MoveCase{'t', {0, 3}, 1, false, {}, {}}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(Delete, ClearsAsEmptyingRxDoes) {
  Image image = NumberedImage();
  Image expected = image;
  EncodeChannel(ChannelTexts{}, expected, 4);
  EncodeChannel(ChannelTexts{}, expected, 9);
  ASSERT_TRUE(ClearChannels(image, {9, 4}));
  EXPECT_EQ(image, expected);
  const std::uint8_t* r = image.data() + off::channel(4);
  for (int i = 0; i < 12; ++i) EXPECT_EQ(r[i], 0xFF);
  EXPECT_EQ(r[off::kFlagsA] & kBusyMask, kBusyQt);
  EXPECT_EQ(r[off::kFlagsB] & (kWideBit | kPowerMask), kWideBit | kPowerHigh);
  EXPECT_EQ(r[15], 0xA4);  // bytes the encoder does not own stay
  EXPECT_TRUE(ScanBit(image, 4));
  EXPECT_EQ(DecodeChannel(image, 4, false), ChannelTexts{});
  EXPECT_FALSE(ClearChannels(image, {}));
  EXPECT_FALSE(ClearChannels(image, {17}));
}

}  // namespace

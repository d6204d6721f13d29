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
#include "data/ChannelWords.h"
#include "data/Csv.h"
#include "editor/CellCommit.h"
#include "editor/ChannelImport.h"
#include "editor/ChansetCsv.h"
#include "platform/ListLines.h"

using namespace chanset;

namespace {

const std::string kBand = "400-470MHz";
RowRules Rules(bool zh = false) { return {DeriveBandLimits(kBand), kBand, zh}; }

// ---- the row check, through every way a channel comes in ----

struct RowCase {
  bool zh;
  ChannelTexts in;
  ChannelTexts out;  // when nothing is refused
  std::vector<std::pair<int, RefusalKind>> refused;  // grid column, kind
};

using Verdict = std::pair<std::vector<std::pair<int, RefusalKind>>, ChannelTexts>;

Verdict Of(const std::vector<CellRefusal>& refusals, const ChannelTexts& texts, int columnShift = 0) {
  Verdict v;
  for (const CellRefusal& r : refusals) v.first.emplace_back(r.column - columnShift, r.kind);
  if (refusals.empty()) v.second = texts;
  return v;
}

// Typing: the Rx first (an empty one clears the channel, and then there is
// nothing more to type), then every other cell, each committed as leaving
// the cell does.
Verdict Typed(const ChannelTexts& in, bool zh) {
  ChannelTexts row{};
  Verdict v;
  for (int c = 1; c <= 8; ++c) {
    const CommitResult r = CommitCell(c, TrimBlanks(in[static_cast<std::size_t>(c - 1)]), row, DeriveBandLimits(kBand), zh);
    if (r.Refused()) v.first.emplace_back(c, r.refusal);
    row = r.row;
    if (c == 1 && TrimBlanks(in[0]).empty()) break;
  }
  if (v.first.empty()) v.second = row;
  return v;
}

std::string Joined(const ChannelTexts& in, char separator) {
  std::string line;
  for (std::size_t c = 0; c < in.size(); ++c) line += (c ? std::string(1, separator) : "") + in[c];
  return line;
}

// Chanset's clipboard bytes of the channel, when bytes can say what the
// texts say (a frequency as plain digits, a tone the decoder writes back, a
// word of its list): the channel record the encoder makes, a frequency of
// nine digits written into eight as crafted data would hold it.
bool Crafted(const ChannelTexts& in, ChannelRecord& record) {
  ChannelTexts t;
  for (std::size_t c = 0; c < 8; ++c) t[c] = TrimBlanks(in[c]);
  if (!t[0].empty()) {
    if (t[1].empty()) t[1] = t[0];
    for (std::size_t c = 0; c < 8; ++c)
      if (t[c].size() > kLongestCell) return false;
    for (std::size_t c : {0, 1})
      if (!IsDecimalText(t[c]) || ScaleDecimal(t[c], 100000) <= 0) return false;
    for (std::size_t c : {2, 3}) {
      const bool dcs = t[c].size() == 5 && t[c][0] == 'D' && (t[c][4] == 'N' || t[c][4] == 'I');
      const bool ctcss = IsDecimalText(t[c]) && ScaleDecimal(t[c], 100) % 10 == 0;  // tenths of a hertz
      if (!t[c].empty() && !words::kNone.Matches(t[c]) && !dcs && !ctcss) return false;
    }
    const std::array<const WordPair*, 4> fallback{&words::kWide, &words::kYes, &words::kQtDqt, &words::kHigh};
    for (std::size_t c = 4; c < 8; ++c) {
      bool known = t[c].empty();
      for (const WordPair& w : kWidthChoices) known = known || (c == 4 && w.Matches(t[c]));
      for (const WordPair& w : kScanChoices) known = known || (c == 5 && w.Matches(t[c]));
      for (const WordPair& w : kBusyChoices) known = known || (c == 6 && w.Matches(t[c]));
      for (const WordPair& w : kPowerChoices) known = known || (c == 7 && w.Matches(t[c]));
      if (!known) return false;
      if (t[c].empty()) t[c] = fallback[c - 4]->en;
    }
  }
  Image scratch = NewImage();
  EncodeChannel(t, scratch, 1);
  record = ReadChannelRecord(scratch, 1);
  return true;
}

class RowCheck : public ::testing::TestWithParam<RowCase> {};

TEST_P(RowCheck, EveryWayInGivesTheSameVerdict) {
  const RowCase& c = GetParam();
  const Verdict want{c.refused, c.refused.empty() ? c.out : ChannelTexts{}};

  // The check itself, with the row and channel it is told.
  ChannelTexts out;
  const std::vector<CellRefusal> refused = CheckChannelRow(c.in, Rules(c.zh), out, 4, 7);
  for (const CellRefusal& r : refused) {
    EXPECT_EQ(r.row, 4);
    EXPECT_EQ(r.channel, 7);
    EXPECT_EQ(r.text, ShownText(TrimBlanks(c.in[static_cast<std::size_t>(r.column - 1)])));
  }
  EXPECT_EQ(Of(refused, out), want) << "check";

  // Typing reads the leading number of a typed frequency ("446MHz" is
  // 446); every other way in takes plain numbers only.
  const bool plainNumbers =
      IsDecimalText(TrimBlanks(c.in[0])) && (TrimBlanks(c.in[1]).empty() || IsDecimalText(TrimBlanks(c.in[1])));
  if (plainNumbers) {
    EXPECT_EQ(Typed(c.in, c.zh), want) << "typing";
  }

  const PastePlan text = PlanTextPaste(Joined(c.in, '\t') + "\n", 1, Rules(c.zh));
  EXPECT_EQ(Of(text.refusals, text.texts.empty() ? ChannelTexts{} : text.texts[0]), want) << "text paste";

  ChannelRecord record;
  if (Crafted(c.in, record)) {
    const PastePlan bytes = PlanBytePaste({record}, 1, Rules(c.zh));
    Image image = NewImage();
    if (bytes.Accepted()) {
      ASSERT_TRUE(ApplyPaste(bytes, image));
      EXPECT_EQ(ReadChannelRecord(image, 1).bytes[off::kFlagsA], record.bytes[off::kFlagsA]);  // busy bits as copied
    }
    EXPECT_EQ(Of(bytes.refusals, DecodeChannel(image, 1, c.zh)), want) << "native paste";
  }

  // Chanset's own table: the import, and import-csv (channel 1 of sixteen).
  ImportOptions options;
  options.format = CsvFormat::Chanset;
  options.limits = DeriveBandLimits(kBand);
  options.bandText = kBand;
  options.chinese = c.zh;
  std::string row = "1";
  for (const std::string& cell : c.in) row += "," + CsvField(cell);
  const ImportResult imported = ImportChannels(row + "\n", options);
  ASSERT_EQ(imported.rows.size(), 1u);
  EXPECT_EQ(Of(imported.rows[0].refusals, imported.rows[0].texts, 1), want) << "import";

  std::string table = row + "\n";
  for (int n = 2; n <= kChannelCount; ++n) table += std::to_string(n) + ",,,,,,,,\n";
  ChannelTable checked;
  const TableCheck fromTable = CheckChannelTable(table, DeriveBandLimits(kBand), kBand, checked);
  ChannelTexts tableTexts = checked[0];
  if (c.zh)  // import-csv reads into English words; the verdict is the same
    for (std::size_t i = 0; i < 8 && fromTable.Passed(); ++i) tableTexts[i] = want.second[i];
  EXPECT_EQ(Of(fromTable.errors, tableTexts, 1), want) << "import-csv";
}

using K = RefusalKind;
const std::string kLong = "446." + std::string(61, '0');  // 65 characters

INSTANTIATE_TEST_SUITE_P(
    Table, RowCheck,
    ::testing::Values(
        RowCase{false, {"446.00625", "", "None", "D023N", "Wide", "Yes", "Off", "High"},
                {"446.00625", "446.00625", "None", "D023N", "Wide", "Yes", "Off", "High"}, {}},
        // Words of the other language, a spreadsheet's "100" for 100.0 Hz,
        // blanks around cells; the texts come out in English.
        RowCase{false, {" 440.0125", "441 ", "无", "100", "窄", "否", "载波", "中"},
                {"440.01250", "441.00000", "None", "100.0", "Narrow", "No", "Carrier", "Middle"}, {}},
        // The cell gets the value that was checked, not a rounded one off the step.
        RowCase{false, {"446.006255", "446.0125", "88.50", "d754i", "Wide", "No", "QT/DQT", "Low"},
                {"446.00625", "446.01250", "88.5", "D754I", "Wide", "No", "QT/DQT", "Low"}, {}},
        // Empty cells take what the encoder would make of them, in Chinese.
        RowCase{true, {"446.00625", "", "", "", "", "", "", ""},
                {"446.00625", "446.00625", "无", "无", "宽", "是", "QT/DQT", "高"}, {}},
        // An empty Rx empties the channel, whatever the other cells say.
        RowCase{false, {"", "480", "junk", "", "x", "", "", ""}, {}, {}},
        RowCase{false, {"471.005", "446.00312", "88.6", "D017N", "Wideband", "yes", "Off", "Max"}, {},
                {{1, K::OutOfRange}, {2, K::OffStep}, {3, K::NotTone}, {4, K::NotTone}, {5, K::NotWord},
                 {6, K::NotWord}, {8, K::NotWord}}},
        RowCase{false, {"446MHz", "1e2", "D999N", "62.4", "Wide", "Yes", "Off", "High"}, {},
                {{1, K::NotFrequency}, {2, K::NotFrequency}, {3, K::NotTone}, {4, K::NotTone}}},
        RowCase{false, {"399.99375", "471", "none", "D023X", "Wide", "Yes", "Off", "High"}, {},
                {{1, K::OutOfRange}, {3, K::NotTone}, {4, K::NotTone}}},
        // Tones an image may hold but no list offers come in no way at all.
        RowCase{false, {"446", "", "88.6", "D017N", "Wide", "Yes", "Off", "High"}, {},
                {{3, K::NotTone}, {4, K::NotTone}}},
        RowCase{false, {"446", "", "100", "088.5", "Wide", "Yes", "Off", "High"},
                {"446.00000", "446.00000", "100.0", "88.5", "Wide", "Yes", "Off", "High"}, {}},
        // Crafted clipboard data: nine digits that eight BCD digits cannot
        // hold, a code of no table.
        RowCase{false, {"516.1616", "1006.66665", "D000N", "None", "Wide", "Yes", "Off", "High"}, {},
                {{1, K::OutOfRange}, {2, K::OutOfRange}, {3, K::NotTone}}},
        // A cell longer than any text of its column.
        RowCase{false, {kLong, "", "None", "None", "Wide", "Yes", "Off", "High"}, {}, {{1, K::TooLong}}},
        RowCase{false, {"446", "", "None", "None", "Wide", "Yes", "Off", std::string(65, 'H')}, {},
                {{8, K::TooLong}}}),
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

std::string Repeated(const std::string& line, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += line;
  return text;
}
const std::string kRows18 = Repeated("446\t\t\t\t\t\t\t\n", 18);
const std::string kRows100k = Repeated("446\t\t\t\t\t\t\t\n", 100000);

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
        // More rows than the radio has channels are refused before any is read.
        PasteCase{kRows18.c_str(), 1, {}, {"18 rows: the radio has 16 channels, so at most 16 rows can be pasted"}},
        PasteCase{kRows100k.c_str(), 1, {}, {"100000 rows: the radio has 16 channels, so at most 16 rows can be pasted"}},
        PasteCase{"\"a,b\"c,1", 1, {},
                  {"Row 1: not readable as comma-separated fields: text after the closing quote of a field"}}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(Paste, RefusalsInChineseAndAtMostAScreenOfThem) {
  const PastePlan plan = PlanTextPaste("500\t\t无\t无\t宽\t是\t关\t高\n", 2, Rules(true));
  ASSERT_EQ(plan.refusals.size(), 1u);
  EXPECT_EQ(PasteRefusalText(plan.refusals[0], true),
            "第1行（信道2），接收频率，“500”：超出范围：频段400-470MHz的范围是400.00000至471.00000 MHz");

  // 16 rows of 7 bad cells, one of them a megabyte: 20 lines, then the count.
  const std::string bad = "1" + std::string(1 << 20, '2') + "\t1\t1\t1\t1\t1\t1\t1\n";
  const PastePlan many = PlanTextPaste(Repeated(bad, 16), 1, Rules(true));
  const std::vector<std::string> lines = PasteListLines(many, true);
  ASSERT_EQ(lines.size(), kListLines + 1);
  EXPECT_EQ(lines.back(), "……另有" + std::to_string(many.refusals.size() - kListLines) + "条");
  EXPECT_EQ(lines[0], "第1行（信道1），接收频率，“12222222222222222222…”：文字长1048577个字符；一个单元格最多64个字符");
  EXPECT_EQ(PasteListLines(plan, false).size(), 1u);
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
  // Channels that pass the check, with the bits no text shows: busy bits
  // 0x18, power bits 0x60, the other flag bits, bytes 14-15.
  std::mt19937 rng(7);
  Image source = NewImage();
  for (int n = 1; n <= kChannelCount; ++n) {
    EncodeChannel(n % 2 ? kRow1 : kRow2, source, n);
    source[off::channel(n) + off::kFlagsA] |= static_cast<std::uint8_t>((rng() & 0xE7) | 0x18);
    source[off::channel(n) + off::kFlagsB] |= static_cast<std::uint8_t>((rng() & 0x8F) | 0x60);
    source[off::channel(n) + 14] = static_cast<std::uint8_t>(rng());
    source[off::channel(n) + 15] = static_cast<std::uint8_t>(rng());
  }
  const std::string bytes = ChannelsAsBytes(source, {9, 2, 5, 2, 40});
  ASSERT_EQ(bytes.size(), 6u + 3 * 17);
  std::vector<ChannelRecord> records;
  ASSERT_TRUE(ParseChannelBytes(bytes, records));

  Image target = NumberedImage();
  const Image before = target;
  const PastePlan plan = PlanBytePaste(records, 10, Rules());
  ASSERT_TRUE(ApplyPaste(plan, target));
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(ReadChannelRecord(target, 10 + i), ReadChannelRecord(source, std::vector<int>{2, 5, 9}[i]));
  for (int n : {1, 9, 13, 16}) EXPECT_EQ(ReadChannelRecord(target, n), ReadChannelRecord(before, n));
  for (std::size_t i = 0x110; i < kImageSize; ++i)
    if (i != off::kScanBits && i != off::kScanBits + 1) {
      ASSERT_EQ(target[i], before[i]) << i;
    }

  // A digit above 9 that still reads as a frequency on a step goes in as
  // the encoder writes that frequency (25, not 1 and 15); a Tx of nine
  // digits (nibble A) refuses the paste.
  std::vector<ChannelRecord> odd = records;
  odd[2].bytes[0] = 0x1F;
  const PastePlan mended = PlanBytePaste(odd, 1, Rules());
  ASSERT_TRUE(ApplyPaste(mended, target));
  EXPECT_EQ(target[off::channel(3)], 0x25);
  odd[1].bytes[7] = 0xA0;
  const PastePlan nine = PlanBytePaste(odd, 1, Rules());
  ASSERT_EQ(nine.refusals.size(), 1u);
  EXPECT_EQ(PasteRefusalText(nine.refusals[0], false),
            "Row 2 (CH 2), Tx Frequency, \"1006.00625\": out of range: the band 400-470MHz takes 400.00000 to "
            "471.00000 MHz");
  EXPECT_FALSE(ApplyPaste(nine, target));

  // Past channel 16 nothing is pasted.
  const PastePlan late = PlanBytePaste(records, 15, Rules());
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

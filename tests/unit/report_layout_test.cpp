// The printed report's page table, option values and draw lists.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "data/ChannelCodec.h"
#include "print/ReportLayout.h"

using namespace chanset;

namespace {

// A 17 x 9 grid; a channel in `used` gets texts that name it, the others
// stay empty.
class Grid : public CellTexts {
 public:
  explicit Grid(const std::set<int>& used = {}) : m_cells(17, std::vector<std::string>(9)) {
    for (int ch : used)
      for (int col = 1; col <= 8; ++col) m_cells[ch][col] = "c" + std::to_string(ch) + "." + std::to_string(col);
  }
  std::string Text(int row, int col) const override { return m_cells.at(row).at(col); }
  void Set(int row, int col, const std::string& text) { m_cells[row][col] = text; }

 private:
  std::vector<std::vector<std::string>> m_cells;
};

// Letter paper at 1440 twips per inch less margins; L and l as a renderer
// might measure them.
constexpr PageMetrics kMetrics{11520, 15120, 400, 320};
constexpr int u = 11520 / 66;  // 174
constexpr int L = 400;
constexpr int l = 320;

std::vector<DrawItem> Page(int page, const Grid& grid, const Image& image, bool chinese = false,
                           const std::string& owner = "Owner Co.") {
  ReportSource src;
  src.grid = &grid;
  src.image = &image;
  src.owner = owner;
  src.chinese = chinese;
  return LayOutPage(page, src, kMetrics);
}

std::vector<std::string> Texts(const std::vector<DrawItem>& items) {
  std::vector<std::string> texts;
  for (const DrawItem& item : items)
    if (item.kind == DrawItem::Text) texts.push_back(item.text);
  return texts;
}

// The last text item with this text (labels repeat in every block).
const DrawItem* Find(const std::vector<DrawItem>& items, const std::string& text) {
  const DrawItem* found = nullptr;
  for (const DrawItem& item : items)
    if (item.kind == DrawItem::Text && item.text == text) found = &item;
  return found;
}

// The channel numbers of the "Channel %d:" labels in block order, checking
// each label sits at the top line of its block.
std::vector<int> ChannelBlocks(const std::vector<DrawItem>& items) {
  std::vector<int> channels;
  for (const DrawItem& item : items) {
    int ch = 0;
    if (item.kind != DrawItem::Text || std::sscanf(item.text.c_str(), "Channel %d:", &ch) != 1) continue;
    const int g = static_cast<int>(channels.size());
    EXPECT_EQ(item.x, 4 * u) << item.text;
    EXPECT_EQ(item.y, -(4 + 5 * g) * l) << item.text;
    channels.push_back(ch);
  }
  return channels;
}

// ---------------------------------------------------------------------------
// Page table and page count.

struct TableCase {
  std::set<int> used;
  int count;
  int lastOfPage2;
  int pages;
  std::vector<int> page2;
  std::vector<int> page3;
};

class PageTableTest : public ::testing::TestWithParam<TableCase> {};

TEST_P(PageTableTest, CountsPagesAndSplitsChannels) {
  const TableCase& c = GetParam();
  Grid grid(c.used);
  PageTable table = BuildPageTable(grid);
  EXPECT_EQ(table.used, c.count);
  EXPECT_EQ(table.lastOfPage2, c.lastOfPage2);
  EXPECT_EQ(table.PageCount(), c.pages);

  Image image = NewImage();
  const std::string pageText = "Page 1 of " + std::to_string(c.pages);
  EXPECT_NE(Find(Page(1, grid, image), pageText), nullptr) << pageText;
  EXPECT_EQ(ChannelBlocks(Page(2, grid, image)), c.page2);
  EXPECT_EQ(ChannelBlocks(Page(3, grid, image)), c.page3);
  // No page past the count.
  EXPECT_TRUE(Page(c.pages + 1, grid, image).empty());
  EXPECT_TRUE(Page(0, grid, image).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Report, PageTableTest,
    ::testing::Values(
        TableCase{{}, 0, 16, 1, {}, {}},
        TableCase{{3, 10}, 2, 16, 2, {3, 10}, {}},
        TableCase{{16}, 1, 16, 2, {16}, {}},
        TableCase{{1, 2, 3, 4, 5, 6, 7, 8, 9}, 9, 8, 3, {1, 2, 3, 4, 5, 6, 7, 8}, {9}},
        // Exactly eight, spread out: one channel page ending at the eighth.
        TableCase{{2, 4, 6, 8, 10, 12, 14, 16}, 8, 16, 2, {2, 4, 6, 8, 10, 12, 14, 16}, {}},
        TableCase{{2, 3, 5, 7, 8, 11, 12, 14, 15}, 9, 14, 3, {2, 3, 5, 7, 8, 11, 12, 14}, {15}},
        TableCase{{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}, 16, 8, 3,
                  {1, 2, 3, 4, 5, 6, 7, 8}, {9, 10, 11, 12, 13, 14, 15, 16}}));

TEST(ReportPages, OnlyTheRxCellDecidesWhetherAChannelIsUsed) {
  Grid grid;
  grid.Set(4, 2, "446.00000");  // Tx only
  grid.Set(5, 3, "67.0");
  grid.Set(7, 1, "446.10000");
  EXPECT_EQ(BuildPageTable(grid).used, 1);
  EXPECT_EQ(ChannelBlocks(Page(2, grid, NewImage())), std::vector<int>{7});
}

TEST(ReportPages, PagesFollowTheGridAtTheTimeOfPrinting) {
  Grid grid({3});
  Image image = NewImage();
  std::vector<DrawItem> before = Page(2, grid, image);
  grid.Set(1, 1, "440.00000");
  EXPECT_EQ(ChannelBlocks(Page(2, grid, image)), (std::vector<int>{1, 3}));
  grid.Set(1, 1, "");
  EXPECT_EQ(Texts(Page(2, grid, image)), Texts(before));
}

// ---------------------------------------------------------------------------
// Fonts and exact positions.

TEST(ReportFonts, HeadingFromThePageBodyEightTenthsTruncated) {
  ReportFontSizes f = ReportFonts(11520, 15120);
  EXPECT_EQ(f.heading, (FontSize{336, 174}));
  EXPECT_EQ(f.body, (FontSize{268, 139}));
  f = ReportFonts(65, 44);  // a degenerate area gives zero, not a negative size
  EXPECT_EQ(f.heading, (FontSize{0, 0}));
  EXPECT_EQ(f.body, (FontSize{0, 0}));
}

TEST(ReportPages, OptionsPageExactly) {
  Grid grid;
  std::vector<DrawItem> items = Page(1, grid, NewImage());
  struct Expected {
    DrawItem::Kind kind;
    DrawItem::Font font;
    int x, y, x2;
    std::string text;
  };
  const DrawItem::Kind T = DrawItem::Text, R = DrawItem::Line;
  const DrawItem::Font H = DrawItem::Heading, B = DrawItem::Body;
  const std::vector<Expected> expected = {
      {R, H, 5 * u, -(2 * L + 50), 60 * u, ""},
      {R, H, 5 * u, -(2 * L + 120), 60 * u, ""},
      {R, H, 5 * u, 200 - 36 * L, 60 * u, ""},
      {T, H, 6 * u, -L, 0, "Option"},
      {T, B, 6 * u, -4 * l, 0, "Function"},
      {T, B, 9 * u, -5 * l, 0, "Time Out Time:"},
      {T, B, 35 * u, -5 * l, 0, "45s"},
      {T, B, 9 * u, -6 * l, 0, "Squelch Level:"},
      {T, B, 35 * u, -6 * l, 0, "5"},
      {T, B, 9 * u, -7 * l, 0, "Voice Annunication:"},
      {T, B, 35 * u, -7 * l, 0, "Chinese"},
      {T, B, 9 * u, -8 * l, 0, "Vox Delay Time:"},
      {T, B, 35 * u, -8 * l, 0, "0.3s"},
      {T, B, 9 * u, -9 * l, 0, "Vox Gain Level:"},
      {T, B, 35 * u, -9 * l, 0, "5"},
      {T, B, 9 * u, -10 * l, 0, "Battery Saver:"},
      {T, B, 35 * u, -10 * l, 0, "On"},
      {T, B, 9 * u, -11 * l, 0, "Beep:"},
      {T, B, 35 * u, -11 * l, 0, "On"},
      {T, B, 10 * u, -36 * L, 0, "Owner Co."},
      {T, B, 45 * u, -36 * L, 0, "Page 1 of 1"},
  };
  ASSERT_EQ(items.size(), expected.size());
  for (std::size_t i = 0; i < items.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(items[i].kind, expected[i].kind);
    if (items[i].kind == DrawItem::Text) {
      EXPECT_EQ(items[i].font, expected[i].font);
    }
    EXPECT_EQ(items[i].x, expected[i].x);
    EXPECT_EQ(items[i].y, expected[i].y);
    if (items[i].kind == DrawItem::Line) {
      EXPECT_EQ(items[i].x2, expected[i].x2);
    }
    EXPECT_EQ(items[i].text, expected[i].text);
  }
}

TEST(ReportPages, FooterRuleUsesHalfTheHeadingLineRoundedDown) {
  Grid grid;
  ReportSource src;
  src.grid = &grid;
  Image image = NewImage();
  src.image = &image;
  std::vector<DrawItem> items = LayOutPage(1, src, PageMetrics{6600, 4500, 401, 321});
  ASSERT_EQ(items[2].kind, DrawItem::Line);
  EXPECT_EQ(items[2].y, 200 - 36 * 401);
  EXPECT_EQ(items[0].x, 500);
  EXPECT_EQ(items[0].x2, 6000);
  EXPECT_EQ(items[0].y, -(2 * 401 + 50));
  // An absent owner prints as an empty text.
  EXPECT_EQ(items[items.size() - 2].text, "");
  EXPECT_EQ(items.back().text, "Page 1 of 1");
}

TEST(ReportPages, ChannelBlockExactly) {
  Grid grid({3, 10});
  std::vector<DrawItem> items = Page(2, grid, NewImage());
  const DrawItem* heading = Find(items, "Channel");
  ASSERT_NE(heading, nullptr);
  EXPECT_EQ(heading->font, DrawItem::Heading);
  EXPECT_EQ(heading->x, 6 * u);
  EXPECT_EQ(heading->y, -L);
  // Second block (g = 1): lines 9 to 12.
  struct Cell {
    std::string text;
    int x, line;
  };
  const std::vector<Cell> cells = {
      {"Channel 10:", 4 * u, 9},
      {"Receive Frequency:", 5 * u, 10},      {"c10.1", 22 * u, 10},
      {"Transceive Frequency:", 36 * u, 10},  {"c10.2", 55 * u, 10},
      {"QT/DQT Decode:", 5 * u, 11},          {"c10.3", 22 * u, 11},
      {"QT/DQT Encode:", 36 * u, 11},         {"c10.4", 55 * u, 11},
      {"W/N:", 5 * u, 12},                    {"c10.5", 22 * u, 12},
      {"Scan:", 36 * u, 12},                  {"c10.6", 55 * u, 12},
  };
  for (const Cell& c : cells) {
    const DrawItem* item = Find(items, c.text);
    ASSERT_NE(item, nullptr) << c.text;
    EXPECT_EQ(item->font, DrawItem::Body) << c.text;
    EXPECT_EQ(item->x, c.x) << c.text;
    EXPECT_EQ(item->y, -c.line * l) << c.text;
  }
  // Busy lock and power are not printed; the footer counts two pages.
  EXPECT_EQ(Find(items, "c10.7"), nullptr);
  EXPECT_EQ(Find(items, "c10.8"), nullptr);
  const DrawItem* footer = Find(items, "Page 2 of 2");
  ASSERT_NE(footer, nullptr);
  EXPECT_EQ(footer->font, DrawItem::Body);
  EXPECT_EQ(footer->y, -36 * L);
}

// ---------------------------------------------------------------------------
// Option values.

struct OptionCase {
  const char* name;
  std::size_t offset;
  int byte;
  int index;  // position among the seven values
  const char* english;
  const char* chinese;
};

class OptionValueTest : public ::testing::TestWithParam<OptionCase> {};

TEST_P(OptionValueTest, PrintsTheByteAsTheReportShowsIt) {
  const OptionCase& c = GetParam();
  Image image = NewImage();
  image[c.offset] = static_cast<std::uint8_t>(c.byte);
  EXPECT_EQ(OptionValueTexts(image, false).at(c.index), c.english);
  EXPECT_EQ(OptionValueTexts(image, true).at(c.index), c.chinese);
}

INSTANTIATE_TEST_SUITE_P(
    Report, OptionValueTest,
    ::testing::Values(OptionCase{"TimeOut0", off::kTimeOut, 0, 0, "0s", "0s"},
                      OptionCase{"TimeOutFF", off::kTimeOut, 0xFF, 0, "3825s", "3825s"},
                      OptionCase{"Squelch9", off::kSquelch, 9, 1, "9", "9"},
                      OptionCase{"VoiceOff", off::kVoice, 0, 2, "Off", "关"},
                      OptionCase{"VoiceChinese", off::kVoice, 1, 2, "Chinese", "中文"},
                      OptionCase{"VoiceEnglish", off::kVoice, 2, 2, "English", "英文"},
                      OptionCase{"VoiceFF", off::kVoice, 0xFF, 2, "English", "英文"},
                      OptionCase{"Delay1", off::kVoxDelay, 1, 3, "0.5s", "0.5s"},
                      OptionCase{"Delay2", off::kVoxDelay, 2, 3, "1.0s", "1.0s"},
                      OptionCase{"Delay3", off::kVoxDelay, 3, 3, "1.5s", "1.5s"},
                      OptionCase{"Delay4", off::kVoxDelay, 4, 3, "2.0s", "2.0s"},
                      OptionCase{"Delay5", off::kVoxDelay, 5, 3, "3.0s", "3.0s"},
                      OptionCase{"DelayFF", off::kVoxDelay, 0xFF, 3, "3.0s", "3.0s"},
                      OptionCase{"GainOff", off::kVoxGain, 0, 4, "Off", "关"},
                      OptionCase{"Gain200", off::kVoxGain, 200, 4, "200", "200"},
                      OptionCase{"SaverOff", off::kBatterySaver, 0xFE, 5, "Off", "关"},
                      OptionCase{"SaverOn", off::kBatterySaver, 0x01, 5, "On", "开"},
                      OptionCase{"BeepBit1", off::kBeep, 0x02, 6, "Off", "关"},
                      OptionCase{"BeepFF", off::kBeep, 0xFF, 6, "On", "开"}),
    [](const ::testing::TestParamInfo<OptionCase>& info) { return std::string(info.param.name); });

TEST(ReportOptions, NewDocumentInChinese) {
  EXPECT_EQ(OptionValueTexts(NewImage(), true),
            (std::vector<std::string>{"45s", "5", "中文", "0.3s", "5", "开", "开"}));
}

// ---------------------------------------------------------------------------
// Chinese texts.

TEST(ReportPages, ChineseLabels) {
  Grid grid({3});
  Image image = NewImage();
  std::vector<std::string> page1 = Texts(Page(1, grid, image, true, "隼岭无线电有限公司"));
  EXPECT_EQ(page1, (std::vector<std::string>{"可选功能", "功能", "超时定时器:", "45s", "静噪电平:", "5",
                                             "语音报号:", "中文", "声控延迟时间:", "0.3s", "声控增益电平:", "5",
                                             "电池省电:", "开", "哔音:", "开", "隼岭无线电有限公司",
                                             "Page 1 of 2"}));
  std::vector<std::string> page2 = Texts(Page(2, grid, image, true));
  EXPECT_EQ(page2, (std::vector<std::string>{"信道", "信道3:", "接收频率:", "c3.1", "发射频率:", "c3.2",
                                             "QT/DQT解码:", "c3.3", "QT/DQT编码:", "c3.4", "宽/窄:", "c3.5",
                                             "扫描:", "c3.6", "Owner Co.", "Page 2 of 2"}));
}

}  // namespace

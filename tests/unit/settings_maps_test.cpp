// The byte maps behind the three radio settings dialogs: options, power
// table cells, and what Product Information's OK stores.
#include <gtest/gtest.h>

#include <cstdlib>

#include "data/OptionMap.h"
#include "dialogs/PowerTable.h"
#include "dialogs/ProductInfo.h"
#include "platform/Globals.h"
#include "platform/UserRegistry.h"
#include "settings/CSettingsFile.h"
#include "tests/unit/TempDir.h"

using namespace chanset;
using testutil::TempDir;
using testutil::WriteText;

namespace {

std::string ItemShown(Option option, const Image& image, bool chinese = false) {
  const int index = OptionSelection(option, image);
  return index < 0 ? "<none>" : OptionItems(option, chinese).at(index);
}

// Options -----------------------------------------------------------------

TEST(OptionMap, NewImageShowsTheDefaultsAndStoresThemBack) {
  const Image fresh = NewImage();
  const struct {
    Option option;
    const char* shown;
  } cases[] = {
      {Option::Voice, "Chinese"}, {Option::TimeOut, "45s"},    {Option::Squelch, "5"},
      {Option::BatterySaver, "On"}, {Option::Beep, "On"},      {Option::Vox, "Off"},
      {Option::VoxGain, "5"},     {Option::VoxDelay, "0.3s"}, {Option::Priority, "Off"},
      {Option::SideKey, "Emergency Alarm"},
  };
  Image stored = fresh;
  for (const auto& c : cases) {
    EXPECT_EQ(ItemShown(c.option, fresh), c.shown);
    // Write every option over a scrambled byte: the selection alone decides it.
    const std::size_t at = InfoOf(c.option).offset;
    const int index = OptionSelection(c.option, fresh);
    stored[at] = c.option == Option::SideKey ? (fresh[at] ^ 0x30) : 0x77;
    StoreOptionSelection(c.option, index, stored);
  }
  EXPECT_EQ(stored, fresh);
}

TEST(OptionMap, SelectionOfEveryByteValue) {
  const struct {
    Option option;
    std::uint8_t value;
    int index;
  } cases[] = {
      {Option::TimeOut, 0, -1},     {Option::TimeOut, 1, 0},     {Option::TimeOut, 40, 39},
      {Option::TimeOut, 41, -1},    {Option::TimeOut, 0xFF, -1}, {Option::Squelch, 9, 9},
      {Option::Squelch, 10, -1},    {Option::Squelch, 0xFF, -1}, {Option::Priority, 16, 16},
      {Option::Priority, 17, -1},   {Option::Voice, 2, 2},       {Option::Voice, 3, -1},
      {Option::VoxGain, 0, -1},     {Option::VoxGain, 8, 7},     {Option::VoxGain, 9, -1},
      {Option::VoxDelay, 5, 5},     {Option::VoxDelay, 6, -1},   {Option::Vox, 1, 0},
      {Option::Vox, 0, 1},          {Option::Vox, 2, -1},        {Option::Vox, 0xFF, -1},
      {Option::Beep, 0, 1},         {Option::Beep, 0x7F, 0},     {Option::BatterySaver, 0xFF, 0},
      {Option::BatterySaver, 0, 1}, {Option::SideKey, 0xC0, 0},  {Option::SideKey, 0x1F, 1},
      {Option::SideKey, 0xEF, 2},   {Option::SideKey, 0x30, 3},
  };
  for (const auto& c : cases) {
    Image image{};
    image[InfoOf(c.option).offset] = c.value;
    EXPECT_EQ(OptionSelection(c.option, image), c.index)
        << InfoOf(c.option).listId << " value " << int(c.value);
  }
}

TEST(OptionMap, StoredByteOfEverySelection) {
  const struct {
    Option option;
    int index;
    std::uint8_t before;
    std::uint8_t after;
  } cases[] = {
      // Nothing selected (-1).
      {Option::TimeOut, -1, 0xFF, 0x00},   {Option::VoxGain, -1, 3, 0x00},
      {Option::Squelch, -1, 0xFF, 0xFF},   {Option::Priority, -1, 0, 0xFF},
      {Option::Voice, -1, 1, 0xFF},        {Option::VoxDelay, -1, 2, 0xFF},
      {Option::Vox, -1, 0xFF, 0},          {Option::Beep, -1, 1, 0},
      {Option::SideKey, -1, 0xF9, 0xC9},
      // Ordinary choices.
      {Option::TimeOut, 39, 0, 40},        {Option::VoxGain, 7, 0, 8},
      {Option::Priority, 16, 0, 16},       {Option::Vox, 0, 0, 1},
      {Option::Vox, 1, 1, 0},              {Option::Beep, 0, 0x7F, 1},
      {Option::BatterySaver, 1, 0xFF, 0},
      // Side Key keeps bits 0-3 and 6-7.
      {Option::SideKey, 1, 0xF9, 0xD9},    {Option::SideKey, 3, 0x00, 0x30},
      {Option::SideKey, 0, 0xFF, 0xCF},    {Option::SideKey, 2, 0x0A, 0x2A},
  };
  for (const auto& c : cases) {
    Image image{};
    image.fill(0x5A);
    const std::size_t at = InfoOf(c.option).offset;
    image[at] = c.before;
    Image expected = image;
    expected[at] = c.after;
    StoreOptionSelection(c.option, c.index, image);
    EXPECT_EQ(image, expected) << InfoOf(c.option).listId << " index " << c.index;
  }
}

TEST(OptionMap, ListsInBothLanguages) {
  using Items = std::vector<std::string>;
  EXPECT_EQ(OptionItems(Option::SideKey, true), (Items{"关闭", "监听", "监听瞬时", "紧急报警"}));
  EXPECT_EQ(OptionItems(Option::Voice, true), (Items{"关", "中文", "英文"}));
  EXPECT_EQ(OptionItems(Option::Priority, true).front(), "关");
  EXPECT_EQ(OptionItems(Option::Priority, false).back(), "16");
  EXPECT_EQ(OptionItems(Option::Priority, false).size(), 17u);
  const Items timeOut = OptionItems(Option::TimeOut, true);
  ASSERT_EQ(timeOut.size(), 40u);
  EXPECT_EQ(timeOut[1], "30s");
  EXPECT_EQ(timeOut.back(), "600s");
  EXPECT_EQ(OptionItems(Option::VoxDelay, false).back(), "3.0s");
  // The same byte selects the same position in either language.
  Image image = NewImage();
  EXPECT_EQ(ItemShown(Option::SideKey, image, true), "紧急报警");
  EXPECT_EQ(ItemShown(Option::Voice, image, true), "中文");
  EXPECT_EQ(ItemShown(Option::Beep, image, true), "开");
}

TEST(OptionMap, EveryListIdAndByteAppearsOnce) {
  for (std::size_t i = 0; i < Options().size(); ++i)
    for (std::size_t j = i + 1; j < Options().size(); ++j) {
      EXPECT_NE(Options()[i].listId, Options()[j].listId);
      EXPECT_NE(Options()[i].offset, Options()[j].offset);
    }
}

// Power table ------------------------------------------------------------------

TEST(PowerTable, CellOffsets) {
  const struct {
    int start, row, col;
    std::size_t offset;
  } cases[] = {
      {0, 1, 1, 0x3E0}, {0, 1, 3, 0x3E2}, {0, 2, 1, 0x3E3}, {0, 7, 3, 0x3F4},
      // 430-470: the last four rows of the seven-row layout.
      {9, 1, 1, 0x3E9}, {9, 4, 3, 0x3F4},
  };
  for (const auto& c : cases)
    EXPECT_EQ(PowerCellOffset(c.start, c.row, c.col), c.offset) << c.start << " " << c.row << " " << c.col;
}

TEST(PowerTable, BandLayoutsStayInsideTheTable) {
  for (const char* band : {"136-174MHz", "350-390MHz", "400-470MHz", "400-430MHz", "430-470MHz", ""}) {
    DeriveBandLimits(band);
    ASSERT_GE(g_nPowerRows, 1);
    ASSERT_LE(g_nPowerRows, kPowerMaxRows);
    EXPECT_LE(PowerCellOffset(g_nPowerStart, g_nPowerRows, kPowerColumns), 0x3F4u) << band;
  }
  DeriveBandLimits("430-470MHz");
  EXPECT_EQ(PowerCellOffset(g_nPowerStart, 1, 1), 0x3E9u);
  EXPECT_EQ(g_strPowerBand[0], "430-439");
}

TEST(PowerTable, EditorCommitAndStoredByte) {
  const struct {
    const char* typed;
    const char* shown;  // the cell's text after the editor commits
    std::uint8_t stored;
  } cases[] = {
      {"77", "77", 77},      {"0", "0", 0},        {"255", "255", 255}, {"256", "255", 255},
      {"300", "255", 255},   {"999", "255", 255},  {"-5", "0", 0},      {"-99", "0", 0},
      {"-0", "-0", 0},       {"abc", "abc", 0},    {"", "", 0},         {"-", "-", 0},
      {" 12", " 12", 12},    {"+7", "+7", 7},      {"12x", "12x", 12},  {"x12", "x12", 0},
      {"99999999999999999999999", "255", 255},
  };
  for (const auto& c : cases) {
    const std::string shown = CommittedPowerText(c.typed);
    EXPECT_EQ(shown, c.shown) << '"' << c.typed << '"';
    EXPECT_EQ(PowerByte(shown), c.stored) << '"' << c.typed << '"';
  }
}

TEST(PowerTable, TextsRoundTrip) {
  for (int v = 0; v <= 255; ++v)
    ASSERT_EQ(PowerByte(PowerCellText(static_cast<std::uint8_t>(v))), v);
  EXPECT_EQ(PowerColumnTitles(false)[1], "Middle Power");
  EXPECT_EQ(PowerColumnTitles(true)[2], "高功率");
}

// Product information ----------------------------------------------------------

class ProductInfoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("XDG_CONFIG_HOME", config_.Path().c_str(), 1);
    WriteText(app_.File("Chanset.ini"), "[Setup]\nAppName=ProductTest\n");
    ASSERT_TRUE(g_settingsFile().LoadPath(app_.File("Chanset.ini"), false, true, false));
  }
  void TearDown() override {
    g_settingsFile().Clear();
    unsetenv("XDG_CONFIG_HOME");
  }
  TempDir config_, app_;
};

TEST_F(ProductInfoTest, OkStoresBytesRegistryTitleAndLimits) {
  Image image = NewImage();
  const ProductOutcome out =
      ApplyProductChoice({0, 1, "A", "400-470MHz"}, "Chanset 写频软件", image);
  EXPECT_EQ(image[0x32E], 0);
  EXPECT_EQ(image[0x32F], 1);
  EXPECT_EQ(UserRegistry::ReadDword("Software\\ProductTest", "Type", 9), 0u);
  EXPECT_EQ(UserRegistry::ReadDword("Software\\ProductTest", "Field", 9), 1u);
  EXPECT_EQ(out.limits.lower, 400 * 100000);
  EXPECT_EQ(out.limits.upper, 471 * 100000);
  EXPECT_EQ(g_nPowerRows, 7);
  EXPECT_EQ(g_nPowerStart, 0);
  // English labels even with a Chinese application name.
  EXPECT_EQ(out.title, "Chanset 写频软件  [ Type:A  Fre:400-470MHz ]");
  EXPECT_EQ(g_strTitle, out.title);

  // The same choice again changes no byte.
  const Image stored = image;
  ApplyProductChoice({0, 1, "A", "400-470MHz"}, "X", image);
  EXPECT_EQ(image, stored);
}

TEST_F(ProductInfoTest, NoSelectionStoresAllOnes) {
  Image image = NewImage();
  ApplyProductChoice({-1, -1, "", ""}, "X", image);
  EXPECT_EQ(image[0x32E], 0xFF);
  EXPECT_EQ(image[0x32F], 0xFF);
  EXPECT_EQ(UserRegistry::ReadDword("Software\\ProductTest", "Type"), 0xFFFFFFFFu);
}

}  // namespace

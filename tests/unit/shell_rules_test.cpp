// Start-up decisions, tree dispatch and background tiling.
#include <gtest/gtest.h>

#include "app/BackgroundTiles.h"
#include "app/Startup.h"
#include "app/TreeDispatch.h"
#include "platform/Globals.h"

using namespace chanset;

TEST(ShowLang, LeadingIntegerDecides) {
  struct Case {
    const char* value;
    bool keeps;
  } cases[] = {{"1", true},   {"0", false},  {"", false},   {"abc", false}, {"2x", true},
               {" 3", true},  {"-1", true},  {"+0", false}, {"0x5", false}, {"00", false},
               {"99999999999999999999", true}, {"x1", false}};
  for (const Case& c : cases) EXPECT_EQ(ShowLanguageCommand(c.value), c.keeps) << '"' << c.value << '"';
}

TEST(ShowLang, LeadingIntegerValue) {
  EXPECT_EQ(LeadingInteger("2x"), 2);
  EXPECT_EQ(LeadingInteger("  -17abc"), -17);
  EXPECT_EQ(LeadingInteger("-"), 0);
}

TEST(Language, FlagIsExactlyChinese) {
  struct Case {
    const char* value;
    bool chinese;
    const char* help;
  } cases[] = {{"Chinese", true, "chHelp.qch"}, {"chinese", false, "enHelp.qch"},
               {"CHINESE", false, "enHelp.qch"}, {"English", false, "enHelp.qch"},
               {"French", false, "enHelp.qch"}, {"", false, "enHelp.qch"},
               {"Chinese ", false, "enHelp.qch"}};
  for (const Case& c : cases) {
    SetLanguage(c.value);
    EXPECT_EQ(g_bChinese, c.chinese) << c.value;
    EXPECT_EQ(g_strHelpFile, c.help) << c.value;
    EXPECT_EQ(g_strLanguage, c.value);
  }
  SetLanguage("");
}

TEST(Language, PackNameKeepsTheValueAsWritten) {
  EXPECT_EQ(LanguagePackFileName("chinese"), "chinese.rcc");
  EXPECT_EQ(LanguagePackFileName("French"), "French.rcc");
  EXPECT_EQ(LanguagePackFileName(""), ".rcc");
}

TEST(CommandLineTest, Kinds) {
  CommandLine none = ParseCommandLine({});
  EXPECT_EQ(none.kind, CommandLine::FileNew);
  CommandLine open = ParseCommandLine({"radio.dat"});
  EXPECT_EQ(open.kind, CommandLine::FileOpen);
  EXPECT_EQ(open.file, "radio.dat");
  CommandLine absolute = ParseCommandLine({"/home/user/radio.dat"});
  EXPECT_EQ(absolute.kind, CommandLine::FileOpen);
  EXPECT_EQ(absolute.file, "/home/user/radio.dat");
  CommandLine print = ParseCommandLine({"/p", "radio.dat"});
  EXPECT_EQ(print.kind, CommandLine::FilePrint);
  EXPECT_EQ(print.file, "radio.dat");
  CommandLine printTo = ParseCommandLine({"-PT", "radio.dat", "Office"});
  EXPECT_EQ(printTo.kind, CommandLine::FilePrintTo);
  EXPECT_EQ(printTo.printer, "Office");
  // An incomplete print switch asks for nothing in particular.
  EXPECT_EQ(ParseCommandLine({"/p"}).kind, CommandLine::FileNew);
  EXPECT_EQ(ParseCommandLine({"--unknown"}).kind, CommandLine::FileNew);
}

TEST(TreeDispatchTest, TextsOfTheLanguageInOrder) {
  struct Case {
    const char* text;
    bool chinese;
    TreeAction action;
  } cases[] = {
      {"Channel Information", false, TreeAction::ChannelInformation},
      {"Optional Features", false, TreeAction::OptionalFeatures},
      {"Product Information", false, TreeAction::ProductInformation},
      {"Power Adjustment", false, TreeAction::PowerAdjustment},
      {"信道信息", true, TreeAction::ChannelInformation},
      {"可选功能", true, TreeAction::OptionalFeatures},
      {"类型设置", true, TreeAction::ProductInformation},
      {"功率调整", true, TreeAction::PowerAdjustment},
      // The other language's texts, other cases and the empty text do nothing.
      {"信道信息", false, TreeAction::None},
      {"Channel Information", true, TreeAction::None},
      {"channel information", false, TreeAction::None},
      {"", false, TreeAction::None},
      {"ACME Radio", false, TreeAction::None},
  };
  for (const Case& c : cases) EXPECT_EQ(TreeDispatch(c.text, c.chinese), c.action) << c.text;
}

TEST(TreeDispatchTest, ChildrenMatchTheirActions) {
  for (bool chinese : {false, true}) {
    auto texts = TreeChildTexts(chinese);
    EXPECT_EQ(TreeDispatch(texts[0], chinese), TreeAction::ProductInformation);
    EXPECT_EQ(TreeDispatch(texts[1], chinese), TreeAction::ChannelInformation);
    EXPECT_EQ(TreeDispatch(texts[2], chinese), TreeAction::OptionalFeatures);
  }
}

TEST(Tiles, CoverTheAreaWithOneExtraColumnAndRow) {
  auto tiles = TileOrigins(500, 300, 238, 157);
  ASSERT_EQ(tiles.size(), 6u);  // i = 0..2, j = 0..1
  EXPECT_EQ(tiles.front().x, 0);
  EXPECT_EQ(tiles.front().y, 0);
  EXPECT_EQ(tiles.back().x, 476);
  EXPECT_EQ(tiles.back().y, 157);
  // An exact multiple still gets the extra column and row.
  EXPECT_EQ(TileOrigins(476, 314, 238, 157).size(), 9u);
  EXPECT_EQ(TileOrigins(0, 0, 238, 157).size(), 1u);
  EXPECT_TRUE(TileOrigins(100, 100, 0, 10).empty());
}

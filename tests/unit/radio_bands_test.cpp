#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "data/RadioBands.h"
#include "platform/UserRegistry.h"
#include "settings/CSettingsFile.h"
#include "tests/unit/TempDir.h"

using namespace chanset;
using testutil::TempDir;
using testutil::WriteText;

namespace {

class Settings {
 public:
  explicit Settings(const std::string& text) {
    WriteText(dir_.File("Chanset.ini"), text);
    file_.LoadPath(dir_.File("Chanset.ini"), false, true, false);
  }
  const CSettingsFile& operator*() const { return file_; }

 private:
  TempDir dir_;
  CSettingsFile file_;
};

using Strings = std::vector<std::string>;

TEST(RadioBands, TypeListEndsAtTheFirstEmptyValue) {
  Settings s("[Setup]\nType1=A\nType2=B\nType3=\nType4=C\n");
  EXPECT_EQ(TypeList(*s), (Strings{"A", "B"}));
  Settings none("[Setup]\nType2=B\n");
  EXPECT_EQ(TypeList(*none), Strings{});
  std::string many = "[Setup]\n";
  for (int n = 1; n <= 25; ++n) many += "Type" + std::to_string(n) + "=T\n";
  EXPECT_EQ(TypeList(*Settings(many)).size(), 19u);
}

TEST(RadioBands, BandListSplitsAtEveryBar) {
  Settings s(
      "[Setup]\nField0=zero\nField1=136-174MHz\nField2=400-470MHz||400-470MHz|\n"
      "Field3=a|b // note\n");
  const struct {
    int position;
    Strings bands;
  } cases[] = {{-1, {"zero"}},
               {0, {"136-174MHz"}},
               {1, {"400-470MHz", "", "400-470MHz", ""}},
               {2, {"a", "b "}},
               {3, {""}}};  // a type without a Field value has one empty band
  for (const auto& c : cases) EXPECT_EQ(BandList(*s, c.position), c.bands) << c.position;
}

TEST(RadioBands, TypeNameAndBandTextOfAnImage) {
  Settings s("[Setup]\nType1=A\nType2=B\nField1=x\nField2=136-174MHz|400-470MHz\n");
  Image img{};
  const struct {
    std::uint8_t type, band;
    const char* name;
    const char* text;
  } cases[] = {{1, 0, "B", "136-174MHz"},
               {1, 1, "B", "400-470MHz"},
               {1, 5, "B", "400-470MHz"},  // past the list: the last band
               {1, 255, "B", "400-470MHz"},
               {0, 3, "A", "x"},
               {7, 0, "", ""}};
  for (const auto& c : cases) {
    img[off::kRadioType] = c.type;
    img[off::kBand] = c.band;
    EXPECT_EQ(TypeName(*s, img), c.name) << int(c.type) << "/" << int(c.band);
    EXPECT_EQ(BandText(*s, img), c.text) << int(c.type) << "/" << int(c.band);
  }
}

struct BandCase {
  const char* band;
  std::int32_t lower, upper;
  int rows, start;
  Strings labels;
};

class DeriveLimits : public ::testing::TestWithParam<BandCase> {};

TEST_P(DeriveLimits, LimitsAndPowerRows) {
  const BandCase& c = GetParam();
  g_strPowerBand.fill("old");
  BandLimits l = DeriveBandLimits(c.band);
  EXPECT_EQ(l.lower, c.lower);
  EXPECT_EQ(l.upper, c.upper);
  EXPECT_EQ(g_nPowerRows, c.rows);
  EXPECT_EQ(g_nPowerStart, c.start);
  Strings shown(g_strPowerBand.begin(), g_strPowerBand.begin() + g_nPowerRows);
  EXPECT_EQ(shown, c.labels);
  for (std::size_t i = g_nPowerRows; i < 7; ++i) EXPECT_EQ(g_strPowerBand[i], "old") << i;
}

const Strings k400_470 = {"400-409", "410-419", "420-429", "430-439",
                          "440-449", "450-459", "460-470"};

INSTANTIATE_TEST_SUITE_P(
    Table, DeriveLimits,
    ::testing::Values(
        BandCase{"136-174MHz", 13600000, 17500000, 5, 0,
                 {"136-139", "140-149", "150-159", "160-169", "170-174"}},
        BandCase{"350-390MHz", 35000000, 39100000, 4, 0,
                 {"350-359", "360-369", "370-379", "380-390"}},
        BandCase{"400-470MHz", 40000000, 47100000, 7, 0, k400_470},
        BandCase{"400-430MHz", 40000000, 43100000, 3, 0, {"400-409", "410-419", "420-430"}},
        BandCase{"430-470MHz", 43000000, 47100000, 4, 9,
                 {"430-439", "440-449", "450-459", "460-470"}},
        BandCase{"130 - 160MHz", 13000000, 16100000, 7, 0, k400_470},
        BandCase{"136-174", 13600000, 17500000, 5, 0,  // "MHz" is not needed to match
                 {"136-139", "140-149", "150-159", "160-169", "170-174"}},
        BandCase{"", 0, 100000, 7, 0, k400_470},
        BandCase{"446MHz", 44600000, 44700000, 7, 0, k400_470},
        BandCase{"MHz-", 0, 100000, 7, 0, k400_470},
        BandCase{"99999999-99999999MHz", 2147483647, 2147483647, 7, 0, k400_470}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(RadioBands, WindowTitleInBothLanguages) {
  EXPECT_EQ(WindowTitle("Chanset", "KRR-45", "400-470MHz", false),
            "Chanset  [ Type:KRR-45  Fre:400-470MHz ]");
  EXPECT_EQ(WindowTitle("Chanset", "KRR-45", "400-470MHz", true),
            "Chanset  [ 类型:KRR-45  频率:400-470MHz ]");
}

TEST(RadioBands, FrequencyCheck) {
  BandLimits l = DeriveBandLimits("400-470MHz");
  const struct {
    std::int64_t v;
    FrequencyCheck expected;
  } cases[] = {
      {44600625, FrequencyCheck::Ok},         {44600312, FrequencyCheck::OffStep},
      {44601250, FrequencyCheck::Ok},         {44600500, FrequencyCheck::Ok},
      {47100000, FrequencyCheck::Ok},         {40000000, FrequencyCheck::Ok},
      {47100500, FrequencyCheck::OutOfRange}, {39999375, FrequencyCheck::OutOfRange},
      {0, FrequencyCheck::OutOfRange},        {47100001, FrequencyCheck::OutOfRange},
      {40000001, FrequencyCheck::OffStep},
  };
  for (const auto& c : cases) EXPECT_EQ(CheckFrequency(c.v, l), c.expected) << c.v;
}

// Found by the CSV fuzz target: a band above 1000 MHz let frequencies through
// that eight BCD digits cannot store, and the encoder wrote another one.
TEST(RadioBands, FrequencyCheckStopsWhereARecordEnds) {
  BandLimits l = DeriveBandLimits("900-1100MHz");
  EXPECT_EQ(CheckFrequency(99999375, l), FrequencyCheck::Ok);
  EXPECT_EQ(CheckFrequency(100000000, l), FrequencyCheck::OutOfRange);
  EXPECT_EQ(CheckFrequency(105000000, l), FrequencyCheck::OutOfRange);
}

TEST(RadioBands, TypeAndBandInTheRegistry) {
  TempDir config, app;
  setenv("XDG_CONFIG_HOME", config.Path().c_str(), 1);
  WriteText(app.File("Chanset.ini"), "[Setup]\nAppName=BandTest\n");
  ASSERT_TRUE(g_settingsFile().LoadPath(app.File("Chanset.ini"), false, true, false));
  std::uint32_t type = 9, band = 9;
  ReadTypeAndBand(type, band);
  EXPECT_EQ(type, 0u);
  EXPECT_EQ(band, 0u);
  WriteTypeAndBand(2, 1);
  ReadTypeAndBand(type, band);
  EXPECT_EQ(type, 2u);
  EXPECT_EQ(band, 1u);
  EXPECT_EQ(UserRegistry::ReadDword("Software\\BandTest", "Field"), 1u);
  g_settingsFile().Clear();
  unsetenv("XDG_CONFIG_HOME");
}

TEST(RadioBands, ShippedTypesHaveRecognisedBands) {
  CSettingsFile f;
  ASSERT_TRUE(f.LoadPath(CHANSET_SOURCE_DIR "/resources/Chanset.ini", false, true, false));
  Strings types = TypeList(f);
  ASSERT_GE(types.size(), 3u);
  Strings all;
  // The README's table of radios and bands is this file's, one row per type.
  const std::string readme = testutil::ReadText(CHANSET_SOURCE_DIR "/README.md");
  for (std::size_t t = 0; t < types.size(); ++t) {
    std::string row = "\n| " + types[t] + " | ";
    for (std::string band : BandList(f, static_cast<int>(t))) {
      band.replace(band.find('-'), 1, "\u2013");
      band.replace(band.find("MHz"), 3, " MHz");
      row += (row.back() == ' ' ? "" : ", ") + band;
    }
    EXPECT_NE(readme.find(row + " |\n"), std::string::npos) << row;
  }
  for (std::size_t t = 0; t < types.size(); ++t)
    for (const std::string& band : BandList(f, static_cast<int>(t))) {
      SCOPED_TRACE(types[t] + " " + band);
      int low = 0, high = 0;
      char rest[8] = {};
      ASSERT_EQ(std::sscanf(band.c_str(), "%d-%d%7s", &low, &high, rest), 3);
      EXPECT_STREQ(rest, "MHz");
      BandLimits l = DeriveBandLimits(band);
      EXPECT_EQ(l.lower, low * 100000);
      EXPECT_EQ(l.upper, (high + 1) * 100000);
      all.push_back(band);
    }
  for (const char* needed : {"136-174MHz", "400-470MHz", "400-430MHz", "430-470MHz"})
    EXPECT_NE(std::find(all.begin(), all.end(), needed), all.end()) << needed;
}

}  // namespace

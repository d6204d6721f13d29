// The lines a comparison of two images gives, in both languages: channel
// fields, options, type and band, and the bytes no named line shows.
#include <gtest/gtest.h>

#include <array>
#include <functional>

#include "data/ChannelCodec.h"
#include "data/ImageDiff.h"
#include "data/OptionMap.h"
#include "settings/CSettingsFile.h"
#include "tests/unit/TempDir.h"

using namespace chanset;
using testutil::TempDir;
using Lines = std::vector<std::string>;

namespace {

// A new image with channel 3 in use: 462.56250 both ways, decode 88.5,
// encode D023N, busy lock off, wide, high power, scanned.
Image Base() {
  Image image = NewImage();
  const std::uint8_t ch3[14] = {0x50, 0x62, 0x25, 0x46, 0x50, 0x62, 0x25, 0x46,
                                0x75, 0x03, 0x13, 0x28, 0x00, 0x30};
  std::copy(std::begin(ch3), std::end(ch3), image.begin() + off::channel(3));
  image[off::kRadioType] = 0;
  image[off::kBand] = 0;
  return image;
}

std::uint8_t& At(Image& image, std::size_t offset) { return image[offset]; }
std::uint8_t* Ch3(Image& image) { return image.data() + off::channel(3); }

struct Case {
  const char* what;
  std::function<void(Image&)> change;
  Lines en;
  Lines zh;  // empty: the same as en
};

void Check(const std::vector<Case>& cases, const CSettingsFile* settings) {
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Image changed = Base();
    c.change(changed);
    EXPECT_EQ(DiffImages(Base(), changed, false, settings, DiffRows::All), c.en);
    EXPECT_EQ(DiffImages(Base(), changed, true, settings, DiffRows::All), c.zh.empty() ? c.en : c.zh);
  }
}

TEST(ImageDiff, ChannelFieldsAsTheGridShowsThem) {
  Check({
      {"Rx", [](Image& i) { Ch3(i)[0] = 0x00; Ch3(i)[1] = 0x75; },
       {"CH 3 Rx Frequency: 462.56250 -> 462.57500"}, {"信道 3 接收频率: 462.56250 -> 462.57500"}},
      {"Tx gone empties the channel's choice columns", [](Image& i) { Ch3(i)[7] = 0xFF; },
       {"CH 3 Tx Frequency: 462.56250 -> (empty)", "CH 3 W/N: Wide -> (empty)", "CH 3 Scan: Yes -> (empty)",
        "CH 3 Busy Lock: Off -> (empty)", "CH 3 Power: High -> (empty)"},
       {"信道 3 发射频率: 462.56250 -> (空)", "信道 3 宽/窄: 宽 -> (空)", "信道 3 扫描: 是 -> (空)",
        "信道 3 繁忙锁定: 关 -> (空)", "信道 3 功率: 高 -> (空)"}},
      {"decode tone", [](Image& i) { Ch3(i)[8] = Ch3(i)[9] = 0xFF; },
       {"CH 3 QT/DQT Dec: 88.5 -> None"}, {"信道 3 QT/DQT解码: 88.5 -> 无"}},
      {"encode tone", [](Image& i) { Ch3(i)[11] = 0xA8; },
       {"CH 3 QT/DQT Enc: D023N -> D023I"}, {"信道 3 QT/DQT编码: D023N -> D023I"}},
      {"narrow", [](Image& i) { Ch3(i)[13] = 0x20; }, {"CH 3 W/N: Wide -> Narrow"}, {"信道 3 宽/窄: 宽 -> 窄"}},
      {"scan", [](Image& i) { SetScanBit(i, 3, false); }, {"CH 3 Scan: Yes -> No"}, {"信道 3 扫描: 是 -> 否"}},
      {"busy lock", [](Image& i) { Ch3(i)[12] = 0x08; },
       {"CH 3 Busy Lock: Off -> Carrier"}, {"信道 3 繁忙锁定: 关 -> 载波"}},
      {"power", [](Image& i) { Ch3(i)[13] = 0x50; }, {"CH 3 Power: High -> Middle"}, {"信道 3 功率: 高 -> 中"}},
      {"field and an unshown bit of the same byte",
       [](Image& i) { Ch3(i)[13] = 0x21; },
       {"CH 3 W/N: Wide -> Narrow", "0x03D: 30 -> 21"}, {"信道 3 宽/窄: 宽 -> 窄", "0x03D: 30 -> 21"}},
  }, nullptr);
}

// Two power values that both read high, a flag bit outside the fields, the
// wide and scan bits of an empty channel, row 0, the write-back marker and the
// power table.
TEST(ImageDiff, BytesNoFieldShowsGoByAddress) {
  Check({{"unshown bytes",
          [](Image& i) {
            Ch3(i)[12] = 0x01;
            Ch3(i)[13] = 0x70;
            At(i, off::channel(5) + 13) = 0xEF;
            SetScanBit(i, 9, false);
            At(i, 0x005) = 0x00;
            At(i, off::kWriteBack) = kWriteBackMarker;
            At(i, off::kPowerTable) = 0x50;
          },
          {"0x005: FF -> 00", "0x03C: 00 -> 01", "0x03D: 30 -> 70", "0x05D: FF -> EF", "0x17F: FF -> FE",
           "0x1B8: FF -> 50", "0x3E0: 4D -> 50"},
          {}}},
        nullptr);
}

TEST(ImageDiff, OptionsByTheirDialogLabelAndShownValue) {
  Check({
      {"time-out", [](Image& i) { At(i, off::kTimeOut) = 40; }, {"Time Out Time: 45s -> 600s"}, {"超时定时器: 45s -> 600s"}},
      {"squelch", [](Image& i) { At(i, off::kSquelch) = 3; }, {"Squelch Level: 5 -> 3"}, {"静噪电平: 5 -> 3"}},
      {"squelch erased", [](Image& i) { At(i, off::kSquelch) = 0xFF; },
       {"Squelch Level: 5 -> (0xFF)"}, {"静噪电平: 5 -> (0xFF)"}},
      {"voice", [](Image& i) { At(i, off::kVoice) = 2; },
       {"Voice Annunciation: Chinese -> English"}, {"语音报号: 中文 -> 英文"}},
      {"beep", [](Image& i) { At(i, off::kBeep) = 0; }, {"Beep: On -> Off"}, {"按键音: 开 -> 关"}},
      {"gain and delay, in the dialog's order",
       [](Image& i) { At(i, off::kVoxDelay) = 5; At(i, off::kVoxGain) = 8; },
       {"Vox Gain Level: 5 -> 8", "Vox Delay Time: 0.3s -> 3.0s"}, {"声控增益电平: 5 -> 8", "声控延迟时间: 0.3s -> 3.0s"}},
      {"side key", [](Image& i) { At(i, off::kSideKey) = 0xD9; },
       {"Side Key: Emergency Alarm -> Monitor"}, {"侧键: 紧急报警 -> 监听"}},
      {"side key and its byte's other bits", [](Image& i) { At(i, off::kSideKey) = 0xC8; },
       {"Side Key: Emergency Alarm -> Off", "0x390: F9 -> C8"}, {"侧键: 紧急报警 -> 关闭", "0x390: F9 -> C8"}},
      {"only the side-key byte's other bits", [](Image& i) { At(i, off::kSideKey) = 0xF8; }, {"0x390: F9 -> F8"}, {}},
      {"two beep values that both show On", [](Image& i) { At(i, off::kBeep) = 0x7F; }, {"0x136: 01 -> 7F"}, {}},
  }, nullptr);
}

TEST(ImageDiff, TypeAndBandByNameFromTheSettings) {
  TempDir dir;
  testutil::WriteText(dir.File("Chanset.ini"),
                      "[Setup]\nType1=KRR-45\nField1=400-470MHz|400-430MHz|430-470MHz\n"
                      "Type2=KRR-15\nField2=136-174MHz\nType3=KRR-90\nField3=136-174MHz|400-470MHz\n");
  CSettingsFile settings;
  ASSERT_TRUE(settings.LoadPath(dir.File("Chanset.ini"), false, true, false));
  Check({
      {"type, and with it the band", [](Image& i) { At(i, off::kRadioType) = 1; },
       {"Type: KRR-45 -> KRR-15", "Frequency: 400-470MHz -> 136-174MHz"},
       {"类型: KRR-45 -> KRR-15", "频率: 400-470MHz -> 136-174MHz"}},
      {"band", [](Image& i) { At(i, off::kBand) = 2; }, {"Frequency: 400-470MHz -> 430-470MHz"},
       {"频率: 400-470MHz -> 430-470MHz"}},
      {"band past its type's list", [](Image& i) { At(i, off::kBand) = 3; }, {"Frequency: 400-470MHz -> 3"},
       {"频率: 400-470MHz -> 3"}},
      {"type past the list", [](Image& i) { At(i, off::kRadioType) = 7; },
       {"Type: KRR-45 -> 7", "Frequency: 400-470MHz -> 0"}, {"类型: KRR-45 -> 7", "频率: 400-470MHz -> 0"}},
      {"band index past the new type's list", [](Image& i) { At(i, off::kRadioType) = 1; At(i, off::kBand) = 5; },
       {"Type: KRR-45 -> KRR-15", "Frequency: 400-470MHz -> 5"}, {"类型: KRR-45 -> KRR-15", "频率: 400-470MHz -> 5"}},
      {"the same band name at another index", [](Image& i) { At(i, off::kRadioType) = 2; At(i, off::kBand) = 1; },
       {"Type: KRR-45 -> KRR-90", "Frequency: 400-470MHz (0) -> 400-470MHz (1)"},
       {"类型: KRR-45 -> KRR-90", "频率: 400-470MHz (0) -> 400-470MHz (1)"}},
  }, &settings);
}

// Without settings, type and band show as their indexes.
TEST(ImageDiff, EqualImagesGiveNoLinesAndOrderIsChannelsOptionsTypeAddresses) {
  EXPECT_TRUE(DiffImages(Base(), Base(), false, nullptr, DiffRows::All).empty());
  Image changed = Base();
  At(changed, 0x3FF) = 0x00;
  At(changed, 0x005) = 0x00;
  At(changed, off::kRadioType) = 2;
  At(changed, off::kBand) = 1;
  At(changed, off::kSquelch) = 0;
  Ch3(changed)[13] = 0x10;  // power low
  for (int i = 0; i < 4; ++i) At(changed, off::channel(1) + i) = i == 3 ? 0x44 : 0x00;  // Rx 440 MHz
  EXPECT_EQ(DiffImages(Base(), changed, false, nullptr, DiffRows::All),
            (Lines{"CH 1 Rx Frequency: (empty) -> 440.00000", "CH 3 Power: High -> Low", "Squelch Level: 5 -> 0",
                   "Type: 0 -> 2", "Frequency: 0 -> 1", "0x005: FF -> 00", "0x3FF: FF -> 00"}));
}

TEST(ImageDiff, RadioComparisonAndVerifyLeaveOutRows62And63) {
  Image readBack = Base();
  At(readBack, 0x3DF) = 0x01;  // the last byte that travels
  At(readBack, 0x3E0) = 0x01;  // power table: never on the radio
  At(readBack, 0x3FF) = 0x01;
  EXPECT_EQ(DiffImages(Base(), readBack, false, nullptr, DiffRows::All),
            (Lines{"0x3DF: FF -> 01", "0x3E0: 4D -> 01", "0x3FF: FF -> 01"}));
  EXPECT_EQ(DiffImages(Base(), readBack, false, nullptr, DiffRows::Transferred), (Lines{"0x3DF: FF -> 01"}));
  EXPECT_EQ(VerifyDifferences(Base(), readBack, true, nullptr), (Lines{"0x3DF: FF -> 01"}));
  At(readBack, 0x3DF) = 0xFF;
  EXPECT_TRUE(VerifyDifferences(Base(), readBack, false, nullptr).empty());
}

// A grid of the channel texts of an image, as the channel view shows them,
// with single cells changed by a test.
class Grid : public CellTexts {
 public:
  Grid(const Image& image, bool chinese) {
    for (int n = 1; n <= kChannelCount; ++n) rows_[static_cast<std::size_t>(n - 1)] = DecodeChannel(image, n, chinese);
  }
  std::string Text(int row, int col) const override {
    return rows_[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(col - 1)];
  }
  const ChannelTexts& Row(int row) const { return rows_[static_cast<std::size_t>(row - 1)]; }
  void Set(int row, int col, const std::string& text) {
    rows_[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(col - 1)] = text;
  }

 private:
  std::array<ChannelTexts, kChannelCount> rows_;
};

TEST(ImageDiff, TheDocumentComparedHoldsTheGridsEditsAndNothingElse) {
  for (bool zh : {false, true}) {
    SCOPED_TRACE(zh ? "Chinese" : "English");
    // Unused bits in the flags of an empty channel and of channel 3: the
    // encoder would set them its own way.
    Image image = Base();
    At(image, off::channel(7) + off::kFlagsA) = 0x00;
    Ch3(image)[12] = 0x08;
    Grid grid(image, zh);
    EXPECT_EQ(WithGridEdits(image, grid, zh), image) << "an unedited grid changes no byte";

    grid.Set(3, 1, "462.57500");
    grid.Set(9, 1, "446.00625");  // a new channel
    const Image edited = WithGridEdits(image, grid, zh);
    EXPECT_EQ(DiffImages(image, edited, zh, nullptr, DiffRows::Transferred).front(),
              zh ? "信道 3 接收频率: 462.56250 -> 462.57500" : "CH 3 Rx Frequency: 462.56250 -> 462.57500");
    // Channels 3 and 9 are encoded from the grid; the other bytes stay.
    Image expected = image;
    EncodeChannel(grid.Row(3), expected, 3);
    for (std::size_t a = 0; a < kImageSize; ++a) {
      const bool ch3 = a >= off::channel(3) && a < off::channel(4);
      const bool ch9 = a >= off::channel(9) && a < off::channel(10);
      if (!ch3 && !ch9 && a != off::kScanBits && a != off::kScanBits + 1) {
        EXPECT_EQ(edited[a], image[a]) << "byte " << a;
      }
    }
    EXPECT_TRUE(std::equal(expected.begin() + off::channel(3), expected.begin() + off::channel(4),
                           edited.begin() + off::channel(3)));
    EXPECT_EQ(DecodeChannel(edited, 9, zh)[0], "446.00625");
  }
}

// The labels of the lines are the dialogs' own: each is a static text of
// the Optional Features or Product Information dialog in that language pack.
TEST(ImageDiff, LabelsAreTheDialogLabelsOfBothLanguagePacks) {
  for (const char* pack : {"English", "Chinese"}) {
    const bool zh = std::string(pack) == "Chinese";
    const std::string dir = std::string(CHANSET_SOURCE_DIR) + "/resources/lang/" + pack + "/dialogs/";
    const std::string options = testutil::ReadText(dir + "132.json");
    const std::string product = testutil::ReadText(dir + "136.json");
    ASSERT_FALSE(options.empty() || product.empty()) << dir;
    for (const OptionInfo& info : Options()) {
      const std::string label = info.label.In(zh);
      EXPECT_NE(options.find("\"text\": \"" + label + "\""), std::string::npos) << pack << ": " << label;
    }
    Image changed = Base();
    At(changed, off::kRadioType) = 1;
    At(changed, off::kBand) = 1;
    for (const std::string& line : DiffImages(Base(), changed, zh, nullptr, DiffRows::All)) {
      const std::string label = line.substr(0, line.find(':'));
      EXPECT_NE(product.find("\"text\": \"" + label + "\""), std::string::npos) << pack << ": " << line;
    }
  }
}

}  // namespace

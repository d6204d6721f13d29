#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "data/ChannelCodec.h"
#include "data/ChannelWords.h"
#include "data/DcsCodes.h"
#include "editor/ToneTable.h"

using namespace chanset;

namespace {

// A 17 x 9 grid of texts (header row and column included), as the encoder
// sees the channel grid.
class Grid : public CellTexts {
 public:
  Grid() : m_cells(17, std::vector<std::string>(9)) {}
  std::string Text(int row, int col) const override { return m_cells.at(row).at(col); }
  void SetRow(int n, const ChannelTexts& t) {
    for (int c = 0; c < 8; ++c) m_cells[n][c + 1] = t[c];
  }
  void Set(int n, int col, const std::string& text) { m_cells[n][col] = text; }

 private:
  std::vector<std::vector<std::string>> m_cells;
};

Grid DecodeAll(const Image& img, bool chinese) {
  Grid g;
  for (int n = 1; n <= kChannelCount; ++n) g.SetRow(n, DecodeChannel(img, n, chinese));
  return g;
}

std::uint8_t* Record(Image& img, int n) { return img.data() + off::channel(n); }

void PutFreq(Image& img, int n, std::size_t at, std::uint8_t b0, std::uint8_t b1, std::uint8_t b2,
             std::uint8_t b3) {
  std::uint8_t* r = Record(img, n) + at;
  r[0] = b0, r[1] = b1, r[2] = b2, r[3] = b3;
}

std::string DecodeWord(std::uint8_t lo, std::uint8_t hi, bool empty = false, bool zh = false) {
  const std::uint8_t b[2] = {lo, hi};
  return DecodeTone(b, empty, zh);
}

std::pair<int, int> EncodeWord(const std::string& text) {
  std::uint8_t b[2] = {0x5A, 0x5A};
  EncodeTone(text, b);
  return {b[0], b[1]};
}

}  // namespace

// ---- numbers ----

TEST(ScaleDecimal, ReadsLeadingNumberRoundsTo15DigitsAndTruncates) {
  const std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  struct Case {
    const char* text;
    std::int64_t scale;
    std::int64_t want;
  } cases[] = {
      {"446.00625", 100000, 44600625},
      {"446.006259", 100000, 44600625},  // truncated, not rounded
      {"136.0125", 100000, 13601250},    // x 100000 in binary gives 13601249.999...
      {"0.29", 100, 29},
      {"446.0062499999999999", 100000, 44600625},  // the double is 446.00625
      {"446.006249999999", 100000, 44600624},      // 15 digits survive the rounding
      {"88.5", 10, 885},
      {"254.1", 10, 2541},
      {"-1.55", 10, -15},  // toward zero
      {"  +12.34e1xyz", 10, 1234},
      {"1e", 10, 10},   // an exponent without digits is not part of the number
      {"2.5e-1", 10, 2},
      {".5", 10, 5},
      {"5.", 10, 50},
      {"446.00625 MHz", 100000, 44600625},
      {"", 100000, 0},
      {"None", 10, 0},
      {".", 10, 0},
      {"-", 10, 0},
      {"0x10", 10, 0},  // hexadecimal is not read: "0" then garbage
      {"inf", 10, 0},
      {"1e400", 10, kMax},
      {"-1e400", 10, -kMax},
      {"1e-400", 10, 0},
      {"123456789012345678901234567890", 1, kMax},
  };
  for (const Case& c : cases) EXPECT_EQ(ScaleDecimal(c.text, c.scale), c.want) << '"' << c.text << '"';
}

// ---- frequencies ----

TEST(Frequency, PackedBcdLeastSignificantPairFirst) {
  struct Case {
    const char* text;
    std::uint8_t bytes[4];
    const char* decoded;
  } cases[] = {
      {"446.00625", {0x25, 0x06, 0x60, 0x44}, "446.00625"},
      {"446.006259", {0x25, 0x06, 0x60, 0x44}, "446.00625"},
      {"136.0125", {0x50, 0x12, 0x60, 0x13}, "136.01250"},
      {"10", {0x00, 0x00, 0x00, 0x01}, "10.00000"},
      {"", {0xFF, 0xFF, 0xFF, 0xFF}, ""},
      {"abc", {0xFF, 0xFF, 0xFF, 0xFF}, ""},
      {"0.000001", {0xFF, 0xFF, 0xFF, 0xFF}, ""},  // scales to 0
      {"-446.00625", {0xFF, 0xFF, 0xFF, 0xFF}, ""},  // no negative frequencies
  };
  for (const Case& c : cases) {
    std::uint8_t b[4] = {1, 2, 3, 4};
    EncodeFrequency(c.text, b);
    EXPECT_EQ(std::vector<int>(b, b + 4), std::vector<int>(c.bytes, c.bytes + 4)) << c.text;
    EXPECT_EQ(DecodeFrequency(b), c.decoded) << c.text;
    if (*c.decoded) {
      EXPECT_EQ(FormatFrequencyText(ParseLeadingDouble(c.decoded)), c.decoded);
    }
  }
}

TEST(Frequency, AbsentTopByteAndUncheckedNibbles) {
  const std::uint8_t zeroTop[4] = {0x25, 0x06, 0x60, 0x00};
  const std::uint8_t erasedTop[4] = {0x25, 0x06, 0x60, 0xFF};
  EXPECT_EQ(DecodeFrequency(zeroTop), "");
  EXPECT_EQ(DecodeFrequency(erasedTop), "");
  // A nibble above 9 counts as its value: 0x0A is 10 in the lowest pair.
  const std::uint8_t hex[4] = {0x0A, 0x00, 0x00, 0x01};
  EXPECT_EQ(DecodeFrequency(hex), "10.00010");
  const std::uint8_t allF[4] = {0xFF, 0xFF, 0xFF, 0xFE};
  EXPECT_EQ(DecodeFrequency(allF), "1656.66665");  // pairs 164, 165, 165, 165
}

// ---- tones ----

TEST(ToneWord, DecodesByHighByte) {
  struct Case {
    std::uint8_t lo, hi;
    bool empty, zh;
    const char* text;
  } cases[] = {
      {0x75, 0x03, false, false, "88.5"},
      {0xE8, 0x03, false, false, "100.0"},
      {0x00, 0x2A, false, false, "1075.2"},  // 0x2A is a CTCSS high byte, not DCS
      {0x13, 0x28, false, false, "D023N"},
      {0x13, 0x29, false, false, "D423N"},  // bit 0 of the high byte is code bit 8
      {0x09, 0x29, false, false, "D411N"},
      {0xEC, 0xA9, false, false, "D754I"},
      {0x0F, 0x28, false, false, "D017N"},
      {0x28, 0xA8, false, false, "D050I"},
      {0x00, 0x29, false, false, "D000N"},  // 0o400 is no code
      {0x14, 0xA8, false, false, "D000I"},  // 0o024 is no code
      {0xFF, 0xFF, false, false, "None"},
      {0x12, 0x00, false, true, "无"},
      {0xFF, 0xFF, true, false, ""},
      {0x75, 0x03, true, false, "88.5"},  // an empty channel still shows its tones
      {0x13, 0x28, true, true, "D023N"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DecodeWord(c.lo, c.hi, c.empty, c.zh), c.text) << std::hex << int(c.lo) << ' ' << int(c.hi);
}

TEST(ToneWord, EncodesDcsByDigitsAndCtcssInTenths) {
  struct Case {
    const char* text;
    int lo, hi;
  } cases[] = {
      {"D023N", 0x13, 0x28}, {"D754I", 0xEC, 0xA9}, {"D411N", 0x09, 0x29},
      {"D017N", 0x0F, 0x28}, {"D050N", 0x28, 0x28}, {"D371I", 0xF9, 0xA8},
      {"D999N", 0x00, 0x29},  // not a code, number >= 372
      {"D372N", 0x00, 0x29},  // not a code either, but the upper high byte
      {"D024N", 0x00, 0x28},
      {"D023", 0x13, 0xA8},   // no N: inverted
      {"D23N", 0x13, 0x28},   // the digits are read as a number
      {"xD023N", 0x00, 0x28}, // the first character is dropped, whatever it is
      {"254.1", 0xED, 0x09}, {"62.5", 0x71, 0x02}, {"100.0", 0xE8, 0x03},
      {"None", 0xFF, 0xFF}, {"无", 0xFF, 0xFF}, {"", 0xFF, 0xFF}, {"abc", 0xFF, 0xFF},
      {"d023N", 0xFF, 0xFF},  // lower-case d is not DCS
      {"-88.5", 0xFF, 0xFF},  // no negative tones
  };
  for (const Case& c : cases) EXPECT_EQ(EncodeWord(c.text), std::make_pair(c.lo, c.hi)) << c.text;
}

TEST(ToneWord, EveryTableCodeRoundTripsInBothPolarities) {
  for (std::uint16_t code : kDcsCodes) {
    for (char pol : {'N', 'I'}) {
      char text[16];
      std::snprintf(text, sizeof text, "D%03o%c", code, pol);
      auto [lo, hi] = EncodeWord(text);
      EXPECT_EQ(lo + 256 * (hi & 1), code) << text;
      EXPECT_EQ(DecodeWord(static_cast<std::uint8_t>(lo), static_cast<std::uint8_t>(hi)), text);
    }
  }
}

// ---- tone list ----

TEST(ToneTable, LayoutAndLanguage) {
  ToneTable en(false), zh(true);
  ASSERT_EQ(en.Size(), 264);
  ASSERT_EQ(zh.Size(), 264);
  EXPECT_EQ(en.Text(0), "None");
  EXPECT_EQ(zh.Text(0), "无");
  EXPECT_EQ(en.Text(1), "62.5");
  EXPECT_EQ(en.Text(53), "254.1");
  EXPECT_EQ(en.Text(54), "D023N");
  EXPECT_EQ(en.Text(158), "D754N");
  EXPECT_EQ(en.Text(159), "D023I");
  EXPECT_EQ(en.Text(263), "D754I");
  EXPECT_EQ(en.Text(264), "");
  EXPECT_EQ(en.Text(-1), "");
  EXPECT_EQ(en.IndexOf("D017N"), -1);
  EXPECT_EQ(en.IndexOf("D050I"), -1);
  EXPECT_EQ(en.IndexOf("100.0"), 16);
  for (int i = 1; i < 264; ++i) EXPECT_EQ(en.Text(i), zh.Text(i));
  en.Build(true);  // rebuilding replaces the list
  EXPECT_EQ(en.Size(), 264);
  EXPECT_EQ(en.Text(0), "无");
}

TEST(ToneTable, EveryEntryRoundTripsThroughTheCodec) {
  for (bool zh : {false, true}) {
    ToneTable list(zh);
    for (int i = 0; i < list.Size(); ++i) {
      std::uint8_t b[2];
      EncodeTone(list.Text(i), b);
      EXPECT_EQ(DecodeTone(b, false, zh), list.Text(i)) << i;
      if (i > 0) {
        EXPECT_NE(b[1], 0xFF) << list.Text(i);
      }
    }
  }
}

// ---- whole channels ----

TEST(Channel, FlagsDecodeIncludingUnusedCombinations) {
  struct Case {
    std::uint8_t a, b;
    bool scan;
    bool zh;
    const char* wn;
    const char* sc;
    const char* busy;
    const char* power;
  } cases[] = {
      {0x00, 0x10, true, false, "Wide", "Yes", "Off", "Low"},
      {0x08, 0x00, false, false, "Narrow", "No", "Carrier", "Low"},
      {0x10, 0x40, true, false, "Narrow", "Yes", "QT/DQT", "Middle"},
      {0x18, 0x60, true, false, "Narrow", "Yes", "QT/DQT", "High"},  // 0x18 busy, 0x60 power
      {0xE7, 0x9F, false, false, "Wide", "No", "Off", "Low"},        // other bits ignored
      {0xEF, 0xBF, true, true, "宽", "是", "载波", "高"},
      {0x18, 0x40, false, true, "窄", "否", "QT/DQT", "中"},
      {0x00, 0x00, true, true, "窄", "是", "关", "低"},
  };
  for (const Case& c : cases) {
    Image img = NewImage();
    PutFreq(img, 5, off::kRxFreq, 0x25, 0x06, 0x60, 0x44);
    PutFreq(img, 5, off::kTxFreq, 0x00, 0x00, 0x00, 0x40);
    Record(img, 5)[off::kFlagsA] = c.a;
    Record(img, 5)[off::kFlagsB] = c.b;
    SetScanBit(img, 5, c.scan);
    ChannelTexts t = DecodeChannel(img, 5, c.zh);
    EXPECT_EQ(t[0], "446.00625");
    EXPECT_EQ(t[1], "400.00000");
    EXPECT_EQ(t[2], c.zh ? "无" : "None");
    EXPECT_EQ(t[4], c.wn);
    EXPECT_EQ(t[5], c.sc);
    EXPECT_EQ(t[6], c.busy);
    EXPECT_EQ(t[7], c.power);
  }
}

TEST(Channel, RxWithoutTxShowsRxAndTonesOnly) {
  Image img = NewImage();
  PutFreq(img, 3, off::kRxFreq, 0x25, 0x06, 0x60, 0x44);
  Record(img, 3)[off::kRxTone] = 0x75;
  Record(img, 3)[off::kRxTone + 1] = 0x03;
  Record(img, 3)[off::kFlagsB] = 0x30;
  ChannelTexts t = DecodeChannel(img, 3, false);
  EXPECT_EQ(t, (ChannelTexts{"446.00625", "", "88.5", "", "", "", "", ""}));
  // Tx present, Rx top byte 0x00: empty as well.
  PutFreq(img, 3, off::kRxFreq, 0x25, 0x06, 0x60, 0x00);
  PutFreq(img, 3, off::kTxFreq, 0x25, 0x06, 0x60, 0x44);
  t = DecodeChannel(img, 3, false);
  EXPECT_EQ(t, (ChannelTexts{"", "446.00625", "88.5", "", "", "", "", ""}));
}

TEST(Channel, EmptyRowEncodesDefaultsAndDecodesEmpty) {
  Image img = NewImage();
  for (int n = 1; n <= kChannelCount; ++n) {
    Record(img, n)[off::kFlagsA] = 0xE7 | 0x08;  // carrier, other bits set
    Record(img, n)[off::kFlagsB] = 0x8F | 0x40;  // middle, narrow, other bits set
    Record(img, n)[14] = 0x14;
    Record(img, n)[15] = 0x15;
  }
  img[off::kScanBits] = img[off::kScanBits + 1] = 0x00;
  EncodeChannels(Grid(), img);
  for (int n = 1; n <= kChannelCount; ++n) {
    const std::uint8_t* r = Record(img, n);
    for (int i = 0; i < 12; ++i) EXPECT_EQ(r[i], 0xFF) << n << ':' << i;
    EXPECT_EQ(r[off::kFlagsA], 0xE7 | 0x10) << n;
    EXPECT_EQ(r[off::kFlagsB], 0x8F | 0x10 | 0x20) << n;
    EXPECT_EQ(r[14], 0x14);
    EXPECT_EQ(r[15], 0x15);
    EXPECT_TRUE(ScanBit(img, n));
    EXPECT_EQ(DecodeChannel(img, n, false), ChannelTexts{}) << n;
  }
  EXPECT_EQ(img[off::kWriteBack], 0x50);
}

TEST(Channel, EncoderAcceptsBothLanguagesAndOnlyExactWords) {
  const ChannelTexts en = {"446.00625", "446.00625", "None", "D023N", "Narrow", "No", "Carrier", "Middle"};
  const ChannelTexts zh = {"446.00625", "446.00625", "无", "D023N", "窄", "否", "载波", "中"};
  Grid g;
  g.SetRow(1, en);
  g.SetRow(2, zh);
  // Case-sensitive: these are not the words and take the defaults.
  g.SetRow(3, {"446.00625", "446.00625", "none", "D023N", "narrow", "no", "carrier", "middle"});
  Image img = NewImage();
  EncodeChannels(g, img);
  EXPECT_TRUE(std::equal(Record(img, 1), Record(img, 1) + 14, Record(img, 2)));
  EXPECT_EQ(DecodeChannel(img, 1, false), en);
  EXPECT_EQ(DecodeChannel(img, 2, true), zh);
  EXPECT_EQ(DecodeChannel(img, 2, false), en);
  EXPECT_EQ(DecodeChannel(img, 3, false),
            (ChannelTexts{"446.00625", "446.00625", "None", "D023N", "Wide", "Yes", "QT/DQT", "High"}));
}

// ---- property: decode -> encode -> decode on random images ----

namespace {

// The bytes the channel encoder owns: record bytes 0..13 of each channel,
// except the unused bits of the flag bytes, the 16 scan bits and the marker.
bool OwnedByEncoder(std::size_t offset, std::uint8_t* keepMask) {
  *keepMask = 0x00;
  if (offset >= off::channel(1) && offset < off::channel(kChannelCount + 1)) {
    std::size_t pos = offset % kRowSize;
    if (pos < off::kFlagsA) return true;
    if (pos == off::kFlagsA) return *keepMask = static_cast<std::uint8_t>(~kBusyMask), true;
    if (pos == off::kFlagsB)
      return *keepMask = static_cast<std::uint8_t>(~(kWideBit | kPowerMask)), true;
    return false;
  }
  return offset == off::kScanBits || offset == off::kScanBits + 1 || offset == off::kWriteBack;
}

bool DecimalNibbles(const std::uint8_t* b) {
  for (int i = 0; i < 4; ++i)
    if ((b[i] >> 4) > 9 || (b[i] & 15) > 9) return false;
  return true;
}

}  // namespace

TEST(ChannelProperty, RandomImagesSurviveDecodeEncodeDecode) {
  std::mt19937 rng(20240517);
  std::uniform_int_distribution<int> byte(0, 255);
  int checkedChannels = 0;
  for (int iter = 0; iter < 2000; ++iter) {
    Image img;
    for (auto& b : img) b = static_cast<std::uint8_t>(byte(rng));
    // Make plausible records common: decimal BCD and the tone high bytes
    // that matter, in about half of the channels.
    for (int n = 1; n <= kChannelCount; ++n) {
      if (byte(rng) & 1) continue;
      std::uint8_t* r = Record(img, n);
      for (int i = 0; i < 8; ++i) r[i] = static_cast<std::uint8_t>(byte(rng) % 10 * 16 + byte(rng) % 10);
      static const std::uint8_t kHigh[] = {0x00, 0xFF, 0x28, 0x29, 0xA8, 0xA9, 0x2A, 0x03};
      r[9] = kHigh[byte(rng) % 8];
      r[11] = kHigh[byte(rng) % 8];
    }
    const bool zh = iter % 2 == 1;
    const Grid first = DecodeAll(img, zh);
    Image encoded = img;
    EncodeChannels(first, encoded);

    // Nothing outside the encoder's bits moves.
    for (std::size_t o = 0; o < kImageSize; ++o) {
      std::uint8_t keep;
      if (!OwnedByEncoder(o, &keep)) keep = 0xFF;
      ASSERT_EQ(encoded[o] & keep, img[o] & keep) << "image " << iter << " offset " << o;
    }
    EXPECT_EQ(encoded[off::kWriteBack], 0x50);

    const Grid second = DecodeAll(encoded, zh);
    bool allStorable = true;
    for (int n = 1; n <= kChannelCount; ++n) {
      const std::uint8_t* before = Record(img, n);
      const std::uint8_t* after = Record(encoded, n);
      // A top digit pair of 160 or more (only from nibbles above 9 in byte 3)
      // does not fit one BCD byte; such a text cannot come back.
      auto storable = [&](int col) {
        return first.Text(n, col).empty() || ScaleDecimal(first.Text(n, col), 100000) < 160000000;
      };
      if (!storable(1) || !storable(2)) {
        allStorable = false;
        continue;
      }
      ++checkedChannels;
      for (int col = 1; col <= 8; ++col)
        ASSERT_EQ(second.Text(n, col), first.Text(n, col)) << "image " << iter << " ch " << n << " col " << col;
      // Decimal frequencies keep their bytes; so do tone words that name a
      // CTCSS value or a listed DCS code.
      for (std::size_t at : {off::kRxFreq, off::kTxFreq})
        if (!first.Text(n, at == off::kRxFreq ? 1 : 2).empty() && DecimalNibbles(before + at)) {
          EXPECT_TRUE(std::equal(before + at, before + at + 4, after + at)) << iter << ' ' << n;
        }
      for (std::size_t at : {off::kRxTone, off::kTxTone}) {
        const std::string text = first.Text(n, at == off::kRxTone ? 3 : 4);
        if (!text.empty() && text != words::kNone.In(zh) && text.find("D000") == std::string::npos) {
          EXPECT_TRUE(std::equal(before + at, before + at + 2, after + at)) << iter << ' ' << n << ' ' << text;
        }
      }
    }
    // Once written back, an image is stable: a second round changes nothing.
    if (allStorable) {
      Image again = encoded;
      EncodeChannels(second, again);
      ASSERT_EQ(again, encoded) << "image " << iter;
    }
  }
  EXPECT_GT(checkedChannels, 2000 * 15);
}

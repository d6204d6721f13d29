// Fuzz target: loading a .dat file and running its channels through the
// codec.
//
// Invariants:
// - LoadDat's result follows from the bytes alone (too short, wrong magic,
//   complete), a failed load by magic leaves the image untouched, and a good
//   load takes bytes 16..1039 verbatim; StoreDat writes them back.
// - Encoding the decoded texts of an image changes nothing outside the
//   channel fields, the scan bits and the write-back marker, and gives the
//   same bytes from the English and the Chinese texts.
// - Decode -> encode -> decode gives the same texts for every channel whose
//   top frequency bytes are decimal BCD (or the empty marker).
#include <cstring>
#include <sstream>

#include "data/ChannelCodec.h"
#include "data/DatFile.h"
#include "fuzz/FuzzTarget.h"

using namespace chanset;

namespace {

class TextsGrid : public CellTexts {
 public:
  explicit TextsGrid(const std::array<ChannelTexts, kChannelCount>& texts) : texts_(texts) {}
  std::string Text(int row, int col) const override {
    if (row < 1 || row > kChannelCount || col < 1 || col > 8) return std::string();
    return texts_[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(col - 1)];
  }

 private:
  const std::array<ChannelTexts, kChannelCount>& texts_;
};

using AllTexts = std::array<ChannelTexts, kChannelCount>;

AllTexts DecodeAll(const Image& image, bool chinese) {
  AllTexts all;
  for (int n = 1; n <= kChannelCount; ++n) all[static_cast<std::size_t>(n - 1)] = DecodeChannel(image, n, chinese);
  return all;
}

Image Encoded(const Image& image, const AllTexts& texts) {
  Image out = image;
  EncodeChannels(TextsGrid(texts), out);
  return out;
}

bool DecimalOrEmpty(std::uint8_t b) { return b == 0xFF || ((b >> 4) <= 9 && (b & 0x0F) <= 9); }

// "" or digits, a point and five digits.
bool IsFrequencyText(const std::string& t) {
  if (t.empty()) return true;
  std::size_t dot = t.find('.');
  if (dot == std::string::npos || dot == 0 || t.size() - dot != 6) return false;
  for (std::size_t i = 0; i < t.size(); ++i)
    if (i != dot && (t[i] < '0' || t[i] > '9')) return false;
  return true;
}

// Which bits of byte `i` encoding may change.
std::uint8_t WritableBits(std::size_t i) {
  if (i == off::kWriteBack || i == off::kScanBits || i == off::kScanBits + 1) return 0xFF;
  if (i < off::channel(1) || i >= off::channel(kChannelCount + 1)) return 0x00;
  std::size_t field = i % kRowSize;
  if (field < off::kFlagsA) return 0xFF;  // frequencies and tone words
  if (field == off::kFlagsA) return kBusyMask;
  if (field == off::kFlagsB) return kWideBit | kPowerMask;
  return 0x00;  // bytes 14 and 15
}

void CheckCodec(const Image& image) {
  const AllTexts en = DecodeAll(image, false);
  const AllTexts zh = DecodeAll(image, true);
  for (int n = 0; n < kChannelCount; ++n) {
    const std::size_t c = static_cast<std::size_t>(n);
    FUZZ_CHECK(IsFrequencyText(en[c][0]) && IsFrequencyText(en[c][1]));
    FUZZ_CHECK(en[c][0] == zh[c][0] && en[c][1] == zh[c][1]);
    // An empty frequency empties the choice columns in both languages.
    const bool empty = en[c][0].empty() || en[c][1].empty();
    for (std::size_t k = 4; k < 8; ++k) FUZZ_CHECK(empty == en[c][k].empty() && empty == zh[c][k].empty());
  }

  const Image fromEn = Encoded(image, en);
  const Image fromZh = Encoded(image, zh);
  FUZZ_CHECK(fromEn == fromZh);
  FUZZ_CHECK(fromEn[off::kWriteBack] == kWriteBackMarker);
  for (std::size_t i = 0; i < kImageSize; ++i)
    FUZZ_CHECK(((fromEn[i] ^ image[i]) & ~WritableBits(i)) == 0);

  const AllTexts en2 = DecodeAll(fromEn, false);
  const AllTexts zh2 = DecodeAll(fromEn, true);
  const Image again = Encoded(fromEn, en2);
  for (int n = 1; n <= kChannelCount; ++n) {
    const std::uint8_t* r = image.data() + off::channel(n);
    if (!DecimalOrEmpty(r[off::kRxFreq + 3]) || !DecimalOrEmpty(r[off::kTxFreq + 3])) continue;
    const std::size_t c = static_cast<std::size_t>(n - 1);
    FUZZ_CHECK(en2[c] == en[c]);
    FUZZ_CHECK(zh2[c] == zh[c]);
    const std::size_t base = off::channel(n);
    FUZZ_CHECK(std::memcmp(again.data() + base, fromEn.data() + base, kRowSize) == 0);
    FUZZ_CHECK(ScanBit(again, n) == ScanBit(fromEn, n));
  }
}

Image Pattern() {
  Image image;
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 31 + 7);
  return image;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const Image pattern = Pattern();
  Image image = pattern;
  std::istringstream in(bytes);
  const DatError result = LoadDat(in, image);

  if (size < 16) {
    FUZZ_CHECK(result == DatError::EndOfFile);
  } else if (std::memcmp(data, "S333", 4) != 0) {
    FUZZ_CHECK(result == DatError::Format);
    FUZZ_CHECK(image == pattern);
  } else if (size < kDatFileSize) {
    FUZZ_CHECK(result == DatError::EndOfFile);
  } else {
    FUZZ_CHECK(result == DatError::None);
    FUZZ_CHECK(std::memcmp(image.data(), data + 16, kImageSize) == 0);
    std::ostringstream out;
    StoreDat(out, image);
    const std::string stored = out.str();
    FUZZ_CHECK(stored.size() == kDatFileSize);
    FUZZ_CHECK(stored.compare(0, 4, "S333") == 0 && stored.compare(4, 12, std::string(12, '\0')) == 0);
    FUZZ_CHECK(stored.compare(16, kImageSize, bytes, 16, kImageSize) == 0);
  }

  // The codec sees every input: a short one lands on a new image's bytes.
  Image codecImage = NewImage();
  if (result == DatError::None)
    codecImage = image;
  else
    std::memcpy(codecImage.data(), data, std::min(size, kImageSize));
  CheckCodec(codecImage);
  return 0;
}

namespace fuzz {

namespace {

void PutBcd(std::uint8_t* at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i, value /= 100)
    at[i] = static_cast<std::uint8_t>(((value / 10) % 10) * 16 + value % 10);
}

std::string AsDat(const Image& image) {
  std::ostringstream out;
  StoreDat(out, image);
  return out.str();
}

}  // namespace

std::vector<std::string> Seeds() {
  // A new image, and one with every kind of channel: both tone families,
  // every flag value, empty and odd records.
  Image image = NewImage();
  const std::uint32_t rx[kChannelCount] = {44600625, 44610000, 14652000, 43500000, 0,        46212500,
                                           40000000, 47000000, 13600000, 17400000, 44600625, 35000000,
                                           39000000, 44606250, 44500000, 44601875};
  const std::uint8_t tones[][2] = {{0x97, 0x03}, {0x13, 0x28}, {0x13, 0xA8}, {0xFF, 0xFF}, {0x00, 0x29},
                                   {0x72, 0x06}, {0x37, 0x29}, {0x00, 0x00}};
  for (int n = 1; n <= kChannelCount; ++n) {
    std::uint8_t* r = image.data() + off::channel(n);
    const std::size_t k = static_cast<std::size_t>(n - 1);
    if (rx[k] != 0) {
      PutBcd(r + off::kRxFreq, rx[k]);
      PutBcd(r + off::kTxFreq, rx[k] + (n % 3) * 500000);
    }
    r[off::kRxTone] = tones[k % 8][0];
    r[off::kRxTone + 1] = tones[k % 8][1];
    r[off::kTxTone] = tones[(k + 3) % 8][0];
    r[off::kTxTone + 1] = tones[(k + 3) % 8][1];
    r[off::kFlagsA] = static_cast<std::uint8_t>(0xE0 | ((n % 4) << 3) | 0x05);
    r[off::kFlagsB] = static_cast<std::uint8_t>(0x83 | ((n % 2) << 4) | ((n % 4) << 5));
    SetScanBit(image, n, n % 3 != 0);
  }
  image.data()[off::channel(5) + 3] = 0x00;  // an empty Rx with a Tx
  image.data()[off::channel(16) + 7] = 0xFF;
  return {AsDat(NewImage()), AsDat(image), "S333", std::string("S333\0\0\0\0", 8), AsDat(image) + "trailing"};
}

std::vector<std::string> Tokens() {
  return {"S333", std::string(12, '\0'), std::string(4, '\xFF'), std::string("\x25\x06\x60\x44", 4),
          std::string("\x13\x28", 2), std::string("\x13\xA8", 2), std::string("\x97\x03", 2),
          std::string("\x50", 1)};
}

}  // namespace fuzz

#include "tools/radio_sim/SampleImage.h"

#include <cstdint>

namespace radiosim {

namespace {

using chanset::Image;

// 8 packed BCD digits in 10 Hz units, least significant pair first.
void PutFrequency(Image& image, std::size_t at, std::uint32_t tenHz) {
  for (int i = 0; i < 4; ++i) {
    std::uint32_t pair = tenHz % 100;
    tenHz /= 100;
    image[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((pair / 10) << 4 | (pair % 10));
  }
}

void PutWord(Image& image, std::size_t at, std::uint16_t word) {
  image[at] = static_cast<std::uint8_t>(word & 0xFF);
  image[at + 1] = static_cast<std::uint8_t>(word >> 8);
}

struct Channel {
  int number;
  std::uint32_t rx, tx;       // 10 Hz units
  std::uint16_t rxTone, txTone;  // tone words: CTCSS in 0.1 Hz, 0x28xx DCS, 0xFFFF none
  std::uint8_t flagsA, flagsB;
  bool scanned;
};

constexpr std::uint16_t kNoTone = 0xFFFF;

const Channel kChannels[] = {
    // 446.00625 MHz simplex, CTCSS 88.5 Hz, wide, high power, carrier busy lock
    {1, 44600625, 44600625, 885, 885, chanset::kBusyCarrier, chanset::kWideBit | chanset::kPowerHigh, true},
    // 446.01875 MHz simplex, DCS 023 normal, narrow, low power
    {2, 44601875, 44601875, 0x2813, 0x2813, 0x00, 0x00, true},
    // 462.5625 MHz receive, 467.5625 MHz transmit (repeater), CTCSS 100.0 Hz
    {3, 46256250, 46756250, 1000, 1000, chanset::kBusyQt, chanset::kWideBit | chanset::kPowerMiddle, false},
    // 440.000 / 445.000 MHz, no tones, wide, high power
    {4, 44000000, 44500000, kNoTone, kNoTone, 0x00, chanset::kWideBit | chanset::kPowerHigh, true},
    // 409.750 MHz, DCS 411 inverted receive, CTCSS 123.0 Hz transmit, narrow
    {5, 40975000, 40975000, 0xA909, 1230, 0x00, chanset::kPowerHigh, false},
};

}  // namespace

Image SampleImage() {
  Image image = chanset::NewImage();
  for (const Channel& c : kChannels) {
    std::size_t base = chanset::off::channel(c.number);
    PutFrequency(image, base + chanset::off::kRxFreq, c.rx);
    PutFrequency(image, base + chanset::off::kTxFreq, c.tx);
    PutWord(image, base + chanset::off::kRxTone, c.rxTone);
    PutWord(image, base + chanset::off::kTxTone, c.txTone);
    image[base + chanset::off::kFlagsA] = c.flagsA;
    image[base + chanset::off::kFlagsB] = c.flagsB;
    chanset::SetScanBit(image, c.number, c.scanned);
  }
  image[chanset::off::kWriteBack] = chanset::kWriteBackMarker;
  image[chanset::off::kRadioType] = 0;
  image[chanset::off::kBand] = 0;
  return image;
}

}  // namespace radiosim

#include "data/MemoryImage.h"

namespace chanset {

void MakeNewImage(Image& image) {
  image.fill(0xFF);
  image[off::kVoice] = 0x01;
  image[off::kTimeOut] = 0x03;
  image[off::kSquelch] = 0x05;
  image[off::kBatterySaver] = 0x01;
  image[off::kBeep] = 0x01;
  image[off::kVox] = 0x00;
  image[off::kVoxGain] = 0x05;
  image[off::kVoxDelay] = 0x00;
  image[off::kPriority] = 0x00;
  image[off::kSideKey] = 0xF9;
  for (std::size_t k = 0; k < 7; ++k) {
    image[off::kPowerTable + 3 * k] = 0x4D;
    image[off::kPowerTable + 3 * k + 1] = 0x9B;
    image[off::kPowerTable + 3 * k + 2] = 0xFF;
  }
  for (std::size_t i = 0x1BA; i <= 0x1BF; ++i) image[i] = 0xFF;
}

Image NewImage() {
  Image image{};
  MakeNewImage(image);
  return image;
}

static std::size_t ScanByte(int channel) { return off::kScanBits + static_cast<std::size_t>(channel - 1) / 8; }
static std::uint8_t ScanMask(int channel) { return static_cast<std::uint8_t>(1u << ((channel - 1) % 8)); }

bool ScanBit(const Image& image, int channel) {
  return (image[ScanByte(channel)] & ScanMask(channel)) != 0;
}

void SetScanBit(Image& image, int channel, bool scanned) {
  if (scanned)
    image[ScanByte(channel)] |= ScanMask(channel);
  else
    image[ScanByte(channel)] &= static_cast<std::uint8_t>(~ScanMask(channel));
}

}  // namespace chanset

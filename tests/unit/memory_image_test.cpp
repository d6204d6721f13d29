#include <gtest/gtest.h>

#include "data/MemoryImage.h"

using namespace chanset;

TEST(MemoryImage, NewImageHasDefaultsAndErasedRest) {
  Image img = NewImage();
  const std::pair<std::size_t, std::uint8_t> defaults[] = {
      {0x12F, 0x01}, {0x130, 0x03}, {0x134, 0x05}, {0x135, 0x01}, {0x136, 0x01},
      {0x139, 0x00}, {0x13A, 0x05}, {0x13B, 0x00}, {0x161, 0x00}, {0x390, 0xF9}};
  Image expected;
  expected.fill(0xFF);
  for (auto [o, v] : defaults) expected[o] = v;
  for (std::size_t k = 0; k < 7; ++k) {
    expected[0x3E0 + 3 * k] = 0x4D;
    expected[0x3E1 + 3 * k] = 0x9B;
    expected[0x3E2 + 3 * k] = 0xFF;
  }
  EXPECT_EQ(img, expected);
}

TEST(MemoryImage, ScanBitsMapToTwoBytesLeastSignificantFirst) {
  Image img{};
  SetScanBit(img, 1, true);
  SetScanBit(img, 8, true);
  SetScanBit(img, 9, true);
  SetScanBit(img, 16, true);
  EXPECT_EQ(img[0x17E], 0x81);
  EXPECT_EQ(img[0x17F], 0x81);
  SetScanBit(img, 8, false);
  EXPECT_EQ(img[0x17E], 0x01);
  EXPECT_TRUE(ScanBit(img, 16));
  EXPECT_FALSE(ScanBit(img, 15));
}

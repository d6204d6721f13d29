#include <gtest/gtest.h>

#include "grid/Twips.h"

using namespace chanset;

class TwipsRoundTrip : public ::testing::TestWithParam<int> {};

// Every pixel value survives the trip through twips at the screen's dpi, so
// an editor placed from the grid's twips lands on the grid's pixels.
TEST_P(TwipsRoundTrip, PixelsComeBackExactly) {
  const int dpi = GetParam();
  for (int px = 0; px <= 3000; ++px) ASSERT_EQ(TwipsToPixels(PixelsToTwips(px, dpi), dpi), px);
}

INSTANTIATE_TEST_SUITE_P(Dpis, TwipsRoundTrip, ::testing::Values(72, 96, 101, 120, 144, 192));

TEST(Twips, ConvertsAtOneTwentiethOfAPoint) {
  EXPECT_EQ(TwipsToPixels(1440, 96), 96);
  EXPECT_EQ(TwipsToPixels(14, 96), 0);  // truncated
  EXPECT_EQ(PixelsToTwips(96, 96), 1440);
  EXPECT_EQ(PixelsToTwips(1, 120), 12);
  EXPECT_EQ(PixelsToTwips(1, 101), 15);  // 14.26 rounded up
}

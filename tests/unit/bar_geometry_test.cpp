// Navigation bar geometry, the close button's looks and the width drag.
#include <gtest/gtest.h>

#include "app/BarGeometry.h"

using namespace chanset;

TEST(BarGeometry, RectanglesOfTheStartWidth) {
  // 220 wide in a frame window whose client area is 600 high.
  EXPECT_EQ(BarOutline(220, 600), (BarRect{3, 6, 214, 551}));
  BarRect frame = BarInnerFrame(220, 600);
  EXPECT_EQ(frame, (BarRect{4, 7, 214, 551}));
  EXPECT_EQ(BarCloseRect(frame), (BarRect{194, 11, 210, 26}));
  EXPECT_EQ(BarCloseRect(frame).Width(), 16);
  EXPECT_EQ(BarCloseRect(frame).Height(), 15);
  EXPECT_EQ(BarCaptionRect(frame), (BarRect{4, 7, 214, 29}));
  // The strip is the rightmost 6 pixels of the bar.
  EXPECT_EQ(BarResizeStripRect(frame), (BarRect{214, 7, 220, 551}));
  EXPECT_EQ(BarTreeRect(220, 600), (BarRect{5, 31, 212, 549}));
  EXPECT_TRUE(BarCloseRect(BarRect{}).Empty());
  EXPECT_TRUE(BarResizeStripRect(BarRect{}).Empty());
}

TEST(BarGeometry, LayoutHeightKeepsTheFrameInsideTheVisibleBar) {
  // Toolbar and status bar together taller than the 49-px margin: the
  // frame's bottom stays 3 px above the bar's bottom.
  EXPECT_EQ(BarLayoutHeight(700, 640), 686);
  EXPECT_EQ(BarOutline(220, BarLayoutHeight(700, 640)).bottom, 637);
  // With room to spare the frame window's height counts.
  EXPECT_EQ(BarLayoutHeight(700, 680), 700);
}

struct DragCase {
  int moveX, releaseX, frameWidth;
  int trackerX, width;
};
class BarDrag : public ::testing::TestWithParam<DragCase> {};

TEST_P(BarDrag, TrackerIsClampedButTheWidthIsThePointers) {
  const DragCase& c = GetParam();
  BarMouseTracker t;
  t.SetFrame(BarInnerFrame(220, 600));
  t.ButtonDown({216, 100});
  EXPECT_TRUE(t.Tracking());
  BarMouseTracker::Effects moved = t.Move({c.moveX, 100}, c.frameWidth);
  EXPECT_TRUE(moved.trackerShown);
  EXPECT_EQ(moved.trackerX, c.trackerX);
  BarMouseTracker::Effects up = t.ButtonUp({c.releaseX, 100}, c.frameWidth);
  EXPECT_FALSE(up.trackerShown);
  EXPECT_TRUE(up.widthChanged);
  EXPECT_EQ(up.newWidth, c.width);
  EXPECT_FALSE(up.hideBar);
  EXPECT_FALSE(t.Tracking());
}

INSTANTIATE_TEST_SUITE_P(Cases, BarDrag,
                         ::testing::Values(DragCase{40, 40, 1000, 80, 40},     // below 80: tracker stops, width not
                                           DragCase{5, 5, 1000, 80, 11},       // below 11
                                           DragCase{700, 700, 1001, 500, 500}, // beyond half, rounded down
                                           DragCase{300, 310, 1000, 300, 310}, // inside: the release point
                                           DragCase{60, 60, 100, 50, 50}));    // half below 80 wins

TEST(BarMouse, DragOnlyFromTheStrip) {
  BarMouseTracker t;
  t.SetFrame(BarInnerFrame(220, 600));
  t.ButtonDown({100, 100});
  EXPECT_FALSE(t.Tracking());
  EXPECT_FALSE(t.Move({300, 100}, 1000).trackerShown);
  BarMouseTracker::Effects up = t.ButtonUp({300, 100}, 1000);
  EXPECT_FALSE(up.widthChanged);
  EXPECT_FALSE(up.hideBar);
}

TEST(BarMouse, CloseButtonLooks) {
  BarMouseTracker t;
  t.SetFrame(BarInnerFrame(220, 600));
  const BarPoint over{200, 15}, away{100, 200};
  // Hover: raised, once.
  EXPECT_TRUE(t.Move(over, 1000).repaintClose);
  EXPECT_TRUE(t.CloseHot());
  EXPECT_FALSE(t.Move(over, 1000).repaintClose);
  // Leaving restores the flat look.
  EXPECT_TRUE(t.Move(away, 1000).repaintClose);
  EXPECT_FALSE(t.CloseHot() || t.ClosePressed());
  EXPECT_FALSE(t.Move(away, 1000).repaintClose);
  // Pressing on it: sunken; dragging off and back keeps it pressed, not hot.
  t.Move(over, 1000);
  EXPECT_TRUE(t.ButtonDown(over).repaintClose);
  EXPECT_TRUE(t.ClosePressed());
  EXPECT_FALSE(t.CloseHot());
  t.Move(away, 1000);
  EXPECT_FALSE(t.ClosePressed());
  t.Move(over, 1000);
  EXPECT_TRUE(t.ClosePressed());
  EXPECT_FALSE(t.CloseHot());
  // Leaving the bar while the button is down changes nothing.
  EXPECT_FALSE(t.Leave().repaintClose);
  BarMouseTracker::Effects up = t.ButtonUp(over, 1000);
  EXPECT_TRUE(up.hideBar);
  EXPECT_FALSE(t.ClosePressed() || t.CloseHot() || t.MouseDown());
}

TEST(BarMouse, ReleaseOverCloseHidesWhereverThePressWas) {
  BarMouseTracker t;
  t.SetFrame(BarInnerFrame(220, 600));
  t.ButtonDown({50, 300});
  EXPECT_TRUE(t.MouseDown());
  EXPECT_FALSE(t.ClosePressed());
  t.Move({200, 15}, 1000);
  EXPECT_TRUE(t.ClosePressed());
  EXPECT_TRUE(t.ButtonUp({200, 15}, 1000).hideBar);
  // Pressed on the close button, released elsewhere: stays.
  t.ButtonDown({200, 15});
  EXPECT_FALSE(t.ButtonUp({50, 300}, 1000).hideBar);
}

TEST(BarMouse, NothingBeforeTheFirstPaint) {
  BarMouseTracker t;  // no frame yet
  t.ButtonDown({200, 15});
  EXPECT_FALSE(t.MouseDown());
  EXPECT_FALSE(t.Tracking());
  EXPECT_FALSE(t.Move({200, 15}, 1000).repaintClose);
  BarMouseTracker::Effects up = t.ButtonUp({200, 15}, 1000);
  EXPECT_FALSE(up.hideBar || up.widthChanged);
}

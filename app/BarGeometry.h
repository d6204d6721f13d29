#pragma once
// Geometry and mouse rules of the navigation bar, in bar client
// coordinates: the etched frame, the caption, the close button, the 6-px
// resize strip at the right edge, the tree's place, and the width drag.
#include <algorithm>

namespace chanset {

struct BarPoint {
  int x = 0;
  int y = 0;
};

// Right and bottom edges excluded.
struct BarRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool Empty() const { return right <= left || bottom <= top; }
  bool Contains(BarPoint p) const { return !Empty() && p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const BarRect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
};

constexpr int kBarStartWidth = 220;
constexpr int kBarCaptionHeight = 22;
constexpr int kBarMinWidth = 11;
constexpr int kBarTrackerMinX = 80;
constexpr int kBarResizeStrip = 6;
// The frame, the tree and the tracker keep clear of the bottom of the
// frame window's client area by these amounts.
constexpr int kBarFrameBottomGap = 49;
constexpr int kBarTreeBottomGap = 51;
constexpr int kBarTrackerBottomGap = 43;
// Gap that always stays between the frame and the bar's visible bottom.
constexpr int kBarMinVisibleGap = 3;

// The height the bar lays itself out for: the frame window's client height,
// but never so much that the etched frame would fall below the bar's
// visible bottom (the toolbar and the status bar take their share).
int BarLayoutHeight(int frameClientHeight, int barHeight);

// The outline of the etched frame: the client rectangle less 3 on the
// left, 6 at the top, 6 on the right and 49 at the bottom.
BarRect BarOutline(int barWidth, int layoutHeight);
// The inner frame (m_rcFrame): the outline with left and top moved in by 1.
BarRect BarInnerFrame(int barWidth, int layoutHeight);
// The caption band at the top of the inner frame.
BarRect BarCaptionRect(const BarRect& frame);
// The close button, 16 x 15 at the inner frame's top right; empty when the
// frame is.
BarRect BarCloseRect(const BarRect& frame);
// The resize strip: the 6 pixels right of the inner frame, as tall as it.
BarRect BarResizeStripRect(const BarRect& frame);
// The tree: (5, 31) to (width - 8, H - 51).
BarRect BarTreeRect(int barWidth, int layoutHeight);

// Where the tracker line is drawn for a pointer at x while dragging:
// raised to 80, then lowered to half the frame window's client width.
int BarTrackerX(int pointerX, int frameClientWidth);
// The width a drag ending at pointer x gives: at least 11, at most half the
// frame window's client width.
int BarWidthAfterDrag(int pointerX, int frameClientWidth);

// The close button's looks and the width drag, driven by the bar's mouse
// events. Each event returns what the bar has to do.
class BarMouseTracker {
 public:
  struct Effects {
    bool repaintClose = false;  // the close button's look changed
    bool hideBar = false;       // released over the close button
    bool trackerShown = false;  // after the event, a tracker line is drawn
    int trackerX = 0;           //   at this x (bar coordinates)
    bool widthChanged = false;  // a drag ended
    int newWidth = 0;
  };

  // Recomputed at every paint.
  void SetFrame(const BarRect& frame);
  const BarRect& CloseRect() const { return m_rcClose; }
  const BarRect& StripRect() const { return m_rcStrip; }

  Effects ButtonDown(BarPoint p);
  Effects Move(BarPoint p, int frameClientWidth);
  Effects ButtonUp(BarPoint p, int frameClientWidth);
  // The pointer left the bar with the button up.
  Effects Leave();

  bool CloseHot() const { return m_bCloseHot; }
  bool ClosePressed() const { return m_bClosePressed; }
  bool MouseDown() const { return m_bMouseDown; }
  bool Tracking() const { return m_bTracking; }
  bool OverStrip(BarPoint p) const { return m_rcStrip.Contains(p); }

 private:
  Effects UpdateCloseState(BarPoint p);

  BarRect m_rcClose;
  BarRect m_rcStrip;
  bool m_bTracking = false;
  bool m_bTrackerShown = false;
  int m_nTrackerX = 0;
  bool m_bMouseDown = false;
  bool m_bCloseHot = false;
  bool m_bClosePressed = false;
};

}  // namespace chanset

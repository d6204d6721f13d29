#include "app/BarGeometry.h"

namespace chanset {

int BarLayoutHeight(int frameClientHeight, int barHeight) {
  return std::min(frameClientHeight, barHeight + kBarFrameBottomGap - kBarMinVisibleGap);
}

BarRect BarOutline(int barWidth, int layoutHeight) {
  return {3, 6, barWidth - 6, layoutHeight - kBarFrameBottomGap};
}

BarRect BarInnerFrame(int barWidth, int layoutHeight) {
  BarRect r = BarOutline(barWidth, layoutHeight);
  r.left += 1;
  r.top += 1;
  return r;
}

BarRect BarCaptionRect(const BarRect& frame) {
  return {frame.left, frame.top, frame.right, frame.top + kBarCaptionHeight};
}

BarRect BarCloseRect(const BarRect& frame) {
  if (frame.Empty()) return {};
  return {frame.right - 20, frame.top + 4, frame.right - 4, frame.top + 19};
}

BarRect BarResizeStripRect(const BarRect& frame) {
  if (frame.Empty()) return {};
  return {frame.right, frame.top, frame.right + kBarResizeStrip, frame.bottom};
}

BarRect BarTreeRect(int barWidth, int layoutHeight) {
  return {5, 8 + kBarCaptionHeight + 1, barWidth - 8, layoutHeight - kBarTreeBottomGap};
}

int BarTrackerX(int pointerX, int frameClientWidth) {
  // Both limits apply in turn: in a frame window narrower than 160 the
  // half width wins.
  int x = std::max(pointerX, kBarTrackerMinX);
  return std::min(x, frameClientWidth / 2);
}

int BarWidthAfterDrag(int pointerX, int frameClientWidth) {
  if (pointerX < kBarMinWidth) return kBarMinWidth;
  if (pointerX > frameClientWidth / 2) return frameClientWidth / 2;
  return pointerX;
}

void BarMouseTracker::SetFrame(const BarRect& frame) {
  m_rcClose = BarCloseRect(frame);
  m_rcStrip = BarResizeStripRect(frame);
}

BarMouseTracker::Effects BarMouseTracker::ButtonDown(BarPoint p) {
  Effects e;
  if (!m_rcClose.Empty()) {
    m_bMouseDown = true;
    m_bCloseHot = false;
    if (m_rcClose.Contains(p)) {
      m_bClosePressed = true;
      e.repaintClose = true;
    }
  }
  if (m_rcStrip.Contains(p)) m_bTracking = true;
  e.trackerShown = m_bTrackerShown;
  e.trackerX = m_nTrackerX;
  return e;
}

BarMouseTracker::Effects BarMouseTracker::Move(BarPoint p, int frameClientWidth) {
  if (m_bTracking) {
    m_bTrackerShown = true;
    m_nTrackerX = BarTrackerX(p.x, frameClientWidth);
  }
  Effects e = UpdateCloseState(p);
  e.trackerShown = m_bTrackerShown;
  e.trackerX = m_nTrackerX;
  return e;
}

BarMouseTracker::Effects BarMouseTracker::UpdateCloseState(BarPoint p) {
  Effects e;
  if (m_rcClose.Empty()) return e;
  if (m_rcClose.Contains(p)) {
    if (m_bCloseHot) return e;
    m_bCloseHot = !m_bMouseDown;
    m_bClosePressed = m_bMouseDown;
    e.repaintClose = true;
    return e;
  }
  if (!m_bCloseHot && !m_bClosePressed) return e;
  m_bCloseHot = m_bClosePressed = false;
  e.repaintClose = true;
  return e;
}

BarMouseTracker::Effects BarMouseTracker::ButtonUp(BarPoint p, int frameClientWidth) {
  Effects e;
  e.repaintClose = m_bCloseHot || m_bClosePressed;
  m_bClosePressed = m_bCloseHot = m_bMouseDown = false;
  m_bTrackerShown = false;
  m_nTrackerX = 0;
  if (m_rcClose.Contains(p)) e.hideBar = true;
  if (m_bTracking) {
    e.widthChanged = true;
    e.newWidth = BarWidthAfterDrag(p.x, frameClientWidth);
  }
  m_bTracking = false;
  return e;
}

BarMouseTracker::Effects BarMouseTracker::Leave() {
  Effects e;
  if (m_bMouseDown) return e;
  e.repaintClose = m_bCloseHot || m_bClosePressed;
  m_bCloseHot = m_bClosePressed = false;
  return e;
}

}  // namespace chanset

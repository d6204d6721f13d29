#pragma once
// The panel at the left edge of the main window that holds the navigation
// tree: an etched frame, a caption with the company text, a close button
// (flat, raised under the pointer, sunken while pressed; tooltip "Close")
// and a 6-px strip at the right edge that changes the bar's width by
// dragging, with a tracker line showing where the edge will go. The bar
// never floats and never leaves the left edge; it starts 220 px wide each
// run. The rules live in BarGeometry; this class draws and feeds events.
#include <QFont>
#include <QPointer>
#include <QWidget>

#include "app/BarGeometry.h"

class QTreeWidget;

class CNavigatorBar : public QWidget {
  Q_OBJECT
 public:
  // `frame` is the window whose client width limits the drag and whose
  // client height the bar's layout follows.
  explicit CNavigatorBar(QWidget* frame, QWidget* parent = nullptr);

  // Font, tree (id 1031) and the caption text. False when the tree could
  // not be made.
  bool Create(const QString& caption);

  QTreeWidget* Tree() const { return m_pTree; }
  int BarWidth() const { return m_cxWidth; }
  QString Caption() const { return m_strCaption; }
  // Geometry as last laid out, in bar coordinates.
  QRect FrameRect() const;
  QRect CloseRect() const;
  QRect ResizeStripRect() const;
  const chanset::BarMouseTracker& MouseState() const { return m_tracker; }
  // The tracker line, while a drag is under way (nullptr otherwise).
  QWidget* TrackerLine() const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return QSize(m_cxWidth, 0); }

 signals:
  // The close button hid the bar.
  void closedByButton();

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  int FrameClientWidth() const;
  int LayoutHeight() const;
  void LayoutTree();
  void UpdateGeometry();
  void Apply(const chanset::BarMouseTracker::Effects& effects);
  void UpdateCursor(const QPoint& pos);

  QPointer<QWidget> m_pFrame;
  QFont m_font;
  QString m_strCaption;
  int m_cxWidth = chanset::kBarStartWidth;
  QTreeWidget* m_pTree = nullptr;
  chanset::BarRect m_rcFrame;
  chanset::BarMouseTracker m_tracker;
  QWidget* m_pTrackerLine = nullptr;
  bool m_bPainted = false;
};

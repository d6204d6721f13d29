#include "app/CNavigatorBar.h"

#include <QHelpEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QTreeWidget>

#include "platform/CLanguagePack.h"
#include "platform/ResourceIds.h"

using namespace chanset;

namespace {
constexpr int kTreeId = 1031;

QRect ToQRect(const BarRect& r) { return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)); }

// Two dotted vertical lines 2 px apart, in the colours that stand out on
// both light and dark backgrounds.
class TrackerLine : public QWidget {
 public:
  explicit TrackerLine(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setObjectName(QStringLiteral("barTracker"));
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    for (int y = 0; y < height(); ++y) {
      QColor c = (y % 2) ? Qt::white : Qt::black;
      p.setPen(c);
      p.drawPoint(0, y);
      p.drawPoint(2, y);
    }
  }
};
}  // namespace

CNavigatorBar::CNavigatorBar(QWidget* frame, QWidget* parent) : QWidget(parent), m_pFrame(frame) {
  setObjectName(QStringLiteral("navigatorBar"));
  setWindowTitle(QStringLiteral("IE Control Bar"));
  setMouseTracking(true);
  setFixedWidth(m_cxWidth);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
}

bool CNavigatorBar::Create(const QString& caption) {
  m_strCaption = caption;
  m_font = QFont(QStringLiteral("Time New Roman"));
  m_font.setPixelSize(14);
  m_font.setWeight(QFont::Normal);
  setFont(m_font);
  m_pTree = new QTreeWidget(this);
  if (!m_pTree) return false;
  m_pTree->setObjectName(QStringLiteral("tree%1").arg(kTreeId));
  m_pTree->setFont(m_font);
  m_pTree->setHeaderHidden(true);
  m_pTree->setRootIsDecorated(true);
  m_pTree->setMouseTracking(true);
  m_pTree->setGeometry(QRect());
  LayoutTree();
  return true;
}

QSize CNavigatorBar::sizeHint() const { return QSize(m_cxWidth, std::max(LayoutHeight(), 0)); }

int CNavigatorBar::FrameClientWidth() const { return m_pFrame ? m_pFrame->width() : width() * 2; }

int CNavigatorBar::LayoutHeight() const {
  // The frame window's client area: the window less its menu bar.
  int client = height();
  if (auto* main = qobject_cast<QMainWindow*>(m_pFrame.data())) {
    client = main->height();
    if (QWidget* menu = main->menuWidget(); menu && menu->isVisible()) client -= menu->height();
  }
  return BarLayoutHeight(client, height());
}

void CNavigatorBar::UpdateGeometry() {
  m_rcFrame = BarInnerFrame(width(), LayoutHeight());
  m_tracker.SetFrame(m_rcFrame);
}

QRect CNavigatorBar::FrameRect() const { return ToQRect(m_rcFrame); }
QRect CNavigatorBar::CloseRect() const { return ToQRect(m_tracker.CloseRect()); }
QRect CNavigatorBar::ResizeStripRect() const { return ToQRect(m_tracker.StripRect()); }
QWidget* CNavigatorBar::TrackerLine() const {
  return m_pTrackerLine && m_pTrackerLine->isVisible() ? m_pTrackerLine : nullptr;
}

void CNavigatorBar::LayoutTree() {
  if (!m_pTree) return;
  BarRect r = BarTreeRect(width(), LayoutHeight());
  m_pTree->setGeometry(r.Empty() ? QRect() : ToQRect(r));
}

void CNavigatorBar::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  LayoutTree();
}

void CNavigatorBar::paintEvent(QPaintEvent*) {
  UpdateGeometry();
  m_bPainted = true;
  QPainter p(this);
  const QPalette& pal = palette();
  QColor grey = pal.color(QPalette::Disabled, QPalette::WindowText);

  // Etched frame: the outline in grey, white lines inside its top-left and
  // outside its bottom-right.
  BarRect r = BarOutline(width(), LayoutHeight());
  if (!r.Empty()) {
    p.setPen(grey);
    p.drawRect(QRect(r.left, r.top, r.Width() - 1, r.Height() - 1));
    p.setPen(Qt::white);
    p.drawLine(r.left + 1, r.top + 1, r.left + 1, r.bottom - 2);
    p.drawLine(r.left + 1, r.top + 1, r.right - 2, r.top + 1);
    p.drawLine(r.right, r.top, r.right, r.bottom - 1);
    p.drawLine(r.left, r.bottom, r.right, r.bottom);
  }

  // Caption, then the line under it.
  BarRect cap = BarCaptionRect(m_rcFrame);
  p.setFont(m_font);
  p.setPen(pal.color(QPalette::WindowText));
  int textWidth = p.fontMetrics().horizontalAdvance(m_strCaption);
  p.drawText(QRect(m_rcFrame.left + 5, cap.top, textWidth, kBarCaptionHeight), Qt::AlignCenter | Qt::TextSingleLine,
             m_strCaption);
  p.setPen(QPen(grey, 1));
  int y = m_rcFrame.top + kBarCaptionHeight;
  p.drawLine(m_rcFrame.left + 1, y, m_rcFrame.right - 1, y);

  // Close button: raised when hot, sunken while pressed, flat otherwise.
  QRect close = CloseRect();
  if (!m_tracker.CloseRect().Empty()) {
    if (m_tracker.CloseHot() || m_tracker.ClosePressed()) {
      QColor light = pal.color(QPalette::Light), dark = pal.color(QPalette::Dark);
      QColor topLeft = m_tracker.CloseHot() ? light : dark;
      QColor bottomRight = m_tracker.CloseHot() ? dark : light;
      p.setPen(topLeft);
      p.drawLine(close.topLeft(), close.topRight());
      p.drawLine(close.topLeft(), close.bottomLeft());
      p.setPen(bottomRight);
      p.drawLine(close.bottomLeft(), close.bottomRight());
      p.drawLine(close.topRight(), close.bottomRight());
    }
    QIcon icon = CLanguagePack::Icon(ids::kCloseIcon);
    if (!icon.isNull()) icon.paint(&p, QRect(close.topLeft(), QSize(16, 16)));
  }
}

bool CNavigatorBar::event(QEvent* e) {
  if (e->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(e);
    QRect close = CloseRect();
    if (!m_tracker.CloseRect().Empty() && close.contains(help->pos()))
      QToolTip::showText(help->globalPos(), QStringLiteral("Close"), this, close);
    else
      QToolTip::hideText();
    return true;
  }
  return QWidget::event(e);
}

void CNavigatorBar::UpdateCursor(const QPoint& pos) {
  // No shape of its own until the bar has been painted.
  if (!m_bPainted) return;
  if (m_tracker.OverStrip({pos.x(), pos.y()}) || m_tracker.Tracking())
    setCursor(CLanguagePack::Cursor(ids::kResizeCursor));
  else
    setCursor(Qt::ArrowCursor);
}

void CNavigatorBar::Apply(const BarMouseTracker::Effects& e) {
  if (e.repaintClose) update(CloseRect().adjusted(-1, -1, 1, 1));
  if (e.trackerShown && parentWidget()) {
    QWidget* host = window();
    if (!m_pTrackerLine) m_pTrackerLine = new ::TrackerLine(host);
    QPoint top = mapTo(host, QPoint(e.trackerX, 0));
    int height = std::min(LayoutHeight() - kBarTrackerBottomGap, this->height());
    m_pTrackerLine->setGeometry(top.x(), top.y(), 3, std::max(height, 1));
    m_pTrackerLine->show();
    m_pTrackerLine->raise();
  } else if (m_pTrackerLine) {
    m_pTrackerLine->hide();
  }
  if (e.hideBar) {
    hide();
    emit closedByButton();
  }
  if (e.widthChanged) {
    m_cxWidth = e.newWidth;
    setFixedWidth(m_cxWidth);
    updateGeometry();
    LayoutTree();
    update();
  }
}

void CNavigatorBar::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  QPoint pos = event->position().toPoint();
  Apply(m_tracker.ButtonDown({pos.x(), pos.y()}));
}

void CNavigatorBar::mouseDoubleClickEvent(QMouseEvent*) {}

void CNavigatorBar::mouseMoveEvent(QMouseEvent* event) {
  QPoint pos = event->position().toPoint();
  UpdateCursor(pos);
  Apply(m_tracker.Move({pos.x(), pos.y()}, FrameClientWidth()));
}

void CNavigatorBar::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  QPoint pos = event->position().toPoint();
  Apply(m_tracker.ButtonUp({pos.x(), pos.y()}, FrameClientWidth()));
  UpdateCursor(pos);
}

void CNavigatorBar::leaveEvent(QEvent* event) {
  Apply(m_tracker.Leave());
  QWidget::leaveEvent(event);
}

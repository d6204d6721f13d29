#include "app/CWorkspaceClient.h"

#include <QImage>
#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>

#include "app/BackgroundTiles.h"
#include "platform/CLanguagePack.h"
#include "platform/ResourceIds.h"
#include "platform/SettingsLocation.h"

CWorkspaceClient::CWorkspaceClient(QWidget* parent) : QMdiArea(parent) {
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

QPixmap CWorkspaceClient::BackgroundPicture() {
  // Read through QImage: QPixmap's file cache would keep an older picture
  // that was replaced within the same second.
  for (const std::string& file : chanset::BackgroundPictureFiles()) {
    QImage image(QString::fromStdString(file));
    if (!image.isNull()) return QPixmap::fromImage(image);
  }
  return CLanguagePack::Bitmap(ids::kBackgroundBitmap);
}

void CWorkspaceClient::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  QPixmap picture = BackgroundPicture();
  QSize area = viewport()->size();
  if (picture.isNull()) {
    // Neither the file nor the pack's bitmap: a plain light face.
    painter.fillRect(event->rect(), palette().window());
    return;
  }
  for (const chanset::TileOrigin& t :
       chanset::TileOrigins(area.width(), area.height(), picture.width(), picture.height()))
    painter.drawPixmap(t.x, t.y, picture);
}

namespace {
// How far to scroll along one axis so that [lo, hi) shows within [0, size).
int ScrollToShow(int lo, int hi, int size) {
  if (lo < 0) return lo;
  if (hi > size) return qMin(hi - size, lo);
  return 0;
}
}  // namespace

void CWorkspaceClient::EnsureVisible(const QWidget* widget, const QRect& rect) {
  if (!widget || !viewport()->isAncestorOf(widget)) return;
  const QRect r(widget->mapTo(viewport(), rect.topLeft()), rect.size());
  const int dx = ScrollToShow(r.left(), r.left() + r.width(), viewport()->width());
  const int dy = ScrollToShow(r.top(), r.top() + r.height(), viewport()->height());
  if (dx) horizontalScrollBar()->setValue(horizontalScrollBar()->value() + dx);
  if (dy) verticalScrollBar()->setValue(verticalScrollBar()->value() + dy);
}

void CWorkspaceClient::resizeEvent(QResizeEvent* event) {
  QMdiArea::resizeEvent(event);
  viewport()->update();
}

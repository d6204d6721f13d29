#include "app/CWorkspaceClient.h"

#include <QPainter>
#include <QPaintEvent>

#include "app/BackgroundTiles.h"
#include "platform/AppDir.h"
#include "platform/CLanguagePack.h"
#include "platform/ResourceIds.h"

CWorkspaceClient::CWorkspaceClient(QWidget* parent) : QMdiArea(parent) {
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

QPixmap CWorkspaceClient::BackgroundPicture() {
  QPixmap picture(QString::fromStdString(chanset::ApplicationDirectory()) + QStringLiteral("background.bmp"));
  if (picture.isNull()) picture = CLanguagePack::Bitmap(ids::kBackgroundBitmap);
  return picture;
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

void CWorkspaceClient::resizeEvent(QResizeEvent* event) {
  QMdiArea::resizeEvent(event);
  viewport()->update();
}
